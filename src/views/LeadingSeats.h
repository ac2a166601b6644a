#pragma once
// Leading seats: the seats ranked by their listings in the period (flavour 0), by how often their net
// buys were followed by a rise (1) or their net sells by a fall (2); and the drill-downs to the stocks
// of one seat and to one seat's records in one stock.

#include "kit/Grid.h"
#include "views/Progress.h"
#include "views/ViewParams.h"

class TStock;

// Fills the left grid for flavour 0, 1 or 2; any other flavour leaves the grid as it is.
// The caller then follows its current row (GridClick).
void ShowGrid2(const TStock &stock, const TViewParams &params, int flavour, TStringGrid &gridLeft,
               TProgress progress = {});
// Fills the top grid with the stocks the seat was listed for in the cDay days up to params.EndDate;
// nothing when yId is no seat of the table.
void ShowGrid21(const TStock &stock, const TViewParams &params, int yId, int cDay, TStringGrid &gridTop);
// Fills the bottom grid with the seat's records in the stock, newest first; nothing when cId or yId
// is not in its table.
void ShowGrid211(const TStock &stock, const TViewParams &params, int cId, int yId, int cDay,
                 TStringGrid &gridBottom);
