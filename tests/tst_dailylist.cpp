// The daily list: the stocks of the period with their quotes and seat totals, and one stock's seats.
#include "Fixture.h"

#include "data/Stock.h"
#include "views/DailyList.h"

#include <QTest>

class TestDailyList : public QObject
{
    Q_OBJECT

private:
    const QDate end{2024, 3, 15}; // a Friday

private slots:
    void periodBounds_data();
    void periodBounds();
    void quotesAndTotals();
    void sortedByChangeDescending();
    void emptyPeriodKeepsPlaceholder();
    void seatsOfOneStock();
    void recordsOutsideTheTablesAreSkipped();
    void progressOnlyWhenThePercentChanges();
};

void TestDailyList::periodBounds_data()
{
    QTest::addColumn<int>("days");
    QTest::addColumn<int>("recordDate");
    QTest::addColumn<bool>("listed");
    QTest::newRow("end date itself") << 7 << Ymd(2024, 3, 15) << true;
    QTest::newRow("exactly N days before") << 7 << Ymd(2024, 3, 8) << true;
    QTest::newRow("N + 1 days before") << 7 << Ymd(2024, 3, 7) << false;
    QTest::newRow("after the end date") << 7 << Ymd(2024, 3, 16) << false;
    QTest::newRow("N = 0, end date") << 0 << Ymd(2024, 3, 15) << true;
    QTest::newRow("N = 0, day before") << 0 << Ymd(2024, 3, 14) << false;
    QTest::newRow("weekend days count") << 2 << Ymd(2024, 3, 13) << true;
    QTest::newRow("not a calendar date") << 7 << Ymd(2024, 3, 0) << false;
}

void TestDailyList::periodBounds()
{
    QFETCH(int, days);
    QFETCH(int, recordDate);
    QFETCH(bool, listed);
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(s, y, 100.0, 0.0, recordDate);
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, days}, grid);
    QCOMPARE(grid.Cell(2, 1) == u"600000", listed);
    QCOMPARE(grid.RowCount(), 2);
}

void TestDailyList::quotesAndTotals()
{
    TFixture fx;
    const int a = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int b = fx.AddStock(QStringLiteral("000001 "), QStringLiteral(" 平安"));
    const int c = fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    const int y1 = fx.AddSeat(QStringLiteral("中信证券上海溧阳路证券营业部"));
    const int y2 = fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(a, y1, 1000.5, 200.25, Ymd(2024, 3, 15));
    fx.AddRecord(a, y2, 500.0, 0.0, Ymd(2024, 3, 11));
    fx.AddRecord(b, y1, 0.0, 300.0, Ymd(2024, 3, 14)); // sold only: still listed
    fx.AddRecord(c, y2, 10.0, 0.0, Ymd(2024, 3, 14));  // one bar only
    fx.WriteBars(QStringLiteral("600000"), {MakeBar(Ymd(2024, 3, 14), 0, 10000, 12345, 777),
                                           MakeBar(Ymd(2024, 3, 15), 0, 11000, 54321, 888)});
    fx.WriteBars(QStringLiteral("300001"), {MakeBar(Ymd(2024, 3, 15), 0, 25000, 99, 5)});
    // 000001 has no bar file.
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowText(0), QStringLiteral("序号,日期,代码,名称,收盘价,涨跌幅,成交量,成交额,席位总买额,席位总卖额"));
    QCOMPARE(grid.RowCount(), 4);
    auto row = [&](const QString &code) {
        for (int r = 1; r < grid.RowCount(); ++r)
            if (grid.Cell(2, r) == code) {
                QStringList cells;
                for (int col = 0; col < 10; ++col)
                    cells << grid.Cell(col, r);
                return cells.join(u'|');
            }
        return QString();
    };
    QCOMPARE(row(QStringLiteral("600000")), QStringLiteral(" |2024-03-15|600000|浦发银行|11.00|10.00|888|5432|1500.50|200.25"));
    QCOMPARE(row(QStringLiteral("000001")), QStringLiteral(" |-|000001|平安|0.00|0.00|0|0|0.00|300.00"));
    QCOMPARE(row(QStringLiteral("300001")), QStringLiteral(" |2024-03-15|300001|特锐德|25.00|0.00|5|9|10.00|0.00"));
}

void TestDailyList::sortedByChangeDescending()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("机构专用"));
    const std::vector<std::pair<QString, std::vector<qint32>>> stocks = {
        {QStringLiteral("600001"), {10000, 9000}},  // -10 %
        {QStringLiteral("600002"), {10000, 10500}}, // +5 %
        {QStringLiteral("600003"), {10000, 10000}}, //  0 %
        {QStringLiteral("600004"), {10000, 11000}}, // +10 %
    };
    for (const auto &s : stocks) {
        fx.AddRecord(fx.AddStock(s.first, QStringLiteral("某股")), y, 1.0, 0.0, Ymd(2024, 3, 15));
        fx.WriteBars(s.first, BarsFrom(QDate(2024, 3, 14), s.second));
    }
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, 7}, grid);
    QStringList order;
    for (int r = 1; r < grid.RowCount(); ++r)
        order << grid.Cell(5, r);
    QCOMPARE(order, QStringList({"10.00", "5.00", "0.00", "-10.00"}));
}

void TestDailyList::emptyPeriodKeepsPlaceholder()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddRecord(s, fx.AddSeat(QStringLiteral("机构专用")), 1.0, 0.0, Ymd(2020, 1, 2));
    fx.Load();
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.ColCount(), 10);
    QCOMPARE(grid.Cell(1, 0), QStringLiteral("日期"));
    QVERIFY(grid.Cell(2, 1).isEmpty());
}

void TestDailyList::seatsOfOneStock()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int other = fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    const int y0 = fx.AddSeat(QStringLiteral("甲营业部  ")); // trailing blanks are shown as read
    const int y1 = fx.AddSeat(QStringLiteral("乙营业部"));
    const int y2 = fx.AddSeat(QStringLiteral("丙营业部"));
    fx.AddRecord(s, y0, 100.0, 50.0, Ymd(2024, 3, 15));
    fx.AddRecord(s, y0, 150.0, 0.0, Ymd(2024, 3, 12));
    fx.AddRecord(s, y1, 900.0, 0.0, Ymd(2024, 3, 13));
    fx.AddRecord(s, y2, 0.0, 70.0, Ymd(2024, 3, 13));
    fx.AddRecord(s, y2, 999.0, 0.0, Ymd(2024, 3, 1)); // outside the period
    fx.AddRecord(other, y2, 5000.0, 5000.0, Ymd(2024, 3, 15));
    fx.Load();
    TStringGrid top, bottom;
    ClearGrid(top, 0, 0);
    ClearGrid(bottom, 0, 0);
    ShowGrid11(Stock, TViewParams{end, 7}, s, top, bottom);
    QCOMPARE(top.RowText(0), QStringLiteral("序号,席位名称,买入额"));
    QCOMPARE(bottom.RowText(0), QStringLiteral("序号,席位名称,卖出额"));
    QCOMPARE(top.RowCount(), 3);
    QCOMPARE(top.Cell(1, 1), QStringLiteral("乙营业部"));
    QCOMPARE(top.Cell(2, 1), QStringLiteral("900.00"));
    QCOMPARE(top.Cell(1, 2), QStringLiteral("甲营业部  "));
    QCOMPARE(top.Cell(2, 2), QStringLiteral("250.00"));
    QCOMPARE(bottom.RowCount(), 3);
    QCOMPARE(bottom.Cell(1, 1), QStringLiteral("丙营业部"));
    QCOMPARE(bottom.Cell(2, 1), QStringLiteral("70.00"));
    QCOMPARE(bottom.Cell(2, 2), QStringLiteral("50.00"));

    // A negative index changes nothing.
    TStringGrid untouched;
    ClearGrid(untouched, 0, 0);
    ShowGrid11(Stock, TViewParams{end, 7}, -1, untouched, untouched);
    QVERIFY(untouched.Cell(0, 0).isEmpty());
}

void TestDailyList::recordsOutsideTheTablesAreSkipped()
{
    TFixture fx;
    const int s = fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    const int y = fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(s, y, 1.0, 0.0, Ymd(2024, 3, 15));
    fx.AddRecord(7, y, 1.0, 0.0, Ymd(2024, 3, 15));   // no such stock
    fx.AddRecord(-1, y, 1.0, 0.0, Ymd(2024, 3, 15));  // no such stock
    fx.AddRecord(s, 99, 5.0, 0.0, Ymd(2024, 3, 15));  // no such seat
    fx.Load();
    TStringGrid grid, top, bottom;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, 7}, grid);
    QCOMPARE(grid.RowCount(), 2);
    QCOMPARE(grid.Cell(8, 1), QStringLiteral("1.00"));
    ShowGrid11(Stock, TViewParams{end, 7}, s, top, bottom);
    QCOMPARE(top.Cell(2, 1), QStringLiteral("1.00"));
}

void TestDailyList::progressOnlyWhenThePercentChanges()
{
    TFixture fx;
    const int y = fx.AddSeat(QStringLiteral("机构专用"));
    for (int i = 0; i < 300; ++i)
        fx.AddRecord(fx.AddStock(QStringLiteral("6%1").arg(i, 5, 10, QChar(u'0')), QStringLiteral("某股")), y, 1.0, 0.0,
                     Ymd(2024, 3, 15));
    fx.Load();
    int calls = 0, lastPos = -1, lastMax = -1;
    TStringGrid grid;
    ClearGrid(grid, 1, 0);
    ShowGrid1(Stock, TViewParams{end, 7}, grid, TProgress([&](int, int max, int pos) {
        ++calls;
        lastPos = pos;
        lastMax = max;
    }));
    QVERIFY(calls > 100 && calls <= 202); // one per percent, per loop
    QCOMPARE(lastPos, lastMax);           // the loop ends at its maximum: the gauge hides
    QCOMPARE(grid.RowCount(), 301);
}

QTEST_GUILESS_MAIN(TestDailyList)
#include "tst_dailylist.moc"
