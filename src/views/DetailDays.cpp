#include "DetailDays.h"

#include "data/Dates.h"

#include <limits>

namespace {

// A stored date as the yyyymmdd number IntToDate reads; one too large for 32 bits is no date.
qint32 StoredDate(const JsonValue &filter, const QString &path)
{
    const qint64 v = JsonPath::Int(filter, path);
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max() ? qint32(v) : 0;
}

} // namespace

int DetailDays(int mode, int editDay, const JsonValue *filter)
{
    if (mode != 6)
        return editDay;
    if (!filter)
        return 0;
    static const int periods[] = {7, 30, 90, 180, 365};
    for (int p = 0; p < 5; ++p)
        if (JsonPath::Bool(*filter, QStringLiteral("1.%1").arg(p)))
            return periods[p];
    if (JsonPath::Bool(*filter, QStringLiteral("1.5"))) {
        const QDate from = IntToDate(StoredDate(*filter, QStringLiteral("1.6")));
        const QDate to = IntToDate(StoredDate(*filter, QStringLiteral("1.7")));
        return int(from.daysTo(to)) + 1;
    }
    return 0;
}
