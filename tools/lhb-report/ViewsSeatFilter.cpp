#include "ReportViews.h"

#include "app/Json.h"
#include "data/Stock.h"
#include "views/LhbSettings.h"
#include "views/SeatFilter.h"

namespace {

// The seat filter with the stored scheme and watch list, or those given on the command line. The
// report's end date stands for today, the end of the scheme's preset ranges.
QString RunSeatFilter(const TReportContext &ctx, TReportGrids &g)
{
    SetLhbDefaults(Json);
    JsonValue scheme = JsonValue::parse(DefaultSeatScheme);
    if (ctx.HasScheme)
        scheme = ctx.Scheme;
    else if (const JsonValue *stored = Json.O(QStringLiteral("run.lhb.filter")))
        scheme = *stored;
    const std::vector<int> attention =
        ctx.HasAttention ? ctx.Attention : AttentionList(Json.O(QStringLiteral("run.lhb.attention")));
    ShowGrid6(Stock, scheme, attention, ctx.Params.EndDate, g.Left);
    return QString();
}

} // namespace

static const bool registered = RegisterReportView(
    {QStringLiteral("6"), {}, QStringLiteral("the seat filter (the scheme of the settings file or --scheme)"),
     RunSeatFilter});
