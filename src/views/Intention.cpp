#include "Intention.h"

#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

#include <vector>

namespace {

void WriteRow(const TStock &stock, TStringGrid &grid, int row, int cId, double side, double valueBase, double turnover)
{
    grid.SetCell(0, row, QStringLiteral(" "));
    grid.SetCell(1, row, stock.CodeText(cId));
    grid.SetCell(2, row, stock.NameText(cId));
    grid.SetCell(3, row, valueBase > 0 ? Fmt2(side * 100.0 / valueBase) : QStringLiteral("0.00"));
    grid.SetCell(4, row, Fmt2(side));
    grid.SetCell(5, row, turnover > 0 ? Fmt2(side * 100.0 / turnover) : QStringLiteral("0.00"));
}

} // namespace

void ShowGrid5(const TStock &stock, const TViewParams &params, TStringGrid &left, TStringGrid &bottom)
{
    const int nCode = qMax(0, stock.CodeCount());
    const qint32 day = DateToInt(params.EndDate);
    std::vector<double> buySide(size_t(nCode), 0.0), sellSide(size_t(nCode), 0.0);
    // Only a real date selects records: a bar lookup by a number that is not one would count bars back.
    if (TDayWindow::IsValidYmd(day)) {
        const TLhbRecord *recs = stock.LhbRecords();
        for (int i = 0, n = stock.LhbCount(); i < n; ++i) {
            const TLhbRecord &r = recs[i];
            if (r.Date != day || !stock.ValidRecord(r))
                continue;
            if (r.Buy > r.Sell)
                buySide[size_t(r.cId)] += r.Buy;
            else
                sellSide[size_t(r.cId)] += r.Sell;
        }
    }

    ClearGrid(left, 0, 0);
    left.SetColCount(6);
    left.SetRowText(0, QStringLiteral("序号,股票代码,股票名称,前五买入意愿,前五买入总额,前五买入介入比例"));
    ClearGrid(bottom, 0, 0);
    bottom.SetColCount(6);
    bottom.SetRowText(0, QStringLiteral("序号,股票代码,股票名称,前五卖出意愿,前五卖出总额,前五卖出介入比例"));
    int rowBuy = 1, rowSell = 1;
    for (int j = 0; j < nCode; ++j) {
        const double buy = buySide[size_t(j)], sell = sellSide[size_t(j)];
        if (!(buy > 0) && !(sell > 0))
            continue;
        // Both sides of a stock share its bar of the day (or the latest earlier one) and its share base.
        const QString code = GbkField(stock.CodeRecords()[j].Code, 6);
        const TDayBar bar = stock.DayBar(code, day, 0);
        const double valueBase = double(stock.GetFinance(code).ShareBase) * double(bar.Close);
        const double turnover = double(bar.Amount) * 1000.0;
        if (buy > 0)
            WriteRow(stock, left, rowBuy++, j, buy, valueBase, turnover);
        if (sell > 0)
            WriteRow(stock, bottom, rowSell++, j, sell, valueBase, turnover);
    }
    SortGrid(left, 3, 1, rowBuy - 1, true, true);
    SortGrid(bottom, 3, 1, rowSell - 1, true, true);
    if (rowBuy > 1)
        left.SetRowCount(rowBuy);
    if (rowSell > 1)
        bottom.SetRowCount(rowSell);
}
