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
    // m_reach[i]: the latest date among bars 0..i; ascending, so the first bar dated after a key is found
    // by a binary search even when the dates themselves are out of order.
    std::vector<qint32> m_reach;
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

// The index of the bar a lookup resolves to among n bars (n > 0). For a date key it is the bar before the
// first bar dated after the key (the first bar when that is the first one, the last when there is none),
// as a scan from the first bar finds it also in a file whose dates are out of order; firstAfter(key)
// gives the index of that first later bar, or n.
template <typename FirstAfter>
qint64 ResolveBarIndex(qint32 n, qint32 key, qint32 offset, FirstAfter firstAfter)
{
    qint64 i = 0;
    if (key > 9999999) {
        const qint64 later = firstAfter(key);
        i = later > 0 ? later - 1 : 0;
    } else {
        i = qint64(n - 1) - key;
    }
    i += offset;
    return i < 0 ? 0 : i > n - 1 ? n - 1 : i;
}
