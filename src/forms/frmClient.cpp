#include "frmClient.h"

#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "app/UpdateScript.h"
#include "forms/frmGGCG.h"
#include "forms/frmLHB.h"
#include "forms/frmLogin.h"
#include "forms/frmReport.h"
#include "kit/Skin.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSaveFile>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineView>

namespace {

struct TTool
{
    int tag;
    const char16_t *caption;
    TAlign align;
};

// The tool buttons in the order of creation; a button's image is the image of its tag.
const TTool Tools[] = {
    {0, u" 通行证 ", TAlign::Left},   {2, u" 龙虎榜 ", TAlign::Left},   {4, u" 高管持股 ", TAlign::Left},
    {3, u" 研报中心 ", TAlign::Left}, {6, u" 帮助说明 ", TAlign::Left}, {1, u" 数据更新 ", TAlign::Right},
};
const char *const Images32[] = {"Login", "Data", "LHB", "Report", "GGCG", "RZZQ", "Help"};

void SetFlat(QToolButton *b, bool flat)
{
    b->setAutoRaise(flat);
    b->setProperty("raised", !flat);
    Repolish(b);
}

// A child window frame that only minimises when closed.
class TMinimisingSubWindow : public QMdiSubWindow
{
public:
    using QMdiSubWindow::QMdiSubWindow;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        if (property("closing").toBool()) {
            e->accept();
            return;
        }
        e->ignore();
        showMinimized();
    }
};

} // namespace

TFormClient::TFormClient(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormClient"));
    BuildDefaultTree(Json);
    LoadRunSubtree(Json);
    QApplication::setApplicationDisplayName(Json.S(QStringLiteral("app.title")));
    setWindowTitle(QStringLiteral("%1 v%2").arg(Json.S(QStringLiteral("app.caption")), Json.S(QStringLiteral("app.ver"))));
    setWindowIcon(QIcon(QStringLiteral(":/skin/Morvane.svg")));
    resize(int(Json.I(QStringLiteral("run.form.width"))), int(Json.I(QStringLiteral("run.form.height"))));

    SkinKit.ApplyFormSkin(this);
    setMinimumSize(800, 600);

    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("ClientBody"));
    setCentralWidget(body);
    ToolBar = SkinKit.CreateToolBar(body);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    SetSkinElement(ToolBar, "bigtoolpanel");
    ToolBar->SetImageWidth(32);
    for (const TTool &t : Tools) {
        QToolButton *b = SkinKit.CreateToolButton(ToolBar, QString::fromUtf16(t.caption), t.align);
        b->setProperty("tag", t.tag);
        b->setObjectName(QStringLiteral("ToolButton%1").arg(t.tag));
        b->setIcon(QIcon(QStringLiteral(":/skin/%1.svg").arg(QLatin1String(Images32[t.tag]))));
        b->setIconSize(QSize(32, 32));
        b->setFixedHeight(40);
        connect(b, &QToolButton::clicked, this, [this, b]() { ToolClick(b); });
        if (t.tag == 1)
            ToolButtonDown = b;
    }
    SkinKit.CreateBevel(body, TAlign::Top);

    MdiArea = new QMdiArea(body);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setViewMode(QMdiArea::SubWindowView); // no tabs
    TAlignLayout::Of(body)->AddAligned(MdiArea, TAlign::Client);

    EditSearch = SkinKit.CreateEdit(statusBar(), TAlign::Right, 0, 0, 0, 0);
    EditSearch->setObjectName(QStringLiteral("EditSearch"));
    SetSkinElement(EditSearch, "statusedit");
    EditSearch->setToolTip(QStringLiteral("关键字查找"));
    EditSearch->setStatusTip(QStringLiteral("关键字查找"));
    EditSearch->setPlaceholderText(QStringLiteral("关键字查找"));
    EditSearch->addAction(QIcon(QStringLiteral(":/skin/search.svg")), QLineEdit::LeadingPosition);
    connect(EditSearch, &QLineEdit::returnPressed, this, &TFormClient::Search);

    qApp->installEventFilter(this);
}

TFormClient::~TFormClient()
{
    qApp->removeEventFilter(this);
    // The size is kept unless the window was maximised when it closed.
    const bool maximised = m_closing ? m_closedMaximised : bool(windowState() & Qt::WindowMaximized);
    const QSize size = m_closing ? m_closedSize : this->size();
    if (!maximised) {
        Json.Put(QStringLiteral("run.form.height"), size.height());
        Json.Put(QStringLiteral("run.form.width"), size.width());
    }
    SaveRunSubtree(Json);
    UpdateFile(ProgramFilePath(), Json.S(QStringLiteral("upd.client")), false);
}

QToolButton *TFormClient::Button(int tag) const
{
    for (QToolButton *b : ToolBar->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
        if (b->property("tag").toInt() == tag)
            return b;
    return nullptr;
}

QMdiSubWindow *TFormClient::ShowChild(QWidget *form, bool closeMinimises)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(form->parentWidget());
    if (!sub) {
        sub = closeMinimises ? new TMinimisingSubWindow : new QMdiSubWindow;
        sub->setWidget(form);
        sub->setWindowIcon(windowIcon());
        sub->setAttribute(Qt::WA_DeleteOnClose, !closeMinimises);
        MdiArea->addSubWindow(sub);
    }
    sub->showMaximized();
    MdiArea->setActiveSubWindow(sub);
    sub->raise();
    return sub;
}

void TFormClient::ToolClick(QToolButton *button)
{
    const int tag = button->property("tag").toInt();
    switch (tag) {
    case 0:
        if (!FormLogin)
            FormLogin = new TFormLogin;
        ShowChild(FormLogin, true);
        break;
    case 2:
        if (!FormLHB)
            FormLHB = new TFormLHB;
        ShowChild(FormLHB, false);
        break;
    case 3:
        if (!FormReport)
            FormReport = new TFormReport;
        ShowChild(FormReport, false);
        break;
    case 4:
        if (!FormGGCG)
            FormGGCG = new TFormGGCG;
        ShowChild(FormGGCG, true);
        break;
    case 1:
        DataUpdate();
        return; // data update and help leave the marking as it is
    case 6:
        QDesktopServices::openUrl(QUrl(Json.S(QStringLiteral("url.help"))));
        return;
    default:
        return;
    }
    for (QToolButton *b : ToolBar->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
        SetFlat(b, true);
    SetFlat(button, false);
}

QWidget *TFormClient::ActiveChild() const
{
    QMdiSubWindow *sub = MdiArea->activeSubWindow();
    return sub ? sub->widget() : nullptr;
}

void TFormClient::DataUpdate()
{
    if (UpdateFile(Json.S(QStringLiteral("app.down")), Json.S(QStringLiteral("upd.down")), true))
        return;
    const QString down = QFileInfo(NativePath(Json.S(QStringLiteral("app.down")))).absoluteFilePath();
    if (!QFileInfo::exists(down)) {
        SkinKit.ShowInfo(Json.S(QStringLiteral("msg.exist")));
        return;
    }
    QProcess::startDetached(down, {Json.S(QStringLiteral("url.update"))}, QFileInfo(down).absolutePath());
}

bool TFormClient::UpdateFile(const QString &sFile, const QString &tFile, bool isStart)
{
    const QFileInfo s(NativePath(sFile)), t(NativePath(tFile));
    if (!t.exists())
        return false;
    // Any difference of the last-write times replaces the file; a missing file counts as different.
    if (s.exists() && s.lastModified().toUTC() == t.lastModified().toUTC())
        return false;
    TUpdatePaths p;
    p.S = QDir::toNativeSeparators(s.absoluteFilePath());
    p.T = QDir::toNativeSeparators(t.absoluteFilePath());
    p.D = QDir::toNativeSeparators(s.absolutePath() + u'/');
    const QString script = Json.S(QStringLiteral("upd.bat"));
    if (!Pub.EnsureFileDir(script))
        return false;
    const QString scriptPath = QFileInfo(NativePath(script)).absoluteFilePath();
#ifdef Q_OS_WIN
    const QByteArray text = BuildUpdateBatch(p, isStart);
#else
    // The running program may hold the file it replaces: the script waits until this process has ended.
    const QByteArray text = BuildUpdateShell(p, isStart, QCoreApplication::applicationPid());
#endif
    QSaveFile out(scriptPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        return false;
#ifdef Q_OS_WIN
    QProcess proc;
    proc.setProgram(QStringLiteral("cmd.exe"));
    proc.setArguments({QStringLiteral("/c"), scriptPath});
    proc.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *a) { a->flags |= 0x08000000; });
    return proc.startDetached();
#else
    return QProcess::startDetached(QStringLiteral("/bin/sh"), {scriptPath}, QFileInfo(scriptPath).absolutePath());
#endif
}

void TFormClient::Search()
{
    // The seat analysis and holdings windows take the search; they connect to this signal when they exist.
    QWidget *active = ActiveChild();
    if (active && (active == FormLHB || active == FormGGCG))
        QMetaObject::invokeMethod(active, "Search", Q_ARG(QString, EditSearch->text()));
}

void TFormClient::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!e->spontaneous())
        if (QToolButton *first = Button(0))
            first->click();
}

void TFormClient::closeEvent(QCloseEvent *e)
{
    m_closing = true;
    m_closedMaximised = windowState() & Qt::WindowMaximized;
    m_closedSize = size();
    if (auto *sub = FormLogin ? qobject_cast<QMdiSubWindow *>(FormLogin->parentWidget()) : nullptr)
        sub->setProperty("closing", true);
    showMinimized();
    e->accept();
}

bool TFormClient::event(QEvent *e)
{
    // Hints of the controls go to the status bar's text panel.
    if (e->type() == QEvent::StatusTip) {
        SkinKit.ShowStatus(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool TFormClient::TakesText(const QWidget *w) const
{
    for (; w; w = w->parentWidget())
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w)
            || qobject_cast<const QTextEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)
            || qobject_cast<const QWebEngineView *>(w)
            || (qobject_cast<const QComboBox *>(w) && static_cast<const QComboBox *>(w)->isEditable()))
            return true;
    return false;
}

bool TFormClient::eventFilter(QObject *watched, QEvent *e)
{
    // A character typed on a control that takes no text (a grid, a button) starts a search instead.
    if (e->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        const auto *key = static_cast<QKeyEvent *>(e);
        const QString text = key->text();
        QWidget *focus = QApplication::focusWidget();
        const bool printable = text.size() == 1 && text.at(0).isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (printable && FormLogin && ActiveChild() != FormLogin && focus && focus->window() == this
            && focus != EditSearch && !QApplication::activeModalWidget() && !TakesText(focus)) {
            EditSearch->setFocus();
            EditSearch->setText(text);
            EditSearch->setCursorPosition(int(text.size()));
        }
    }
    return QMainWindow::eventFilter(watched, e);
}
