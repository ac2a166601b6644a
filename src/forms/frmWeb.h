#pragma once
// The web dialog: a modal, sizeable window whose browser shows one document; destroyed when it closes.

#include <QDialog>

#include <functional>

class QWebEngineView;
struct TSkinForm;

class TFormWeb : public QDialog
{
    Q_OBJECT
public:
    // Created without a parent (owned by the application); the caller sets caption and size,
    // sends Web to the document and calls ShowModal.
    explicit TFormWeb(QWidget *parent = nullptr);

    TSkinForm *BSForm = nullptr; // the shared skin, not owned
    QWebEngineView *Web = nullptr;

    // Shows the dialog modally and returns once it has closed; the dialog is gone then.
    void ShowModal();

    // Tests look at the dialog instead of running its modal loop: when set, ShowModal calls it with
    // the dialog and then closes the dialog.
    static std::function<void(TFormWeb *)> ModalHook;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    bool m_centred = false;
};
