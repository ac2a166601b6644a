// The seat filter: the seats a seat scheme selects by date range, watch list and conditions, shown
// with the scheme's figure set; and the report's view 6 with its scheme and watch-list sources.
#include "Fixture.h"

#include "Report.h"
#include "app/Config.h"
#include "app/Json.h"
#include "data/Stock.h"
#include "views/LhbSettings.h"
#include "views/SeatFilter.h"

#include <QTest>

namespace {

const QDate today{2024, 3, 15}; // a Friday

JsonValue Scheme(const QString &text)
{
    return JsonValue::parse(ToUtf8(text));
}

TStringGrid Filter(const JsonValue &scheme, const std::vector<int> &attention = {})
{
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid6(Stock, scheme, attention, today, grid);
    return grid;
}

QString RowCells(const TStringGrid &g, int row)
{
    QStringList cells;
    for (int c = 0; c < g.ColCount(); ++c)
        cells << g.Cell(c, row);
    return cells.join(u'|');
}

QStringList DataRows(const TStringGrid &g)
{
    QStringList rows;
    for (int r = 1; r < g.RowCount(); ++r)
        if (!g.Cell(1, r).isEmpty())
            rows << RowCells(g, r);
    return rows;
}

// The seats of the list, written in the order of `order` (seat index order), whatever the sort did.
QString Listed(const TStringGrid &g, const QString &order)
{
    QStringList names;
    for (int r = 1; r < g.RowCount(); ++r)
        if (!g.Cell(1, r).isEmpty())
            names << g.Cell(1, r);
    QString out;
    for (QChar ch : order)
        if (names.contains(QString(ch)))
            out += ch;
    return names.size() == out.size() ? out : QStringLiteral("unexpected rows: ") + names.join(u',');
}

const QString ActiveHeader = QStringLiteral("序号|席位名称|上榜次数|买入额|卖出额|最后上榜日期");
const QString StrongHeader = QStringLiteral("序号|席位名称|买入次数|买入成功次数|买入成功率|最后上榜日期");
const QString HedgingHeader = QStringLiteral("序号|席位名称|卖出次数|卖出成功次数|卖出成功率|最后上榜日期");
const QString NoHeader = QStringLiteral("|||||");

// Bars from 2024-03-08 to 2024-03-15 (six trading days): a record up to 03-14 is followed by the last
// close; UP ends 5 % higher (a buy success), DOWN 5 % lower (a sell success), FLAT unchanged.
const std::vector<qint32> Up{20000, 20000, 20000, 20000, 20000, 21000};
const std::vector<qint32> Down{20000, 20000, 20000, 20000, 20000, 19000};
const std::vector<qint32> Flat{20000, 20000, 20000, 20000, 20000, 20000};

} // namespace

class TestSeatFilter : public QObject
{
    Q_OBJECT

private slots:
    void dateRange_data();
    void dateRange();
    void defaultSchemeSortedByListingCount();
    void watchedSeatsOnly_data();
    void watchedSeatsOnly();
    void figureSets_data();
    void figureSets();
    void conditions_data();
    void conditions();
    void recordsOutsideTheTablesAreSkipped();
    void malformedSchemes_data();
    void malformedSchemes();
    void reportView_data();
    void reportView();
};

void TestSeatFilter::dateRange_data()
{
    QTest::addColumn<QString>("period");
    QTest::addColumn<int>("recordDate");
    QTest::addColumn<bool>("listed");
    QTest::addColumn<qint64>("days");
    QTest::newRow("week: today") << R"({"0":true})" << Ymd(2024, 3, 15) << true << qint64(7);
    QTest::newRow("week: 7 days back") << R"({"0":true})" << Ymd(2024, 3, 8) << true << qint64(7);
    QTest::newRow("week: 8 days back") << R"({"0":true})" << Ymd(2024, 3, 7) << false << qint64(7);
    QTest::newRow("week: after today") << R"({"0":true})" << Ymd(2024, 3, 16) << false << qint64(7);
    QTest::newRow("month: 30 back") << R"({"1":true})" << Ymd(2024, 2, 14) << true << qint64(30);
    QTest::newRow("month: 31 back") << R"({"1":true})" << Ymd(2024, 2, 13) << false << qint64(30);
    QTest::newRow("quarter: 90 back") << R"({"2":true})" << Ymd(2023, 12, 16) << true << qint64(90);
    QTest::newRow("quarter: 91 back") << R"({"2":true})" << Ymd(2023, 12, 15) << false << qint64(90);
    QTest::newRow("half year: 180 back") << R"({"3":true})" << Ymd(2023, 9, 17) << true << qint64(180);
    QTest::newRow("half year: 181 back") << R"({"3":true})" << Ymd(2023, 9, 16) << false << qint64(180);
    QTest::newRow("year: 365 back") << R"({"4":true})" << Ymd(2023, 3, 16) << true << qint64(365);
    QTest::newRow("year: 366 back") << R"({"4":true})" << Ymd(2023, 3, 15) << false << qint64(365);
    QTest::newRow("first true choice wins") << R"({"0":false,"2":true,"4":true})" << Ymd(2023, 12, 15) << false << qint64(90);
    QTest::newRow("no choice: today only") << R"({})" << Ymd(2024, 3, 15) << true << qint64(0);
    QTest::newRow("no choice: yesterday") << R"({})" << Ymd(2024, 3, 14) << false << qint64(0);
    const QString custom = QStringLiteral(R"({"5":true,"6":20240110,"7":20240112})");
    QTest::newRow("custom: day before the start") << custom << Ymd(2024, 1, 9) << true << qint64(3);
    QTest::newRow("custom: two days before the start") << custom << Ymd(2024, 1, 8) << false << qint64(3);
    QTest::newRow("custom: its end date") << custom << Ymd(2024, 1, 12) << true << qint64(3);
    QTest::newRow("custom: after its end, before today") << custom << Ymd(2024, 1, 13) << false << qint64(3);
    QTest::newRow("custom: start one day after the end") << R"({"5":true,"6":20240113,"7":20240112})"
                                                         << Ymd(2024, 1, 12) << true << qint64(0);
    QTest::newRow("custom: start after the end") << R"({"5":true,"6":20240115,"7":20240112})"
                                                 << Ymd(2024, 1, 12) << false << qint64(-2);
    QTest::newRow("custom without dates: today and yesterday") << R"({"5":true})" << Ymd(2024, 3, 14) << true << qint64(1);
}

void TestSeatFilter::dateRange()
{
    QFETCH(QString, period);
    QFETCH(int, recordDate);
    QFETCH(bool, listed);
    QFETCH(qint64, days);
    TFixture fx;
    fx.AddRecord(fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行")), fx.AddSeat(QStringLiteral("甲")),
                 100.0, 0.0, recordDate);
    fx.Load();
    const JsonValue scheme = Scheme(QStringLiteral(R"({"1":%1,"2":{"0":true,"2":true}})").arg(period));
    QCOMPARE(SeatFilterRange(scheme, today).Days, days);
    const TStringGrid grid = Filter(scheme);
    QCOMPARE(RowCells(grid, 0), ActiveHeader);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cell(1, 1) == u"甲", listed);
}

void TestSeatFilter::defaultSchemeSortedByListingCount()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int a = fx.AddSeat(QStringLiteral("  甲营业部 ")); // shown stripped
    const int b = fx.AddSeat(QStringLiteral("乙营业部"));
    const int c = fx.AddSeat(QStringLiteral("丙营业部"));
    fx.AddSeat(QStringLiteral("丁营业部")); // never listed
    fx.AddRecord(s, a, 1000.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, b, 10.0, 20.0, Ymd(2024, 3, 8));
    fx.AddRecord(s, b, 0.5, 0.0, Ymd(2024, 3, 12));
    fx.AddRecord(s, b, 0.0, 3.25, Ymd(2024, 3, 9));
    fx.AddRecord(s, c, 1.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, c, 2.0, 2.0, Ymd(2024, 3, 11));
    fx.AddRecord(s, c, 9999.0, 0.0, Ymd(2024, 3, 7)); // 8 days back
    fx.Load();
    const TStringGrid grid = Filter(Scheme(QString::fromLatin1(DefaultSeatScheme)));
    QCOMPARE(RowCells(grid, 0), ActiveHeader);
    QCOMPARE(DataRows(grid), QStringList({
        QStringLiteral(" |乙营业部|3|10.50|23.25|2024-03-12"),
        QStringLiteral(" |丙营业部|2|3.00|3.00|2024-03-14"),
        QStringLiteral(" |甲营业部|1|1000.00|0.00|2024-03-15"),
    }));
    QCOMPARE(grid.RowCount(), 4);
}

void TestSeatFilter::watchedSeatsOnly_data()
{
    QTest::addColumn<QString>("range");
    QTest::addColumn<QList<int>>("attention");
    QTest::addColumn<QString>("listed");
    QTest::newRow("all seats: the watch list is not read") << R"({"0":true})" << QList<int>{1} << "甲乙丙";
    QTest::newRow("watched only") << R"({"1":true})" << QList<int>{2, 0} << "甲丙";
    QTest::newRow("indexes outside the seat table match nothing") << R"({"1":true})" << QList<int>{99, 1, -1} << "乙";
    QTest::newRow("empty watch list: empty list") << R"({"1":true})" << QList<int>{} << "";
    QTest::newRow("the all-seats key is not read") << R"({"0":true,"1":true})" << QList<int>{0} << "甲";
}

void TestSeatFilter::watchedSeatsOnly()
{
    QFETCH(QString, range);
    QFETCH(QList<int>, attention);
    QFETCH(QString, listed);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    for (const char *name : {"甲", "乙", "丙"}) {
        const int y = fx.AddSeat(QString::fromUtf8(name));
        fx.AddRecord(s, y, 100.0, 0.0, Ymd(2024, 3, 15));
    }
    fx.Load();
    JsonValue scheme = Scheme(QStringLiteral(R"({"1":{"0":true},"2":%1})").arg(range));
    scheme["2"]["2"] = true;
    const TStringGrid grid = Filter(scheme, std::vector<int>(attention.begin(), attention.end()));
    QCOMPARE(Listed(grid, QStringLiteral("甲乙丙")), listed);
    QCOMPARE(RowCells(grid, 0), ActiveHeader);
    QCOMPARE(grid.RowCount(), qMax(2, int(listed.size()) + 1));
}

void TestSeatFilter::figureSets_data()
{
    QTest::addColumn<QString>("figures");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QStringList>("rows");
    const QStringList active{QStringLiteral(" |甲|5|560.00|650.00|2024-03-14"), QStringLiteral(" |乙|1|0.00|70.00|2024-03-15")};
    const QStringList strong{QStringLiteral(" |甲|3|2|66.67|2024-03-12"), QStringLiteral(" |乙|0|0|0|-")};
    const QStringList hedging{QStringLiteral(" |甲|2|1|50.00|2024-03-14"), QStringLiteral(" |乙|1|0|0.00|2024-03-15")};
    QTest::newRow("active") << R"({"2":true})" << ActiveHeader << active;
    QTest::newRow("strong") << R"({"3":true})" << StrongHeader << strong;
    QTest::newRow("hedging") << R"({"4":true})" << HedgingHeader << hedging;
    QTest::newRow("first true choice wins") << R"({"2":false,"3":true,"4":true})" << StrongHeader << strong;
    QTest::newRow("none: names only, no header") << R"({"0":true})" << NoHeader << QStringList{};
}

void TestSeatFilter::figureSets()
{
    QFETCH(QString, figures);
    QFETCH(QString, header);
    QFETCH(QStringList, rows);
    TFixture fx;
    const int up = fx.AddStock(QStringLiteral("600001"), QStringLiteral("涨"));
    const int flat = fx.AddStock(QStringLiteral("600002"), QStringLiteral("平"));
    const int down = fx.AddStock(QStringLiteral("600003"), QStringLiteral("跌"));
    const int noBars = fx.AddStock(QStringLiteral("600004"), QStringLiteral("无"));
    fx.WriteBars(QStringLiteral("600001"), BarsFrom(QDate(2024, 3, 8), Up));
    fx.WriteBars(QStringLiteral("600002"), BarsFrom(QDate(2024, 3, 8), Flat));
    fx.WriteBars(QStringLiteral("600003"), BarsFrom(QDate(2024, 3, 8), Down));
    // The seat with more figures comes second by index, so only the sort puts it first.
    const int y = fx.AddSeat(QStringLiteral("乙"));
    const int x = fx.AddSeat(QStringLiteral("甲"));
    fx.AddRecord(up, x, 300.0, 100.0, Ymd(2024, 3, 8));    // net buy, +5 %: success
    fx.AddRecord(flat, x, 200.0, 0.0, Ymd(2024, 3, 12));   // net buy, no success
    fx.AddRecord(noBars, x, 10.0, 0.0, Ymd(2024, 3, 11));  // no bars: 0 >= 0 is a success
    fx.AddRecord(down, x, 0.0, 500.0, Ymd(2024, 3, 13));   // net sell, -5 % (last bar): success
    fx.AddRecord(flat, x, 50.0, 50.0, Ymd(2024, 3, 14));   // equal amounts: a sell, no success
    fx.AddRecord(up, y, 0.0, 70.0, Ymd(2024, 3, 15));      // on the last bar: compared with itself
    fx.Load();
    const TStringGrid grid = Filter(Scheme(QStringLiteral(R"({"1":{"0":true},"2":%1})").arg(figures)));
    QCOMPARE(RowCells(grid, 0), header);
    QCOMPARE(grid.RowCount(), 3);
    if (rows.isEmpty()) {
        QCOMPARE(Listed(grid, QStringLiteral("甲乙")), QStringLiteral("甲乙"));
        for (int r = 1; r < 3; ++r)
            for (int c = 2; c < 6; ++c)
                QVERIFY(grid.Cell(c, r).trimmed().isEmpty());
    } else {
        QCOMPARE(DataRows(grid), rows);
    }
}

// Four seats over 2024-03-08..15 (the "近一周" range), with these figures:
//          count  buy sum    sell sum    last   buys/ok rate  last buy  sells/ok rate  last sell
//   甲     3      1500000    200000      03-12  2/1     50    03-11     1/1      100   03-12
//   乙     1      1000000    0           03-14  1/1     100   03-14     0/0      0     none
//   丙     2      0          2000300.5   03-15  0/0     0     none      2/0      0     03-15
//   丁     41     40         1           03-13  40/1    2.5   03-13     1/1      100   03-08
void TestSeatFilter::conditions_data()
{
    QTest::addColumn<QString>("conditions");
    QTest::addColumn<QString>("listed");
    auto row = [](const char *name, const char *conditions, const char *listed) {
        QTest::newRow(name) << QString::fromUtf8(conditions) << QString::fromUtf8(listed);
    };
    row("no condition", R"({})", "甲乙丙丁");
    row("switched off", R"({"0":false,"1":0,"2":99999999})", "甲乙丙丁");
    row("buy sum >", R"({"0":true,"1":0,"2":1000000})", "甲");
    row("buy sum >=", R"({"0":true,"1":1,"2":1000000})", "甲乙");
    row("buy sum <", R"({"0":true,"1":2,"2":1000000})", "丙丁");
    row("buy sum <=", R"({"0":true,"1":3,"2":1000000})", "乙丙丁");
    row("unknown operator passes", R"({"0":true,"1":4,"2":99999999})", "甲乙丙丁");
    row("negative operator passes", R"({"0":true,"1":-1,"2":99999999})", "甲乙丙丁");
    row("buy sum threshold 999999.5 reads 1000000", R"({"0":true,"1":0,"2":999999.5})", "甲");
    row("buy sum threshold 1000000.5 reads 1000000", R"({"0":true,"1":1,"2":1000000.5})", "甲乙");
    row("sell sum > against the real sum", R"({"3":true,"4":0,"5":2000300})", "丙");
    row("sell sum threshold 2000300.5 reads 2000300", R"({"3":true,"4":0,"5":2000300.5})", "丙");
    row("sell sum <=", R"({"3":true,"4":3,"5":200000})", "甲乙丁");
    row("days since listing at most 2", R"({"6":true,"7":2})", "乙丙丁");
    row("days since listing at most 0", R"({"6":true,"7":0})", "丙");
    row("days since listing: 2.5 reads 2", R"({"6":true,"7":2.5})", "乙丙丁");
    row("days since listing: 3.5 reads 4", R"({"6":true,"7":3.5})", "甲乙丙丁");
    row("days since the last buy", R"({"8":true,"9":1})", "乙");
    row("no net buy fails the last-buy test", R"({"8":true,"9":999999999})", "甲乙丁");
    row("days since the last sell", R"({"10":true,"11":3})", "甲丙");
    row("no net sell fails the last-sell test", R"({"10":true,"11":999999999})", "甲丙丁");
    row("listing count >=", R"({"12":true,"13":1,"14":3})", "甲丁");
    row("listing count >", R"({"12":true,"13":0,"14":3})", "丁");
    row("listing count <", R"({"12":true,"13":2,"14":2})", "乙");
    row("listing count <=", R"({"12":true,"13":3,"14":2})", "乙丙");
    row("listing count threshold 2.5 reads 2", R"({"12":true,"13":1,"14":2.5})", "甲丙丁");
    row("buy successes >", R"({"15":true,"16":0,"17":0})", "甲乙丁");
    row("buy successes <", R"({"15":true,"16":2,"17":1})", "丙");
    row("buy successes threshold 0.5 reads 0", R"({"15":true,"16":1,"17":0.5})", "甲乙丙丁");
    row("buy rate > 2.5", R"({"18":true,"19":0,"20":2.5})", "甲乙");
    row("buy rate >= 2.5", R"({"18":true,"19":1,"20":2.5})", "甲乙丁");
    row("buy rate < 2.5", R"({"18":true,"19":2,"20":2.5})", "丙");
    row("buy rate <= 2.5", R"({"18":true,"19":3,"20":2.5})", "丙丁");
    row("sell successes >=", R"({"21":true,"22":1,"23":1})", "甲丁");
    row("sell successes <", R"({"21":true,"22":2,"23":1})", "乙丙");
    row("sell rate > 99.5 read as a real", R"({"24":true,"25":0,"26":99.5})", "甲丁");
    row("sell rate <", R"({"24":true,"25":2,"26":100})", "乙丙");
    row("all conditions must hold", R"({"0":true,"1":0,"2":1000000,"12":true,"13":1,"14":3})", "甲");
    row("a later condition drops a seat", R"({"12":true,"13":1,"14":1,"24":true,"25":1,"26":100})", "甲丁");
}

void TestSeatFilter::conditions()
{
    QFETCH(QString, conditions);
    QFETCH(QString, listed);
    TFixture fx;
    const int up = fx.AddStock(QStringLiteral("600001"), QStringLiteral("涨"));
    const int flat = fx.AddStock(QStringLiteral("600002"), QStringLiteral("平"));
    const int down = fx.AddStock(QStringLiteral("600003"), QStringLiteral("跌"));
    fx.WriteBars(QStringLiteral("600001"), BarsFrom(QDate(2024, 3, 8), Up));
    fx.WriteBars(QStringLiteral("600002"), BarsFrom(QDate(2024, 3, 8), Flat));
    fx.WriteBars(QStringLiteral("600003"), BarsFrom(QDate(2024, 3, 8), Down));
    const int jia = fx.AddSeat(QStringLiteral("甲"));
    const int yi = fx.AddSeat(QStringLiteral("乙"));
    const int bing = fx.AddSeat(QStringLiteral("丙"));
    const int ding = fx.AddSeat(QStringLiteral("丁"));
    fx.AddRecord(up, jia, 1000000.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(flat, jia, 500000.0, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(down, jia, 0.0, 200000.0, Ymd(2024, 3, 12));
    fx.AddRecord(up, yi, 1000000.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(up, yi, 5000000.0, 0.0, Ymd(2024, 3, 7)); // 8 days back: not counted
    fx.AddRecord(flat, bing, 0.0, 2000000.5, Ymd(2024, 3, 15));
    fx.AddRecord(up, bing, 0.0, 300.0, Ymd(2024, 3, 9)); // a Saturday: the bar of 03-08, a rise
    fx.AddRecord(up, ding, 1.0, 0.0, Ymd(2024, 3, 13));
    for (int i = 0; i < 39; ++i)
        fx.AddRecord(flat, ding, 1.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(down, ding, 0.0, 1.0, Ymd(2024, 3, 8));
    fx.Load();
    const TStringGrid grid = Filter(Scheme(QStringLiteral(R"({"1":{"0":true},"2":{"0":true,"2":true},"3":%1})").arg(conditions)));
    QCOMPARE(Listed(grid, QStringLiteral("甲乙丙丁")), listed);
}

void TestSeatFilter::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600001"), QStringLiteral("涨"));
    fx.WriteBars(QStringLiteral("600001"), BarsFrom(QDate(2024, 3, 8), Up));
    const int y = fx.AddSeat(QStringLiteral("甲"));
    fx.AddRecord(s, y, 10.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(5, y, 10.0, 0.0, Ymd(2024, 3, 8));          // no such stock
    fx.AddRecord(-1, y, 10.0, 0.0, Ymd(2024, 3, 8));         // no such stock
    fx.AddRecord(s, 1, 10.0, 0.0, Ymd(2024, 3, 8));          // no such seat
    fx.AddRecord(s, -7, 10.0, 0.0, Ymd(2024, 3, 8));         // no such seat
    fx.AddRecord(1 << 30, 1 << 30, 10.0, 0.0, Ymd(2024, 3, 8));
    fx.Load();
    // The successes are looked up (figure set and a condition on them), so no bar lookup sees them.
    const TStringGrid grid = Filter(Scheme(QStringLiteral(
        R"({"1":{"0":true},"2":{"1":true,"3":true},"3":{"21":true,"22":3,"23":0}})")), {0, 1, -7});
    QCOMPARE(RowCells(grid, 0), StrongHeader);
    QCOMPARE(DataRows(grid), QStringList({QStringLiteral(" |甲|1|1|100.00|2024-03-08")}));
}

void TestSeatFilter::malformedSchemes_data()
{
    // Seats 甲 (listed today, twice), 乙 (five days back) and 丙 (2024-01-12).
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("header");
    QTest::addColumn<QString>("listed");
    auto row = [](const char *name, const char *scheme, const QString &header, const char *listed) {
        QTest::newRow(name) << QString::fromUtf8(scheme) << header << QString::fromUtf8(listed);
    };
    row("empty object: today, no figures", R"({})", NoHeader, "甲");
    row("an array", R"([{"0":true},{"0":true},{"2":true}])", NoHeader, "甲");
    row("a text", R"("{\"1\":{\"0\":true}}")", NoHeader, "甲");
    row("null", R"(null)", NoHeader, "甲");
    row("a number", R"(7)", NoHeader, "甲");
    row("members that are arrays", R"({"1":[true],"2":[true,false,true],"3":[true,0,1]})", NoHeader, "甲");
    row("members that are texts", R"({"1":"0","2":"2","3":"0"})", NoHeader, "甲");
    row("texts and numbers as booleans", R"({"1":{"0":"yes"},"2":{"2":1}})", ActiveHeader, "甲乙");
    row("empty text and zero are false", R"({"1":{"0":"","1":0,"2":{}},"2":{"2":0.0,"3":[]}})", StrongHeader, "甲乙丙");
    row("dates as texts, a bad end date is today", R"({"1":{"5":true,"6":"20240110","7":"abc"},"2":{"2":true}})",
        ActiveHeader, "甲乙丙");
    row("a date beyond 32 bits is today", R"({"1":{"5":true,"6":4315207406,"7":20240315},"2":{"2":true}})",
        ActiveHeader, "甲");
    row("a huge real date is today", R"({"1":{"5":true,"6":1e300,"7":20240315},"2":{"2":true}})", ActiveHeader, "甲");
    row("operator and value as texts", R"({"1":{"0":true},"2":{"2":true},"3":{"12":true,"13":"1","14":"2"}})",
        ActiveHeader, "甲");
    row("operator and value of no number", R"({"1":{"0":true},"2":{"2":true},"3":{"12":true,"13":[],"14":{}}})",
        ActiveHeader, "甲乙");
    row("null operator and value", R"({"1":{"0":true},"2":{"2":true},"3":{"18":true,"19":null,"20":null}})",
        ActiveHeader, "乙");
    row("a rate as text", R"({"1":{"0":true},"2":{"3":true},"3":{"18":true,"19":1,"20":"100"}})", StrongHeader, "乙");
}

void TestSeatFilter::malformedSchemes()
{
    QFETCH(QString, scheme);
    QFETCH(QString, header);
    QFETCH(QString, listed);
    TFixture fx;
    const int flat = fx.AddStock(QStringLiteral("600002"), QStringLiteral("平"));
    const int noBars = fx.AddStock(QStringLiteral("600004"), QStringLiteral("无"));
    fx.WriteBars(QStringLiteral("600002"), BarsFrom(QDate(2024, 3, 8), Flat));
    const int jia = fx.AddSeat(QStringLiteral("甲"));
    const int yi = fx.AddSeat(QStringLiteral("乙"));
    const int bing = fx.AddSeat(QStringLiteral("丙"));
    fx.AddRecord(flat, jia, 100.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(flat, jia, 100.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(noBars, yi, 100.0, 0.0, Ymd(2024, 3, 10)); // a buy success: no bars
    fx.AddRecord(flat, bing, 100.0, 0.0, Ymd(2024, 1, 12));
    fx.Load();
    const TStringGrid grid = Filter(Scheme(scheme));
    QCOMPARE(RowCells(grid, 0), header);
    QCOMPARE(Listed(grid, QStringLiteral("甲乙丙")), listed);
}

void TestSeatFilter::reportView_data()
{
    QTest::addColumn<QString>("settings"); // the run subtree's lhb object, empty for no settings file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString active = QStringLiteral("序号\t席位名称\t上榜次数\t买入额\t卖出额\t最后上榜日期\n");
    const QString jia = QStringLiteral(" \t甲\t2\t300.00\t0.00\t2024-03-15\n");
    const QString yi = QStringLiteral(" \t乙\t1\t50.00\t0.00\t2024-03-12\n");
    const QStringList base{"--end", "2024-03-15", "--raw"};
    QTest::newRow("no settings file: the default scheme")
        << QString() << base + QStringList{"6"} << 0 << active + jia + yi << QString();
    QTest::newRow("the stored scheme and watch list")
        << R"({"attention":[1],"filter":{"1":{"0":true},"2":{"1":true,"3":true}}})" << base + QStringList{"6"} << 0
        << QStringLiteral("序号\t席位名称\t买入次数\t买入成功次数\t买入成功率\t最后上榜日期\n \t乙\t1\t1\t100.00\t2024-03-12\n")
        << QString();
    QTest::newRow("--scheme replaces the stored scheme")
        << R"({"attention":[1],"filter":{"1":{"0":true},"2":{"1":true,"3":true}}})"
        << base + QStringList{"--scheme", R"({"1":{"0":true},"2":{"2":true}})", "6"} << 0 << active + jia + yi << QString();
    QTest::newRow("--attention replaces the stored watch list")
        << R"({"attention":[1],"filter":{"1":{"0":true},"2":{"1":true,"2":true}}})"
        << base + QStringList{"--attention", " 0, 5", "6"} << 0 << active + jia << QString();
    QTest::newRow("a --scheme that is no object")
        << QString() << base + QStringList{"--scheme", "[1,2]", "6"} << 2 << QString()
        << QStringLiteral("lhb-report: --scheme takes a JSON object: [1,2]\n");
    QTest::newRow("a --scheme that is no JSON")
        << QString() << base + QStringList{"--scheme", "{\"1\":", "6"} << 2 << QString()
        << QStringLiteral("lhb-report: --scheme takes a JSON object: {\"1\":\n");
    QTest::newRow("an --attention item that is no number")
        << QString() << base + QStringList{"--attention", "1,x", "6"} << 2 << QString()
        << QStringLiteral("lhb-report: --attention takes seat indexes separated by commas: 1,x\n");
}

void TestSeatFilter::reportView()
{
    QFETCH(QString, settings);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安"));
    const int jia = fx.AddSeat(QStringLiteral("甲"));
    const int yi = fx.AddSeat(QStringLiteral("乙"));
    fx.AddRecord(s, jia, 100.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, jia, 200.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, yi, 50.0, 0.0, Ymd(2024, 3, 12)); // no bar file: a buy success
    fx.WriteTables();
    if (!settings.isEmpty()) {
        Json.Put(QStringLiteral("run.lhb"), Scheme(settings));
        QVERIFY(SaveRunSubtree(Json));
    }
    QString outText, errText;
    QTextStream outStream(&outText), errStream(&errText);
    QCOMPARE(RunReport(args, outStream, errStream), exitCode);
    QCOMPARE(outText, out);
    if (exitCode == 2) // a bad argument: its reason, then the usage text
        QCOMPARE(errText.section(u'\n', 0, 0) + u'\n', err);
    else
        QCOMPARE(errText, err);
}

QTEST_GUILESS_MAIN(TestSeatFilter)
#include "tst_seatfilter.moc"
