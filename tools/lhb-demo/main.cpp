#include "DemoData.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const char *usage = "usage: lhb-demo [--out DIR] [--seed S] [--end YYYY-MM-DD] [--scale small|full]\n";
    TDemoOptions opt;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size() || !a.startsWith(u"--")) {
            err << "lhb-demo: unexpected argument: " << a << "\n" << usage;
            return 2;
        }
        const QString v = args.at(++i);
        bool ok = true;
        if (a == u"--out") {
            opt.OutDir = v;
        } else if (a == u"--seed") {
            opt.Seed = v.toULongLong(&ok);
        } else if (a == u"--end") {
            opt.End = QDate::fromString(v, QStringLiteral("yyyy-MM-dd"));
            ok = opt.End.isValid();
        } else if (a == u"--scale") {
            ok = v == u"small" || v == u"full";
            opt.Full = v == u"full";
        } else {
            ok = false;
        }
        if (!ok) {
            err << "lhb-demo: bad value for " << a << ": " << v << "\n" << usage;
            return 2;
        }
    }
    TDemoSummary s;
    QString error;
    if (!WriteDemo(opt, s, error)) {
        err << "lhb-demo: " << error << "\n";
        return 1;
    }
    err << "lhb-demo: " << s.Stocks << " stocks, " << s.Seats << " seats, " << s.Days << " trading days "
        << s.FirstDate << ".." << s.LastDate << ", " << s.Records << " records, " << s.Holdings << " holding changes in " << opt.OutDir << "\n";
    return 0;
}
