#pragma once
// The seat window's stored settings: the watch list run.lhb.attention (an array of seat indexes) and
// the seat scheme run.lhb.filter (an object), with the defaults set when the window is created.

#include "app/Json.h"

#include <vector>

// The scheme the window starts from when none is stored.
extern const char *const DefaultSeatScheme;

// Stores the defaults of run.lhb.attention and run.lhb.filter where they are absent or null.
void SetLhbDefaults(TMVJson &json);
// The watch list as stored: the numbers of the array, in order (nothing for a non-array).
std::vector<int> AttentionList(const JsonValue *attention);
