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
    std::printf("%-28s %10s %10s %12s\n", "step", "ms", "target", "extra MB");

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
    std::printf("%-28s %10.1f %10.1f %12.1f\n", "LoadAll", loadMs, 1500.0, loadExtra);
    std::printf("# %d stocks, %d seats, %d records; decoded images %.1f MB\n", Stock.CodeCount(), Stock.YybCount(),
                Stock.LhbCount(), double(images) / 1048576.0);

    // The first stock and seat of the longest lists serve the drill-downs.
    TReportContext ctx;
    ctx.Params.EndDate = QDate::currentDate();
    if (argc > 1)
        ctx.Params.EndDate = QDate::fromString(QString::fromLocal8Bit(argv[1]), QStringLiteral("yyyy-MM-dd"));
    TReportGrids g;
    ctx.Params.Days = 365;
    FindView(QStringLiteral("1"))->Run(ctx, g);
    const QString code = g.Left.Cell(2, 1);

    std::vector<TCase> cases = {
        {QStringLiteral("1"), 7, 100}, {QStringLiteral("1"), 365, 100}, {QStringLiteral("1"), 3650, 100},
        {QStringLiteral("11"), 7, 20}, {QStringLiteral("11"), 365, 20}, {QStringLiteral("11"), 3650, 20},
    };
    for (const TCase &c : cases) {
        const TReportView *view = FindView(c.view);
        if (!view)
            continue;
        ctx.Params.Days = c.days;
        ctx.Type = c.type;
        ctx.Args.clear();
        if (view->Args.size() == 1)
            ctx.Args << code;
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
        const QString name = QStringLiteral("view %1%2, %3 days")
                                 .arg(c.view, c.type ? QStringLiteral(" type %1").arg(c.type) : QString())
                                 .arg(c.days);
        std::printf("%-28s %10.1f %10.1f %12.1f\n", qPrintable(name), times[times.size() / 2], c.targetMs,
                    double(extra) / 1048576.0);
    }
    return 0;
}
