#pragma once
// Buy and sell intention: for the stocks listed on one date, what the net-buying seats bought and the
// net-selling seats sold, against the share base at the day's close and against the day's turnover.

#include "kit/Grid.h"
#include "views/ViewParams.h"

class TStock;

// Clears and fills the left grid (buying side) and the bottom grid (selling side) for the records dated
// exactly on the end date; the day count plays no part.
void ShowGrid5(const TStock &stock, const TViewParams &params, TStringGrid &gridLeft, TStringGrid &gridBottom);
