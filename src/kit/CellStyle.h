#pragma once
// How a result grid shows a cell, decided from its column caption: colour, alignment and shown text.

#include <QString>

struct TRgb
{
    int r = 0, g = 0, b = 0;
    bool operator==(const TRgb &o) const { return r == o.r && g == o.g && b == o.b; }
};

namespace GridColors {
constexpr TRgb Background{25, 25, 25};
constexpr TRgb Selected{0, 0, 102};
constexpr TRgb Header{221, 221, 0};
constexpr TRgb Code{0, 221, 221};
constexpr TRgb Name{221, 221, 0};
constexpr TRgb Rise{221, 0, 0};
constexpr TRgb Fall{0, 221, 221};
constexpr TRgb Neutral{221, 221, 221};
} // namespace GridColors

struct TCellLook
{
    QString text;     // the text as drawn (percent sign, row number)
    QString measured; // the text whose width sizes the column (before the row number replaces the blank)
    TRgb color;
    bool rightAligned = false;
    bool paintBackground = true;
};

// caption: the text of row 0 in the cell's column; row: the cell's row; header: a fixed cell.
TCellLook CellLook(const QString &caption, const QString &text, int row, bool header);
