// Buy and sell intention: the records of one date split into net buys and net sells per stock, against
// the share base at the day's close and against the day's turnover.
#include "Fixture.h"

#include "Report.h"
#include "data/Stock.h"
#include "views/Intention.h"

#include <QTest>

class TestIntention : public QObject
{
    Q_OBJECT

private:
    const QDate day{2024, 3, 15}; // a Friday

    // Columns 3 to 5 of the data row whose code (column 1) is code, joined by '|'; empty when there is none.
    static QString FiguresOf(const TStringGrid &grid, const QString &code)
    {
        for (int r = 1; r < grid.RowCount(); ++r)
            if (grid.Cell(1, r) == code)
                return QStringList{grid.Cell(3, r), grid.Cell(4, r), grid.Cell(5, r)}.join(u'|');
        return QString();
    }
    static QStringList Column(const TStringGrid &grid, int col)
    {
        QStringList cells;
        for (int r = 1; r < grid.RowCount(); ++r)
            cells << grid.Cell(col, r);
        return cells;
    }
    static void Run(const QDate &end, int days, TStringGrid &left, TStringGrid &bottom)
    {
        ClearGrid(left, 1, 0);
        ClearGrid(bottom, 1, 0);
        ShowGrid5(Stock, TViewParams{end, days}, left, bottom);
    }

private slots:
    void exactDate_data();
    void exactDate();
    void buySideAndSellSide();
    void figures_data();
    void figures();
    void sortedByIntention();
    void bothGridsAreCleared();
    void recordsOutsideTheTablesAreSkipped();
    void report();
};

void TestIntention::exactDate_data()
{
    QTest::addColumn<QDate>("endDate");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("total"); // buying total of the stock; empty: not listed
    QTest::newRow("the end date, whatever the day count") << day << 7 << "64.00";
    QTest::newRow("day count 0") << day << 0 << "64.00";
    QTest::newRow("the day before") << day.addDays(-1) << 7 << "1.00";
    QTest::newRow("a weekend without disclosures") << QDate(2024, 3, 17) << 30 << "";
    QTest::newRow("no valid end date") << QDate() << 7 << "";
}

void TestIntention::exactDate()
{
    QFETCH(QDate, endDate);
    QFETCH(int, days);
    QFETCH(QString, total);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 64.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y, 1.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y, 256.0, 0.0, Ymd(2024, 3, 16));
    fx.AddRecord(s, y, 512.0, 0.0, 0); // a record without a date matches no date
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 3, 14), {10000, 10000, 10000}));
    fx.Load();
    TStringGrid left, bottom;
    Run(endDate, days, left, bottom);
    QCOMPARE(left.RowText(0), QStringLiteral("序号,股票代码,股票名称,前五买入意愿,前五买入总额,前五买入介入比例"));
    QCOMPARE(bottom.RowText(0), QStringLiteral("序号,股票代码,股票名称,前五卖出意愿,前五卖出总额,前五卖出介入比例"));
    QCOMPARE(left.RowCount(), 2);
    QCOMPARE(left.Cell(1, 1), total.isEmpty() ? QString() : QStringLiteral("600000"));
    QCOMPARE(FiguresOf(left, QStringLiteral("600000")).section(u'|', 1, 1), total);
    QCOMPARE(bottom.RowCount(), 2); // no record sold more than it bought
    QVERIFY(bottom.Cell(1, 1).isEmpty());
}

void TestIntention::buySideAndSellSide()
{
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    const int c = fx.AddStock(QStringLiteral("600002"), QStringLiteral("齐鲁石化"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(a, y, 100.0, 40.0, Ymd(2024, 3, 15)); // net buy: its buy amount
    fx.AddRecord(a, y, 30.0, 30.0, Ymd(2024, 3, 15));  // equal amounts: the sell side
    fx.AddRecord(a, y, 0.0, 50.0, Ymd(2024, 3, 15));
    fx.AddRecord(a, y, 10.0, 5.0, Ymd(2024, 3, 15));
    fx.AddRecord(b, y, 1.0, 2.0, Ymd(2024, 3, 15));    // net sells only
    fx.AddRecord(b, y, 7.0, 7.0, Ymd(2024, 3, 15));
    fx.AddRecord(c, y, 0.0, 0.0, Ymd(2024, 3, 15));    // nothing on either side
    fx.Load();
    TStringGrid left, bottom;
    Run(day, 7, left, bottom);
    QCOMPARE(Column(left, 1), QStringList{"600000"});
    QCOMPARE(FiguresOf(left, QStringLiteral("600000")).section(u'|', 1, 1), QStringLiteral("110.00"));
    QCOMPARE(left.RowCount(), 2);
    QCOMPARE(bottom.RowCount(), 3);
    QCOMPARE(FiguresOf(bottom, QStringLiteral("600000")).section(u'|', 1, 1), QStringLiteral("80.00"));
    QCOMPARE(FiguresOf(bottom, QStringLiteral("600001")).section(u'|', 1, 1), QStringLiteral("9.00"));
    QVERIFY(FiguresOf(bottom, QStringLiteral("600002")).isEmpty());
    // Code and name are shown stripped, column 0 holds the blank of the row number.
    for (int r = 1; r < bottom.RowCount(); ++r)
        QCOMPARE(bottom.Cell(0, r), QStringLiteral(" "));
    QCOMPARE(left.Cell(2, 1), QStringLiteral("浦发银行"));
}

// Intention = side × 100 / (share base × close); participation = side × 100 / (amount × 1000).
void TestIntention::figures_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("buying");  // intention|total|participation, empty: not listed
    QTest::addColumn<QString>("selling");
    QTest::newRow("financial record and bar of the day")
        << "600000" << "0.20|30000000.00|1.00" << "0.04|6000000.00|0.20";
    QTest::newRow("no financial record") << "000001" << "0.00|20000.00|2.00" << "";
    QTest::newRow("no bar file") << "300001" << "0.00|500.00|0.00" << "";
    QTest::newRow("suspended: the latest earlier bar") << "600001" << "0.10|40000.00|20.00" << "";
    QTest::newRow("a zero share base") << "600002" << "0.00|100.00|10.00" << "";
}

void TestIntention::figures()
{
    QFETCH(QString, code);
    QFETCH(QString, buying);
    QFETCH(QString, selling);
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int d = fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    const int e = fx.AddStock(QStringLiteral("600002"), QStringLiteral("齐鲁石化"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.Finance = {MakeFinance(QStringLiteral("SH"), QStringLiteral("600000"), 1.5e6f),
                  MakeFinance(QStringLiteral("SZ"), QStringLiteral("300001"), 1e6f),
                  MakeFinance(QStringLiteral("SH"), QStringLiteral("600001"), 1e4f),
                  MakeFinance(QStringLiteral("SH"), QStringLiteral("600002"), 0.0f)};
    fx.AddRecord(a, y, 30e6, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(a, y, 1e6, 6e6, Ymd(2024, 3, 15));
    fx.AddRecord(b, y, 20000.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(c, y, 500.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(d, y, 40000.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(e, y, 100.0, 0.0, Ymd(2024, 3, 15));
    fx.WriteBars(QStringLiteral("600000"), {MakeBar(Ymd(2024, 3, 14), 0, 9000, 1, 1),
                                           MakeBar(Ymd(2024, 3, 15), 0, 10000, 3000000, 1)});
    fx.WriteBars(QStringLiteral("000001"), {MakeBar(Ymd(2024, 3, 15), 0, 5000, 1000, 1)});
    fx.WriteBars(QStringLiteral("600001"), {MakeBar(Ymd(2024, 3, 12), 0, 2000, 100, 1),
                                           MakeBar(Ymd(2024, 3, 13), 0, 4000, 200, 1),
                                           MakeBar(Ymd(2024, 3, 18), 0, 8000, 800, 1)});
    fx.WriteBars(QStringLiteral("600002"), {MakeBar(Ymd(2024, 3, 15), 0, 3000, 1, 1)});
    fx.Load();
    TStringGrid left, bottom;
    Run(day, 7, left, bottom);
    QCOMPARE(left.RowCount(), 6);
    QCOMPARE(FiguresOf(left, code), buying);
    QCOMPARE(FiguresOf(bottom, code), selling);
}

void TestIntention::sortedByIntention()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    const std::vector<std::pair<double, double>> amounts = {{1e6, 0}, {0, 4e6}, {3e6, 0}, {0, 2e6}, {2e6, 3e6}, {5e6, 1e6}};
    for (size_t i = 0; i < amounts.size(); ++i) {
        const QString code = QStringLiteral("60000%1").arg(i);
        const int s = fx.AddStock(code, QStringLiteral("某股"));
        fx.Finance.push_back(MakeFinance(QStringLiteral("SH"), code, 1e5f));
        fx.WriteBars(code, {MakeBar(Ymd(2024, 3, 15), 0, 1000, 1000, 1)});
        // Each side from its own record, so that a stock can sit in both grids.
        fx.AddRecord(s, y, amounts[i].first, 0.0, Ymd(2024, 3, 15));
        fx.AddRecord(s, y, 0.0, amounts[i].second, Ymd(2024, 3, 15));
    }
    fx.Load();
    TStringGrid left, bottom;
    Run(day, 7, left, bottom);
    QCOMPARE(Column(left, 3), QStringList({"5.00", "3.00", "2.00", "1.00"}));
    QCOMPARE(Column(bottom, 3), QStringList({"4.00", "3.00", "2.00", "1.00"}));
}

// Unlike the period lists, this view clears its grids: rows of an earlier result do not stay.
void TestIntention::bothGridsAreCleared()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 5.0, 1.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y, 1.0, 5.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid left, bottom;
    Run(day, 7, left, bottom);
    QCOMPARE(left.RowCount(), 2);
    QCOMPARE(bottom.RowCount(), 2);
    for (TStringGrid *g : {&left, &bottom}) {
        g->SetColCount(9);
        g->SetCell(8, 4, QStringLiteral("旧"));
        g->SetRowCount(7);
    }
    ShowGrid5(Stock, TViewParams{QDate(2024, 3, 16), 7}, left, bottom);
    for (TStringGrid *g : {&left, &bottom}) {
        QCOMPARE(g->ColCount(), 6);
        QCOMPARE(g->RowCount(), 2);
        QVERIFY(g->Cell(1, 1).isEmpty());
        g->SetRowCount(7);
        QVERIFY(g->Cell(8, 4).isEmpty());
    }
}

void TestIntention::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 2.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(1, y, 100.0, 0.0, Ymd(2024, 3, 15));  // no such stock
    fx.AddRecord(-1, y, 0.0, 100.0, Ymd(2024, 3, 15)); // no such stock
    fx.AddRecord(s, 4, 100.0, 0.0, Ymd(2024, 3, 15));  // no such seat
    fx.AddRecord(s, -2, 0.0, 100.0, Ymd(2024, 3, 15)); // no such seat
    fx.Load();
    TStringGrid left, bottom;
    Run(day, 7, left, bottom);
    QCOMPARE(left.RowCount(), 2);
    QCOMPARE(FiguresOf(left, QStringLiteral("600000")), QStringLiteral("0.00|2.00|0.00"));
    QCOMPARE(bottom.RowCount(), 2);
    QVERIFY(bottom.Cell(1, 1).isEmpty());
}

// The report prints the buying grid, an empty line, then the selling grid.
void TestIntention::report()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 3e6, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y, 1e6, 1e6, Ymd(2024, 3, 15));
    fx.Finance = {MakeFinance(QStringLiteral("sh"), QStringLiteral("600000"), 1e6f)};
    fx.WriteBars(QStringLiteral("600000"), {MakeBar(Ymd(2024, 3, 15), 0, 10000, 30000, 1)});
    fx.WriteTables();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(RunReport({"--end", "2024-03-15", "--days", "0", "5"}, out, err), 0);
    QCOMPARE(outText, QStringLiteral(
        "序号\t股票代码\t股票名称\t前五买入意愿\t前五买入总额\t前五买入介入比例\n"
        "1\t600000\t浦发银行\t0.03\t3000000.00\t10.00%\n"
        "\n"
        "序号\t股票代码\t股票名称\t前五卖出意愿\t前五卖出总额\t前五卖出介入比例\n"
        "1\t600000\t浦发银行\t0.01\t1000000.00\t3.33%\n"));
}

QTEST_GUILESS_MAIN(TestIntention)
#include "tst_intention.moc"
