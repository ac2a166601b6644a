// The control kit: placement and sizes of the factory's controls, the status bar's gauge and text,
// the information box, the skin's texts, and the grid widget over a string grid.
#include "GuiTestMain.h"

#include "kit/GridView.h"
#include "kit/Skin.h"
#include "kit/SkinStrings.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

class TestKit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void infoBeforeSkinningShowsNothing();
    void skinTheMainWindow();
    void toolBarRows();
    void sizesByMeasure();
    void elementsAndShapes();
    void setProgress();
    void statusAndInfo();
    void skinStrings();
    void gridModel();

private:
    QMainWindow *m_main = nullptr;
};

void TestKit::initTestCase()
{
    SkinKit = TSkinKit();
}

void TestKit::infoBeforeSkinningShowsNothing()
{
    int calls = 0;
    SkinKit.InfoHook = [&](const QString &, const QString &, const QString &) { ++calls; };
    SkinKit.ShowInfo(QStringLiteral("早了"));
    SkinKit.SetProgress(0, 9, 3); // no gauge yet: nothing happens, nothing breaks
    SkinKit.ShowStatus(QStringLiteral("x"));
    QCOMPARE(calls, 0);
}

void TestKit::skinTheMainWindow()
{
    m_main = new QMainWindow;
    SkinKit.ApplyFormSkin(m_main);
    QVERIFY(SkinKit.SkinForm && SkinKit.Message);
    QStatusBar *bar = m_main->statusBar();
    QCOMPARE(SkinKit.SkinForm->StatusBar.data(), bar);
    QCOMPARE(SkinElement(SkinKit.SkinForm->Panel), QStringLiteral("statuspanel"));
    QProgressBar *g = SkinKit.SkinForm->Gauge;
    QCOMPARE(SkinElement(g), QStringLiteral("statusgauge"));
    QCOMPARE(g->width(), 160);
    QCOMPARE(g->minimum(), 0);
    QCOMPARE(g->maximum(), 100);
    QCOMPARE(g->value(), 50);
    QVERIFY(g->isHidden());
    m_main->resize(900, 600);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void TestKit::toolBarRows()
{
    auto *form = new QWidget(m_main);
    m_main->setCentralWidget(form);
    TSkinToolBar *bar = SkinKit.CreateToolBar(form);
    QCOMPARE(SkinElement(bar), QStringLiteral("resizetoolpanel"));
    QToolButton *a = SkinKit.CreateToolButton(bar, QStringLiteral(" 甲 "), TAlign::Left);
    QToolButton *b = SkinKit.CreateToolButton(bar, QStringLiteral(" 乙 "), TAlign::Left);
    QToolButton *c = SkinKit.CreateToolButton(bar, QStringLiteral(" 丙 "), TAlign::Left);
    QToolButton *r = SkinKit.CreateToolButton(bar, QStringLiteral(" 右 "), TAlign::Right);
    QToolButton *r2 = SkinKit.CreateToolButton(bar, QStringLiteral(" 右二 "), TAlign::Right);
    QTRY_VERIFY(bar->width() > 500);
    QVERIFY(a->x() < b->x() && b->x() < c->x());
    QVERIFY(r->geometry().right() >= bar->width() - 4); // at the right end
    QVERIFY(r2->x() < r->x() && c->x() < r2->x());       // each new one to the left of the one before
    QVERIFY(a->autoRaise());                              // the bar is flat
    bar->MoveToLeftEnd(a);
    QTRY_VERIFY(c->x() < a->x() && a->x() < r2->x());

    // A bar named "bigtoolpanel" gets big buttons, others plain ones.
    SetSkinElement(bar, "bigtoolpanel");
    QCOMPARE(SkinElement(SkinKit.CreateToolButton(bar, QStringLiteral("大"), TAlign::Left)), QStringLiteral("bigtoolbutton"));
    QCOMPARE(SkinElement(a), QStringLiteral("toolbutton"));
}

void TestKit::sizesByMeasure()
{
    auto *form = new QWidget;
    form->resize(600, 400);
    const QString caption = QStringLiteral(" 计算 ");
    TSkinToolBar *bar = SkinKit.CreateToolBar(form);
    QCOMPARE(SkinKit.CreateToolButton(bar, caption, TAlign::Left)->width(),
             SkinKit.MeasureText(bar, caption, TSkinKit::FontHeight()) + 10);
    bar->SetImageWidth(32);
    QCOMPARE(SkinKit.CreateToolButton(bar, caption, TAlign::Left)->width(),
             SkinKit.MeasureText(bar, caption, TSkinKit::FontHeight()) + 10 + 32);

    QAbstractSpinBox *measured = SkinKit.CreateSpinEdit(form, false, 0, 99999, 7, TAlign::Left, 0, 0, 0, 0);
    QCOMPARE(measured->width(), SkinKit.MeasureText(measured, QStringLiteral("99999"), TSkinKit::FontHeight()) + 26);
    QCOMPARE(static_cast<QSpinBox *>(measured)->value(), 7);
    QAbstractSpinBox *given = SkinKit.CreateSpinEdit(form, true, 0, 1e15, 2.5, TAlign::Left, 0, 0, 77, 0);
    QCOMPARE(given->width(), 77);
    QAbstractSpinBox *big = SkinKit.CreateSpinEdit(form, true, 0, 1e15, 0, TAlign::Left, 0, 0, 0, 0);
    QCOMPARE(big->width(), SkinKit.MeasureText(big, QStringLiteral("1E15"), TSkinKit::FontHeight()) + 26);

    QDateEdit *date = SkinKit.CreateDateEdit(form, TAlign::Left);
    QCOMPARE(date->date(), QDate::currentDate());
    QCOMPARE(date->width(), SkinKit.MeasureText(date, QStringLiteral("0000/00/00"), TSkinKit::FontHeight()) + 18);

    QComboBox *empty = SkinKit.CreateComboBox(form, TAlign::Left, QString(), 0, 0);
    const int before = empty->width();
    QCOMPARE(empty->count(), 0);
    QCOMPARE(empty->currentIndex(), -1);
    QCOMPARE(empty->width(), before);
    SkinKit.FillComboBox(empty, QString());
    QCOMPARE(empty->width(), 28);
    QComboBox *types = SkinKit.CreateComboBox(form, TAlign::Left, QStringLiteral("活跃席位,强势活跃席位,避险活跃席位"), 0, 0);
    QCOMPARE(types->count(), 3);
    QCOMPARE(types->currentIndex(), 0);
    QCOMPARE(types->width(), QFontMetrics(types->font()).horizontalAdvance(QStringLiteral("强势活跃席位")) + 28);
    delete form;
}

void TestKit::elementsAndShapes()
{
    QWidget form;
    QCOMPARE(SkinKit.CreateBevel(&form, TAlign::Top)->frameShape(), QFrame::HLine);
    QCOMPARE(SkinKit.CreateBevel(&form, TAlign::Left)->frameShape(), QFrame::VLine);
    QCOMPARE(SkinKit.CreateBevel(&form, TAlign::None)->frameShape(), QFrame::Box);
    QCOMPARE(SkinKit.CreateBevel(&form, TAlign::Client)->frameShape(), QFrame().frameShape());
    QCOMPARE(SkinElement(SkinKit.CreateSplitter(&form, TAlign::Top)), QStringLiteral("hsplitter"));
    QCOMPARE(SkinElement(SkinKit.CreateSplitter(&form, TAlign::Bottom)), QStringLiteral("hsplitter"));
    QCOMPARE(SkinElement(SkinKit.CreateSplitter(&form, TAlign::Left)), QString());
    QCOMPARE(SkinElement(SkinKit.CreateCheckList(&form)), QStringLiteral("captionchecklistbox"));
    QCOMPARE(SkinElement(SkinKit.CreateRadioButton(&form, QStringLiteral("甲"), 1, 0, 0)), QStringLiteral("radiobox"));
    TGridView *grid = SkinKit.CreateGrid(&form);
    QCOMPARE(grid->Grid.ColCount(), 1);
    QCOMPARE(grid->Grid.RowCount(), 2);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Aligned panels share the parent: top first, then left, the client one fills the rest.
    QWidget host;
    host.resize(400, 300);
    QFrame *top = SkinKit.CreatePanel(&host, TAlign::Top);
    TAlignLayout::Of(&host)->SetExtent(top, 50);
    QFrame *left = SkinKit.CreatePanel(&host, TAlign::Left);
    TAlignLayout::Of(&host)->SetExtent(left, 100);
    QFrame *rest = SkinKit.CreatePanel(&host, TAlign::Client);
    host.show();
    QTRY_COMPARE(rest->geometry(), QRect(100, 50, 300, 250));
    QCOMPARE(top->geometry(), QRect(0, 0, 400, 50));
    QCOMPARE(left->geometry(), QRect(0, 50, 100, 250));
}

void TestKit::setProgress()
{
    QProgressBar *g = SkinKit.SkinForm->Gauge;
    SkinKit.PumpCount = 0;
    SkinKit.SetProgress(0, 0, 0); // Max <= Min: nothing
    SkinKit.SetProgress(0, 100, 50); // 50 %, as the gauge starts: nothing
    QCOMPARE(SkinKit.PumpCount, 0);
    QVERIFY(g->isHidden());
    SkinKit.SetProgress(0, 9, 3);
    QCOMPARE(SkinKit.PumpCount, 1);
    QVERIFY(!g->isHidden());
    QCOMPARE(g->value(), 3);
    SkinKit.SetProgress(0, 9, 3); // the same percentage: one repaint only
    QCOMPARE(SkinKit.PumpCount, 1);
    SkinKit.SetProgress(0, 9, 9); // the end hides the gauge
    QVERIFY(g->isHidden());
    SkinKit.SetProgress(0, 9, 0); // back to 0 %: hidden, at the start
    QCOMPARE(g->value(), 0);
    QVERIFY(g->isHidden());
    // A long loop moves the gauge through every percent but repaints at most once per percent,
    // always when the gauge appears and when it goes.
    SkinKit.PumpCount = 0;
    QList<int> seen;
    for (int i = 0; i < 100000; ++i) {
        SkinKit.SetProgress(0, 99999, i);
        const int percent = int(qint64(g->value()) * 100 / 99999);
        if (seen.isEmpty() || seen.last() != percent)
            seen << percent;
    }
    QCOMPARE(seen.size(), 101); // 0 % to 100 %
    QVERIFY(SkinKit.PumpCount >= 2 && SkinKit.PumpCount <= 100);
    QVERIFY(g->isHidden());
}

void TestKit::statusAndInfo()
{
    SkinKit.ShowStatus(QStringLiteral("读取数据，请稍候……"));
    QCOMPARE(SkinKit.SkinForm->Panel->text(), QStringLiteral("读取数据，请稍候……"));
    SkinKit.ShowStatus(QString());
    QCOMPARE(SkinKit.SkinForm->Panel->text(), QString());
    QString caption, text, button;
    SkinKit.InfoHook = [&](const QString &c, const QString &t, const QString &b) {
        caption = c;
        text = t;
        button = b;
    };
    SkinKit.ShowInfo(QStringLiteral("查找无结果！"));
    QCOMPARE(caption, QStringLiteral("信息"));
    QCOMPARE(text, QStringLiteral("查找无结果！"));
    QCOMPARE(button, QStringLiteral("确定(&O)")); // drawn as 确定(O) with O underlined
}

void TestKit::skinStrings()
{
    QHash<QString, QString> table;
    table.insert(QStringLiteral("MSG_BTN_OK"), QStringLiteral("old"));
    LocalizeSkinStrings(table);
    QCOMPARE(table.size(), 131);
    QCOMPARE(table.value(QStringLiteral("MSG_BTN_OK")), QStringLiteral("确定(&O)"));
    QCOMPARE(table.value(QStringLiteral("MI_RESTORECAPTION")), QStringLiteral("恢复(&R)"));
    QCOMPARE(table.value(QStringLiteral("RESTORE_HINT")), QStringLiteral("恢复(&R)"));
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));

    // Qt's own edit menu takes the table's texts; a text without a key stays Qt's.
    QLineEdit edit(QStringLiteral("abc"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction *a : menu->actions())
        if (!a->isSeparator())
            texts << a->text().section(u'\t', 0, 0);
    QVERIFY2(texts.contains(QStringLiteral("撤销(&U)")), qPrintable(texts.join(u'|')));
    QVERIFY(texts.contains(QStringLiteral("复制(&C)")));
    QVERIFY(texts.contains(QStringLiteral("剪切(&T)")));
    QVERIFY(texts.contains(QStringLiteral("粘贴(&P)")));
    QVERIFY(texts.contains(QStringLiteral("删除(&D)")));
    QVERIFY(texts.contains(QStringLiteral("全选(&A)")));
    QVERIFY(texts.contains(QStringLiteral("&Redo"))); // no key for it: Qt's text
}

void TestKit::gridModel()
{
    TGridView view;
    TStringGrid &g = view.Grid;
    g.SetColCount(3);
    g.SetRowText(0, QStringLiteral("序号,代码,涨跌幅"));
    for (int r = 1; r <= 10000; ++r) {
        g.SetCell(0, r, QStringLiteral(" "));
        g.SetCell(1, r, QStringLiteral("6%1").arg(r, 5, 10, QChar(u'0')));
        g.SetCell(2, r, QString::number(r % 21 - 10) + QStringLiteral(".00"));
    }
    g.SetRowCount(10001);
    QAbstractItemModelTester tester(view.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    view.Refresh();
    QCOMPARE(view.model()->rowCount(), 10000);
    QCOMPARE(view.model()->columnCount(), 3);
    QCOMPARE(view.model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("涨跌幅"));
    QCOMPARE(view.model()->index(0, 0).data().toString(), QStringLiteral("1"));      // row number
    QCOMPARE(view.model()->index(0, 2).data().toString(), QStringLiteral("-9.00%")); // percent sign
    QCOMPARE(view.model()->index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 221, 221));
    view.SetRow(5);
    QCOMPARE(view.Row(), 5);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
}

MV_GUI_TEST_MAIN(TestKit)
#include "tst_kit.moc"
