#include "NetBuying.h"

#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DailyList.h"

#include <vector>

void ShowGrid7(const TStock &stock, const TViewParams &params, TStringGrid &grid, TProgress progress)
{
    const int nCode = qMax(0, stock.CodeCount());
    const TStockTotals totals = TotalsByStock(stock, TDayWindow(params.EndDate, 0, params.Days), progress);

    grid.SetColCount(10);
    grid.SetRowText(0, QStringLiteral("序号,代码,名称,开盘价,收盘价,昨收价,涨跌幅,成交量,成交额,净买入额"));
    int row = 1;
    for (int j = 0; j < nCode; ++j) {
        if (totals.Listed(j)) {
            const QString code = stock.CodeText(j);
            TDayBar c0, c1;
            stock.NewestBars(code, c0, c1);
            grid.SetCell(0, row, QStringLiteral(" "));
            grid.SetCell(1, row, code);
            grid.SetCell(2, row, stock.NameText(j));
            grid.SetCell(3, row, Fmt2(c0.Open / 1000.0));
            grid.SetCell(4, row, Fmt2(c0.Close / 1000.0));
            grid.SetCell(5, row, Fmt2(c1.Close / 1000.0));
            grid.SetCell(6, row, Fmt2(ChangePercent(c0, c1)));
            grid.SetCell(7, row, QString::number(c0.Volume));
            grid.SetCell(8, row, QString::number(c0.Amount / 10));
            grid.SetCell(9, row, Fmt2(totals.Bought[size_t(j)] - totals.Sold[size_t(j)]));
            ++row;
        }
        progress(0, nCode - 1, j);
    }
    SortGrid(grid, 9, 1, row - 1, true, true);
    if (row > 1)
        grid.SetRowCount(row);
}
