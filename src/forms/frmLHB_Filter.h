#pragma once
// The seat scheme editor: a dialog of three group boxes whose controls hold the seat scheme stored at
// run.lhb.filter. A control's key is its position among its group box's controls in the order of
// creation, labels counted; member "1", "2", "3" is the group box.
//
// The seat window keeps a QPointer to it, creates it when that is empty, connects SchemeStored to
// clicking its seat-filter tool button and shows it modally; the dialog deletes itself when it closes.

#include <QDialog>
#include <QList>

class QGroupBox;
class QPushButton;

class TFormLHB_Filter : public QDialog
{
    Q_OBJECT
public:
    explicit TFormLHB_Filter(QWidget *parent = nullptr);

    QPushButton *ButtonOk = nullptr;
    QGroupBox *Group1 = nullptr;
    QGroupBox *Group2 = nullptr;
    QGroupBox *Group3 = nullptr;

    // The control at a key of a member (1 to 3), labels included; null outside.
    QWidget *Control(int member, int key) const;
    int ControlCount(int member) const;

    // Loads the controls from the stored scheme; runs whenever the dialog is shown.
    void FormShow();
    // Stores every control's state in the scheme, closes the dialog and emits SchemeStored.
    void ButtonOkClick();

signals:
    // The scheme was stored by the OK button (never by closing the dialog otherwise).
    void SchemeStored();

protected:
    void showEvent(QShowEvent *e) override;

private:
    QWidget *Add(int member, QWidget *control);

    QList<QWidget *> m_controls[3]; // per group box, in the order of creation
};
