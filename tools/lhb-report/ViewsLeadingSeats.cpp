#include "ReportViews.h"

#include "app/Json.h"
#include "data/Stock.h"
#include "views/DetailDays.h"
#include "views/LeadingSeats.h"
#include "views/LhbSettings.h"
#include "views/WatchedSeats.h"

#include <vector>

static const bool registered = RegisterReportView(
    {QStringLiteral("2"), {}, QStringLiteral("the leading seats of --type 0, 1 or 2"),
     [](const TReportContext &ctx, TReportGrids &g) {
         ShowGrid2(Stock, ctx.Params, ctx.Type, g.Left);
         return QString();
     }})
    && RegisterReportView(
        {QStringLiteral("21"), {QStringLiteral("SEAT")}, QStringLiteral("the stocks a seat was listed for"),
         [](const TReportContext &ctx, TReportGrids &g) {
             const int yId = Stock.YybIndex(ctx.Args.at(0));
             if (yId < 0)
                 return ctx.Args.at(0);
             ShowGrid21(Stock, ctx.Params, yId, DetailDays(2, ctx.Params.Days, nullptr), g.Top);
             return QString();
         }})
    && RegisterReportView(
        {QStringLiteral("211"), {QStringLiteral("CODE"), QStringLiteral("SEAT")},
         QStringLiteral("a seat's records in one stock"),
         [](const TReportContext &ctx, TReportGrids &g) {
             const int cId = Stock.CodeIndex(ctx.Args.at(0));
             if (cId < 0)
                 return ctx.Args.at(0);
             const int yId = Stock.YybIndex(ctx.Args.at(1));
             if (yId < 0)
                 return ctx.Args.at(1);
             ShowGrid211(Stock, ctx.Params, cId, yId, DetailDays(2, ctx.Params.Days, nullptr), g.Bottom);
             return QString();
         }})
    && RegisterReportView(
        {QStringLiteral("4"), {}, QStringLiteral("the watched seats (settings file or --attention)"),
         [](const TReportContext &ctx, TReportGrids &g) {
             SetLhbDefaults(Json);
             const std::vector<int> attention =
                 ctx.HasAttention ? ctx.Attention : AttentionList(Json.O(QStringLiteral("run.lhb.attention")));
             ShowGrid4(Stock, ctx.Params, attention, g.Left);
             return QString();
         }});
