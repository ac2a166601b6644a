#include "GridView.h"

#include "kit/CellStyle.h"

#include <QHeaderView>
#include <QPainter>

static QColor ToColor(const TRgb &c)
{
    return QColor(c.r, c.g, c.b);
}

int TGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : qMax(0, m_grid->RowCount() - 1);
}

int TGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_grid->ColCount();
}

QVariant TGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int row = index.row() + 1;
    const QString &caption = m_grid->Cell(index.column(), 0);
    switch (role) {
    case Qt::DisplayRole:
        return CellLook(caption, m_grid->Cell(index.column(), row), row, false).text;
    case Qt::EditRole:
        return m_grid->Cell(index.column(), row);
    case Qt::ForegroundRole:
        return ToColor(CellLook(caption, m_grid->Cell(index.column(), row), row, false).color);
    case Qt::TextAlignmentRole:
        return int((CellLook(caption, m_grid->Cell(index.column(), row), row, false).rightAligned ? Qt::AlignRight
                                                                                                    : Qt::AlignLeft)
                   | Qt::AlignVCenter);
    default:
        return QVariant();
    }
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid->ColCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_grid->Cell(section, 0);
    if (role == Qt::ForegroundRole)
        return ToColor(GridColors::Header);
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant();
}

void TGridModel::Reset()
{
    beginResetModel();
    endResetModel();
}

void TGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, ToColor(selected ? GridColors::Selected : GridColors::Background));
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    painter->setFont(option.font);
    const int align = index.data(Qt::TextAlignmentRole).toInt();
    const QRect r = option.rect.adjusted(4, 0, -4, 0);
    painter->drawText(r, align, index.data(Qt::DisplayRole).toString());
}

TGridView::TGridView(QWidget *parent) : QTableView(parent), m_model(&Grid), m_delegate(this)
{
    setObjectName(QStringLiteral("Grid"));
    ClearGrid(Grid, 1, 0);
    setModel(&m_model);
    setItemDelegate(&m_delegate);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(true);
}

void TGridView::Refresh()
{
    m_model.Reset();
    for (int c = 0; c < Grid.ColCount(); ++c)
        setColumnWidth(c, Grid.ColWidth(c));
}

int TGridView::Row() const
{
    const QModelIndex i = currentIndex();
    return i.isValid() ? i.row() + 1 : 0;
}

void TGridView::SetRow(int row)
{
    if (row < 1 || row >= Grid.RowCount())
        return;
    setCurrentIndex(m_model.index(row - 1, qMax(0, currentIndex().column())));
}
