#pragma once
// The research report window: the service's report page in an embedded browser. Each click in the
// page turns its script links into in-page "#" links; a navigation to such a link opens the
// document in a modal web dialog.

#include <QPointer>
#include <QWidget>

class QUrl;
class QWebEngineView;

class TFormReport : public QWidget
{
    Q_OBJECT
public:
    // The main window creates it with `new TFormReport` and shows it with ShowChild(form, false);
    // closing it destroys it.
    explicit TFormReport(QWidget *parent = nullptr);

    QWebEngineView *Browser = nullptr;

    // Runs the link script in the current document; every failure is ignored.
    void BrowserMouseClick();
    // Opens a web dialog when the address carries a title and a document address.
    void NavigateComplete(const QUrl &url);

signals:
    // The link script has run (or failed) in the page.
    void LinkScriptDone();

protected:
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Watches the widget that receives the page's mouse input; it is replaced when the page is.
    void WatchInput(QObject *child);

    QPointer<QWidget> m_input;
};
