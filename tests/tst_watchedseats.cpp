// The watched seat summary: the seats of the watch list in its order, counted over the days strictly
// between the end date and N days before it.
#include "Fixture.h"

#include "Report.h"
#include "app/Config.h"
#include "app/Json.h"
#include "data/Dates.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "views/WatchedSeats.h"

#include <QTest>

namespace {

QStringList Rows(const TStringGrid &grid)
{
    QStringList rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.ColCount(); ++c)
            cells << grid.Cell(c, r);
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class TestWatchedSeats : public QObject
{
    Q_OBJECT

private:
    const QDate end{2024, 3, 15}; // a Friday

private slots:
    void strictWindow_data();
    void strictWindow();
    void watchListOrder();
    void recomputeReplacesRows();
    void recordsOutsideTheTablesAreSkipped();
    void reportWatchList_data();
    void reportWatchList();
};

void TestWatchedSeats::strictWindow_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("recordDate");
    QTest::addColumn<bool>("counted");
    QTest::newRow("N = 7, the end date") << 7 << Ymd(2024, 3, 15) << false;
    QTest::newRow("N = 7, the day before") << 7 << Ymd(2024, 3, 14) << true;
    QTest::newRow("N = 7, 3 days before") << 7 << Ymd(2024, 3, 12) << true;
    QTest::newRow("N = 7, 6 days before") << 7 << Ymd(2024, 3, 9) << true;
    QTest::newRow("N = 7, exactly 7 days before") << 7 << Ymd(2024, 3, 8) << false;
    QTest::newRow("N = 7, after the end date") << 7 << Ymd(2024, 3, 16) << false;
    QTest::newRow("N = 2, the day before") << 2 << Ymd(2024, 3, 14) << true;
    QTest::newRow("N = 1, the end date") << 1 << Ymd(2024, 3, 15) << false;
    QTest::newRow("N = 1, the day before") << 1 << Ymd(2024, 3, 14) << false;
    QTest::newRow("N = 0, the end date") << 0 << Ymd(2024, 3, 15) << false;
}

void TestWatchedSeats::strictWindow()
{
    QFETCH(int, days);
    QFETCH(int, recordDate);
    QFETCH(bool, counted);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 100.0, 25.5, recordDate);
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid4(Stock, TViewParams{end, days}, {y}, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,席位名称,上榜次数,买入额,卖出额,最后上榜日期"));
    // A watched seat is listed also when it was not counted.
    QCOMPARE(Rows(grid), QStringList({counted ? QStringLiteral(" |甲营业部|1|100.00|25.50|") + FormatYmd(recordDate)
                                              : QStringLiteral(" |甲营业部|0|0.00|0.00|-")}));
}

// Rows follow the watch list, not the seat table or the figures; indexes outside the table are left out.
void TestWatchedSeats::watchListOrder()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int t = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    const int a = fx.AddSeat(QStringLiteral("甲营业部"));
    const int b = fx.AddSeat(QStringLiteral("乙营业部"));
    const int c = fx.AddSeat(QStringLiteral(" 丙营业部 "));
    const int d = fx.AddSeat(QStringLiteral("丁营业部"));
    fx.AddRecord(s, a, 1.0, 2.0, Ymd(2024, 3, 10));
    fx.AddRecord(t, a, 3.0, 4.0, Ymd(2024, 3, 13));
    fx.AddRecord(s, a, 5.0, 6.0, Ymd(2024, 3, 12));
    fx.AddRecord(s, a, 70.0, 80.0, Ymd(2024, 3, 15)); // the end date: not counted
    fx.AddRecord(s, b, 9.0, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(t, c, 0.0, 9.0, Ymd(2024, 3, 14));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid4(Stock, TViewParams{end, 7}, {c, 99, a, -1, d, 4}, grid);
    QCOMPARE(Rows(grid), QStringList({" |丙营业部|1|0.00|9.00|2024-03-14", " |甲营业部|3|9.00|12.00|2024-03-13",
                                      " |丁营业部|0|0.00|0.00|-"}));
}

// The grid is cleared first: fewer watched seats leave no rows of the last computation behind.
void TestWatchedSeats::recomputeReplacesRows()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int a = fx.AddSeat(QStringLiteral("甲营业部"));
    const int b = fx.AddSeat(QStringLiteral("乙营业部"));
    const int c = fx.AddSeat(QStringLiteral("丙营业部"));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid4(Stock, TViewParams{end, 7}, {a, b, c}, grid);
    QCOMPARE(grid.RowCount(), 4);
    ShowGrid4(Stock, TViewParams{end, 7}, {b}, grid);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cell(1, 1), QStringLiteral("乙营业部"));
    QVERIFY(grid.Cell(1, 2).isEmpty());
    ShowGrid4(Stock, TViewParams{end, 7}, {}, grid);
    QCOMPARE(grid.ColCount(), 6);
    QCOMPARE(grid.Cell(1, 0), QStringLiteral("席位名称"));
    QCOMPARE(grid.RowCount(), 2);
    QVERIFY(grid.Cell(1, 1).isEmpty());
}

void TestWatchedSeats::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 1.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(3, y, 1.0, 0.0, Ymd(2024, 3, 14));  // no such stock
    fx.AddRecord(s, 1, 1.0, 0.0, Ymd(2024, 3, 14));  // no such seat
    fx.AddRecord(s, -1, 1.0, 0.0, Ymd(2024, 3, 14)); // no such seat
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid4(Stock, TViewParams{end, 7}, {y, 1}, grid);
    QCOMPARE(Rows(grid), QStringList({" |甲营业部|1|1.00|0.00|2024-03-14"}));
}

void TestWatchedSeats::reportWatchList_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("seats"); // the seats listed, or the error line
    QTest::newRow("the settings file's list") << QStringList{} << 0 << QStringList{"乙营业部", "甲营业部"};
    QTest::newRow("--attention instead") << QStringList{"--attention", "0, 7,1"} << 0 << QStringList{"甲营业部", "乙营业部"};
    QTest::newRow("--attention empty") << QStringList{"--attention", ""} << 0 << QStringList{};
    QTest::newRow("--attention not a number")
        << QStringList{"--attention", "1,x"} << 2 << QStringList{"lhb-report: --attention takes seat indexes separated by commas: 1,x"};
    QTest::newRow("--attention empty element")
        << QStringList{"--attention", "1,,0"} << 2 << QStringList{"lhb-report: --attention takes seat indexes separated by commas: 1,,0"};
}

void TestWatchedSeats::reportWatchList()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QStringList, seats);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int a = fx.AddSeat(QStringLiteral("甲营业部"));
    const int b = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(s, a, 1.0, 0.0, Ymd(2024, 3, 14));
    fx.WriteTables();
    Json.Put(QStringLiteral("run.lhb.attention"), JsonValue::array({b, 5, a}));
    QVERIFY(SaveRunSubtree(Json));
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(RunReport(QStringList{"--end", "2024-03-15"} + args + QStringList{"4"}, out, err), exitCode);
    if (exitCode != 0) {
        QCOMPARE(errText.split(u'\n').first(), seats.first());
        return;
    }
    QStringList lines = outText.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.takeFirst(), QStringLiteral("序号\t席位名称\t上榜次数\t买入额\t卖出额\t最后上榜日期"));
    QStringList listed;
    for (const QString &line : lines)
        listed << line.section(u'\t', 1, 1);
    QCOMPARE(listed, seats);
}

QTEST_GUILESS_MAIN(TestWatchedSeats)
#include "tst_watchedseats.moc"
