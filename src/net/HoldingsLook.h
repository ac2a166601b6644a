#pragma once
// How the holdings window shows a cell, decided from its column caption: background, text colour,
// alignment and the text as drawn. These rules are the holdings window's own, not the seat window's.

#include "kit/CellStyle.h"

#include <QString>

struct THoldingsLook
{
    QString text;             // the text as drawn; its width (+8) is what the column must at least have
    TRgb color;               // GridColors::Neutral is the skin's normal grid text colour
    TRgb background;          // meaningful only when paintBackground is set
    bool paintBackground = true; // header cells show the skin's header instead
    bool rightAligned = false;
};

// caption: the text of row 0 in the cell's column; row: the cell's row (1 for the first data row);
// header: a cell of the fixed row; selected: the cell lies in the grid's selected row.
THoldingsLook HoldingsCellLook(const QString &caption, const QString &text, int row, bool header, bool selected);
