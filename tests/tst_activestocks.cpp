// Active stocks: listing days, the most active seat without the institutional seat, the seats' totals,
// and the seats listed for one stock.
#include "Fixture.h"

#include "Report.h"
#include "data/Stock.h"
#include "views/ActiveStocks.h"

#include <QTest>

class TestActiveStocks : public QObject
{
    Q_OBJECT

private:
    const QDate end{2024, 3, 15}; // a Friday

    // The cells of the data row whose column 1 holds text, joined by '|'; empty when there is none.
    static QString RowOf(const TStringGrid &grid, const QString &text)
    {
        for (int r = 1; r < grid.RowCount(); ++r)
            if (grid.Cell(1, r) == text) {
                QStringList cells;
                for (int c = 0; c < grid.ColCount(); ++c)
                    cells << grid.Cell(c, r);
                return cells.join(u'|');
            }
        return QString();
    }
    static QStringList Column(const TStringGrid &grid, int col)
    {
        QStringList cells;
        for (int r = 1; r < grid.RowCount(); ++r)
            cells << grid.Cell(col, r);
        return cells;
    }

private slots:
    void window_data();
    void window();
    void mostActiveSeat_data();
    void mostActiveSeat();
    void rowTextsAndOrder();
    void emptyResultKeepsTheRows();
    void seatsOfOneStock();
    void recordsOutsideTheTablesAreSkipped();
    void progressOfBothLoops();
    void report_data();
    void report();
};

// Buy amounts are powers of two, so the buy sum tells exactly which records were counted.
void TestActiveStocks::window_data()
{
    QTest::addColumn<QDate>("endDate");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("row"); // 代码 .. 最后上榜日期, without the blank of column 0; empty: not listed
    QTest::newRow("N = 0: the end date only, two seats one day")
        << end << 0 << "600000|浦发银行|1|1|192.00|0.00|2024-03-15";
    QTest::newRow("N = 1") << end << 1 << "600000|浦发银行|2|2|224.00|0.00|2024-03-15";
    QTest::newRow("exactly N days back counts") << end << 7 << "600000|浦发银行|3|3|240.00|0.00|2024-03-15";
    QTest::newRow("N + 1 days back does not") << end << 6 << "600000|浦发银行|2|2|224.00|0.00|2024-03-15";
    QTest::newRow("over the leap day") << QDate(2024, 3, 1) << 1 << "600000|浦发银行|2|2|12.00|0.00|2024-03-01";
    QTest::newRow("over the year end") << QDate(2024, 1, 1) << 1 << "600000|浦发银行|2|2|3.00|0.00|2024-01-01";
    QTest::newRow("the largest day count") << end << 99999 << "600000|浦发银行|7|7|255.00|0.00|2024-03-15";
    QTest::newRow("a record after the end date is not counted")
        << QDate(2024, 3, 16) << 0 << "600000|浦发银行|1|1|256.00|0.00|2024-03-16";
    QTest::newRow("before every record") << QDate(2023, 12, 30) << 5 << "";
}

void TestActiveStocks::window()
{
    QFETCH(QDate, endDate);
    QFETCH(int, days);
    QFETCH(QString, row);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y1 = fx.AddSeat(QStringLiteral("甲营业部"));
    const int y2 = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(s, y1, 64.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y1, 256.0, 0.0, Ymd(2024, 3, 16));
    fx.AddRecord(s, y1, 1.0, 0.0, Ymd(2023, 12, 31));
    fx.AddRecord(s, y1, 8.0, 0.0, Ymd(2024, 3, 1));
    fx.AddRecord(s, y1, 16.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(s, y2, 128.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y1, 2.0, 0.0, Ymd(2024, 1, 1));
    fx.AddRecord(s, y1, 32.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y1, 4.0, 0.0, Ymd(2024, 2, 29));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{endDate, days}, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,代码,名称,最活跃席位出现次数,上榜次数,席位累计买入额,席位累计卖出额,最后上榜日期"));
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(RowOf(grid, QStringLiteral("600000")), row.isEmpty() ? QString() : QStringLiteral(" |") + row);
}

// Stocks A, B and C share seats; the records are interleaved in file order. A has seat 0 three times
// (on two days), seat 1 twice and seat 2 once; B has seat 0 once; C has seat 2 twice.
void TestActiveStocks::mostActiveSeat_data()
{
    QTest::addColumn<QStringList>("seats");
    QTest::addColumn<QStringList>("most"); // column 3 of A, B, C
    QTest::newRow("institution excluded")
        << QStringList{"机构专用", "甲营业部", "乙营业部"} << QStringList{"2", "0", "2"};
    QTest::newRow("no institutional seat in the table")
        << QStringList{"甲营业部", "乙营业部", "丙营业部"} << QStringList{"3", "1", "2"};
    QTest::newRow("a name with a trailing blank is another seat")
        << QStringList{"机构专用 ", "甲营业部", "乙营业部"} << QStringList{"3", "1", "2"};
    QTest::newRow("only the first of two institution names")
        << QStringList{"机构专用", "机构专用", "乙营业部"} << QStringList{"2", "0", "2"};
    QTest::newRow("institution as the last seat")
        << QStringList{"甲营业部", "乙营业部", "机构专用"} << QStringList{"3", "1", "0"};
}

void TestActiveStocks::mostActiveSeat()
{
    QFETCH(QStringList, seats);
    QFETCH(QStringList, most);
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600001"), QStringLiteral("甲股"));
    const int b = fx.AddStock(QStringLiteral("600002"), QStringLiteral("乙股"));
    const int c = fx.AddStock(QStringLiteral("600003"), QStringLiteral("丙股"));
    for (const QString &name : seats)
        fx.AddSeat(name);
    fx.AddRecord(a, 0, 10.0, 1.0, Ymd(2024, 3, 15));
    fx.AddRecord(c, 2, 1.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(b, 0, 500.0, 20.0, Ymd(2024, 3, 14));
    fx.AddRecord(a, 1, 10.0, 1.0, Ymd(2024, 3, 15));
    fx.AddRecord(a, 0, 10.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(c, 2, 1.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(a, 2, 10.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(a, 1, 10.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(a, 0, 10.0, 1.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 4);
    QStringList got;
    for (const QString &code : {QStringLiteral("600001"), QStringLiteral("600002"), QStringLiteral("600003")})
        got << RowOf(grid, code).section(u'|', 3, 3);
    QCOMPARE(got, most);
    // The institution's amounts and days count whatever the seat table says.
    QCOMPARE(RowOf(grid, QStringLiteral("600002")).section(u'|', 4), QStringLiteral("1|500.00|20.00|2024-03-14"));
    QCOMPARE(RowOf(grid, QStringLiteral("600001")).section(u'|', 4), QStringLiteral("2|60.00|6.00|2024-03-15"));
}

void TestActiveStocks::rowTextsAndOrder()
{
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral(" 平安 "));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(a, y, 1000.5, 200.25, Ymd(2024, 3, 15));
    fx.AddRecord(b, y, 0.0, 300.0, Ymd(2024, 3, 9)); // sold only
    fx.AddRecord(b, y, 0.0, 0.25, Ymd(2024, 3, 11));
    fx.AddRecord(b, y, 0.0, 1.0, Ymd(2024, 3, 12));
    fx.AddRecord(c, y, 7.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(c, y, 0.0, 0.0, Ymd(2024, 3, 14)); // no amounts, still a listing day
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.ColCount(), 8);
    QCOMPARE(grid.RowCount(), 4);
    // No bars are needed: the rows come from the records alone.
    QCOMPARE(RowOf(grid, QStringLiteral("000001")), QStringLiteral(" |000001|平安|3|3|0.00|301.25|2024-03-12"));
    QCOMPARE(RowOf(grid, QStringLiteral("300001")), QStringLiteral(" |300001|特锐德|2|2|7.00|0.00|2024-03-14"));
    QCOMPARE(RowOf(grid, QStringLiteral("600000")), QStringLiteral(" |600000|浦发银行|1|1|1000.50|200.25|2024-03-15"));
    QCOMPARE(Column(grid, 4), QStringList({"3", "2", "1"}));
}

void TestActiveStocks::emptyResultKeepsTheRows()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    for (int i = 0; i < 3; ++i)
        fx.AddRecord(fx.AddStock(QStringLiteral("60000%1").arg(i), QStringLiteral("某股")), y, 1.0, 0.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{QDate(2020, 1, 1), 7}, grid);
    QCOMPARE(grid.ColCount(), 8);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cell(4, 0), QStringLiteral("上榜次数"));
    QVERIFY(grid.Cell(1, 1).isEmpty());

    // A recomputation without result rewrites the header and leaves the previous rows.
    ShowGrid3(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 4);
    ShowGrid3(Stock, TViewParams{QDate(2020, 1, 1), 7}, grid);
    QCOMPARE(grid.RowCount(), 4);
    QStringList codes = Column(grid, 1);
    codes.sort();
    QCOMPARE(codes, QStringList({"600000", "600001", "600002"}));
}

void TestActiveStocks::seatsOfOneStock()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int other = fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    const int y0 = fx.AddSeat(QStringLiteral("  甲营业部  "));
    const int y1 = fx.AddSeat(QStringLiteral("机构专用"));
    const int y2 = fx.AddSeat(QStringLiteral("丙营业部"));
    const int y3 = fx.AddSeat(QStringLiteral("丁营业部"));
    fx.AddRecord(s, y0, 100.0, 50.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y1, 300.0, 0.0, Ymd(2024, 3, 12));
    fx.AddRecord(s, y0, 150.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(s, y1, 0.0, 20.0, Ymd(2024, 3, 13));
    fx.AddRecord(s, y1, 1.0, 1.0, Ymd(2024, 3, 9));
    fx.AddRecord(s, y2, 5.0, 0.0, Ymd(2024, 3, 7));   // one day too early
    fx.AddRecord(s, y2, 5.0, 0.0, Ymd(2024, 3, 16));  // after the end date
    fx.AddRecord(other, y3, 9.0, 9.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid top;
    ClearGrid(top, 0, 0);
    ShowGrid31(Stock, TViewParams{end, 7}, s, top);
    QCOMPARE(top.RowText(0), QStringLiteral("序号,席位名称,上榜次数,区间内买入额,区间内卖出额,最后操作日期"));
    QCOMPARE(top.RowCount(), 3);
    // The institution is listed here like any seat; names are shown stripped.
    QCOMPARE(RowOf(top, QStringLiteral("机构专用")), QStringLiteral(" |机构专用|3|301.00|21.00|2024-03-13"));
    QCOMPARE(RowOf(top, QStringLiteral("甲营业部")), QStringLiteral(" |甲营业部|2|250.00|50.00|2024-03-15"));
    QCOMPARE(Column(top, 2), QStringList({"3", "2"}));

    // The period of the call counts, not that of the list.
    ShowGrid31(Stock, TViewParams{end, 0}, s, top);
    QCOMPARE(Column(top, 1), QStringList{"甲营业部"});
    QCOMPARE(top.RowCount(), 2);

    // A stock that is not known leaves the grid as it was.
    TStringGrid untouched;
    ClearGrid(untouched, 0, 0);
    ShowGrid31(Stock, TViewParams{end, 7}, -1, untouched);
    QVERIFY(untouched.Cell(0, 0).isEmpty());
    QCOMPARE(untouched.RowCount(), 2);
}

void TestActiveStocks::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 1.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(1, y, 1.0, 0.0, Ymd(2024, 3, 14));        // no such stock
    fx.AddRecord(-1, y, 1.0, 0.0, Ymd(2024, 3, 14));       // no such stock
    fx.AddRecord(s, 1, 5.0, 0.0, Ymd(2024, 3, 13));        // no such seat
    fx.AddRecord(s, -7, 5.0, 0.0, Ymd(2024, 3, 13));       // no such seat
    fx.AddRecord(s, 1 << 30, 5.0, 0.0, Ymd(2024, 3, 13));  // no such seat
    fx.Load();
    TStringGrid grid, top;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(RowOf(grid, QStringLiteral("600000")), QStringLiteral(" |600000|浦发银行|1|1|1.00|0.00|2024-03-15"));
    ClearGrid(top, 0, 0);
    ShowGrid31(Stock, TViewParams{end, 7}, s, top);
    QCOMPARE(top.RowCount(), 2);
    QCOMPARE(RowOf(top, QStringLiteral("甲营业部")), QStringLiteral(" |甲营业部|1|1.00|0.00|2024-03-15"));
}

// Progress goes once per record and once per stock, each loop ending at its maximum (the gauge hides).
void TestActiveStocks::progressOfBothLoops()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    for (int i = 0; i < 150; ++i)
        fx.AddStock(QStringLiteral("6%1").arg(i, 5, 10, QChar(u'0')), QStringLiteral("某股"));
    for (int i = 0; i < 400; ++i)
        fx.AddRecord(i % 3 == 0 ? i % 150 : 0, y, 1.0, 0.0, i % 2 ? Ymd(2024, 3, 15) : Ymd(2020, 1, 1));
    fx.Load();
    QList<QPair<int, int>> ends;
    int calls = 0;
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid3(Stock, TViewParams{end, 7}, grid, TProgress([&](int min, int max, int pos) {
        QCOMPARE(min, 0);
        ++calls;
        if (pos == max)
            ends << qMakePair(max, pos);
    }));
    QCOMPARE(ends, (QList<QPair<int, int>>{{399, 399}, {149, 149}}));
    QVERIFY(calls > 100 && calls <= 202);
}

void TestActiveStocks::report_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // printed text, or the error text when the view fails
    QTest::newRow("active stocks") << QStringList{"3"} << 0
        << "序号\t代码\t名称\t最活跃席位出现次数\t上榜次数\t席位累计买入额\t席位累计卖出额\t最后上榜日期\n"
           "1\t600000\t浦发银行\t2\t3\t6.00\t3.00\t2024-03-15\n";
    QTest::newRow("seats of a stock") << QStringList{"31", "600000"} << 0
        << "序号\t席位名称\t上榜次数\t区间内买入额\t区间内卖出额\t最后操作日期\n"
           "1\t甲营业部\t2\t4.00\t2.00\t2024-03-15\n"
           "2\t乙营业部\t1\t2.00\t1.00\t2024-03-14\n";
    QTest::newRow("unknown code") << QStringList{"31", "600999"} << 1 << "not found: 600999\n";
}

void TestActiveStocks::report()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    const int z = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(s, y, 2.0, 1.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, z, 2.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y, 2.0, 1.0, Ymd(2024, 3, 13));
    fx.WriteTables();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(RunReport(QStringList{"--end", "2024-03-15"} + args, out, err), exitCode);
    QCOMPARE(exitCode == 0 ? outText : errText, output);
}

QTEST_GUILESS_MAIN(TestActiveStocks)
#include "tst_activestocks.moc"
