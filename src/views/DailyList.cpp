#include "DailyList.h"

#include "data/Dates.h"
#include "data/Stock.h"

#include <vector>

QString Fmt2(double v)
{
    QString s = QString::asprintf("%.2f", v);
    if (s == u"-0.00")
        s = QStringLiteral("0.00");
    return s;
}

TStockTotals TotalsByStock(const TStock &stock, const TDayWindow &window, TProgress &progress)
{
    const int nCode = qMax(0, stock.CodeCount());
    const int nLhb = stock.LhbCount();
    TStockTotals t{std::vector<double>(size_t(nCode), 0.0), std::vector<double>(size_t(nCode), 0.0)};
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0; i < nLhb; ++i) {
        const TLhbRecord &r = recs[i];
        if (stock.ValidRecord(r) && window.Contains(r.Date)) {
            t.Bought[size_t(r.cId)] += r.Buy;
            t.Sold[size_t(r.cId)] += r.Sell;
        }
        progress(0, nLhb - 1, i);
    }
    return t;
}

double ChangePercent(const TDayBar &newest, const TDayBar &previous)
{
    if (newest.Close <= 0 || previous.Close <= 0)
        return 0.0;
    return double(newest.Close - previous.Close) / previous.Close * 100.0;
}

void ShowGrid1(const TStock &stock, const TViewParams &params, TStringGrid &grid, TProgress progress)
{
    const int nCode = stock.CodeCount();
    const TStockTotals totals = TotalsByStock(stock, TDayWindow(params.EndDate, 0, params.Days), progress);

    grid.SetColCount(10);
    grid.SetRowText(0, QStringLiteral("序号,日期,代码,名称,收盘价,涨跌幅,成交量,成交额,席位总买额,席位总卖额"));
    int row = 1;
    for (int j = 0; j < nCode; ++j) {
        if (totals.Listed(j)) {
            const QString code = stock.CodeText(j);
            TDayBar c0, c1;
            stock.NewestBars(code, c0, c1);
            grid.SetCell(0, row, QStringLiteral(" "));
            grid.SetCell(1, row, FormatYmd(c0.Date));
            grid.SetCell(2, row, code);
            grid.SetCell(3, row, stock.NameText(j));
            grid.SetCell(4, row, Fmt2(c0.Close / 1000.0));
            grid.SetCell(5, row, Fmt2(ChangePercent(c0, c1)));
            grid.SetCell(6, row, QString::number(c0.Volume));
            grid.SetCell(7, row, QString::number(c0.Amount / 10));
            grid.SetCell(8, row, Fmt2(totals.Bought[size_t(j)]));
            grid.SetCell(9, row, Fmt2(totals.Sold[size_t(j)]));
            ++row;
        }
        progress(0, nCode - 1, j);
    }
    SortGrid(grid, 5, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}

void ShowGrid11(const TStock &stock, const TViewParams &params, int cId, TStringGrid &top, TStringGrid &bottom)
{
    if (cId < 0)
        return;
    const int nYyb = stock.YybCount();
    std::vector<double> bought(size_t(qMax(0, nYyb)), 0.0), sold(size_t(qMax(0, nYyb)), 0.0);
    const TDayWindow window(params.EndDate, 0, params.Days);
    const TLhbRecord *recs = stock.LhbRecords();
    for (int i = 0, n = stock.LhbCount(); i < n; ++i) {
        const TLhbRecord &r = recs[i];
        if (r.cId == cId && stock.ValidRecord(r) && window.Contains(r.Date)) {
            bought[size_t(r.yId)] += r.Buy;
            sold[size_t(r.yId)] += r.Sell;
        }
    }
    top.SetColCount(3);
    top.SetRowText(0, QStringLiteral("序号,席位名称,买入额"));
    bottom.SetColCount(3);
    bottom.SetRowText(0, QStringLiteral("序号,席位名称,卖出额"));
    int rt = 1, rb = 1;
    for (int j = 0; j < nYyb; ++j) {
        if (bought[size_t(j)] > 0) {
            top.SetCell(0, rt, QStringLiteral(" "));
            top.SetCell(1, rt, stock.YybName(j));
            top.SetCell(2, rt, Fmt2(bought[size_t(j)]));
            ++rt;
        }
        if (sold[size_t(j)] > 0) {
            bottom.SetCell(0, rb, QStringLiteral(" "));
            bottom.SetCell(1, rb, stock.YybName(j));
            bottom.SetCell(2, rb, Fmt2(sold[size_t(j)]));
            ++rb;
        }
    }
    SortGrid(top, 2, 1, rt - 1, true, true);
    SortGrid(bottom, 2, 1, rb - 1, true, true);
    if (rt > 1)
        top.SetRowCount(rt);
    if (rb > 1)
        bottom.SetRowCount(rb);
}
