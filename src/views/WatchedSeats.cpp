#include "WatchedSeats.h"

#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

namespace {

struct TWatchTally
{
    int Count = 0;
    double Buy = 0.0;
    double Sell = 0.0;
    qint32 Last = 0;
};

} // namespace

void ShowGrid4(const TStock &stock, const TViewParams &params, const std::vector<int> &attention,
               TStringGrid &grid, TProgress progress)
{
    const int nYyb = stock.YybCount();
    const int nLhb = stock.LhbCount();
    std::vector<TWatchTally> tally(size_t(qMax(0, nYyb)));
    // Neither the end date itself nor the day exactly N days back: the N - 1 days before the end date.
    const TDayWindow window(params.EndDate, 1, qint64(params.Days) - 1);
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0; i < nLhb; ++i) {
        const TLhbRecord &r = recs[i];
        if (stock.ValidRecord(r) && window.Contains(r.Date)) {
            TWatchTally &t = tally[size_t(r.yId)];
            ++t.Count;
            t.Buy += r.Buy;
            t.Sell += r.Sell;
            t.Last = qMax(t.Last, r.Date);
        }
        progress(0, nLhb - 1, i);
    }

    ClearGrid(grid, 0, 0);
    grid.SetColCount(6);
    grid.SetRowText(0, QStringLiteral("序号,席位名称,上榜次数,买入额,卖出额,最后上榜日期"));
    const int n = int(attention.size());
    int row = 1;
    for (int k = 0; k < n; ++k) {
        const int s = attention[size_t(k)];
        // The list may still name seats of an earlier data set.
        if (s >= 0 && s < nYyb) {
            const TWatchTally &t = tally[size_t(s)];
            grid.SetCell(0, row, QStringLiteral(" "));
            grid.SetCell(1, row, StripText(stock.YybName(s)));
            grid.SetCell(2, row, QString::number(t.Count));
            grid.SetCell(3, row, Fmt2(t.Buy));
            grid.SetCell(4, row, Fmt2(t.Sell));
            grid.SetCell(5, row, t.Count > 0 ? FormatYmd(t.Last) : QStringLiteral("-"));
            ++row;
        }
        progress(0, n - 1, k);
    }
    if (row > 1)
        grid.SetRowCount(row);
}
