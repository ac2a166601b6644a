#pragma once
// The day count of the detail views of the seat window (cDay).

#include "app/Json.h"

// In every mode but 6 the day edit's value; in mode 6 the period of the seat scheme (run.lhb.filter):
// 7, 30, 90, 180 or 365 days, or the custom range's length in days, 0 when no period is chosen.
int DetailDays(int mode, int editDay, const JsonValue *filter);
