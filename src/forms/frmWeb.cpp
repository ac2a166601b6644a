#include "frmWeb.h"

#include "kit/Skin.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QPointer>
#include <QWebEngineView>

std::function<void(TFormWeb *)> TFormWeb::ModalHook;

TFormWeb::TFormWeb(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormWeb"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A sizeable dialog with system menu, minimise and maximise buttons.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    BSForm = SkinKit.ApplyFormSkin(this);
    Web = SkinKit.CreateBrowser(this);
    Web->setObjectName(QStringLiteral("Web"));
}

void TFormWeb::ShowModal()
{
    if (ModalHook) {
        QPointer<TFormWeb> self(this);
        ModalHook(this);
        if (self)
            close();
        return;
    }
    exec(); // deletes the dialog when it closes
}

void TFormWeb::showEvent(QShowEvent *e)
{
    // The caller sets the size after creation, so the dialog is centred on the main window again in
    // the size it first shows with.
    if (!m_centred) {
        m_centred = true;
        if (SkinKit.SkinForm && SkinKit.SkinForm->Window) {
            QRect r = frameGeometry();
            r.moveCenter(SkinKit.SkinForm->Window->frameGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(e);
}

void TFormWeb::closeEvent(QCloseEvent *e)
{
    // The skin belongs to the main window: the dialog only lets go of it.
    BSForm = nullptr;
    QDialog::closeEvent(e);
}
