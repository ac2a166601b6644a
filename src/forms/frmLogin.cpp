#include "frmLogin.h"

#include "app/Json.h"
#include "kit/Skin.h"

#include <QLabel>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

TFormLogin::TFormLogin(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormLogin"));
    setWindowTitle(QStringLiteral("通行证"));
    setProperty("mdiChild", true);
    SkinKit.ApplyFormSkin(this);
    LabelWait = SkinKit.CreateStdLabel(this, QStringLiteral("数据加载中，请稍候……"), TAlign::None, 0, 0, 0);
    LabelWait->setObjectName(QStringLiteral("LabelWait"));
    Browser = SkinKit.CreateBrowser(this);
    // Out of view until the whole page has completed.
    TAlignLayout::Of(this)->SetAlign(Browser, TAlign::None);
    Browser->setGeometry(-1, -1, 1, 1);
    connect(Browser, &QWebEngineView::loadFinished, this, [this](bool) { DocumentComplete(); });
    Browser->setUrl(QUrl(Json.S(QStringLiteral("url.login"))));
}

void TFormLogin::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    // The waiting text is centred once, in the size the window first shows with (once the maximised
    // child window has taken its size).
    if (!m_centred) {
        m_centred = true;
        QTimer::singleShot(0, this, [this]() {
            LabelWait->move((width() - LabelWait->width()) / 2, (height() - LabelWait->height()) / 2);
        });
    }
}

void TFormLogin::DocumentComplete()
{
    // The view reports the completion of the top-level page only; frames inside it do not count.
    if (m_shown)
        return;
    m_shown = true;
    TAlignLayout::Of(this)->SetAlign(Browser, TAlign::Client);
    Browser->raise();
    emit PageShown();
}
