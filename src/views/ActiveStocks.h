#pragma once
// Active stocks: the stocks ranked by the days they were listed in the period, with the appearances of
// their most active seat and the seats' totals, and for one stock the seats that were listed for it.

#include "kit/Grid.h"
#include "views/Progress.h"
#include "views/ViewParams.h"

class TStock;

// Fills the left grid; the caller then follows its current row (GridClick).
void ShowGrid3(const TStock &stock, const TViewParams &params, TStringGrid &gridLeft, TProgress progress = {});
// Fills the top grid with the seats listed for the stock at cId in the period; nothing when cId < 0.
// The caller then follows the top grid's current row (GridClick).
void ShowGrid31(const TStock &stock, const TViewParams &params, int cId, TStringGrid &gridTop);
