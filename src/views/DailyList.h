#pragma once
// The daily list: the stocks listed in the period with their latest quote and the seats' totals,
// and for one stock the seats that bought and sold it.

#include "kit/Grid.h"
#include "views/Progress.h"
#include "views/ViewParams.h"

#include <vector>

class TStock;

// Fills the left grid; the caller then follows its current row (GridClick).
void ShowGrid1(const TStock &stock, const TViewParams &params, TStringGrid &gridLeft, TProgress progress = {});
// Fills the top (buying seats) and bottom (selling seats) grids; nothing when cId < 0.
void ShowGrid11(const TStock &stock, const TViewParams &params, int cId, TStringGrid &gridTop, TStringGrid &gridBottom);

// "%.2f", with a negative zero shown as 0.00.
QString Fmt2(double v);

struct TDayBar;
class TDayWindow;

// What the disclosed seats bought and sold in each stock (by cId) within a window, reporting progress
// once per record.
struct TStockTotals
{
    std::vector<double> Bought, Sold;
    bool Listed(int cId) const { return Bought[size_t(cId)] > 0 || Sold[size_t(cId)] > 0; }
};
TStockTotals TotalsByStock(const TStock &stock, const TDayWindow &window, TProgress &progress);
// The change of the newest close against the one before, in percent; 0 when either is not positive.
double ChangePercent(const TDayBar &newest, const TDayBar &previous);
