#pragma once
// The control kit: builds the program's skinned widgets in code, places them by edge alignment, and
// owns the shared status bar (text panel and progress gauge) and the information box.

#include "kit/AlignLayout.h"

#include <QFrame>
#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class QStatusBar;
class QToolButton;
class QComboBox;
class QDateEdit;
class QAbstractSpinBox;
class QGroupBox;
class QCheckBox;
class QRadioButton;
class QListWidget;
class QPushButton;
class QWebEngineView;
class TGridView;

// A row of controls: left-aligned ones in the order of creation, right-aligned ones at the right end
// (each new one to the left of those before it).
class TSkinToolBar : public QFrame
{
    Q_OBJECT
public:
    explicit TSkinToolBar(QWidget *parent);
    void AddControl(QWidget *w, TAlign align);
    // Moves a left-aligned control to the end of the left group.
    void MoveToLeftEnd(QWidget *w);
    bool Flat() const { return m_flat; }
    void SetFlat(bool flat) { m_flat = flat; }
    int ImageWidth() const { return m_imageWidth; }
    void SetImageWidth(int w) { m_imageWidth = w; }

private:
    class QHBoxLayout *m_row;
    int m_leftCount = 0;
    bool m_flat = true;
    int m_imageWidth = 0;
};

// A check list with a caption bar above its items.
class TSkinCheckList : public QFrame
{
    Q_OBJECT
public:
    explicit TSkinCheckList(QWidget *parent);
    QLabel *Caption;
    QListWidget *List;
};

// A bar between two aligned neighbours: dragging it resizes the control aligned before it.
class TSkinSplitter : public QFrame
{
    Q_OBJECT
public:
    TSkinSplitter(QWidget *parent, TAlign align);
signals:
    void Moved();

protected:
    void mousePressEvent(class QMouseEvent *e) override;
    void mouseMoveEvent(class QMouseEvent *e) override;

private:
    QWidget *Neighbour() const;
    TAlign m_align;
    QPoint m_pressAt;
    int m_startExtent = 0;
};

// The main window's skin: its status bar with the text panel (child 0) and the gauge (child 1).
struct TSkinForm
{
    QPointer<QMainWindow> Window;
    QPointer<QStatusBar> StatusBar;
    QPointer<QLabel> Panel;
    QPointer<QProgressBar> Gauge;
};

class TSkinKit
{
public:
    TSkinForm *SkinForm = nullptr; // set when the main window is skinned
    QObject *Message = nullptr;    // the information box component, set with SkinForm
    QHash<QString, QString> Strings; // the skin's key-to-text table

    // Tests look at information boxes instead of closing them: when set, ShowInfo calls it and returns.
    std::function<void(const QString &caption, const QString &text, const QString &button)> InfoHook;
    int PumpCount = 0; // how often SetProgress let pending paint events run (once per change at most)

    QString Text(const QString &key, const QString &fallback = QString()) const;

    // Factory.
    TSkinForm *ApplyFormSkin(QWidget *form);
    QFrame *CreateBevel(QWidget *parent, TAlign align);
    QPushButton *CreateButton(QWidget *parent, const QString &caption, TAlign align);
    QCheckBox *CreateCheckBox(QWidget *parent, const QString &caption, int group, int left, int top);
    QRadioButton *CreateRadioButton(QWidget *parent, const QString &caption, int group, int left, int top);
    QComboBox *CreateComboBox(QWidget *parent, TAlign align, const QString &items, int left, int top);
    QLineEdit *CreateEdit(QWidget *parent, TAlign align, int left, int top, int width, int height);
    QDateEdit *CreateDateEdit(QWidget *parent, TAlign align);
    QAbstractSpinBox *CreateSpinEdit(QWidget *parent, bool floatMode, double minimum, double maximum, double value,
                                     TAlign align, int left, int top, int width, int height);
    QGroupBox *CreateGroupBox(QWidget *parent, const QString &caption);
    QLabel *CreateStdLabel(QWidget *parent, const QString &caption, TAlign align, int left, int top, int height);
    QLabel *CreateLabel(QWidget *parent, const QString &caption, TAlign align, int left, int top, int height);
    TSkinCheckList *CreateCheckList(QWidget *parent);
    void CheckListHint(TSkinCheckList *list, const QPoint &pos);
    QFrame *CreatePanel(QWidget *parent, TAlign align);
    TSkinSplitter *CreateSplitter(QWidget *parent, TAlign align);
    TGridView *CreateGrid(QWidget *parent);
    TSkinToolBar *CreateToolBar(QWidget *form);
    QToolButton *CreateToolButton(TSkinToolBar *bar, const QString &caption, TAlign align);
    QFrame *CreateDivider(QWidget *parent, TAlign align);
    QWebEngineView *CreateBrowser(QWidget *form);

    void PlaceControl(QWidget *control, QWidget *parent, TAlign align, int left, int top, int width, int height);
    void FillComboBox(QComboBox *combo, const QString &commaText);
    void SetToolButtonColor(QToolButton *button, const QColor &color, const QColor &other);

    // Status and messages.
    void SetProgress(int min, int max, int position);
    void ShowStatus(const QString &text);
    void ShowInfo(const QString &text);
    int MeasureText(const QWidget *control, const QString &text, int fontHeight) const;
    // The pixel height of the skin's font.
    static int FontHeight();
};

extern TSkinKit SkinKit;

// The application-wide look: the skin's font and its style sheet, set once before the first window.
void InitSkinApplication();

// Sets the skin element a widget is drawn with; the style sheet selects on it.
void SetSkinElement(QWidget *w, const char *element);
QString SkinElement(const QWidget *w);
// Re-applies the style sheet after a property it selects on changed.
void Repolish(QWidget *w);
