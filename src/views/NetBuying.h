#pragma once
// Net buying: the stocks of the period ranked by what the disclosed seats bought less what they sold,
// with the stock's latest quote.

#include "kit/Grid.h"
#include "views/Progress.h"
#include "views/ViewParams.h"

class TStock;

// Fills the left grid; the caller then follows its current row (GridClick), whose details are those of
// the active stocks.
void ShowGrid7(const TStock &stock, const TViewParams &params, TStringGrid &gridLeft, TProgress progress = {});
