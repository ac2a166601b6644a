// The seat analysis window, driven through its real widgets over small data sets.
#include "DemoData.h"
#include "Fixture.h"
#include "GuiTestMain.h"

#include "app/Json.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "forms/frmLHB.h"
#include "kit/GridView.h"
#include "kit/Skin.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

namespace {

// The day of the fixtures: a Friday, so that the week before it has five trading days.
const QDate Day(2024, 3, 15);

QStringList Column(const TGridView *g, const QString &caption)
{
    QStringList out;
    const int col = g->Grid.ColumnOf(caption);
    for (int r = 1; col >= 0 && r < g->Grid.RowCount(); ++r)
        out << g->Grid.Cell(col, r);
    return out;
}

// Three stocks and four seats around the fixture day.
void SmallDataSet(TFixture &fx)
{
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int inst = fx.AddSeat(QStringLiteral("机构专用"));
    const int jia = fx.AddSeat(QStringLiteral("甲证券营业部"));
    const int yi = fx.AddSeat(QStringLiteral("乙证券营业部"));
    fx.AddSeat(QStringLiteral("abc营业部"));
    fx.AddRecord(a, inst, 900.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(a, jia, 100.0, 300.0, Ymd(2024, 3, 14));
    fx.AddRecord(b, jia, 500.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(b, yi, 0.0, 200.0, Ymd(2024, 3, 13));
    fx.AddRecord(c, yi, 50.0, 0.0, Ymd(2024, 3, 12));
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 3, 11), {10000, 10100, 10200, 10300, 11330}));
    fx.WriteBars(QStringLiteral("000001"), BarsFrom(QDate(2024, 3, 11), {10000, 10000, 9500, 9400, 9000}));
    fx.WriteBars(QStringLiteral("300001"), BarsFrom(QDate(2024, 3, 11), {20000, 20000, 20000, 20000, 20400}));
    fx.Finance.push_back(MakeFinance(QStringLiteral("SH"), QStringLiteral("600000"), 1000.0f));
    fx.WriteTables();
}

// The seat window in a main window whose skin gives the status bar and the information box.
struct TWindow
{
    QMainWindow main;
    TFormLHB *lhb = nullptr;
    QStringList infos;
    bool exposed = false;

    explicit TWindow(const QDate &end = Day)
    {
        SkinKit.ApplyFormSkin(&main);
        SkinKit.InfoHook = [this](const QString &, const QString &text, const QString &) { infos << text; };
        lhb = new TFormLHB;
        main.setCentralWidget(lhb);
        main.resize(1200, 700);
        lhb->EditDate->setDate(end);
        main.show();
        exposed = QTest::qWaitForWindowExposed(&main);
    }
    void Mode(int tag) { lhb->ModeButton(tag)->click(); }
    void Compute() { lhb->ButtonOk->click(); }
    QString Status() const { return SkinKit.SkinForm->Panel->text(); }
};

} // namespace

class TestLhb : public QObject
{
    Q_OBJECT

private slots:
    void opensOnTheDailyList();
    void missingFiles_data();
    void missingFiles();
    void controlsOfEachMode_data();
    void controlsOfEachMode();
    void typeChoice();
    void halfWidthInMode5();
    void detailsFollowTheRows();
    void computeClearsOldRows();
    void search_data();
    void search();
    void rightClick();
    void watchedSeats();
    void screenshotsOfEveryMode();
};

void TestLhb::opensOnTheDailyList()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w(QDate::currentDate());
    QCOMPARE(w.lhb->ToolTag, 1);
    QCOMPARE(w.lhb->EditDate->date(), QDate::currentDate());
    QCOMPARE(w.lhb->EditDay->value(), 7);
    QCOMPARE(w.lhb->GridLeft->Grid.Cell(2, 0), QStringLiteral("代码")); // the daily list's header
    QCOMPARE(w.lhb->ModeButton(1)->styleSheet(), QStringLiteral("color: #eeeeee;"));
    QCOMPARE(w.lhb->ModeButton(2)->styleSheet(), QStringLiteral("color: #8a8a8a;"));
    // The fixture's data lie in 2024: nothing today, one empty row under the header.
    QCOMPARE(w.lhb->GridLeft->Grid.RowCount(), 2);
    w.lhb->EditDate->setDate(Day);
    w.Compute();
    QCOMPARE(Column(w.lhb->GridLeft, QStringLiteral("代码")), QStringList({"600000", "300001", "000001"}));
    QCOMPARE(w.lhb->GridLeft->Row(), 1);
    QCOMPARE(Column(w.lhb->GridTop, QStringLiteral("席位名称")), QStringList({"机构专用", "甲证券营业部"}));
}

void TestLhb::missingFiles_data()
{
    QTest::addColumn<int>("written"); // 0 none, 1 codes, 2 codes and seats
    QTest::addColumn<QString>("message");
    QTest::newRow("no code file") << 0 << "缺少代码数据文件！";
    QTest::newRow("no seat file") << 1 << "缺少营业部数据文件！";
    QTest::newRow("no disclosure file") << 2 << "缺少龙虎榜数据文件！";
}

void TestLhb::missingFiles()
{
    QFETCH(int, written);
    QFETCH(QString, message);
    TFixture fx;
    if (written >= 1) {
        fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
        WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), PackDataFile(RecordBytes(fx.Codes), fx.Key()));
    }
    if (written >= 2) {
        fx.AddSeat(QStringLiteral("机构专用"));
        WriteBytes(NativePath(Json.S(QStringLiteral("data.yyb"))), PackDataFile(RecordBytes(fx.Seats), fx.Key()));
    }
    TWindow w;
    QCOMPARE(w.Status(), message);
    QCOMPARE(w.lhb->ToolTag, 0); // nothing was computed, the mode did not change
    w.Mode(3);
    QCOMPARE(w.lhb->ToolTag, 0);
    QCOMPARE(w.lhb->ModeButton(3)->styleSheet(), QStringLiteral("color: #8a8a8a;"));
}

void TestLhb::controlsOfEachMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("shown"); // C combo, D date, N days, K compute, A attention, F filter, T top panel
    QTest::newRow("1") << 1 << "DNKT";
    QTest::newRow("2") << 2 << "CDNKT";
    QTest::newRow("3") << 3 << "DNKT";
    QTest::newRow("4") << 4 << "DNKAT";
    QTest::newRow("5") << 5 << "DK";
    QTest::newRow("6") << 6 << "FT";
    QTest::newRow("7") << 7 << "DNKT";
}

void TestLhb::controlsOfEachMode()
{
    QFETCH(int, mode);
    QFETCH(QString, shown);
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    w.Mode(mode);
    TFormLHB *l = w.lhb;
    QCOMPARE(l->ToolTag, mode);
    QString got;
    for (auto [letter, widget] : std::initializer_list<std::pair<char, QWidget *>>{
             {'C', l->ComboChoice}, {'D', l->EditDate}, {'N', l->EditDay}, {'K', l->ButtonOk},
             {'A', l->ButtonAttention}, {'F', l->ButtonFilter}, {'T', l->PanelTop}})
        if (!widget->isHidden())
            got += QLatin1Char(letter);
    QCOMPARE(got, shown);
    // The visible parameter controls keep their order after the mode buttons.
    int x = l->ModeButton(6)->x();
    for (QWidget *wd : std::initializer_list<QWidget *>{l->ComboChoice, l->EditDate, l->EditDay, l->ButtonOk})
        if (!wd->isHidden()) {
            QTRY_VERIFY(wd->x() > x);
            x = wd->x();
        }
    QVERIFY(l->CheckListAttention->isHidden());
}

void TestLhb::typeChoice()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    w.Mode(2);
    QCOMPARE(w.lhb->ComboChoice->count(), 3);
    QCOMPARE(w.lhb->ComboChoice->currentText(), QStringLiteral("活跃席位"));
    w.lhb->ComboChoice->setCurrentIndex(1);
    w.Compute();
    QCOMPARE(w.lhb->ComboChoice->currentIndex(), 1);
    QCOMPARE(w.lhb->GridLeft->Grid.Cell(2, 0), QStringLiteral("买入次数"));
    w.Mode(2);
    QCOMPARE(w.lhb->ComboChoice->currentIndex(), 0);
    QCOMPARE(w.lhb->GridLeft->Grid.Cell(2, 0), QStringLiteral("上榜次数"));
    w.Mode(6);
    QCOMPARE(w.lhb->ComboChoice->count(), 0);
}

void TestLhb::halfWidthInMode5()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    TFormLHB *l = w.lhb;
    QTRY_COMPARE(l->PanelLeft->width(), int(l->width() * 0.6));
    w.Mode(5);
    QTRY_COMPARE(l->PanelLeft->width(), int(l->width() * 0.5));
    QVERIFY(l->PanelTop->isHidden());
    QCOMPARE(l->GridLeft->Grid.Cell(1, 0), QStringLiteral("股票代码"));
    QCOMPARE(Column(l->GridLeft, QStringLiteral("股票代码")), QStringList({"600000"}));
    w.Mode(1);
    QTRY_COMPARE(l->PanelLeft->width(), int(l->width() * 0.6));
    // A new splitter position changes the scale the next layouts keep.
    TAlignLayout::Of(l)->SetExtent(l->PanelLeft, 480);
    l->PanelScale = 480.0 / l->width();
    w.Mode(5);
    w.Mode(2);
    QTRY_COMPARE(l->PanelLeft->width(), int(l->width() * (480.0 / l->width())));
}

void TestLhb::detailsFollowTheRows()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    TFormLHB *l = w.lhb;
    // Mode 1: the seats of the selected stock.
    l->GridLeft->SetRow(3); // 000001
    QCOMPARE(l->GridLeft->CurrentText(QStringLiteral("代码")), QStringLiteral("000001"));
    QCOMPARE(Column(l->GridTop, QStringLiteral("席位名称")), QStringList({"甲证券营业部"}));
    QCOMPARE(Column(l->GridBottom, QStringLiteral("席位名称")), QStringList({"乙证券营业部"}));
    // Mode 2: the seat's stocks, then its records in the stock of the top row.
    w.Mode(2);
    l->GridLeft->SetRow(Column(l->GridLeft, QStringLiteral("席位名称")).indexOf(QStringLiteral("甲证券营业部")) + 1);
    QCOMPARE(Column(l->GridTop, QStringLiteral("代码")).size(), 2);
    const QString topCode = l->GridTop->CurrentText(QStringLiteral("代码"));
    QCOMPARE(Column(l->GridBottom, QStringLiteral("日期")).size(), 1);
    l->GridTop->SetRow(2);
    QVERIFY(l->GridTop->CurrentText(QStringLiteral("代码")) != topCode);
    QCOMPARE(Column(l->GridBottom, QStringLiteral("异动方向")).size(), 1);
    // Mode 3: the stock's seats, then the records of the top row's seat in it.
    w.Mode(3);
    l->GridLeft->SetRow(Column(l->GridLeft, QStringLiteral("代码")).indexOf(QStringLiteral("600000")) + 1);
    QCOMPARE(Column(l->GridTop, QStringLiteral("席位名称")).size(), 2);
    QCOMPARE(Column(l->GridBottom, QStringLiteral("日期")).size(), 1);
    // Mode 5 has no drill-down: the selling grid stays as it was.
    w.Mode(5);
    const QStringList selling = Column(l->GridBottom, QStringLiteral("股票代码"));
    l->GridLeft->SetRow(1);
    QCOMPARE(Column(l->GridBottom, QStringLiteral("股票代码")), selling);
}

void TestLhb::computeClearsOldRows()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    QCOMPARE(w.lhb->GridLeft->Grid.RowCount(), 4);
    w.lhb->EditDate->setDate(QDate(2020, 1, 1));
    w.Compute();
    QCOMPARE(w.lhb->GridLeft->Grid.RowCount(), 2);
    QVERIFY(w.lhb->GridLeft->Grid.Cell(2, 1).isEmpty());
    QCOMPARE(w.lhb->GridLeft->Grid.Cell(2, 0), QStringLiteral("代码"));
}

void TestLhb::search_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("found"); // empty: not found
    QTest::newRow("mode 1 by code") << 1 << "000001" << "代码" << "000001";
    QTest::newRow("mode 1 by name") << 1 << "特锐" << "代码" << "300001";
    QTest::newRow("mode 1 blanks stripped") << 1 << "  浦发 " << "代码" << "600000";
    QTest::newRow("mode 2 by seat") << 2 << "乙证券" << "席位名称" << "乙证券营业部";
    QTest::newRow("mode 3 by name") << 3 << "平安" << "代码" << "000001";
    QTest::newRow("letter case counts") << 2 << "ABC" << "席位名称" << "";
    QTest::newRow("no match") << 1 << "999" << "代码" << "";
}

void TestLhb::search()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    QFETCH(QString, found);
    TFixture fx;
    SmallDataSet(fx);
    fx.AddRecord(2, 3, 10.0, 0.0, Ymd(2024, 3, 15)); // the abc seat
    fx.WriteTables();
    TWindow w;
    w.Mode(mode);
    const int before = w.lhb->GridLeft->Row();
    w.lhb->Search(text);
    if (found.isEmpty()) {
        QCOMPARE(w.infos, QStringList{QStringLiteral("查找无结果！")});
        QCOMPARE(w.lhb->GridLeft->Row(), before);
    } else {
        QVERIFY(w.infos.isEmpty());
        QCOMPARE(w.lhb->GridLeft->CurrentText(caption), found);
    }
    w.infos.clear();
    w.lhb->Search(QStringLiteral("   ")); // nothing left after stripping: nothing happens
    QVERIFY(w.infos.isEmpty());
}

void TestLhb::rightClick()
{
    TFixture fx;
    SmallDataSet(fx);
    TWindow w;
    TGridView *g = w.lhb->GridLeft;
    QCOMPARE(g->Row(), 1);
    const QRect third = g->visualRect(g->model()->index(2, 1));
    QTest::mouseClick(g->viewport(), Qt::RightButton, Qt::NoModifier, third.center());
    QCOMPARE(g->Row(), 3);
    QCOMPARE(Column(w.lhb->GridTop, QStringLiteral("席位名称")), QStringList({"甲证券营业部"}));
    // The header row changes nothing.
    QTest::mouseClick(g->horizontalHeader()->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 5));
    QCOMPARE(g->Row(), 3);
}

void TestLhb::watchedSeats()
{
    TFixture fx;
    SmallDataSet(fx);
    Json.Put(QStringLiteral("run.lhb.attention"), JsonValue::array({2}));
    TWindow w;
    TFormLHB *l = w.lhb;
    w.Mode(4);
    QCOMPARE(Column(l->GridLeft, QStringLiteral("席位名称")), QStringList({"乙证券营业部"}));
    QVERIFY(l->CheckListAttention->isHidden());
    l->ButtonAttention->click();
    QVERIFY(!l->CheckListAttention->isHidden());
    QListWidget *list = l->CheckListAttention->List;
    QStringList names, checked;
    for (int i = 0; i < list->count(); ++i) {
        names << list->item(i)->text();
        if (list->item(i)->checkState() == Qt::Checked)
            checked << list->item(i)->text();
    }
    // Case-insensitive order, Chinese by pinyin: abc, 机构 (ji), 甲 (jia), 乙 (yi).
    QCOMPARE(names, QStringList({"abc营业部", "机构专用", "甲证券营业部", "乙证券营业部"}));
    QCOMPARE(checked, QStringList({"乙证券营业部"}));

    auto item = [&](const QString &name) { return list->findItems(name, Qt::MatchExactly).value(0); };
    auto stored = [&]() { return QString::fromStdString(Json.O(QStringLiteral("run.lhb.attention"))->dump()); };
    item(QStringLiteral("甲证券营业部"))->setCheckState(Qt::Checked);
    QCOMPARE(stored(), QStringLiteral("[2,1]"));
    QCOMPARE(Column(l->GridLeft, QStringLiteral("席位名称")), QStringList({"乙证券营业部", "甲证券营业部"}));
    QCOMPARE(l->GridLeft->CurrentText(QStringLiteral("席位名称")), QStringLiteral("甲证券营业部"));
    QCOMPARE(Column(l->GridTop, QStringLiteral("代码")).size(), 2); // the details follow the selected row
    item(QStringLiteral("乙证券营业部"))->setCheckState(Qt::Unchecked);
    QCOMPARE(stored(), QStringLiteral("[1]"));
    QCOMPARE(Column(l->GridLeft, QStringLiteral("席位名称")), QStringList({"甲证券营业部"}));
    item(QStringLiteral("乙证券营业部"))->setCheckState(Qt::Checked);
    item(QStringLiteral("甲证券营业部"))->setCheckState(Qt::Unchecked);
    item(QStringLiteral("甲证券营业部"))->setCheckState(Qt::Checked); // re-checked: moves to the end
    QCOMPARE(stored(), QStringLiteral("[2,1]"));

    // Selecting a row selects the seat in the list; the list hides on a mode switch and stays hidden.
    l->GridLeft->SetRow(1);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("乙证券营业部"));
    w.Mode(1);
    QVERIFY(l->CheckListAttention->isHidden());
    w.Mode(4);
    QVERIFY(l->CheckListAttention->isHidden());
    l->ButtonAttention->click();
    QCOMPARE(list->count(), 4); // filled once, shown again
}

void TestLhb::screenshotsOfEveryMode()
{
    TFixture fx;
    TDemoOptions opt;
    opt.OutDir = fx.Dir();
    opt.End = QDate::currentDate(); // the seat filter's periods end today
    TDemoSummary summary;
    QString error;
    QVERIFY2(WriteDemo(opt, summary, error), qPrintable(error));
    Json.Put(QStringLiteral("run.lhb.attention"), JsonValue::array({3, 5, 8, 13, 21}));
    TWindow w(QDate::currentDate());
    QVERIFY(w.exposed);
    w.main.resize(1280, 760);
    QDir().mkpath(QStringLiteral(MV_BUILD_DIR "/screenshots"));
    for (int mode : {1, 2, 3, 7, 4, 5, 6}) {
        w.Mode(mode);
        if (mode == 4)
            w.lhb->ButtonAttention->click();
        QVERIFY2(w.lhb->GridLeft->Grid.RowCount() > 2, qPrintable(QStringLiteral("mode %1").arg(mode)));
        QTest::qWait(50);
        w.main.grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/lhb-mode%1.png").arg(mode));
    }
}

MV_GUI_TEST_MAIN(TestLhb)
#include "tst_lhb.moc"
