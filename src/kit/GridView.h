#pragma once
// The grid widget: a table view over a string grid. Row 0 of the grid is the header row, data rows
// follow; cells are drawn by the caption rules (colours, alignment, row numbers, percent signs).

#include "kit/Grid.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

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
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

class TGridView : public QTableView
{
    Q_OBJECT
public:
    explicit TGridView(QWidget *parent = nullptr);

    TStringGrid Grid;
    // Shows what the grid holds now: rows, columns and their widths.
    void Refresh();
    // The current data row of the grid (1-based, as the grid counts), or 0.
    int Row() const;
    void SetRow(int row);

private:
    TGridModel m_model;
    TGridDelegate m_delegate;
};
