#include "ReportViews.h"

#include "data/Stock.h"
#include "views/DailyList.h"

static const bool registered = RegisterReportView(
    {QStringLiteral("1"), {}, QStringLiteral("the daily list"),
     [](const TReportContext &ctx, TReportGrids &g) {
         ShowGrid1(Stock, ctx.Params, g.Left);
         return QString();
     }})
    && RegisterReportView(
        {QStringLiteral("11"), {QStringLiteral("CODE")}, QStringLiteral("the buying and the selling seats of a stock"),
         [](const TReportContext &ctx, TReportGrids &g) {
             const int cId = Stock.CodeIndex(ctx.Args.at(0));
             if (cId < 0)
                 return ctx.Args.at(0);
             ShowGrid11(Stock, ctx.Params, cId, g.Top, g.Bottom);
             return QString();
         }});
