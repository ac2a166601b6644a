#pragma once
// The passport window: the service's sign-in page in an embedded browser, behind a waiting text
// until the page has loaded.

#include <QWidget>

class QLabel;
class QWebEngineView;

class TFormLogin : public QWidget
{
    Q_OBJECT
public:
    explicit TFormLogin(QWidget *parent = nullptr);

    QLabel *LabelWait = nullptr;
    QWebEngineView *Browser = nullptr;
    // True once the page has completed and the browser fills the window.
    bool Shown() const { return m_shown; }

signals:
    void PageShown();

protected:
    void showEvent(QShowEvent *e) override;

private:
    void DocumentComplete();

    bool m_shown = false;
    bool m_centred = false;
};
