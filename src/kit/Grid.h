#pragma once
// A display-independent string grid: texts in rows and columns, row 0 the fixed caption row.
// Cells are kept apart from the row and column counts, as in a string grid whose count shrinks and grows
// again: ClearGrid is what erases them.

#include <QString>
#include <QStringList>

#include <vector>

class TStringGrid
{
public:
    TStringGrid() = default;

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }
    int FixedRows() const { return 1; }
    void SetColCount(int n) { m_colCount = qMax(1, n); m_colWidths.resize(size_t(m_colCount), m_defaultColWidth); }
    void SetRowCount(int n) { m_rowCount = qMax(FixedRows() + 1, n); }

    const QString &Cell(int col, int row) const;
    void SetCell(int col, int row, const QString &text);
    // Writes a row from a comma text (the header rows of the views), emptying the row first.
    void SetRowText(int row, const QString &commaText);
    // The row as a comma text, as the grid's header is read for captions.
    QString RowText(int row) const;
    void ClearRow(int row);
    void SwapRows(int a, int b);

    int DefaultColWidth() const { return m_defaultColWidth; }
    void SetDefaultColWidth(int w);
    int ColWidth(int col) const { return col >= 0 && col < int(m_colWidths.size()) ? m_colWidths[size_t(col)] : m_defaultColWidth; }
    void SetColWidth(int col, int w);

    // The column whose caption (row 0) equals the text, ignoring case, or -1.
    int ColumnOf(const QString &caption) const;

private:
    std::vector<QString> &RowCells(int row);

    int m_colCount = 5;
    int m_rowCount = 2;
    int m_defaultColWidth = 64;
    std::vector<int> m_colWidths = std::vector<int>(5, 64);
    std::vector<std::vector<QString>> m_rows;
};

// Empties the rows from fromRow on, sets colCount columns of 20 pixels when colCount > 0,
// and leaves the header row and one empty data row.
void ClearGrid(TStringGrid &grid, int colCount, int fromRow);
// Quicksort of rows lo..hi by the text of column col, numerically or by GBK bytes.
void SortGrid(TStringGrid &grid, int col, int lo, int hi, bool numeric, bool descending);
// A cell text as a sort number: 0 for anything that is not a number.
double GridNumber(const QString &text);
