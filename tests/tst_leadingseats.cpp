// Leading seats: the ranking of seats by listings and by the follow-up of their net buys and sells,
// the stocks of one seat, one seat's records in one stock, and the day count the details use.
#include "Fixture.h"

#include "Report.h"
#include "app/Json.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "views/DetailDays.h"
#include "views/LeadingSeats.h"

#include <QTest>

namespace {

QString RowCells(const TStringGrid &grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid.ColCount(); ++c)
        cells << grid.Cell(c, row);
    return cells.join(u'|');
}

// The data rows as the grid shows them: up to its row count, the placeholder row of an empty grid left out.
QStringList Rows(const TStringGrid &grid)
{
    QStringList rows;
    for (int r = 1; r < grid.RowCount(); ++r)
        rows << RowCells(grid, r);
    if (rows.size() == 1 && QString(rows.first()).remove(u'|').isEmpty())
        rows.clear();
    return rows;
}

TStringGrid FreshGrid()
{
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    return grid;
}

} // namespace

class TestLeadingSeats : public QObject
{
    Q_OBJECT

private:
    const QDate end{2024, 3, 15}; // a Friday

private slots:
    void windowBounds_data();
    void windowBounds();
    void activeSeats();
    void equalAmounts();
    void followUp_data();
    void followUp();
    void successRates();
    void nothingQualifies();
    void stocksOfOneSeat();
    void recordsOfOneSeat_data();
    void recordsOfOneSeat();
    void recordsNewestFirst();
    void recordsOutsideTheTablesAreSkipped();
    void detailDays_data();
    void detailDays();
    void reportArguments_data();
    void reportArguments();
};

void TestLeadingSeats::windowBounds_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("recordDate");
    QTest::addColumn<bool>("counted");
    QTest::newRow("end date itself") << 7 << Ymd(2024, 3, 15) << true;
    QTest::newRow("exactly N days before") << 7 << Ymd(2024, 3, 8) << true;
    QTest::newRow("N + 1 days before") << 7 << Ymd(2024, 3, 7) << false;
    QTest::newRow("the day after the end date") << 7 << Ymd(2024, 3, 16) << false;
    QTest::newRow("N = 0, end date") << 0 << Ymd(2024, 3, 15) << true;
    QTest::newRow("N = 0, day before") << 0 << Ymd(2024, 3, 14) << false;
    QTest::newRow("N = 0, day after") << 0 << Ymd(2024, 3, 16) << false;
    QTest::newRow("across a year end") << 80 << Ymd(2023, 12, 27) << true;
}

// The ranking (every flavour) and both drill-downs share the window 0 <= days back <= N.
void TestLeadingSeats::windowBounds()
{
    QFETCH(int, days);
    QFETCH(int, recordDate);
    QFETCH(bool, counted);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int buyer = fx.AddSeat(QStringLiteral("甲营业部"));
    const int seller = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(s, buyer, 200.0, 100.0, recordDate);
    fx.AddRecord(s, seller, 100.0, 200.0, recordDate);
    fx.Load(); // no bar file: both follow-ups succeed
    const TViewParams params{end, days};
    for (int flavour : {0, 1, 2}) {
        TStringGrid grid = FreshGrid();
        ShowGrid2(Stock, params, flavour, grid);
        QCOMPARE(Rows(grid).size(), counted ? (flavour == 0 ? 2 : 1) : 0);
    }
    TStringGrid top = FreshGrid(), bottom = FreshGrid();
    ShowGrid21(Stock, params, buyer, days, top);
    QCOMPARE(Rows(top).size(), counted ? 1 : 0);
    ShowGrid211(Stock, params, s, buyer, days, bottom);
    QCOMPARE(Rows(bottom).size(), counted ? 1 : 0);
}

void TestLeadingSeats::activeSeats()
{
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    const int y0 = fx.AddSeat(QStringLiteral("  甲营业部  "));
    const int y1 = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddSeat(QStringLiteral("丙营业部")); // never listed
    fx.AddRecord(a, y0, 100.25, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(b, y1, 10.0, 20.0, Ymd(2024, 3, 12));
    fx.AddRecord(a, y1, 0.5, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(b, y1, 0.0, 30.0, Ymd(2024, 3, 13));
    fx.AddRecord(b, y0, 999.0, 0.0, Ymd(2024, 3, 1)); // outside the window
    fx.Load();
    TStringGrid grid = FreshGrid();
    ShowGrid2(Stock, TViewParams{end, 7}, 0, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,席位名称,上榜次数,买入额,卖出额,最后上榜日期"));
    QCOMPARE(Rows(grid), QStringList({" |乙营业部|3|10.50|51.00|2024-03-14", " |甲营业部|1|100.25|0.00|2024-03-11"}));
}

// A record with equal amounts is a listing but neither a net buy nor a net sell; the stocks of a seat
// count it as a sell.
void TestLeadingSeats::equalAmounts()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 500.0, 500.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y, 0.0, 0.0, Ymd(2024, 3, 15));
    fx.Load();
    const TViewParams params{end, 7};
    TStringGrid grid = FreshGrid();
    ShowGrid2(Stock, params, 0, grid);
    QCOMPARE(Rows(grid), QStringList({" |甲营业部|2|500.00|500.00|2024-03-15"}));
    for (int flavour : {1, 2}) {
        grid = FreshGrid();
        ShowGrid2(Stock, params, flavour, grid);
        QVERIFY2(Rows(grid).isEmpty(), qPrintable(QString::number(flavour)));
    }
    TStringGrid top = FreshGrid();
    ShowGrid21(Stock, params, y, 7, top);
    QCOMPARE(Rows(top), QStringList({" |浦发银行|600000|2|0|2|2024-03-15"}));
}

void TestLeadingSeats::followUp_data()
{
    QTest::addColumn<QList<int>>("closes"); // bars on weekdays from Friday 2024-03-01; empty: no bar file
    QTest::addColumn<int>("recordDate");
    QTest::addColumn<bool>("buySuccess");
    QTest::addColumn<bool>("sellSuccess");
    const int first = Ymd(2024, 3, 1);
    QTest::newRow("rise of exactly 5 %") << QList<int>{20000, 1, 1, 1, 1, 21000} << first << true << false;
    QTest::newRow("rise just short of 5 %") << QList<int>{20000, 1, 1, 1, 1, 20999} << first << false << false;
    QTest::newRow("fall of exactly 5 %") << QList<int>{20000, 1, 1, 1, 1, 19000} << first << false << true;
    QTest::newRow("fall just short of 5 %") << QList<int>{20000, 1, 1, 1, 1, 19001} << first << false << false;
    QTest::newRow("five bars later, not five days") << QList<int>{20000, 1, 1, 1, 21000, 20000} << first << false << false;
    QTest::newRow("no bar file") << QList<int>{} << first << true << true;
    QTest::newRow("fewer than five bars follow: the last bar") << QList<int>{20000, 1, 21000} << first << true << false;
    QTest::newRow("on the last bar: compared with itself") << QList<int>{10000, 20000} << Ymd(2024, 3, 4) << false << false;
    QTest::newRow("a day without a bar: the bar before") << QList<int>{20000, 1, 1, 1, 1, 21000, 1} << Ymd(2024, 3, 2) << true << false;
    QTest::newRow("before the first bar: the first bar") << QList<int>{20000, 1, 1, 1, 1, 19000} << Ymd(2024, 2, 28) << false << true;
}

// The close five bars after the record's day against 1.05 / 0.95 times the close of the day.
void TestLeadingSeats::followUp()
{
    QFETCH(QList<int>, closes);
    QFETCH(int, recordDate);
    QFETCH(bool, buySuccess);
    QFETCH(bool, sellSuccess);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int buyer = fx.AddSeat(QStringLiteral("买方营业部"));
    const int seller = fx.AddSeat(QStringLiteral("卖方营业部"));
    fx.AddRecord(s, buyer, 300.0, 100.0, recordDate);
    fx.AddRecord(s, seller, 100.0, 300.0, recordDate);
    if (!closes.isEmpty())
        fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 3, 1), std::vector<qint32>(closes.begin(), closes.end())));
    fx.Load();
    const TViewParams params{QDate(2024, 3, 29), 60};
    TStringGrid grid = FreshGrid();
    ShowGrid2(Stock, params, 1, grid);
    QCOMPARE(Rows(grid), QStringList({QStringLiteral(" |买方营业部|1|%1|%2|%3")
                                          .arg(buySuccess ? "1" : "0", buySuccess ? "100.00" : "0.00", FormatYmd(recordDate))}));
    grid = FreshGrid();
    ShowGrid2(Stock, params, 2, grid);
    QCOMPARE(Rows(grid), QStringList({QStringLiteral(" |卖方营业部|1|%1|%2|%3")
                                          .arg(sellSuccess ? "1" : "0", sellSuccess ? "100.00" : "0.00", FormatYmd(recordDate))}));
}

// Counts, successes, the rate and the last date are per flavour: net buys only in flavour 1, net sells
// only in flavour 2; the rows are ranked by the rate.
void TestLeadingSeats::successRates()
{
    TFixture fx;
    const int up = fx.AddStock(QStringLiteral("600001"), QStringLiteral("上涨股")); // no bars: every follow-up succeeds
    const int flat = fx.AddStock(QStringLiteral("600002"), QStringLiteral("横盘股"));
    fx.WriteBars(QStringLiteral("600002"), BarsFrom(QDate(2024, 2, 1), std::vector<qint32>(40, 10000)));
    const int a = fx.AddSeat(QStringLiteral("甲营业部"));
    const int b = fx.AddSeat(QStringLiteral("乙营业部"));
    const int c = fx.AddSeat(QStringLiteral("丙营业部"));
    const int d = fx.AddSeat(QStringLiteral("丁营业部"));
    fx.AddRecord(up, a, 10.0, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(flat, a, 10.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(up, a, 10.0, 5.0, Ymd(2024, 3, 12));
    fx.AddRecord(flat, a, 0.0, 10.0, Ymd(2024, 3, 15)); // a net sell: not in flavour 1, nor its last date
    fx.AddRecord(up, b, 10.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(flat, c, 10.0, 0.0, Ymd(2024, 3, 9));
    fx.AddRecord(flat, c, 10.0, 0.0, Ymd(2024, 3, 10));
    fx.AddRecord(up, d, 0.0, 10.0, Ymd(2024, 3, 14));
    fx.Load();
    const TViewParams params{end, 7};
    TStringGrid grid = FreshGrid();
    ShowGrid2(Stock, params, 1, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,席位名称,买入次数,买入成功次数,买入成功率,最后上榜日期"));
    QCOMPARE(Rows(grid), QStringList({" |乙营业部|1|1|100.00|2024-03-08", " |甲营业部|3|2|66.67|2024-03-13",
                                      " |丙营业部|2|0|0.00|2024-03-10"}));
    grid = FreshGrid();
    ShowGrid2(Stock, params, 2, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,席位名称,卖出次数,卖出成功次数,卖出成功率,最后上榜日期"));
    QCOMPARE(Rows(grid), QStringList({" |丁营业部|1|1|100.00|2024-03-14", " |甲营业部|1|0|0.00|2024-03-15"}));
}

// With no qualifying seat the header is written and the rows of the last computation stay; a flavour
// outside 0 to 2 writes nothing.
void TestLeadingSeats::nothingQualifies()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 10.0, 0.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid grid = FreshGrid();
    ShowGrid2(Stock, TViewParams{end, 7}, 2, grid); // a tool change, then nothing
    QCOMPARE(grid.ColCount(), 6);
    QCOMPARE(grid.Cell(2, 0), QStringLiteral("卖出次数"));
    QCOMPARE(grid.RowCount(), 2);
    QVERIFY(grid.Cell(1, 1).isEmpty());

    ShowGrid2(Stock, TViewParams{end, 7}, 0, grid);
    const QStringList before = Rows(grid);
    QCOMPARE(before.size(), 1);
    ShowGrid2(Stock, TViewParams{end, 7}, 2, grid); // recomputed without clearing
    QCOMPARE(grid.Cell(2, 0), QStringLiteral("卖出次数"));
    QCOMPARE(Rows(grid), before);

    for (int flavour : {-1, 3}) {
        TStringGrid untouched = FreshGrid();
        ShowGrid2(Stock, TViewParams{end, 7}, flavour, untouched);
        QCOMPARE(untouched.ColCount(), 1);
        QVERIFY(untouched.Cell(0, 0).isEmpty());
    }
}

void TestLeadingSeats::stocksOfOneSeat()
{
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral(" 平安 "));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    const int other = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(a, y, 10.0, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(b, y, 10.0, 0.0, Ymd(2024, 3, 12));
    fx.AddRecord(b, y, 0.0, 10.0, Ymd(2024, 3, 14));
    fx.AddRecord(b, y, 5.0, 5.0, Ymd(2024, 3, 13)); // equal: a sell
    fx.AddRecord(c, other, 10.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(c, y, 10.0, 0.0, Ymd(2024, 2, 1)); // outside the window
    fx.Load();
    TStringGrid top = FreshGrid();
    ShowGrid21(Stock, TViewParams{end, 99}, y, 7, top); // the window is cDay, not the edit's days
    QCOMPARE(top.RowText(0), QStringLiteral("序号,名称,代码,上榜次数,买入次数,卖出次数,最后上榜日期"));
    QCOMPARE(Rows(top), QStringList({" |平安|000001|3|1|2|2024-03-14", " |浦发银行|600000|1|1|0|2024-03-11"}));

    for (int bad : {-1, 2}) {
        TStringGrid untouched = FreshGrid();
        ShowGrid21(Stock, TViewParams{end, 7}, bad, 7, untouched);
        QVERIFY(untouched.Cell(0, 0).isEmpty());
    }
}

void TestLeadingSeats::recordsOfOneSeat_data()
{
    QTest::addColumn<bool>("barFile");
    QTest::addColumn<int>("amount"); // the bar's turnover in thousands of yuan
    QTest::addColumn<double>("buy");
    QTest::addColumn<double>("sell");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no bar file") << false << 0 << 100.0 << 0.0 << "2024-03-13|0|100.00|0.00|0|买入";
    QTest::newRow("zero turnover") << true << 0 << 100.0 << 0.0 << "2024-03-13|0|100.00|0.00|0|买入";
    QTest::newRow("3 000 000 thousand yuan")
        << true << 3000000 << 6000000.0 << 3000000.0 << "2024-03-13|300000|6000000.00|3000000.00|0.30|买入";
    QTest::newRow("part of 10 000 yuan dropped")
        << true << 12345 << 0.0 << 1234500.0 << "2024-03-13|1234|0.00|1234500.00|10.00|卖出";
    QTest::newRow("less than 10 000 yuan") << true << 9 << 90.0 << 0.0 << "2024-03-13|0|90.00|0.00|1.00|买入";
    QTest::newRow("equal amounts: a sell") << true << 1000 << 50.0 << 50.0 << "2024-03-13|100|50.00|50.00|0.01|卖出";
}

// The day's turnover is the bar of the record's date; the share is of the seat's buying and selling in it.
void TestLeadingSeats::recordsOfOneSeat()
{
    QFETCH(bool, barFile);
    QFETCH(int, amount);
    QFETCH(double, buy);
    QFETCH(double, sell);
    QFETCH(QString, expected);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, buy, sell, Ymd(2024, 3, 13));
    if (barFile)
        fx.WriteBars(QStringLiteral("600000"), {MakeBar(Ymd(2024, 3, 12), 0, 10000, 777777, 1),
                                               MakeBar(Ymd(2024, 3, 13), 0, 10000, amount, 1),
                                               MakeBar(Ymd(2024, 3, 14), 0, 10000, 888888, 1)});
    fx.Load();
    TStringGrid bottom = FreshGrid();
    ShowGrid211(Stock, TViewParams{end, 7}, s, y, 7, bottom);
    QCOMPARE(bottom.RowText(0), QStringLiteral("日期,当日成交额,买入额,卖出额,介入比例,异动方向"));
    QCOMPARE(Rows(bottom), QStringList({expected}));
}

void TestLeadingSeats::recordsNewestFirst()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int t = fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    const int other = fx.AddSeat(QStringLiteral("乙营业部"));
    fx.AddRecord(s, y, 2.0, 0.0, Ymd(2024, 3, 12));
    fx.AddRecord(s, y, 1.0, 0.0, Ymd(2024, 3, 9));
    fx.AddRecord(s, other, 9.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(t, y, 9.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(s, y, 3.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y, 4.0, 0.0, Ymd(2024, 3, 7)); // outside cDay = 7
    fx.Load();
    TStringGrid bottom = FreshGrid();
    ShowGrid211(Stock, TViewParams{end, 99}, s, y, 7, bottom);
    QStringList dates;
    for (const QString &row : Rows(bottom))
        dates << row.section(u'|', 0, 0) + u' ' + row.section(u'|', 2, 2);
    QCOMPARE(dates, QStringList({"2024-03-14 3.00", "2024-03-12 2.00", "2024-03-09 1.00"}));

    for (const auto &bad : {std::pair<int, int>{-1, y}, {s, -1}, {2, y}, {s, 2}}) {
        TStringGrid untouched = FreshGrid();
        ShowGrid211(Stock, TViewParams{end, 7}, bad.first, bad.second, 7, untouched);
        QVERIFY(untouched.Cell(0, 0).isEmpty());
    }
}

void TestLeadingSeats::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 2.0, 1.0, Ymd(2024, 3, 15));
    fx.AddRecord(7, y, 2.0, 1.0, Ymd(2024, 3, 15));  // no such stock
    fx.AddRecord(-1, y, 2.0, 1.0, Ymd(2024, 3, 15)); // no such stock
    fx.AddRecord(s, 99, 2.0, 1.0, Ymd(2024, 3, 15)); // no such seat
    fx.AddRecord(s, -5, 1.0, 2.0, Ymd(2024, 3, 15)); // no such seat
    fx.Load();
    const TViewParams params{end, 7};
    for (int flavour : {0, 1, 2}) {
        TStringGrid grid = FreshGrid();
        ShowGrid2(Stock, params, flavour, grid);
        QCOMPARE(Rows(grid).size(), flavour == 2 ? 0 : 1);
        if (flavour < 2)
            QCOMPARE(grid.Cell(2, 1), QStringLiteral("1"));
    }
    TStringGrid top = FreshGrid(), bottom = FreshGrid();
    ShowGrid21(Stock, params, y, 7, top);
    QCOMPARE(Rows(top), QStringList({" |浦发银行|600000|1|1|0|2024-03-15"}));
    ShowGrid211(Stock, params, s, y, 7, bottom);
    QCOMPARE(Rows(bottom).size(), 1);
}

void TestLeadingSeats::detailDays_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("editDay");
    QTest::addColumn<QString>("filter"); // the stored scheme; empty: none
    QTest::addColumn<int>("expected");
    const QString scheme = QStringLiteral(R"({"2":{"0":true,"2":true},"3":{},"1":%1})");
    QTest::newRow("mode 2: the edit's days") << 2 << 30 << scheme.arg(R"({"0":true})") << 30;
    QTest::newRow("mode 4: the edit's days, 0") << 4 << 0 << QString() << 0;
    QTest::newRow("mode 6: the default scheme, a week") << 6 << 30 << scheme.arg(R"({"0":true})") << 7;
    QTest::newRow("mode 6: a month") << 6 << 7 << scheme.arg(R"({"0":false,"1":true})") << 30;
    QTest::newRow("mode 6: three months") << 6 << 7 << scheme.arg(R"({"2":true})") << 90;
    QTest::newRow("mode 6: half a year") << 6 << 7 << scheme.arg(R"({"3":true})") << 180;
    QTest::newRow("mode 6: a year") << 6 << 7 << scheme.arg(R"({"4":true})") << 365;
    QTest::newRow("mode 6: the first true choice") << 6 << 7 << scheme.arg(R"({"5":true,"3":true,"4":true})") << 180;
    QTest::newRow("mode 6: custom range, both days counted")
        << 6 << 7 << scheme.arg(R"({"5":true,"6":20240101,"7":20240131})") << 31;
    QTest::newRow("mode 6: custom range over a leap day")
        << 6 << 7 << scheme.arg(R"({"0":false,"5":true,"6":20240201,"7":20240301})") << 30;
    QTest::newRow("mode 6: custom range of one day")
        << 6 << 7 << scheme.arg(R"({"5":true,"6":20240101,"7":20240101})") << 1;
    QTest::newRow("mode 6: custom range without dates: today to today") << 6 << 7 << scheme.arg(R"({"5":true})") << 1;
    QTest::newRow("mode 6: custom range reversed, taken as stored")
        << 6 << 7 << scheme.arg(R"({"5":true,"6":20240131,"7":20240101})") << -29;
    QTest::newRow("mode 6: custom dates not set") << 6 << 7 << scheme.arg(R"({"6":20240101,"7":20240131})") << 0;
    QTest::newRow("mode 6: no choice") << 6 << 7 << scheme.arg(R"({})") << 0;
    QTest::newRow("mode 6: no scheme") << 6 << 7 << QString() << 0;
}

void TestLeadingSeats::detailDays()
{
    QFETCH(int, mode);
    QFETCH(int, editDay);
    QFETCH(QString, filter);
    QFETCH(int, expected);
    const JsonValue tree = filter.isEmpty() ? JsonValue() : JsonValue::parse(filter.toStdString());
    QCOMPARE(DetailDays(mode, editDay, filter.isEmpty() ? nullptr : &tree), expected);
}

void TestLeadingSeats::reportArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // what is printed: the grid on success, the error text otherwise
    const QString top = QStringLiteral("序号\t名称\t代码\t上榜次数\t买入次数\t卖出次数\t最后上榜日期\n");
    QTest::newRow("stocks of a seat") << QStringList{"21", "甲营业部"} << 0
                                      << top + "1\t浦发银行\t600000\t1\t1\t0\t2024-03-15\n";
    QTest::newRow("--days is the day count") << QStringList{"--days", "0", "21", "乙营业部"} << 0 << top;
    QTest::newRow("unknown seat") << QStringList{"21", "丙营业部"} << 1 << "not found: 丙营业部\n";
    QTest::newRow("records of a seat in a stock")
        << QStringList{"211", "600000", "甲营业部"} << 0
        << "日期\t当日成交额\t买入额\t卖出额\t介入比例\t异动方向\n2024-03-15\t0\t2.00\t1.00\t0%\t买入\n";
    QTest::newRow("unknown code") << QStringList{"211", "600009", "甲营业部"} << 1 << "not found: 600009\n";
    QTest::newRow("unknown seat of a code") << QStringList{"211", "600000", "丁"} << 1 << "not found: 丁\n";
    QTest::newRow("strong active seats")
        << QStringList{"--days", "0", "--type", "1", "2"} << 0
        << "序号\t席位名称\t买入次数\t买入成功次数\t买入成功率\t最后上榜日期\n"
           "1\t甲营业部\t1\t1\t100.00%\t2024-03-15\n";
}

// The report's views take their arguments by name and code and report the ones not found.
void TestLeadingSeats::reportArguments()
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
    fx.WriteTables();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(RunReport(QStringList{"--end", "2024-03-15"} + args, out, err), exitCode);
    QCOMPARE(exitCode == 0 ? outText : errText, output);
}

QTEST_GUILESS_MAIN(TestLeadingSeats)
#include "tst_leadingseats.moc"
