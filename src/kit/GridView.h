#pragma once
// The grid widget: a table view over a string grid. Row 0 of the grid is the header row, data rows
// follow; cells are drawn by the caption rules (colours, alignment, row numbers, percent signs), and a
// column widens when a text drawn in it needs more room.

#include "kit/Grid.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

class TGridView;

class TGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TGridModel(TStringGrid *grid, QObject *parent = nullptr) : QAbstractTableModel(parent), m_grid(grid) {}

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // One reset after the grid was refilled.
    void Reset();

private:
    TStringGrid *m_grid;
};

class TGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TGridDelegate(TGridView *view);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TGridView *m_view;
};

class TGridView : public QTableView
{
    Q_OBJECT
public:
    explicit TGridView(QWidget *parent = nullptr);

    TStringGrid Grid;
    // Shows what the grid holds now: rows, columns and their widths; the current row goes to row 1.
    void Refresh();
    // The current data row of the grid (1-based, as the grid counts), or 0.
    int Row() const;
    // Makes a data row current; a change of row raises RowClicked.
    void SetRow(int row);
    // The text of the current row's cell under a caption, or empty text.
    QString CurrentText(const QString &caption) const;
    // A column that takes the width the other columns leave (-1: none).
    void SetFillColumn(int col);
    // Widens a column to a drawn text's width (+8), never narrowing it.
    void Widen(int col, int textWidth);

signals:
    // The current row changed, by the user or from code.
    void RowClicked();

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool viewportEvent(QEvent *e) override;

private:
    void ApplyFill();

    TGridModel m_model;
    TGridDelegate m_delegate;
    int m_fillColumn = -1;
    bool m_quiet = false;
};
