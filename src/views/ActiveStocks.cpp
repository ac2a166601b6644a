#include "ActiveStocks.h"

#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

#include <algorithm>
#include <vector>

namespace {

// Days since 1970-01-01 of a valid yyyymmdd date (proleptic Gregorian), by integer arithmetic only,
// so the scan can place millions of records on their day without building a date for each.
qint64 DayNumber(qint32 ymd)
{
    qint64 y = ymd / 10000;
    const int m = ymd / 100 % 100, d = ymd % 100;
    if (m <= 2)
        --y;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// One window record of a stock: its seat and its days back.
struct TSeatDay
{
    qint32 yId;
    qint32 back;
};

} // namespace

void ShowGrid3(const TStock &stock, const TViewParams &params, TStringGrid &grid, TProgress progress)
{
    const int nCode = qMax(0, stock.CodeCount());
    const int nYyb = qMax(0, stock.YybCount());
    const int nLhb = stock.LhbCount();
    // Institutional buyers share one seat; it says nothing about an active trader, so it is not counted
    // as a stock's most active seat. -1 (no such seat) excludes nothing.
    const int institution = stock.YybIndex(QStringLiteral("机构专用"));
    const TDayWindow window(params.EndDate, 0, params.Days);
    const TLhbRecord *recs = stock.LhbRecords();

    std::vector<double> bought(size_t(nCode), 0.0), sold(size_t(nCode), 0.0);
    std::vector<qint32> lastDate(size_t(nCode), 0);
    // Window records per stock, turned into the start of each stock's bucket below.
    std::vector<qint32> start(size_t(nCode) + 1, 0);
    qint32 earliest = 0;
    for (int i = 0; i < nLhb; ++i) {
        const TLhbRecord &r = recs[i];
        if (stock.ValidRecord(r) && window.Contains(r.Date)) {
            const size_t c = size_t(r.cId);
            ++start[c + 1];
            bought[c] += r.Buy;
            sold[c] += r.Sell;
            lastDate[c] = qMax(lastDate[c], r.Date);
            if (earliest == 0 || r.Date < earliest)
                earliest = r.Date;
        }
        progress(0, nLhb - 1, i);
    }
    for (int j = 0; j < nCode; ++j)
        start[size_t(j) + 1] += start[size_t(j)];

    // The window's (seat, day) pairs grouped by stock, so that one stock's seat counts and day marks can
    // be taken at a time instead of holding a stock-by-seat table.
    const size_t inWindow = size_t(start[size_t(nCode)]);
    std::vector<TSeatDay> pairs(inWindow);
    const qint64 endDay = DayNumber(DateToInt(params.EndDate));
    if (!pairs.empty()) {
        std::vector<qint32> next(start.begin(), start.end() - 1);
        for (int i = 0; i < nLhb; ++i) {
            const TLhbRecord &r = recs[i];
            if (stock.ValidRecord(r) && window.Contains(r.Date))
                pairs[size_t(next[size_t(r.cId)]++)] = TSeatDay{r.yId, qint32(endDay - DayNumber(r.Date))};
        }
    }

    // Scratch shared by the stocks: per seat the count of the current stock (reset after it), and per day
    // the last stock that marked it, sized by the earliest day that occurs rather than by the day count.
    std::vector<qint32> seatCount(size_t(nYyb), 0);
    std::vector<qint32> dayOwner(earliest ? size_t(endDay - DayNumber(earliest) + 1) : 0, -1);

    grid.SetColCount(8);
    grid.SetRowText(0, QStringLiteral("序号,代码,名称,最活跃席位出现次数,上榜次数,席位累计买入额,席位累计卖出额,最后上榜日期"));
    int row = 1;
    for (int j = 0; j < nCode; ++j) {
        const qint32 lo = start[size_t(j)], hi = start[size_t(j) + 1];
        int days = 0, most = 0;
        for (qint32 k = lo; k < hi; ++k) {
            const TSeatDay &p = pairs[size_t(k)];
            if (dayOwner[size_t(p.back)] != j) {
                dayOwner[size_t(p.back)] = j;
                ++days;
            }
            if (p.yId != institution)
                most = qMax(most, ++seatCount[size_t(p.yId)]);
        }
        for (qint32 k = lo; k < hi; ++k)
            seatCount[size_t(pairs[size_t(k)].yId)] = 0;
        if (days > 0) {
            grid.SetCell(0, row, QStringLiteral(" "));
            grid.SetCell(1, row, stock.CodeText(j));
            grid.SetCell(2, row, stock.NameText(j));
            grid.SetCell(3, row, QString::number(most));
            grid.SetCell(4, row, QString::number(days));
            grid.SetCell(5, row, Fmt2(bought[size_t(j)]));
            grid.SetCell(6, row, Fmt2(sold[size_t(j)]));
            grid.SetCell(7, row, FormatYmd(lastDate[size_t(j)]));
            ++row;
        }
        progress(0, nCode - 1, j);
    }
    SortGrid(grid, 4, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}

void ShowGrid31(const TStock &stock, const TViewParams &params, int cId, TStringGrid &top)
{
    if (cId < 0)
        return;
    const int nYyb = qMax(0, stock.YybCount());
    std::vector<qint32> count(size_t(nYyb), 0), lastDate(size_t(nYyb), 0);
    std::vector<double> bought(size_t(nYyb), 0.0), sold(size_t(nYyb), 0.0);
    const TDayWindow window(params.EndDate, 0, params.Days);
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0, n = stock.LhbCount(); i < n; ++i) {
        const TLhbRecord &r = recs[i];
        if (r.cId == cId && stock.ValidRecord(r) && window.Contains(r.Date)) {
            const size_t y = size_t(r.yId);
            ++count[y];
            bought[y] += r.Buy;
            sold[y] += r.Sell;
            lastDate[y] = qMax(lastDate[y], r.Date);
        }
    }
    top.SetColCount(6);
    top.SetRowText(0, QStringLiteral("序号,席位名称,上榜次数,区间内买入额,区间内卖出额,最后操作日期"));
    int row = 1;
    for (int j = 0; j < nYyb; ++j) {
        if (count[size_t(j)] > 0) {
            top.SetCell(0, row, QStringLiteral(" "));
            top.SetCell(1, row, StripText(stock.YybName(j)));
            top.SetCell(2, row, QString::number(count[size_t(j)]));
            top.SetCell(3, row, Fmt2(bought[size_t(j)]));
            top.SetCell(4, row, Fmt2(sold[size_t(j)]));
            top.SetCell(5, row, FormatYmd(lastDate[size_t(j)]));
            ++row;
        }
    }
    SortGrid(top, 2, 1, row - 1, true, true);
    if (row > 1)
        top.SetRowCount(row);
}
