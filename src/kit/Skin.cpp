#include "Skin.h"

#include "kit/GridView.h"
#include "kit/SkinStrings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "data/Dates.h"

TSkinKit SkinKit;

// The skin's resources live in a static library: they are registered here, outside any namespace.
static void InitSkinResources()
{
    Q_INIT_RESOURCE(skin);
}

void InitSkinApplication()
{
    InitSkinResources();
    // Fusion with a dark palette, so that what the style sheet does not reach (the child windows'
    // title bars, dialogs) is dark too.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QPalette p;
    p.setColor(QPalette::Window, QColor(30, 30, 30));
    p.setColor(QPalette::WindowText, QColor(221, 221, 221));
    p.setColor(QPalette::Base, QColor(25, 25, 25));
    p.setColor(QPalette::AlternateBase, QColor(25, 25, 25));
    p.setColor(QPalette::Text, QColor(221, 221, 221));
    p.setColor(QPalette::Button, QColor(51, 51, 51));
    p.setColor(QPalette::ButtonText, QColor(221, 221, 221));
    p.setColor(QPalette::Highlight, QColor(0, 0, 102));
    p.setColor(QPalette::HighlightedText, QColor(238, 238, 238));
    p.setColor(QPalette::ToolTipBase, QColor(42, 42, 42));
    p.setColor(QPalette::ToolTipText, QColor(221, 221, 221));
    p.setColor(QPalette::PlaceholderText, QColor(138, 138, 138));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(102, 102, 102));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(102, 102, 102));
    QApplication::setPalette(p);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(TSkinKit::FontHeight());
    QApplication::setFont(font);
    QFile sheet(QStringLiteral(":/skin/skin.qss"));
    if (sheet.open(QIODevice::ReadOnly))
        qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
}

void SetSkinElement(QWidget *w, const char *element)
{
    w->setProperty("skinElement", QString::fromLatin1(element));
    Repolish(w);
}

QString SkinElement(const QWidget *w)
{
    return w->property("skinElement").toString();
}

void Repolish(QWidget *w)
{
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
}

namespace {

// Puts a control into its parent: tool bars keep rows, other parents lay children out by alignment.
void Place(QWidget *w, QWidget *parent, TAlign align, int left = 0, int top = 0)
{
    if (auto *bar = qobject_cast<TSkinToolBar *>(parent)) {
        bar->AddControl(w, align);
        return;
    }
    // In the status bar the text panel fills the bar; right-aligned controls stand left of the gauge.
    if (auto *status = qobject_cast<QStatusBar *>(parent)) {
        if (align == TAlign::Right)
            status->insertPermanentWidget(1, w);
        else
            status->addWidget(w, align == TAlign::Client ? 1 : 0);
        return;
    }
    w->setParent(parent);
    TAlignLayout::Of(parent)->AddAligned(w, align);
    if (align == TAlign::None)
        w->move(left, top);
    w->show();
}

} // namespace

TSkinToolBar::TSkinToolBar(QWidget *parent) : QFrame(parent), m_row(new QHBoxLayout(this))
{
    m_row->setContentsMargins(2, 2, 2, 2);
    m_row->setSpacing(0);
    m_row->addStretch(1);
}

void TSkinToolBar::AddControl(QWidget *w, TAlign align)
{
    w->setParent(this);
    if (align == TAlign::Right)
        m_row->insertWidget(m_leftCount + 1, w); // right after the stretch: left of earlier right ones
    else
        m_row->insertWidget(m_leftCount++, w);
    w->show();
}

void TSkinToolBar::MoveToLeftEnd(QWidget *w)
{
    const int at = m_row->indexOf(w);
    if (at < 0 || at >= m_leftCount)
        return;
    m_row->removeWidget(w);
    m_row->insertWidget(m_leftCount - 1, w);
}

TSkinCheckList::TSkinCheckList(QWidget *parent)
    : QFrame(parent), Caption(new QLabel(this)), List(new QListWidget(this))
{
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(Caption);
    box->addWidget(List, 1);
    Caption->setObjectName(QStringLiteral("CheckListCaption"));
    List->setMouseTracking(true);
}

TSkinSplitter::TSkinSplitter(QWidget *parent, TAlign align) : QFrame(parent), m_align(align)
{
    const bool horizontal = align == TAlign::Top || align == TAlign::Bottom;
    setCursor(horizontal ? Qt::SplitVCursor : Qt::SplitHCursor);
}

QWidget *TSkinSplitter::Neighbour() const
{
    // The control aligned to the same edge just before the splitter.
    auto *layout = qobject_cast<TAlignLayout *>(parentWidget() ? parentWidget()->layout() : nullptr);
    if (!layout)
        return nullptr;
    QWidget *before = nullptr;
    for (int i = 0; i < layout->count(); ++i) {
        QWidget *w = layout->itemAt(i)->widget();
        if (w == this)
            return before;
        if (w && layout->AlignOf(w) == m_align && !w->isHidden())
            before = w;
    }
    return nullptr;
}

void TSkinSplitter::mousePressEvent(QMouseEvent *e)
{
    m_pressAt = e->globalPosition().toPoint();
    auto *layout = qobject_cast<TAlignLayout *>(parentWidget()->layout());
    QWidget *n = Neighbour();
    m_startExtent = layout && n ? layout->Extent(n) : 0;
}

void TSkinSplitter::mouseMoveEvent(QMouseEvent *e)
{
    if (!(e->buttons() & Qt::LeftButton))
        return;
    auto *layout = qobject_cast<TAlignLayout *>(parentWidget()->layout());
    QWidget *n = Neighbour();
    if (!layout || !n)
        return;
    const QPoint d = e->globalPosition().toPoint() - m_pressAt;
    int delta = 0;
    switch (m_align) {
    case TAlign::Left: delta = d.x(); break;
    case TAlign::Right: delta = -d.x(); break;
    case TAlign::Top: delta = d.y(); break;
    case TAlign::Bottom: delta = -d.y(); break;
    default: break;
    }
    layout->SetExtent(n, qMax(20, m_startExtent + delta));
    layout->activate();
    emit Moved();
}

QString TSkinKit::Text(const QString &key, const QString &fallback) const
{
    return Strings.value(key, fallback);
}

int TSkinKit::FontHeight()
{
    return 12;
}

TSkinForm *TSkinKit::ApplyFormSkin(QWidget *form)
{
    form->setAttribute(Qt::WA_StyledBackground);
    if (auto *main = qobject_cast<QMainWindow *>(form)) {
        // One skin record for the whole run: a main window skinned later takes it over, so no earlier
        // record is left without an owner and pointers handed out before stay valid.
        TSkinForm *skin = SkinForm ? SkinForm : new TSkinForm;
        *skin = TSkinForm();
        skin->Window = main;
        Strings.clear();
        LocalizeSkinStrings(Strings);
        static TSkinTranslator *translator = nullptr;
        if (!translator) {
            translator = new TSkinTranslator(&Strings, qApp);
            QCoreApplication::installTranslator(translator);
        }
        Message = new QObject(form);
        Message->setObjectName(QStringLiteral("SkinMessage"));

        QStatusBar *bar = main->statusBar();
        bar->setSizeGripEnabled(true);
        skin->StatusBar = bar;
        skin->Panel = new QLabel(bar);
        skin->Panel->setObjectName(QStringLiteral("StatusPanel"));
        SetSkinElement(skin->Panel, "statuspanel");
        bar->addWidget(skin->Panel, 1);
        skin->Gauge = new QProgressBar(bar);
        skin->Gauge->setObjectName(QStringLiteral("StatusGauge"));
        SetSkinElement(skin->Gauge, "statusgauge");
        skin->Gauge->setRange(0, 100);
        skin->Gauge->setValue(50);
        skin->Gauge->setTextVisible(true);
        skin->Gauge->setFixedWidth(160);
        bar->addPermanentWidget(skin->Gauge);
        skin->Gauge->hide();

        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            auto *tray = new QSystemTrayIcon(QApplication::windowIcon(), form);
            tray->setToolTip(QApplication::applicationDisplayName());
            QObject::connect(tray, &QSystemTrayIcon::activated, main, [main]() {
                main->showNormal();
                main->activateWindow();
            });
            tray->show();
        }
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            QRect r = form->frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            form->move(r.topLeft());
        }
        SkinForm = skin;
        return skin;
    }
    if (form->property("mdiChild").toBool())
        return SkinForm; // opened maximised by the main window
    if (SkinForm && SkinForm->Window) {
        QRect r = form->frameGeometry();
        r.moveCenter(SkinForm->Window->frameGeometry().center());
        form->move(r.topLeft());
    }
    return SkinForm;
}

QFrame *TSkinKit::CreateBevel(QWidget *parent, TAlign align)
{
    auto *bevel = new QFrame(parent);
    bevel->setObjectName(QStringLiteral("Bevel"));
    switch (align) {
    case TAlign::Top:
    case TAlign::Bottom: bevel->setFrameShape(QFrame::HLine); break;
    case TAlign::Left:
    case TAlign::Right: bevel->setFrameShape(QFrame::VLine); break;
    case TAlign::None: bevel->setFrameShape(QFrame::Box); break;
    case TAlign::Client: break;
    }
    bevel->resize(2, 2);
    Place(bevel, parent, align);
    if (auto *l = qobject_cast<TAlignLayout *>(parent->layout()))
        l->SetExtent(bevel, 2);
    return bevel;
}

QPushButton *TSkinKit::CreateButton(QWidget *parent, const QString &caption, TAlign align)
{
    auto *b = new QPushButton(caption, parent);
    SetSkinElement(b, "toolbutton");
    Place(b, parent, align);
    b->setFixedWidth(MeasureText(parent, caption, FontHeight()) + 10);
    return b;
}

static void JoinGroup(QAbstractButton *b, QWidget *parent, int group, bool exclusive)
{
    b->setProperty("groupIndex", group);
    if (!exclusive || group == 0)
        return;
    const QString name = QStringLiteral("RadioGroup%1").arg(group);
    auto *g = parent->findChild<QButtonGroup *>(name, Qt::FindDirectChildrenOnly);
    if (!g) {
        g = new QButtonGroup(parent);
        g->setObjectName(name);
    }
    g->addButton(b);
}

QCheckBox *TSkinKit::CreateCheckBox(QWidget *parent, const QString &caption, int group, int left, int top)
{
    auto *c = new QCheckBox(caption, parent);
    JoinGroup(c, parent, group, false);
    Place(c, parent, TAlign::None, left, top);
    c->adjustSize();
    return c;
}

QRadioButton *TSkinKit::CreateRadioButton(QWidget *parent, const QString &caption, int group, int left, int top)
{
    auto *r = new QRadioButton(caption, parent);
    SetSkinElement(r, "radiobox");
    r->setAutoExclusive(group == 0);
    JoinGroup(r, parent, group, true);
    Place(r, parent, TAlign::None, left, top);
    r->adjustSize();
    return r;
}

QComboBox *TSkinKit::CreateComboBox(QWidget *parent, TAlign align, const QString &items, int left, int top)
{
    auto *c = new QComboBox(parent);
    if (!items.isEmpty()) {
        FillComboBox(c, items);
        c->setCurrentIndex(0);
    }
    Place(c, parent, align, left, top);
    return c;
}

QLineEdit *TSkinKit::CreateEdit(QWidget *parent, TAlign align, int left, int top, int width, int height)
{
    auto *e = new QLineEdit;
    PlaceControl(e, parent, align, left, top, width, height);
    return e;
}

QDateEdit *TSkinKit::CreateDateEdit(QWidget *parent, TAlign align)
{
    auto *d = new QDateEdit(QDate::currentDate(), parent);
    d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    d->setCalendarPopup(true);
    Place(d, parent, align);
    d->setFixedWidth(MeasureText(d, QStringLiteral("0000/00/00"), FontHeight()) + 18);
    return d;
}

QAbstractSpinBox *TSkinKit::CreateSpinEdit(QWidget *parent, bool floatMode, double minimum, double maximum,
                                           double value, TAlign align, int left, int top, int width, int height)
{
    QAbstractSpinBox *spin = nullptr;
    if (floatMode) {
        auto *d = new QDoubleSpinBox;
        d->setRange(minimum, maximum);
        d->setValue(value);
        spin = d;
    } else {
        auto *i = new QSpinBox;
        i->setRange(int(minimum), int(maximum));
        i->setValue(int(value));
        spin = i;
    }
    PlaceControl(spin, parent, align, left, top, width, height);
    if (width == 0)
    {
        // The maximum in the shortest general format: 99999, 1E15.
        const QString text = QString::number(maximum, 'g', 15).toUpper().replace(QStringLiteral("E+"), QStringLiteral("E"));
        spin->setFixedWidth(MeasureText(spin, text, FontHeight()) + 26);
    }
    return spin;
}

QGroupBox *TSkinKit::CreateGroupBox(QWidget *parent, const QString &caption)
{
    auto *g = new QGroupBox(caption, parent);
    g->show();
    return g;
}

QLabel *TSkinKit::CreateStdLabel(QWidget *parent, const QString &caption, TAlign align, int left, int top, int height)
{
    auto *l = new QLabel(caption, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Place(l, parent, align, left, top);
    l->adjustSize();
    if (height > 0)
        l->setFixedHeight(height);
    return l;
}

QLabel *TSkinKit::CreateLabel(QWidget *parent, const QString &caption, TAlign align, int left, int top, int height)
{
    auto *l = new QLabel(caption, parent);
    Place(l, parent, align, left, top);
    l->adjustSize();
    if (height > 0)
        l->setFixedHeight(height);
    return l;
}

TSkinCheckList *TSkinKit::CreateCheckList(QWidget *parent)
{
    auto *c = new TSkinCheckList(parent);
    SetSkinElement(c, "captionchecklistbox");
    QObject::connect(c->List, &QListWidget::itemEntered, c, [this, c](QListWidgetItem *item) {
        CheckListHint(c, c->List->visualItemRect(item).center());
    });
    return c;
}

void TSkinKit::CheckListHint(TSkinCheckList *list, const QPoint &pos)
{
    if (QListWidgetItem *item = list->List->itemAt(pos))
        list->List->setToolTip(item->text());
}

QFrame *TSkinKit::CreatePanel(QWidget *parent, TAlign align)
{
    auto *p = new QFrame(parent);
    p->setAttribute(Qt::WA_StyledBackground);
    Place(p, parent, align);
    return p;
}

TSkinSplitter *TSkinKit::CreateSplitter(QWidget *parent, TAlign align)
{
    auto *s = new TSkinSplitter(parent, align);
    if (align == TAlign::Top || align == TAlign::Bottom)
        SetSkinElement(s, "hsplitter");
    Place(s, parent, align);
    TAlignLayout::Of(parent)->SetExtent(s, 4);
    return s;
}

TGridView *TSkinKit::CreateGrid(QWidget *parent)
{
    auto *g = new TGridView(parent);
    g->verticalScrollBar()->setProperty("skinElement", QStringLiteral("vscrollbar"));
    Place(g, parent, TAlign::Client);
    return g;
}

TSkinToolBar *TSkinKit::CreateToolBar(QWidget *form)
{
    auto *bar = new TSkinToolBar(form);
    SetSkinElement(bar, "resizetoolpanel");
    bar->SetFlat(true);
    Place(bar, form, TAlign::Top);
    return bar;
}

QToolButton *TSkinKit::CreateToolButton(TSkinToolBar *bar, const QString &caption, TAlign align)
{
    auto *b = new QToolButton(bar);
    SetSkinElement(b, SkinElement(bar) == u"bigtoolpanel" ? "bigtoolbutton" : "toolbutton");
    b->setText(caption);
    b->setAutoRaise(bar->Flat());
    b->setToolButtonStyle(bar->ImageWidth() > 0 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
    bar->AddControl(b, align);
    b->setFixedWidth(MeasureText(bar, caption, FontHeight()) + 10 + bar->ImageWidth());
    return b;
}

QFrame *TSkinKit::CreateDivider(QWidget *parent, TAlign align)
{
    auto *d = new QFrame(parent);
    d->setObjectName(QStringLiteral("Divider"));
    Place(d, parent, align);
    return d;
}

QWebEngineView *TSkinKit::CreateBrowser(QWidget *form)
{
    auto *view = new QWebEngineView(form);
    view->setObjectName(QStringLiteral("Browser"));
    Place(view, form, TAlign::Client);
    return view;
}

void TSkinKit::PlaceControl(QWidget *control, QWidget *parent, TAlign align, int left, int top, int width, int height)
{
    Place(control, parent, align, left, top);
    if (width > 0)
        control->setFixedWidth(width);
    if (height > 0)
        control->setFixedHeight(height);
}

void TSkinKit::FillComboBox(QComboBox *combo, const QString &commaText)
{
    combo->clear();
    const QStringList items = commaText.isEmpty() ? QStringList() : SplitCommaText(commaText);
    combo->addItems(items);
    if (!items.isEmpty())
        combo->setCurrentIndex(0);
    int w = 0;
    const QFontMetrics fm(combo->font());
    for (const QString &item : items)
        w = qMax(w, fm.horizontalAdvance(item));
    combo->setFixedWidth(w + 28);
}

void TSkinKit::SetToolButtonColor(QToolButton *button, const QColor &color, const QColor &other)
{
    QWidget *parent = button->parentWidget();
    if (!parent)
        return;
    for (QToolButton *b : parent->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
        b->setStyleSheet(QStringLiteral("color: %1;").arg(other.name()));
    button->setStyleSheet(QStringLiteral("color: %1;").arg(color.name()));
}

void TSkinKit::SetProgress(int min, int max, int position)
{
    if (max <= min || !SkinForm || !SkinForm->Gauge)
        return;
    QProgressBar *g = SkinForm->Gauge;
    const int percent = int((long long)(position - min) * 100 / ((long long)max - min));
    const int gaugeSpan = g->maximum() - g->minimum();
    const int current = gaugeSpan > 0 ? int((long long)(g->value() - g->minimum()) * 100 / gaugeSpan) : -1;
    if (percent == current)
        return;
    g->setMaximum(max);
    g->setMinimum(min);
    g->setValue(qBound(min, position, max));
    const bool wasVisible = g->isVisible();
    g->setVisible(min < position && position < max);
    // Pending repaints run, at most every 25 ms (and whenever the gauge appears or goes), so that a
    // computation is not slowed by a hundred repaints; user input waits until it is done, so no
    // handler re-enters a view.
    static QElapsedTimer sinceLast;
    if (sinceLast.isValid() && sinceLast.elapsed() < 25 && wasVisible == g->isVisible())
        return;
    sinceLast.start();
    ++PumpCount;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TSkinKit::ShowStatus(const QString &text)
{
    if (SkinForm && SkinForm->Panel)
        SkinForm->Panel->setText(text);
}

void TSkinKit::ShowInfo(const QString &text)
{
    if (!Message)
        return;
    const QString caption = Text(QStringLiteral("MSG_CAP_INFORMATION"), QStringLiteral("Information"));
    const QString ok = Text(QStringLiteral("MSG_BTN_OK"), QStringLiteral("&OK"));
    if (InfoHook) {
        InfoHook(caption, text, ok);
        return;
    }
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::NoButton,
                    SkinForm ? SkinForm->Window.data() : nullptr);
    box.addButton(ok, QMessageBox::AcceptRole);
    box.exec();
}

int TSkinKit::MeasureText(const QWidget *control, const QString &text, int fontHeight) const
{
    QFont f = QApplication::font();
    f.setPixelSize(fontHeight > 0 ? fontHeight : qMax(1, control ? control->height() : 12));
    return QFontMetrics(f).horizontalAdvance(text);
}
