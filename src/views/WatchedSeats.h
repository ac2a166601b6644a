#pragma once
// The watched seat summary: every seat of the watch list, in list order, with its listings and
// amounts in the days strictly between the end date and N days before it.

#include "kit/Grid.h"
#include "views/Progress.h"
#include "views/ViewParams.h"

#include <vector>

class TStock;

// Clears and fills the left grid; an element of the watch list that is no seat of the table is left
// out. The caller then follows its current row (GridClick).
void ShowGrid4(const TStock &stock, const TViewParams &params, const std::vector<int> &attention,
               TStringGrid &gridLeft, TProgress progress = {});
