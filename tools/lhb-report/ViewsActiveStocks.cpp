#include "ReportViews.h"

#include "data/Stock.h"
#include "views/ActiveStocks.h"
#include "views/Intention.h"
#include "views/NetBuying.h"

static const bool registered = RegisterReportView(
    {QStringLiteral("3"), {}, QStringLiteral("the active stocks"),
     [](const TReportContext &ctx, TReportGrids &g) {
         ShowGrid3(Stock, ctx.Params, g.Left);
         return QString();
     }})
    && RegisterReportView(
        {QStringLiteral("31"), {QStringLiteral("CODE")}, QStringLiteral("the seats listed for a stock in the period"),
         [](const TReportContext &ctx, TReportGrids &g) {
             const int cId = Stock.CodeIndex(ctx.Args.at(0));
             if (cId < 0)
                 return ctx.Args.at(0);
             ShowGrid31(Stock, ctx.Params, cId, g.Top);
             return QString();
         }})
    && RegisterReportView(
        {QStringLiteral("7"), {}, QStringLiteral("the net buying of the stocks"),
         [](const TReportContext &ctx, TReportGrids &g) {
             ShowGrid7(Stock, ctx.Params, g.Left);
             return QString();
         }})
    && RegisterReportView(
        {QStringLiteral("5"), {}, QStringLiteral("the buying and the selling intention on the end date"),
         [](const TReportContext &ctx, TReportGrids &g) {
             ShowGrid5(Stock, ctx.Params, g.Left, g.Bottom);
             return QString();
         }});
