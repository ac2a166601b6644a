#pragma once
// The seat analysis window: seven tool modes over the disclosure data, a left grid with the list of the
// current mode and two detail grids that follow its selected row.

#include <QPointer>
#include <QWidget>

class QComboBox;
class QDateEdit;
class QFrame;
class QSpinBox;
class QToolButton;
class TFormLHB_Filter;
class TGridView;
class TSkinCheckList;
class TSkinSplitter;
class TSkinToolBar;
struct TViewParams;

class TFormLHB : public QWidget
{
    Q_OBJECT
public:
    explicit TFormLHB(QWidget *parent = nullptr);

    TSkinCheckList *CheckListAttention = nullptr;
    double PanelScale = 0.6;
    int ToolTag = 0;
    TSkinToolBar *ToolBar = nullptr;
    QComboBox *ComboChoice = nullptr;
    QDateEdit *EditDate = nullptr;
    QSpinBox *EditDay = nullptr;
    QToolButton *ButtonOk = nullptr;
    QToolButton *ButtonAttention = nullptr;
    QToolButton *ButtonFilter = nullptr;
    QFrame *PanelLeft = nullptr;
    QFrame *PanelRight = nullptr;
    QFrame *PanelTop = nullptr;
    QFrame *PanelBottom = nullptr;
    TGridView *GridLeft = nullptr;
    TGridView *GridTop = nullptr;
    TGridView *GridBottom = nullptr;
    QPointer<TFormLHB_Filter> FormFilter;

    // The tool button of a mode (1..7) or of " 计算 " (10).
    QToolButton *ModeButton(int tag) const;
    void ToolButtonClick(QToolButton *sender);
    void GridClick(TGridView *sender);
    Q_INVOKABLE void Search(const QString &s);
    void ShowListAttention();
    // The day count of the detail views.
    int DetailDayCount() const;

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void FormResize();
    void PanelResize();
    void RunMode(QToolButton *sender);
    void ListClickCheck(class QListWidgetItem *item);
    void SelectSeatInList();
    TViewParams Params() const;
    int CodeOf(const TGridView *grid) const;
    int SeatOf(const TGridView *grid) const;

    TSkinSplitter *m_splitter = nullptr;
    bool m_busy = false;
};
