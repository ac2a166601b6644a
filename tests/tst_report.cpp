// The report command: output format, options and errors, on a small data set.
#include "Fixture.h"

#include "Report.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTest>

class TestReport : public QObject
{
    Q_OBJECT

private:
    struct TRun
    {
        int code;
        QString out, err;
    };
    static TRun Run(const QStringList &args)
    {
        TRun r;
        QTextStream out(&r.out), err(&r.err);
        r.code = RunReport(args, out, err);
        return r;
    }
    static void MakeDataSet(TFixture &fx)
    {
        const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
        const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
        const int y0 = fx.AddSeat(QStringLiteral("机构专用"));
        const int y1 = fx.AddSeat(QStringLiteral("甲,\"乙\"营业部"));
        fx.AddRecord(a, y0, 300.0, 0.0, Ymd(2024, 3, 15));
        fx.AddRecord(a, y1, 100.0, 50.0, Ymd(2024, 3, 14));
        fx.AddRecord(b, y1, 0.0, 80.0, Ymd(2024, 3, 13));
        fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 3, 14), {10000, 10250}));
        fx.WriteBars(QStringLiteral("000001"), BarsFrom(QDate(2024, 3, 14), {10000, 9000}));
        fx.WriteTables();
    }

private slots:
    void dailyList();
    void rawAndCsv();
    void twoGrids();
    void emptyResultPrintsTheHeaderOnly();
    void errors_data();
    void errors();
    void missingData();
    void writesNothing();
};

void TestReport::dailyList()
{
    TFixture fx;
    MakeDataSet(fx);
    const TRun r = Run({"--end", "2024-03-15", "--days", "7", "1"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.err, QString());
    QCOMPARE(r.out, QStringLiteral(
        "序号\t日期\t代码\t名称\t收盘价\t涨跌幅\t成交量\t成交额\t席位总买额\t席位总卖额\n"
        "1\t2024-03-15\t600000\t浦发银行\t10.25\t2.50%\t30750\t102\t400.00\t50.00\n"
        "2\t2024-03-15\t000001\t平安银行\t9.00\t-10.00%\t27000\t90\t0.00\t80.00\n"));
    // The period is the options': one day only.
    const TRun one = Run({"--end", "2024-03-15", "--days", "0", "1"});
    QCOMPARE(one.out.count(u'\n'), 2);
}

void TestReport::rawAndCsv()
{
    TFixture fx;
    MakeDataSet(fx);
    const TRun raw = Run({"--end", "2024-03-15", "--raw", "1"});
    QVERIFY(raw.out.contains(QStringLiteral("\n \t2024-03-15\t600000\t浦发银行\t10.25\t2.50\t")));
    const TRun csv = Run({"--end", "2024-03-15", "--csv", "11", "600000"});
    QCOMPARE(csv.code, 0);
    QCOMPARE(csv.out, QStringLiteral(
        "序号,席位名称,买入额\r\n1,机构专用,300.00\r\n2,\"甲,\"\"乙\"\"营业部\",100.00\r\n"
        "\r\n"
        "序号,席位名称,卖出额\r\n1,\"甲,\"\"乙\"\"营业部\",50.00\r\n"));
}

void TestReport::twoGrids()
{
    TFixture fx;
    MakeDataSet(fx);
    const TRun r = Run({"--end", "2024-03-15", "11", "000001"});
    QCOMPARE(r.code, 0);
    // No seat bought: the top grid shows its header only, then an empty line and the bottom grid.
    QCOMPARE(r.out, QStringLiteral("序号\t席位名称\t买入额\n\n序号\t席位名称\t卖出额\n1\t甲,\"乙\"营业部\t80.00\n"));
}

void TestReport::emptyResultPrintsTheHeaderOnly()
{
    TFixture fx;
    MakeDataSet(fx);
    const TRun r = Run({"--end", "2020-01-01", "1"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("序号\t日期\t代码\t名称\t收盘价\t涨跌幅\t成交量\t成交额\t席位总买额\t席位总卖额\n"));
}

void TestReport::errors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("no view") << QStringList{} << 2 << "no view given";
    QTest::newRow("unknown view") << QStringList{"99"} << 2 << "unknown view: 99";
    QTest::newRow("unknown option") << QStringList{"--fast", "1"} << 2 << "unknown option: --fast";
    QTest::newRow("bad date") << QStringList{"--end", "2024-02-30", "1"} << 2 << "not a date: 2024-02-30";
    QTest::newRow("date without value") << QStringList{"1", "--end"} << 2 << "--end needs a date";
    QTest::newRow("days not a number") << QStringList{"--days", "x", "1"} << 2 << "--days takes";
    QTest::newRow("days negative") << QStringList{"--days", "-1", "1"} << 2 << "--days takes";
    QTest::newRow("days too large") << QStringList{"--days", "100000", "1"} << 2 << "--days takes";
    QTest::newRow("bad type") << QStringList{"--type", "3", "1"} << 2 << "--type takes";
    QTest::newRow("missing code") << QStringList{"11"} << 2 << "view 11 takes 1 argument";
    QTest::newRow("extra argument") << QStringList{"1", "600000"} << 2 << "view 1 takes 0 argument";
    QTest::newRow("code not found") << QStringList{"11", "600999"} << 1 << "not found: 600999";
    QTest::newRow("code with a blank is not found") << QStringList{"11", "600000 "} << 1 << "not found: 600000 ";
}

void TestReport::errors()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    TFixture fx;
    MakeDataSet(fx);
    const TRun r = Run(args);
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    if (code == 2)
        QVERIFY(r.err.contains(QStringLiteral("usage: lhb-report")));
}

void TestReport::missingData()
{
    TFixture fx; // an empty working directory
    const TRun r = Run({"1"});
    QCOMPARE(r.code, 2);
    QCOMPARE(r.err, QStringLiteral("缺少代码数据文件！\n"));
    QCOMPARE(r.out, QString());
}

void TestReport::writesNothing()
{
    TFixture fx;
    MakeDataSet(fx);
    auto snapshot = [&]() {
        QStringList files;
        QDirIterator it(fx.Dir(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            files << info.filePath() + QString::number(info.size()) + info.lastModified().toString(Qt::ISODateWithMs);
        }
        files.sort();
        return files;
    };
    const QStringList before = snapshot();
    Run({"1"});
    Run({"11", "600000"});
    Run({"11", "nope"});
    QCOMPARE(snapshot(), before);
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
