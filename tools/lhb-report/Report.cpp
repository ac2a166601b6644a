#include "Report.h"

#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/Stock.h"
#include "kit/CellStyle.h"
#include "kit/Grid.h"
#include "ReportViews.h"

#include <QDate>

#include <algorithm>
#include <vector>

namespace {

QString UsageText()
{
    QString text = QStringLiteral("usage: lhb-report [--end YYYY-MM-DD] [--days N] [--type 0|1|2] [--attention LIST] [--scheme JSON]\n"
                                  "                  [--raw] [--csv] VIEW [ARG...]\n");
    std::vector<TReportView> views = ReportViews();
    std::sort(views.begin(), views.end(), [](const TReportView &x, const TReportView &y) { return x.Name < y.Name; });
    for (const TReportView &v : views)
        text += QStringLiteral("  %1 %2\n").arg((v.Name + u' ' + v.Args.join(u' ')).leftJustified(16), v.Summary);
    text += QStringLiteral("Run in the folder that holds the data set; nothing is written there.\n");
    return text;
}

struct TOptions
{
    TReportContext ctx;
    bool raw = false;
    bool csv = false;
    QString view;
};

QString CsvField(const QString &s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    return u'"' + QString(s).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

bool RowEmpty(const TStringGrid &grid, int row)
{
    for (int c = 0; c < grid.ColCount(); ++c)
        if (!grid.Cell(c, row).isEmpty())
            return false;
    return true;
}

// Parses the options; an error text when they are not understood.
QString ParseArgs(const QStringList &args, TOptions &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        auto value = [&](QString &v) {
            if (i + 1 >= args.size())
                return false;
            v = args.at(++i);
            return true;
        };
        QString v;
        if (a == u"--end") {
            if (!value(v))
                return QStringLiteral("--end needs a date");
            const QDate d = QDate::fromString(v, QStringLiteral("yyyy-MM-dd"));
            if (!d.isValid())
                return QStringLiteral("not a date: %1").arg(v);
            o.ctx.Params.EndDate = d;
        } else if (a == u"--days") {
            if (!value(v))
                return QStringLiteral("--days needs a number");
            bool ok = false;
            const int n = v.toInt(&ok);
            if (!ok || n < 0 || n > 99999)
                return QStringLiteral("--days takes a whole number from 0 to 99999: %1").arg(v);
            o.ctx.Params.Days = n;
        } else if (a == u"--type") {
            if (!value(v))
                return QStringLiteral("--type needs 0, 1 or 2");
            if (v != u"0" && v != u"1" && v != u"2")
                return QStringLiteral("--type takes 0, 1 or 2: %1").arg(v);
            o.ctx.Type = v.toInt();
        } else if (a == u"--attention") {
            if (!value(v))
                return QStringLiteral("--attention needs a list of seat indexes");
            o.ctx.HasAttention = true;
            o.ctx.Attention.clear();
            // "3,17,42", blanks around items allowed; an empty text is an empty list.
            if (!v.trimmed().isEmpty()) {
                for (const QString &item : v.split(u',')) {
                    bool ok = false;
                    o.ctx.Attention.push_back(item.trimmed().toInt(&ok));
                    if (!ok)
                        return QStringLiteral("--attention takes seat indexes separated by commas: %1").arg(v);
                }
            }
        } else if (a == u"--scheme") {
            if (!value(v))
                return QStringLiteral("--scheme needs a JSON object");
            o.ctx.HasScheme = true;
            o.ctx.Scheme = JsonValue::parse(ToUtf8(v), nullptr, false);
            if (!o.ctx.Scheme.is_object())
                return QStringLiteral("--scheme takes a JSON object: %1").arg(v);
        } else if (a == u"--raw") {
            o.raw = true;
        } else if (a == u"--csv") {
            o.csv = true;
        } else if (a.startsWith(u"--")) {
            return QStringLiteral("unknown option: %1").arg(a);
        } else if (o.view.isEmpty()) {
            o.view = a;
        } else {
            o.ctx.Args.append(a);
        }
    }
    if (o.view.isEmpty())
        return QStringLiteral("no view given");
    return QString();
}

std::vector<TReportView> &Registry()
{
    static std::vector<TReportView> views;
    return views;
}

} // namespace

bool RegisterReportView(TReportView view)
{
    Registry().push_back(std::move(view));
    return true;
}

const std::vector<TReportView> &ReportViews()
{
    return Registry();
}

void PrintGrid(const TStringGrid &grid, QTextStream &out, bool raw, bool csv)
{
    int rows = grid.RowCount();
    if (rows == 2 && RowEmpty(grid, 1))
        rows = 1; // the placeholder row of an empty grid
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c) {
            const QString &text = grid.Cell(c, r);
            QString shown = raw ? text : CellLook(grid.Cell(c, 0), text, r, r == 0).text;
            cells.append(csv ? CsvField(shown) : shown);
        }
        out << cells.join(csv ? u',' : u'\t') << (csv ? "\r\n" : "\n");
    }
}

int RunReport(const QStringList &args, QTextStream &out, QTextStream &err)
{
    TOptions o;
    const QString problem = ParseArgs(args, o);

    const TReportView *view = nullptr;
    for (const TReportView &v : ReportViews())
        if (o.view == v.Name)
            view = &v;

    QString error = problem;
    if (error.isEmpty() && !view)
        error = QStringLiteral("unknown view: %1").arg(o.view);
    if (error.isEmpty() && o.ctx.Args.size() != view->Args.size())
        error = QStringLiteral("view %1 takes %2 argument(s)").arg(o.view).arg(view->Args.size());
    if (!error.isEmpty()) {
        err << "lhb-report: " << error << "\n" << UsageText();
        err.flush();
        return 2;
    }

    Pub.Init();
    BuildDefaultTree(Json);
    LoadRunSubtree(Json);
    Stock.Release(); // a fresh read of the data set at every run
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    const QString missing = Stock.MissingMessage();
    if (!missing.isEmpty()) {
        err << missing << "\n";
        err.flush();
        return 2;
    }

    TReportGrids grids;
    for (TStringGrid *g : {&grids.Left, &grids.Top, &grids.Bottom})
        ClearGrid(*g, 1, 0); // as after a mode switch
    const QString notFound = view->Run(o.ctx, grids);
    if (!notFound.isEmpty()) {
        err << "not found: " << notFound << "\n";
        err.flush();
        return 1;
    }
    // Print the grids the view wrote a header into, left to right, top to bottom.
    bool first = true;
    for (const TStringGrid *g : {&grids.Left, &grids.Top, &grids.Bottom}) {
        if (RowEmpty(*g, 0))
            continue;
        if (!first)
            out << (o.csv ? "\r\n" : "\n");
        PrintGrid(*g, out, o.raw, o.csv);
        first = false;
    }
    out.flush();
    return 0;
}
