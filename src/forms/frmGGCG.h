#pragma once
// The executive holdings window: the change list above, the net buying and net selling rankings below,
// loaded from the holdings service by a one-second timer.

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;
class TGridView;
struct THoldingsList;

class TFormGGCG : public QWidget
{
    Q_OBJECT
public:
    explicit TFormGGCG(QWidget *parent = nullptr);

    QTimer *Timer = nullptr;
    QFrame *PanelTop = nullptr;
    QFrame *PanelBottom = nullptr;
    QFrame *PanelBottomLeft = nullptr;
    QFrame *PanelBottomRight = nullptr;
    TGridView *GridTop = nullptr;
    TGridView *GridBottomLeft = nullptr;
    TGridView *GridBottomRight = nullptr;

    // Moves each grid's selection to its next row that holds the text; row 1 everywhere and a message
    // when none has one.
    Q_INVOKABLE void Search(const QString &s);
    // One loading pass over the lists not yet loaded.
    void TimerTimer();
    // A grid with at least two data rows.
    static bool Loaded(const TGridView *grid);
    // A fetch failed: the window makes no further attempt.
    bool Failed() const { return m_failed; }

protected:
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;

private:
    void FormResize();
    TGridView *AddGrid(QFrame *panel, const QString &caption, const QString &objectName);
    // Fetches one list into its grid; false when the fetch failed (the message has been shown).
    bool Fetch(TGridView *grid, const THoldingsList &list);

    bool m_failed = false;
};
