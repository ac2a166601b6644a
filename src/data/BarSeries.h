#pragma once
// A stock's bar file held whole for the length of one computation, answering bar lookups by date key
// or by count from the newest exactly as TStock::DayBar does, without reading the file again.

#include "data/Records.h"

#include <vector>

class TStock;

class TBarSeries
{
public:
    // Reads the bar file of the stock at cId; an absent file gives a series without bars.
    void Load(const TStock &stock, int cId);
    int Count() const { return int(m_bars.size()); }
    // The bar for a date key (> 9999999) or a count back from the newest, moved by offset and clamped.
    TDayBar At(qint32 key, qint32 offset) const;

private:
    std::vector<TDayBar> m_bars;
};

// The follow-up closes of a listing record: its day's close and the close five bars later.
struct TFollowUp
{
    qint32 c0 = 0;
    qint32 c5 = 0;
    bool BuySuccess() const { return 100LL * c5 >= 105LL * c0; }
    bool SellSuccess() const { return 100LL * c5 <= 95LL * c0; }
};

// Follow-ups of the given lhb records (indexes into the store), in the same order, reading each
// stock's bar file once.
std::vector<TFollowUp> FollowUps(const TStock &stock, const std::vector<int> &recordIndexes);

// The index of the bar a lookup resolves to among n bars (n > 0); dateAt(i) gives the date of bar i.
template <typename DateAt>
qint64 ResolveBarIndex(qint32 n, qint32 key, qint32 offset, DateAt dateAt)
{
    qint64 i = 0;
    if (key > 9999999) {
        // Last bar dated on or before the key; bars are in ascending date order.
        qint32 lo = 0, hi = n - 1;
        while (lo <= hi) {
            const qint32 mid = lo + (hi - lo) / 2;
            if (dateAt(mid) <= key) {
                i = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
    } else {
        i = qint64(n - 1) - key;
    }
    i += offset;
    return i < 0 ? 0 : i > n - 1 ? n - 1 : i;
}
