// Times loading the data set and every report view on it, and the memory each needs beyond the
// decoded images. Run in the folder of a data set (bench/run.sh makes the full demo set).
#include "ReportViews.h"

#include "app/Config.h"
#include "app/Json.h"
#include "data/Stock.h"
#include "views/LhbSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Resident and peak resident memory of this process, in bytes.
qint64 StatusBytes(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').first().toLongLong() * 1024;
    return 0;
}

void ResetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

const TReportView *FindView(const QString &name)
{
    for (const TReportView &v : ReportViews())
        if (v.Name == name)
            return &v;
    return nullptr;
}

struct TCase
{
    QString view;
    int days;
    double targetMs;
    int type = 0;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int repeats = 5;
    std::printf("%-30s %10s %10s %12s\n", "step", "ms", "target", "extra MB");
    std::fflush(stdout);

    Pub.Init();
    BuildDefaultTree(Json);
    LoadRunSubtree(Json);
    SetLhbDefaults(Json);
    const qint64 before = StatusBytes("VmRSS:");
    ResetPeak();
    QElapsedTimer t;
    t.start();
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    const double loadMs = double(t.nsecsElapsed()) / 1e6;
    const qint64 images = Stock.Code.Size() + Stock.Finance.Size() + Stock.Yyb.Size() + Stock.Lhb.Size();
    if (!Stock.MissingMessage().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(Stock.MissingMessage()));
        return 2;
    }
    const double loadExtra = double(StatusBytes("VmHWM:") - before - images) / 1048576.0;
    std::printf("%-30s %10.1f %10.1f %12.1f\n", "LoadAll", loadMs, 1500.0, loadExtra);
    std::printf("# %d stocks, %d seats, %d records; decoded images %.1f MB\n", Stock.CodeCount(), Stock.YybCount(),
                Stock.LhbCount(), double(images) / 1048576.0);

    // The stock and the seat at the top of the longest lists serve the drill-downs; the thirty most
    // listed seats are the watch list.
    TReportContext ctx;
    ctx.Params.EndDate = QDate::currentDate();
    if (argc > 1)
        ctx.Params.EndDate = QDate::fromString(QString::fromLocal8Bit(argv[1]), QStringLiteral("yyyy-MM-dd"));
    const qint32 end = ctx.Params.EndDate.year() * 10000 + ctx.Params.EndDate.month() * 100 + ctx.Params.EndDate.day();
    const QDate start = ctx.Params.EndDate.addDays(-3649);
    const qint32 first = start.year() * 10000 + start.month() * 100 + start.day();
    TReportGrids g;
    ctx.Params.Days = 365;
    FindView(QStringLiteral("1"))->Run(ctx, g);
    const QString code = g.Left.Cell(2, 1);
    FindView(QStringLiteral("2"))->Run(ctx, g);
    const QString seat = Stock.YybName(Stock.YybIndex(g.Left.Cell(1, 1)));
    std::vector<int> watched;
    for (int r = 1; r <= 30 && r < g.Left.RowCount(); ++r)
        watched.push_back(Stock.YybIndex(g.Left.Cell(1, r)));
    // Seat schemes of 7 days, 365 days and a ten-year custom range, showing buy successes.
    const auto scheme = [](const QString &period) {
        return JsonValue::parse(ToUtf8(QStringLiteral(R"({"1":{%1},"2":{"0":true,"3":true},"3":{}})").arg(period)));
    };
    const std::vector<std::pair<int, JsonValue>> schemes = {
        {7, scheme(QStringLiteral(R"("0":true)"))},
        {365, scheme(QStringLiteral(R"("4":true)"))},
        {3650, scheme(QStringLiteral(R"("5":true,"6":%1,"7":%2)").arg(first).arg(end))},
    };

    std::vector<TCase> cases;
    const int spans[] = {7, 365, 3650};
    auto add = [&](const char *view, const double (&targets)[3], int type = 0) {
        for (int i = 0; i < 3; ++i)
            cases.push_back({QString::fromLatin1(view), spans[i], targets[i], type});
    };
    add("1", {100, 100, 100});
    add("11", {20, 20, 20});
    add("2", {50, 100, 300});
    add("2", {100, 300, 1000}, 1);
    add("2", {100, 300, 1000}, 2);
    add("3", {50, 100, 300});
    add("4", {50, 100, 300});
    add("7", {50, 100, 300});
    add("6", {100, 300, 1000});
    add("21", {20, 20, 50});
    add("211", {20, 20, 50});
    add("31", {20, 20, 50});
    cases.push_back({QStringLiteral("5"), 0, 20});
    for (const TCase &c : cases) {
        const TReportView *view = FindView(c.view);
        if (!view)
            continue;
        ctx.Params.Days = c.days;
        ctx.Type = c.type;
        ctx.Args.clear();
        for (const QString &arg : view->Args)
            ctx.Args << (arg == u"SEAT" ? seat : code);
        ctx.HasAttention = c.view == u"4";
        ctx.Attention = watched;
        ctx.HasScheme = c.view == u"6";
        for (const auto &s : schemes)
            if (s.first == c.days)
                ctx.Scheme = s.second;
        std::vector<double> times;
        qint64 extra = 0;
        for (int i = 0; i < repeats; ++i) {
            TReportGrids grids;
            for (TStringGrid *grid : {&grids.Left, &grids.Top, &grids.Bottom})
                ClearGrid(*grid, 1, 0);
            const qint64 rss = StatusBytes("VmRSS:");
            ResetPeak();
            t.restart();
            view->Run(ctx, grids);
            times.push_back(double(t.nsecsElapsed()) / 1e6);
            extra = std::max(extra, StatusBytes("VmHWM:") - rss);
        }
        std::sort(times.begin(), times.end());
        const QString name = c.view == u"5" ? QStringLiteral("view 5, one date")
                                            : QStringLiteral("view %1%2, %3 days")
                                                  .arg(c.view, c.type ? QStringLiteral(" type %1").arg(c.type) : QString())
                                                  .arg(c.days);
        std::printf("%-30s %10.1f %10.1f %12.1f\n", qPrintable(name), times[times.size() / 2], c.targetMs,
                    double(extra) / 1048576.0);
    }
    return 0;
}
