#pragma once
// The main window: big tool buttons on top, the tool windows as maximised child windows in between,
// the status bar with its text panel, search box and gauge below.

#include <QMainWindow>
#include <QPointer>

class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QToolButton;
class TFormLogin;
class TSkinToolBar;

class TFormClient : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFormClient(QWidget *parent = nullptr);
    ~TFormClient() override;

    TSkinToolBar *ToolBar = nullptr;
    QToolButton *ToolButtonDown = nullptr;
    QLineEdit *EditSearch = nullptr;
    QMdiArea *MdiArea = nullptr;
    QPointer<TFormLogin> FormLogin;
    // The seat analysis, research report and holdings windows, each made on first use.
    QPointer<QWidget> FormLHB, FormReport, FormGGCG;

    QToolButton *Button(int tag) const;
    // Installs the new copy tFile over sFile through the update script once sFile is free; true when a
    // script was written and started.
    bool UpdateFile(const QString &sFile, const QString &tFile, bool isStart);
    void ToolClick(QToolButton *button);
    // The child window that is active, or none.
    QWidget *ActiveChild() const;
    // Shows a tool window as a maximised child window, creating its frame on first use.
    QMdiSubWindow *ShowChild(QWidget *form, bool closeMinimises);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void Search();
    void DataUpdate();
    bool TakesText(const QWidget *w) const;

    bool m_closedMaximised = false;
    QSize m_closedSize;
    bool m_closing = false;
};
