#include "frmReport.h"

#include "app/Json.h"
#include "forms/frmWeb.h"
#include "kit/Skin.h"
#include "views/ReportLink.h"

#include <QChildEvent>
#include <QEvent>
#include <QUrl>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace {

// A text as a JavaScript string literal.
QString JsString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\';
        if (c.unicode() < 32 || c == QChar(0x2028) || c == QChar(0x2029))
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
        else
            out += c;
    }
    return out + u'"';
}

} // namespace

TFormReport::TFormReport(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormReport"));
    setWindowTitle(QStringLiteral("研报中心"));
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("mdiChild", true);
    SkinKit.ApplyFormSkin(this);
    Browser = SkinKit.CreateBrowser(this);
    // The view's input widget is created with the page and replaced when the page's renderer changes.
    Browser->installEventFilter(this);
    connect(Browser, &QWebEngineView::loadStarted, this, [this]() { WatchInput(Browser->focusProxy()); });
    connect(Browser, &QWebEngineView::loadFinished, this, [this](bool) { WatchInput(Browser->focusProxy()); });
    // Queued, so that the modal dialog does not run inside the browser's own notification; the page's
    // status texts (linkHovered) are not connected, so they are shown nowhere.
    connect(Browser, &QWebEngineView::urlChanged, this, &TFormReport::NavigateComplete, Qt::QueuedConnection);
    Browser->setUrl(QUrl(Json.S(QStringLiteral("url.report"))));
    WatchInput(Browser->focusProxy());
}

void TFormReport::WatchInput(QObject *child)
{
    auto *w = qobject_cast<QWidget *>(child);
    if (!w || w == m_input || !Browser->isAncestorOf(w))
        return;
    w->installEventFilter(this);
    m_input = w;
}

bool TFormReport::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Browser) {
        if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildPolished)
            WatchInput(static_cast<QChildEvent *>(e)->child());
    } else if (e->type() == QEvent::MouseButtonPress) {
        // Sent on the press, before the page sees it; whether the page has converted its links by the
        // time the click lands is not certain, so a link may take its own click script once.
        BrowserMouseClick();
    }
    return QWidget::eventFilter(watched, e);
}

void TFormReport::BrowserMouseClick()
{
    // A page without a document or without jQuery makes the script fail inside the page, which
    // changes nothing; the result is not looked at.
    QPointer<TFormReport> self(this);
    Browser->page()->runJavaScript(ReportLinkScript(), QWebEngineScript::MainWorld, [self](const QVariant &) {
        if (self)
            emit self->LinkScriptDone();
    });
}

void TFormReport::NavigateComplete(const QUrl &url)
{
    const TReportLink link = ParseReportLink(url.toString());
    if (!link.Opens())
        return;
    const QUrl document = ReportDocumentUrl(url, link.Document);
    if (document.isEmpty())
        return;
    auto *web = new TFormWeb; // owned by the application, destroyed when it closes
    web->setWindowTitle(link.Title);
    web->resize(800, 600);
    web->Web->setUrl(document);
    QPointer<TFormReport> self(this);
    web->ShowModal();
    // The browser reports only address changes, so a second click on the same link would open
    // nothing: the link address is taken off the page's address (without a navigation) once the
    // dialog has closed, as long as the page is still there.
    if (self) {
        const QString href = url.toString(QUrl::FullyEncoded);
        Browser->page()->runJavaScript(
            QStringLiteral("if(location.href==%1)history.replaceState(history.state,\"\",location.href.split(\"#\")[0]);")
                .arg(JsString(href)),
            QWebEngineScript::ApplicationWorld);
    }
}
