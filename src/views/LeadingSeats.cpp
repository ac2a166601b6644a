#include "LeadingSeats.h"

#include "data/BarSeries.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

#include <vector>

namespace {

struct TSeatTally
{
    int Count = 0;     // listings (flavour 0), net buys (1) or net sells (2)
    int Successes = 0; // follow-up successes (flavours 1 and 2)
    double Buy = 0.0;
    double Sell = 0.0;
    qint32 Last = 0; // latest record date counted
};

struct TStockTally
{
    int Count = 0;
    int Buys = 0;
    int Sells = 0;
    qint32 Last = 0;
};

const QString &Blank()
{
    static const QString blank = QStringLiteral(" ");
    return blank;
}

} // namespace

void ShowGrid2(const TStock &stock, const TViewParams &params, int flavour, TStringGrid &grid, TProgress progress)
{
    if (flavour < 0 || flavour > 2)
        return;
    const int nYyb = stock.YybCount();
    const int nLhb = stock.LhbCount();
    std::vector<TSeatTally> tally(size_t(qMax(0, nYyb)));
    const TDayWindow window(params.EndDate, 0, params.Days);
    const TLhbRecord *recs = stock.LhbRecords();

    if (flavour == 0) {
        for (int i = 0; i < nLhb; ++i) {
            const TLhbRecord &r = recs[i];
            if (stock.ValidRecord(r) && window.Contains(r.Date)) {
                TSeatTally &t = tally[size_t(r.yId)];
                ++t.Count;
                t.Buy += r.Buy;
                t.Sell += r.Sell;
                t.Last = qMax(t.Last, r.Date);
            }
            progress(0, nLhb - 1, i);
        }
    } else {
        // Net buys (or net sells) of the window first; their follow-ups are then read stock by stock,
        // each bar file once, instead of two file reads per record.
        std::vector<int> picked;
        for (int i = 0; i < nLhb; ++i) {
            const TLhbRecord &r = recs[i];
            if (stock.ValidRecord(r) && window.Contains(r.Date) && (flavour == 1 ? r.Buy > r.Sell : r.Sell > r.Buy))
                picked.push_back(i);
            progress(0, nLhb - 1, i);
        }
        const std::vector<TFollowUp> follow = FollowUps(stock, picked);
        for (size_t k = 0; k < picked.size(); ++k) {
            const TLhbRecord &r = recs[picked[k]];
            TSeatTally &t = tally[size_t(r.yId)];
            ++t.Count;
            t.Last = qMax(t.Last, r.Date);
            if (flavour == 1 ? follow[k].BuySuccess() : follow[k].SellSuccess())
                ++t.Successes;
        }
    }

    static const char *const headers[] = {
        "序号,席位名称,上榜次数,买入额,卖出额,最后上榜日期",
        "序号,席位名称,买入次数,买入成功次数,买入成功率,最后上榜日期",
        "序号,席位名称,卖出次数,卖出成功次数,卖出成功率,最后上榜日期",
    };
    grid.SetColCount(6);
    grid.SetRowText(0, QString::fromUtf8(headers[flavour]));
    int row = 1;
    for (int j = 0; j < nYyb; ++j) {
        const TSeatTally &t = tally[size_t(j)];
        if (t.Count > 0) {
            grid.SetCell(0, row, Blank());
            grid.SetCell(1, row, StripText(stock.YybName(j)));
            grid.SetCell(2, row, QString::number(t.Count));
            if (flavour == 0) {
                grid.SetCell(3, row, Fmt2(t.Buy));
                grid.SetCell(4, row, Fmt2(t.Sell));
            } else {
                grid.SetCell(3, row, QString::number(t.Successes));
                grid.SetCell(4, row, Fmt2(double(qint64(t.Successes) * 100) / t.Count));
            }
            grid.SetCell(5, row, FormatYmd(t.Last));
            ++row;
        }
        progress(0, nYyb - 1, j);
    }
    SortGrid(grid, flavour == 0 ? 2 : 4, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}

void ShowGrid21(const TStock &stock, const TViewParams &params, int yId, int cDay, TStringGrid &grid)
{
    if (yId < 0 || yId >= stock.YybCount())
        return;
    const int nCode = stock.CodeCount();
    std::vector<TStockTally> tally(size_t(qMax(0, nCode)));
    const TDayWindow window(params.EndDate, 0, cDay);
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0, n = stock.LhbCount(); i < n; ++i) {
        const TLhbRecord &r = recs[i];
        if (r.yId == yId && stock.ValidRecord(r) && window.Contains(r.Date)) {
            TStockTally &t = tally[size_t(r.cId)];
            ++t.Count;
            // Equal amounts count as a sell here, unlike the ranking, where they are neither.
            if (r.Buy > r.Sell)
                ++t.Buys;
            else
                ++t.Sells;
            t.Last = qMax(t.Last, r.Date);
        }
    }
    grid.SetColCount(7);
    grid.SetRowText(0, QStringLiteral("序号,名称,代码,上榜次数,买入次数,卖出次数,最后上榜日期"));
    int row = 1;
    for (int j = 0; j < nCode; ++j) {
        const TStockTally &t = tally[size_t(j)];
        if (t.Count > 0) {
            grid.SetCell(0, row, Blank());
            grid.SetCell(1, row, stock.NameText(j));
            grid.SetCell(2, row, stock.CodeText(j));
            grid.SetCell(3, row, QString::number(t.Count));
            grid.SetCell(4, row, QString::number(t.Buys));
            grid.SetCell(5, row, QString::number(t.Sells));
            grid.SetCell(6, row, FormatYmd(t.Last));
            ++row;
        }
    }
    SortGrid(grid, 3, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}

void ShowGrid211(const TStock &stock, const TViewParams &params, int cId, int yId, int cDay, TStringGrid &grid)
{
    if (cId < 0 || yId < 0 || cId >= stock.CodeCount() || yId >= stock.YybCount())
        return;
    grid.SetColCount(6);
    grid.SetRowText(0, QStringLiteral("日期,当日成交额,买入额,卖出额,介入比例,异动方向"));
    const TDayWindow window(params.EndDate, 0, cDay);
    const TLhbRecord *recs = stock.LhbRecords();
    // Every row is of the same stock: its bar file is read once, at the first row.
    TBarSeries bars;
    bool barsLoaded = false;
    int row = 1;
    for (int i = 0, n = stock.LhbCount(); i < n; ++i) {
        const TLhbRecord &r = recs[i];
        if (r.cId != cId || r.yId != yId || !stock.ValidRecord(r) || !window.Contains(r.Date))
            continue;
        if (!barsLoaded) {
            bars.Load(stock, cId);
            barsLoaded = true;
        }
        const double turnover = bars.At(r.Date, 0).Amount * 1000.0; // thousands of yuan to yuan
        grid.SetCell(0, row, FormatYmd(r.Date));
        grid.SetCell(1, row, QString::number(qint64(turnover / 10000.0)));
        grid.SetCell(2, row, Fmt2(r.Buy));
        grid.SetCell(3, row, Fmt2(r.Sell));
        grid.SetCell(4, row, turnover > 0 ? Fmt2((r.Buy + r.Sell) * 100.0 / turnover) : QStringLiteral("0"));
        grid.SetCell(5, row, r.Buy > r.Sell ? QStringLiteral("买入") : QStringLiteral("卖出"));
        ++row;
    }
    SortGrid(grid, 0, 1, row - 1, false, true);
    if (row > 1)
        grid.SetRowCount(row);
}
