#include "GridView.h"

#include "kit/CellStyle.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

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
    if (role == Qt::EditRole)
        return m_grid->Cell(index.column(), row);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::TextAlignmentRole)
        return QVariant();
    const TCellLook look = CellLook(m_grid->Cell(index.column(), 0), m_grid->Cell(index.column(), row), row, false);
    if (role == Qt::DisplayRole)
        return look.text;
    if (role == Qt::ForegroundRole)
        return ToColor(look.color);
    return int((look.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
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

TGridDelegate::TGridDelegate(TGridView *view) : QStyledItemDelegate(view), m_view(view)
{
}

void TGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const TStringGrid &g = m_view->Grid;
    const int row = index.row() + 1;
    const TCellLook look = CellLook(g.Cell(index.column(), 0), g.Cell(index.column(), row), row, false);
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, ToColor(selected ? GridColors::Selected : GridColors::Background));
    painter->setPen(ToColor(look.color));
    painter->setFont(option.font);
    const QRect r = option.rect.adjusted(4, 0, -4, 0);
    painter->drawText(r, (look.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, look.text);
    // The width is measured on the text before a row number replaces the blank of a 序号 cell.
    m_view->Widen(index.column(), option.fontMetrics.horizontalAdvance(look.measured));
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
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(8);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(true);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        Grid.SetColWidth(col, size); // a column the user widened keeps its width
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this]() {
        if (!m_quiet)
            emit RowClicked();
    });
}

void TGridView::Refresh()
{
    m_quiet = true;
    m_model.Reset();
    const QFontMetrics fm(horizontalHeader()->font());
    for (int c = 0; c < Grid.ColCount(); ++c) {
        // Captions need their room too: a 序号 column is as wide as its caption.
        const int caption = fm.horizontalAdvance(Grid.Cell(c, 0)) + 8;
        if (Grid.ColWidth(c) < caption)
            Grid.SetColWidth(c, caption);
        setColumnWidth(c, Grid.ColWidth(c));
    }
    ApplyFill();
    if (Grid.RowCount() > 1)
        setCurrentIndex(m_model.index(0, 0));
    m_quiet = false;
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
    const QModelIndex target = m_model.index(row - 1, qMax(0, currentIndex().column()));
    setCurrentIndex(target);
    scrollTo(target);
}

QString TGridView::CurrentText(const QString &caption) const
{
    const int row = Row();
    if (row < 1)
        return QString();
    const int col = Grid.ColumnOf(caption);
    return col < 0 ? QString() : Grid.Cell(col, row);
}

void TGridView::SetFillColumn(int col)
{
    m_fillColumn = col;
    ApplyFill();
}

void TGridView::ApplyFill()
{
    if (m_fillColumn < 0 || m_fillColumn >= Grid.ColCount())
        return;
    int others = 0;
    for (int c = 0; c < Grid.ColCount(); ++c)
        if (c != m_fillColumn)
            others += columnWidth(c);
    const int w = qMax(20, viewport()->width() - others - Grid.ColCount() + 1);
    m_quiet = true;
    setColumnWidth(m_fillColumn, w);
    m_quiet = false;
}

void TGridView::Widen(int col, int textWidth)
{
    if (col == m_fillColumn || col < 0 || col >= Grid.ColCount())
        return;
    const int w = textWidth + 8;
    if (Grid.ColWidth(col) >= w)
        return;
    Grid.SetColWidth(col, w);
    // Resized after the paint that found the text, not in the middle of it.
    QTimer::singleShot(0, this, [this, col]() {
        if (col < Grid.ColCount() && columnWidth(col) < Grid.ColWidth(col)) {
            setColumnWidth(col, Grid.ColWidth(col));
            ApplyFill();
        }
    });
}

void TGridView::resizeEvent(QResizeEvent *e)
{
    QTableView::resizeEvent(e);
    ApplyFill();
}

bool TGridView::viewportEvent(QEvent *e)
{
    // A right click selects the row under the pointer when the button is released; the header and
    // the empty space below the rows change nothing.
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
        if (static_cast<QMouseEvent *>(e)->button() == Qt::RightButton)
            return true;
    } else if (e->type() == QEvent::MouseButtonRelease) {
        auto *m = static_cast<QMouseEvent *>(e);
        if (m->button() == Qt::RightButton) {
            const QModelIndex i = indexAt(m->position().toPoint());
            if (i.isValid())
                SetRow(i.row() + 1);
            return true;
        }
    }
    return QTableView::viewportEvent(e);
}
