#pragma once
// The seat filter: the seats that the stored seat scheme selects (listed in its date range, optionally
// only the watched ones, meeting every condition switched on), shown with the figure set it chooses.

#include "app/Json.h"
#include "kit/Grid.h"
#include "views/Progress.h"

#include <QDate>

#include <vector>

class TStock;

// The listing window of a seat scheme: records whose days back against End lie in 0..Days.
struct TSeatFilterRange
{
    qint64 Days = 0; // N: 7, 30, 90, 180, 365, the custom range's length, or 0 when no period is chosen
    QDate End;       // E: the custom range's end date, otherwise today
};

// N and E of a scheme (the object stored at run.lhb.filter); a scheme that is not an object, or a
// member that is not an object, reads as absent keys.
TSeatFilterRange SeatFilterRange(const JsonValue &scheme, const QDate &today);

// Fills the left grid with the seats the scheme selects. attention is the watch list (seat indexes;
// indexes outside the seat table match no seat), today the end of the preset ranges. The caller then
// follows the current row (GridClick).
void ShowGrid6(const TStock &stock, const JsonValue &scheme, const std::vector<int> &attention,
               const QDate &today, TStringGrid &gridLeft, TProgress progress = {});
