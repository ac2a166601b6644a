#include "Grid.h"

#include "data/Dates.h"
#include "data/Stock.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

static const QString &EmptyText()
{
    static const QString empty;
    return empty;
}

const QString &TStringGrid::Cell(int col, int row) const
{
    if (row < 0 || col < 0 || row >= int(m_rows.size()))
        return EmptyText();
    const std::vector<QString> &r = m_rows[size_t(row)];
    return col < int(r.size()) ? r[size_t(col)] : EmptyText();
}

std::vector<QString> &TStringGrid::RowCells(int row)
{
    if (row >= int(m_rows.size()))
        m_rows.resize(size_t(row) + 1);
    return m_rows[size_t(row)];
}

void TStringGrid::SetCell(int col, int row, const QString &text)
{
    if (row < 0 || col < 0)
        return;
    std::vector<QString> &r = RowCells(row);
    if (col >= int(r.size())) {
        if (text.isEmpty())
            return;
        r.resize(size_t(col) + 1);
    }
    r[size_t(col)] = text;
}

void TStringGrid::ClearRow(int row)
{
    if (row >= 0 && row < int(m_rows.size()))
        m_rows[size_t(row)].clear();
}

void TStringGrid::SetRowText(int row, const QString &commaText)
{
    ClearRow(row);
    const QStringList items = SplitCommaText(commaText);
    for (int c = 0; c < items.size() && c < m_colCount; ++c)
        SetCell(c, row, items.at(c));
}

QString TStringGrid::RowText(int row) const
{
    QStringList items;
    for (int c = 0; c < m_colCount; ++c) {
        const QString &t = Cell(c, row);
        const bool quote = t.isEmpty() || t.contains(u',') || t.contains(u'"')
            || std::any_of(t.begin(), t.end(), [](QChar ch) { return ch.unicode() <= 32; });
        items.append(quote ? u'"' + QString(t).replace(u'"', QStringLiteral("\"\"")) + u'"' : t);
    }
    return items.join(u',');
}

void TStringGrid::SwapRows(int a, int b)
{
    const int need = qMax(a, b);
    if (need >= int(m_rows.size()))
        m_rows.resize(size_t(need) + 1);
    std::vector<QString> &ra = m_rows[size_t(a)];
    std::vector<QString> &rb = m_rows[size_t(b)];
    ra.swap(rb);
    // Exchanged rows are rewritten cell by cell over the columns: an empty cell comes back as one blank.
    for (std::vector<QString> *r : {&ra, &rb}) {
        if (int(r->size()) < m_colCount)
            r->resize(size_t(m_colCount));
        for (int c = 0; c < m_colCount; ++c)
            if ((*r)[size_t(c)].isEmpty())
                (*r)[size_t(c)] = QStringLiteral(" ");
    }
}

void TStringGrid::SetDefaultColWidth(int w)
{
    m_defaultColWidth = w;
    m_colWidths.assign(size_t(m_colCount), w);
}

void TStringGrid::SetColWidth(int col, int w)
{
    if (col >= 0 && col < int(m_colWidths.size()))
        m_colWidths[size_t(col)] = w;
}

int TStringGrid::ColumnOf(const QString &caption) const
{
    for (int c = 0; c < m_colCount; ++c)
        if (Cell(c, 0).compare(caption, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void ClearGrid(TStringGrid &grid, int colCount, int fromRow)
{
    for (int r = qMax(0, fromRow); r < grid.RowCount(); ++r)
        grid.ClearRow(r);
    if (colCount > 0) {
        grid.SetColCount(colCount);
        grid.SetDefaultColWidth(20);
    }
    grid.SetRowCount(grid.FixedRows() + 1);
}

double GridNumber(const QString &text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

namespace {

// Sort keys of the rows being sorted, exchanged with their rows. A key is converted once instead of at
// every comparison; the order is the same, since a key changes only when an empty cell becomes a blank.
struct TSortKeys
{
    bool numeric;
    int lo;
    std::vector<double> num;
    std::vector<QByteArray> text;

    int Compare(int a, int b) const // <0, 0, >0 for the keys of rows a and b
    {
        if (numeric) {
            const double x = num[size_t(a - lo)], y = num[size_t(b - lo)];
            return x < y ? -1 : x > y ? 1 : 0;
        }
        const QByteArray &x = text[size_t(a - lo)], &y = text[size_t(b - lo)];
        const int c = std::memcmp(x.constData(), y.constData(), size_t(qMin(x.size(), y.size())));
        if (c != 0)
            return c;
        return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
    }
    int ComparePivot(int a, double pNum, const QByteArray &pText) const
    {
        if (numeric) {
            const double x = num[size_t(a - lo)];
            return x < pNum ? -1 : x > pNum ? 1 : 0;
        }
        const QByteArray &x = text[size_t(a - lo)];
        const int c = std::memcmp(x.constData(), pText.constData(), size_t(qMin(x.size(), pText.size())));
        if (c != 0)
            return c;
        return x.size() < pText.size() ? -1 : x.size() > pText.size() ? 1 : 0;
    }
    void Swap(int a, int b)
    {
        if (numeric) {
            std::swap(num[size_t(a - lo)], num[size_t(b - lo)]);
        } else {
            std::swap(text[size_t(a - lo)], text[size_t(b - lo)]);
            for (int r : {a, b})
                if (text[size_t(r - lo)].isEmpty())
                    text[size_t(r - lo)] = QByteArray(" ");
        }
    }
};

void QuickSort(TStringGrid &grid, TSortKeys &keys, int lo, int hi, bool descending)
{
    if (lo >= hi)
        return;
    int i = lo, j = hi;
    const int m = lo + (hi - lo) / 2;
    // The pivot key is a copy: it stays as it is while rows move.
    const double pNum = keys.numeric ? keys.num[size_t(m - keys.lo)] : 0.0;
    const QByteArray pText = keys.numeric ? QByteArray() : keys.text[size_t(m - keys.lo)];
    const int dir = descending ? -1 : 1;
    while (i < j) {
        while (dir * keys.ComparePivot(i, pNum, pText) < 0)
            ++i;
        while (dir * keys.ComparePivot(j, pNum, pText) > 0)
            --j;
        if (i <= j) {
            grid.SwapRows(i, j);
            keys.Swap(i, j);
            ++i;
            --j;
        }
    }
    if (i < hi)
        QuickSort(grid, keys, i, hi, descending);
    if (j > lo)
        QuickSort(grid, keys, lo, j, descending);
}

} // namespace

void SortGrid(TStringGrid &grid, int col, int lo, int hi, bool numeric, bool descending)
{
    if (lo >= hi || lo < 0)
        return;
    TSortKeys keys{numeric, lo, {}, {}};
    const size_t n = size_t(hi - lo + 1);
    if (numeric) {
        keys.num.resize(n);
        for (int r = lo; r <= hi; ++r)
            keys.num[size_t(r - lo)] = GridNumber(grid.Cell(col, r));
    } else {
        keys.text.resize(n);
        for (int r = lo; r <= hi; ++r)
            keys.text[size_t(r - lo)] = ToGbk(grid.Cell(col, r));
    }
    QuickSort(grid, keys, lo, hi, descending);
}
