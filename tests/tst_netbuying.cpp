// Net buying: the stocks of the period with their latest quote, ranked by bought less sold.
#include "Fixture.h"

#include "Report.h"
#include "data/Stock.h"
#include "views/NetBuying.h"

#include <QTest>

class TestNetBuying : public QObject
{
    Q_OBJECT

private:
    const QDate end{2024, 3, 15}; // a Friday

    // The cells of the data row whose code (column 1) is code, joined by '|'; empty when there is none.
    static QString RowOf(const TStringGrid &grid, const QString &code)
    {
        for (int r = 1; r < grid.RowCount(); ++r)
            if (grid.Cell(1, r) == code) {
                QStringList cells;
                for (int c = 0; c < grid.ColCount(); ++c)
                    cells << grid.Cell(c, r);
                return cells.join(u'|');
            }
        return QString();
    }

private slots:
    void window_data();
    void window();
    void rowTexts_data();
    void rowTexts();
    void sortedByNetDescending();
    void recordsOutsideTheTablesAreSkipped();
    void report();
};

void TestNetBuying::window_data()
{
    QTest::addColumn<QDate>("endDate");
    QTest::addColumn<int>("days");
    QTest::addColumn<QString>("net"); // empty: not listed
    QTest::newRow("N = 0") << end << 0 << "64.00";
    QTest::newRow("exactly N days back counts") << end << 7 << "79.00";
    QTest::newRow("N + 1 days back does not") << end << 6 << "63.00";
    QTest::newRow("a record after the end date is not counted") << QDate(2024, 3, 16) << 0 << "256.00";
    QTest::newRow("no record in the period") << QDate(2020, 1, 1) << 7 << "";
}

void TestNetBuying::window()
{
    QFETCH(QDate, endDate);
    QFETCH(int, days);
    QFETCH(QString, net);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 64.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y, 0.0, 1.0, Ymd(2024, 3, 14));
    fx.AddRecord(s, y, 16.0, 0.0, Ymd(2024, 3, 8));
    fx.AddRecord(s, y, 8.0, 0.0, Ymd(2024, 3, 7));
    fx.AddRecord(s, y, 256.0, 0.0, Ymd(2024, 3, 16));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid7(Stock, TViewParams{endDate, days}, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,代码,名称,开盘价,收盘价,昨收价,涨跌幅,成交量,成交额,净买入额"));
    QCOMPARE(grid.ColCount(), 10);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(RowOf(grid, QStringLiteral("600000")).section(u'|', 9), net);
}

// One stock per case, with the records and bars that show a rule of the row.
void TestNetBuying::rowTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("row"); // without the blank of column 0
    QTest::newRow("the newest bars, also when later than the end date")
        << "600000" << "600000|浦发银行|10.10|11.00|10.00|10.00|888|5432|1300.25";
    QTest::newRow("no bar file, sellers only") << "000001" << "000001|平安|0.00|0.00|0.00|0.00|0|0|-300.00";
    QTest::newRow("one bar: it is also the previous one") << "300001" << "300001|特锐德|24.00|25.00|25.00|0.00|5|9|10.00";
    QTest::newRow("a zero previous close") << "600002" << "600002|某股|1.00|1.00|0.00|0.00|2|0|1.00";
    QTest::newRow("buying and selling cancel out") << "600003" << "600003|另股|0.00|0.00|0.00|0.00|0|0|0.00";
}

void TestNetBuying::rowTexts()
{
    QFETCH(QString, code);
    QFETCH(QString, row);
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001"), QStringLiteral(" 平安 "));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int d = fx.AddStock(QStringLiteral("600002"), QStringLiteral("某股"));
    const int e = fx.AddStock(QStringLiteral("600003"), QStringLiteral("另股"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(a, y, 1500.5, 200.25, Ymd(2024, 3, 15));
    fx.AddRecord(b, y, 0.0, 300.0, Ymd(2024, 3, 14));
    fx.AddRecord(c, y, 10.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(d, y, 1.0, 0.0, Ymd(2024, 3, 14));
    fx.AddRecord(e, y, 0.3, 0.1, Ymd(2024, 3, 13)); // 0.3 - (0.1 + 0.2) is a tiny negative number
    fx.AddRecord(e, y, 0.0, 0.2, Ymd(2024, 3, 14));
    fx.WriteBars(QStringLiteral("600000"), {MakeBar(Ymd(2024, 3, 14), 9500, 9800, 1, 1),
                                           MakeBar(Ymd(2024, 3, 15), 9000, 10000, 12345, 777),
                                           MakeBar(Ymd(2024, 3, 18), 10100, 11000, 54329, 888)});
    fx.WriteBars(QStringLiteral("300001"), {MakeBar(Ymd(2024, 3, 15), 24000, 25000, 99, 5)});
    fx.WriteBars(QStringLiteral("600002"), {MakeBar(Ymd(2024, 3, 14), 0, 0, 0, 0),
                                           MakeBar(Ymd(2024, 3, 15), 1000, 1000, 9, 2)});
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid7(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 6);
    QCOMPARE(RowOf(grid, code), QStringLiteral(" |") + row);
}

void TestNetBuying::sortedByNetDescending()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    const std::vector<std::pair<double, double>> amounts = {{5, 0}, {0, 10}, {3, 3}, {20, 0}, {1, 2}, {0.5, 100}};
    for (size_t i = 0; i < amounts.size(); ++i)
        fx.AddRecord(fx.AddStock(QStringLiteral("60000%1").arg(i), QStringLiteral("某股")), y, amounts[i].first,
                     amounts[i].second, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid7(Stock, TViewParams{end, 7}, grid);
    QStringList order;
    for (int r = 1; r < grid.RowCount(); ++r)
        order << grid.Cell(9, r);
    QCOMPARE(order, QStringList({"20.00", "5.00", "0.00", "-1.00", "-10.00", "-99.50"}));
}

void TestNetBuying::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 2.0, 0.5, Ymd(2024, 3, 15));
    fx.AddRecord(1, y, 100.0, 0.0, Ymd(2024, 3, 15));  // no such stock
    fx.AddRecord(-3, y, 100.0, 0.0, Ymd(2024, 3, 15)); // no such stock
    fx.AddRecord(s, 1, 100.0, 0.0, Ymd(2024, 3, 15));  // no such seat
    fx.AddRecord(s, -1, 100.0, 0.0, Ymd(2024, 3, 15)); // no such seat
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid7(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cell(9, 1), QStringLiteral("1.50"));
}

void TestNetBuying::report()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int t = fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    const int y = fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddRecord(s, y, 300.0, 100.0, Ymd(2024, 3, 15));
    fx.AddRecord(t, y, 0.0, 80.0, Ymd(2024, 3, 13));
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 3, 14), {10000, 10250}));
    fx.WriteTables();
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    QCOMPARE(RunReport({"--end", "2024-03-15", "7"}, out, err), 0);
    QCOMPARE(outText, QStringLiteral(
        "序号\t代码\t名称\t开盘价\t收盘价\t昨收价\t涨跌幅\t成交量\t成交额\t净买入额\n"
        "1\t600000\t浦发银行\t10.25\t10.25\t10.00\t2.50%\t30750\t102\t200.00\n"
        "2\t000001\t平安银行\t0.00\t0.00\t0.00\t0.00%\t0\t0\t-80.00\n"));
}

QTEST_GUILESS_MAIN(TestNetBuying)
#include "tst_netbuying.moc"
