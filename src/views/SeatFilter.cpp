#include "SeatFilter.h"

#include "data/BarSeries.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

#include <limits>

namespace {

// A member object of the scheme ("1", "2", "3"), or nothing.
const JsonValue *Member(const JsonValue &scheme, const char *name)
{
    if (!scheme.is_object())
        return nullptr;
    const auto it = scheme.find(name);
    return it != scheme.end() && it->is_object() ? &*it : nullptr;
}

bool KeyBool(const JsonValue *member, int key)
{
    return member && JsonPath::Bool(*member, QString::number(key));
}

qint64 KeyInt(const JsonValue *member, int key)
{
    return member ? JsonPath::Int(*member, QString::number(key)) : 0;
}

double KeyFloat(const JsonValue *member, int key)
{
    return member ? JsonPath::Float(*member, QString::number(key)) : 0.0;
}

// A stored yyyymmdd date as a calendar date; anything that is no 8-digit date gives today.
QDate KeyDate(const JsonValue *member, int key, const QDate &today)
{
    const qint64 v = KeyInt(member, key);
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max()
        || !TDayWindow::IsValidYmd(qint32(v)))
        return today;
    return IntToDate(qint32(v));
}

// The figures a condition of step 3 compares, in the order the conditions are tested.
enum class TFigure { BuySum, SellSum, DaysSinceListing, DaysSinceBuy, DaysSinceSell,
                     ListingCount, BuySuccesses, BuyRate, SellSuccesses, SellRate };

struct TConditionKeys
{
    int Check;
    int Op; // -1: no operator, the figure must be at most the value
    int Value;
    TFigure Figure;
};

constexpr TConditionKeys ConditionKeys[] = {
    {0, 1, 2, TFigure::BuySum},
    {3, 4, 5, TFigure::SellSum},
    {6, -1, 7, TFigure::DaysSinceListing},
    {8, -1, 9, TFigure::DaysSinceBuy},
    {10, -1, 11, TFigure::DaysSinceSell},
    {12, 13, 14, TFigure::ListingCount},
    {15, 16, 17, TFigure::BuySuccesses},
    {18, 19, 20, TFigure::BuyRate},
    {21, 22, 23, TFigure::SellSuccesses},
    {24, 25, 26, TFigure::SellRate},
};
constexpr int ConditionCount = int(sizeof ConditionKeys / sizeof ConditionKeys[0]);

struct TCondition
{
    bool On = false;
    qint64 Op = 0;
    qint64 Whole = 0; // the value read as an integer (amounts, days, counts)
    double Real = 0;  // the value read as a real (rates)
};

enum class TFigureSet { None, Active, Strong, Hedging };

// The scheme read once per call, so nothing depends on the tree while the scan runs.
struct TScheme
{
    TSeatFilterRange Range;
    bool WatchedOnly = false;
    TFigureSet Figures = TFigureSet::None;
    TCondition Conditions[ConditionCount];
};

TScheme ReadScheme(const JsonValue &scheme, const QDate &today)
{
    TScheme s;
    s.Range = SeatFilterRange(scheme, today);
    const JsonValue *m2 = Member(scheme, "2");
    s.WatchedOnly = KeyBool(m2, 1);
    s.Figures = KeyBool(m2, 2) ? TFigureSet::Active
        : KeyBool(m2, 3)       ? TFigureSet::Strong
        : KeyBool(m2, 4)       ? TFigureSet::Hedging
                               : TFigureSet::None;
    const JsonValue *m3 = Member(scheme, "3");
    for (int k = 0; k < ConditionCount; ++k) {
        const TConditionKeys &keys = ConditionKeys[k];
        TCondition &c = s.Conditions[k];
        c.On = KeyBool(m3, keys.Check);
        c.Op = keys.Op < 0 ? 0 : KeyInt(m3, keys.Op);
        c.Whole = KeyInt(m3, keys.Value);
        c.Real = KeyFloat(m3, keys.Value);
    }
    return s;
}

struct TSeatTally
{
    int Count = 0;
    double BuySum = 0, SellSum = 0;
    qint32 LastDate = 0;
    int BuyCount = 0, BuySuccesses = 0;
    qint32 LastBuy = 0;
    int SellCount = 0, SellSuccesses = 0;
    qint32 LastSell = 0;
};

double Rate(int successes, int count)
{
    return count < 1 ? 0.0 : double(qint64(successes) * 100) / count;
}

// The operators of the combo boxes: 0 ">", 1 ">=", 2 "<", 3 "<="; any other value lets the seat pass.
template <typename T>
bool Holds(qint64 op, T left, T right)
{
    switch (op) {
    case 0: return left > right;
    case 1: return left >= right;
    case 2: return left < right;
    case 3: return left <= right;
    default: return true;
    }
}

// Days from a date to the end date at most limit; a seat without that date (0) does not pass.
bool Within(qint32 date, const QDate &end, qint64 limit)
{
    if (date == 0)
        return false;
    bool ok = false;
    const double days = DayDiff(date, end, &ok);
    return ok && days <= double(limit);
}

bool Passes(const TSeatTally &t, const TScheme &s)
{
    for (int k = 0; k < ConditionCount; ++k) {
        const TCondition &c = s.Conditions[k];
        if (!c.On)
            continue;
        bool ok = true;
        switch (ConditionKeys[k].Figure) {
        case TFigure::BuySum: ok = Holds(c.Op, t.BuySum, double(c.Whole)); break;
        case TFigure::SellSum: ok = Holds(c.Op, t.SellSum, double(c.Whole)); break;
        case TFigure::DaysSinceListing: ok = Within(t.LastDate, s.Range.End, c.Whole); break;
        case TFigure::DaysSinceBuy: ok = Within(t.LastBuy, s.Range.End, c.Whole); break;
        case TFigure::DaysSinceSell: ok = Within(t.LastSell, s.Range.End, c.Whole); break;
        case TFigure::ListingCount: ok = Holds(c.Op, qint64(t.Count), c.Whole); break;
        case TFigure::BuySuccesses: ok = Holds(c.Op, qint64(t.BuySuccesses), c.Whole); break;
        case TFigure::BuyRate: ok = Holds(c.Op, Rate(t.BuySuccesses, t.BuyCount), c.Real); break;
        case TFigure::SellSuccesses: ok = Holds(c.Op, qint64(t.SellSuccesses), c.Whole); break;
        case TFigure::SellRate: ok = Holds(c.Op, Rate(t.SellSuccesses, t.SellCount), c.Real); break;
        }
        if (!ok)
            return false;
    }
    return true;
}

QString RateText(int successes, int count)
{
    return count < 1 ? QStringLiteral("0") : Fmt2(Rate(successes, count));
}

// Adds the buy and sell successes of the gathered records to their seats. The records are grouped by
// stock first (a counting sort), so that each FollowUps call reads one bar file and orders only that
// stock's records.
void AddSuccesses(const TStock &stock, const std::vector<int> &followed, std::vector<TSeatTally> &tally)
{
    const int nCode = stock.CodeCount();
    const TLhbRecord *recs = stock.LhbRecords();
    std::vector<int> start(size_t(nCode) + 1, 0);
    for (int i : followed)
        ++start[size_t(recs[i].cId) + 1];
    for (int c = 0; c < nCode; ++c)
        start[size_t(c) + 1] += start[size_t(c)];
    std::vector<int> byStock(followed.size());
    std::vector<int> next(start.begin(), start.end() - 1);
    for (int i : followed)
        byStock[size_t(next[size_t(recs[i].cId)]++)] = i;

    std::vector<int> batch;
    for (int c = 0; c < nCode; ++c) {
        if (start[size_t(c)] == start[size_t(c) + 1])
            continue;
        batch.assign(byStock.begin() + start[size_t(c)], byStock.begin() + start[size_t(c) + 1]);
        const std::vector<TFollowUp> f = FollowUps(stock, batch);
        for (size_t k = 0; k < batch.size(); ++k) {
            const TLhbRecord &r = recs[batch[k]];
            TSeatTally &t = tally[size_t(r.yId)];
            if (r.Buy > r.Sell)
                t.BuySuccesses += f[k].BuySuccess() ? 1 : 0;
            else
                t.SellSuccesses += f[k].SellSuccess() ? 1 : 0;
        }
    }
}

} // namespace

TSeatFilterRange SeatFilterRange(const JsonValue &scheme, const QDate &today)
{
    static constexpr qint64 PresetDays[] = {7, 30, 90, 180, 365};
    const JsonValue *m1 = Member(scheme, "1");
    const bool custom = KeyBool(m1, 5);
    TSeatFilterRange range;
    range.End = custom ? KeyDate(m1, 7, today) : today;
    for (int k = 0; k < 5; ++k)
        if (KeyBool(m1, k)) {
            range.Days = PresetDays[k];
            return range;
        }
    if (custom)
        range.Days = KeyDate(m1, 6, today).daysTo(KeyDate(m1, 7, today)) + 1;
    return range;
}

void ShowGrid6(const TStock &stock, const JsonValue &scheme, const std::vector<int> &attention,
               const QDate &today, TStringGrid &grid, TProgress progress)
{
    const TScheme s = ReadScheme(scheme, today);
    const int nYyb = stock.YybCount();
    const int nLhb = stock.LhbCount();
    std::vector<TSeatTally> tally(size_t(qMax(0, nYyb)));
    std::vector<char> watched;
    if (s.WatchedOnly) {
        watched.assign(tally.size(), 0);
        for (int y : attention)
            if (y >= 0 && y < nYyb)
                watched[size_t(y)] = 1;
    }

    // Successes cost two bar lookups per record: gather only the records whose successes are shown
    // or tested, and look them up after the scan.
    auto tested = [&s](TFigure figure) {
        for (int k = 0; k < ConditionCount; ++k)
            if (ConditionKeys[k].Figure == figure)
                return s.Conditions[k].On;
        return false;
    };
    const bool needBuy = s.Figures == TFigureSet::Strong || tested(TFigure::BuySuccesses) || tested(TFigure::BuyRate);
    const bool needSell = s.Figures == TFigureSet::Hedging || tested(TFigure::SellSuccesses) || tested(TFigure::SellRate);
    std::vector<int> followed;

    const TDayWindow window(s.Range.End, 0, s.Range.Days);
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0; i < nLhb; ++i) {
        const TLhbRecord &r = recs[i];
        if (stock.ValidRecord(r) && window.Contains(r.Date)) {
            if (s.WatchedOnly && !watched[size_t(r.yId)])
                continue;
            TSeatTally &t = tally[size_t(r.yId)];
            ++t.Count;
            t.BuySum += r.Buy;
            t.SellSum += r.Sell;
            t.LastDate = qMax(t.LastDate, r.Date);
            if (r.Buy > r.Sell) {
                ++t.BuyCount;
                t.LastBuy = qMax(t.LastBuy, r.Date);
                if (needBuy)
                    followed.push_back(i);
            } else {
                // Equal amounts count as a sell.
                ++t.SellCount;
                t.LastSell = qMax(t.LastSell, r.Date);
                if (needSell)
                    followed.push_back(i);
            }
        }
        progress(0, nLhb - 1, i);
    }
    if (!followed.empty())
        AddSuccesses(stock, followed, tally);

    grid.SetColCount(6);
    switch (s.Figures) {
    case TFigureSet::Active:
        grid.SetRowText(0, QStringLiteral("序号,席位名称,上榜次数,买入额,卖出额,最后上榜日期"));
        break;
    case TFigureSet::Strong:
        grid.SetRowText(0, QStringLiteral("序号,席位名称,买入次数,买入成功次数,买入成功率,最后上榜日期"));
        break;
    case TFigureSet::Hedging:
        grid.SetRowText(0, QStringLiteral("序号,席位名称,卖出次数,卖出成功次数,卖出成功率,最后上榜日期"));
        break;
    case TFigureSet::None:
        break;
    }
    int row = 1;
    for (int y = 0; y < nYyb; ++y) {
        const TSeatTally &t = tally[size_t(y)];
        if (t.Count < 1 || !Passes(t, s))
            continue;
        grid.SetCell(0, row, QStringLiteral(" "));
        grid.SetCell(1, row, StripText(stock.YybName(y)));
        switch (s.Figures) {
        case TFigureSet::Active:
            grid.SetCell(2, row, QString::number(t.Count));
            grid.SetCell(3, row, Fmt2(t.BuySum));
            grid.SetCell(4, row, Fmt2(t.SellSum));
            grid.SetCell(5, row, FormatYmd(t.LastDate));
            break;
        case TFigureSet::Strong:
            grid.SetCell(2, row, QString::number(t.BuyCount));
            grid.SetCell(3, row, QString::number(t.BuySuccesses));
            grid.SetCell(4, row, RateText(t.BuySuccesses, t.BuyCount));
            grid.SetCell(5, row, FormatYmd(t.LastBuy));
            break;
        case TFigureSet::Hedging:
            grid.SetCell(2, row, QString::number(t.SellCount));
            grid.SetCell(3, row, QString::number(t.SellSuccesses));
            grid.SetCell(4, row, RateText(t.SellSuccesses, t.SellCount));
            grid.SetCell(5, row, FormatYmd(t.LastSell));
            break;
        case TFigureSet::None:
            for (int col = 2; col < 6; ++col)
                grid.SetCell(col, row, QString());
            break;
        }
        ++row;
    }
    SortGrid(grid, 2, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}
