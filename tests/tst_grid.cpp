// The string grid: clearing, the quicksort by a column, and how cells are shown by their caption.
#include "kit/CellStyle.h"
#include "kit/Grid.h"

#include <QTest>

Q_DECLARE_METATYPE(TRgb)

class TestGrid : public QObject
{
    Q_OBJECT

private slots:
    void clearGridEmptiesRowsBeyondTheCount();
    void clearGridKeepsColumnsWithZero();
    void headerFromCommaText();
    void sort_data();
    void sort();
    void sortLeavesRowsOutsideTheRangeAlone_data();
    void sortLeavesRowsOutsideTheRangeAlone();
    void exchangedRowsKeepTheirCells();
    void sortsLargeGridsCorrectly();
    void cellLook_data();
    void cellLook();
};

static TStringGrid GridOfKeys(const QStringList &keys)
{
    TStringGrid g;
    g.SetColCount(2);
    g.SetRowText(0, QStringLiteral("序号,值"));
    for (int i = 0; i < keys.size(); ++i) {
        g.SetCell(0, i + 1, QStringLiteral("r%1").arg(i));
        g.SetCell(1, i + 1, keys.at(i));
    }
    g.SetRowCount(keys.size() + 1);
    return g;
}

static QStringList Column(const TStringGrid &g, int col)
{
    QStringList out;
    for (int r = 1; r < g.RowCount(); ++r)
        out << g.Cell(col, r);
    return out;
}

void TestGrid::clearGridEmptiesRowsBeyondTheCount()
{
    TStringGrid g;
    g.SetColCount(4);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            g.SetCell(c, r, QStringLiteral("x"));
    g.SetRowCount(6);
    g.SetColWidth(2, 90);
    ClearGrid(g, 3, 0);
    QCOMPARE(g.ColCount(), 3);
    QCOMPARE(g.RowCount(), 2);
    for (int c = 0; c < 3; ++c)
        QCOMPARE(g.ColWidth(c), 20);
    // Rows past the new count were erased too: they do not come back when the count grows.
    g.SetRowCount(6);
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 4; ++c)
            QVERIFY2(g.Cell(c, r).isEmpty(), qPrintable(QStringLiteral("cell %1,%2").arg(c).arg(r)));
}

void TestGrid::clearGridKeepsColumnsWithZero()
{
    TStringGrid g;
    g.SetColCount(7);
    g.SetColWidth(1, 120);
    g.SetRowText(0, QStringLiteral("a,b,c"));
    g.SetCell(1, 1, QStringLiteral("kept?"));
    g.SetRowCount(3);
    ClearGrid(g, 0, 1); // the header row stays when clearing from row 1
    QCOMPARE(g.ColCount(), 7);
    QCOMPARE(g.ColWidth(1), 120);
    QCOMPARE(g.Cell(1, 0), QStringLiteral("b"));
    QVERIFY(g.Cell(1, 1).isEmpty());
    QCOMPARE(g.RowCount(), 2);
}

void TestGrid::headerFromCommaText()
{
    TStringGrid g;
    g.SetColCount(3);
    g.SetCell(2, 0, QStringLiteral("old"));
    g.SetRowText(0, QStringLiteral("序号,\"席位, 名称\",买入额,extra"));
    QCOMPARE(g.Cell(0, 0), QStringLiteral("序号"));
    QCOMPARE(g.Cell(1, 0), QStringLiteral("席位, 名称"));
    QCOMPARE(g.Cell(2, 0), QStringLiteral("买入额"));
    QVERIFY(g.Cell(3, 0).isEmpty()); // beyond the column count
    QCOMPARE(g.ColumnOf(QStringLiteral("买入额")), 2);
    QCOMPARE(g.ColumnOf(QStringLiteral("nope")), -1);
}

void TestGrid::sort_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QStringList>("expected"); // "0" stands for either zero-valued key
    QTest::newRow("numeric ascending, junk counts as 0")
        << QStringList{"10", "9", "abc", ""} << true << false << QStringList{"0", "0", "9", "10"};
    QTest::newRow("numeric descending with negatives")
        << QStringList{"-1.5", "3", "12.25", "0.00", "-20"} << true << true
        << QStringList{"12.25", "3", "0", "-1.5", "-20"};
    QTest::newRow("text ascending by bytes")
        << QStringList{"10", "9", "abc", ""} << false << false << QStringList{" ", "10", "9", "abc"};
    QTest::newRow("text descending, dates newest first")
        << QStringList{"2024-01-05", "2023-12-29", "2024-03-01", "2024-01-05"} << false << true
        << QStringList{"2024-03-01", "2024-01-05", "2024-01-05", "2023-12-29"};
    // 啊 (B0A1) < 白 (B0D7) < 中 (D6D0) in GBK; in UTF-16 中 (4E2D) would come first.
    QTest::newRow("Chinese text in GBK order")
        << QStringList{"中", "白", "啊"} << false << false << QStringList{"啊", "白", "中"};
    QTest::newRow("prefix comes first") << QStringList{"ab", "a", "abc"} << false << false
                                        << QStringList{"a", "ab", "abc"};
}

void TestGrid::sort()
{
    QFETCH(QStringList, keys);
    QFETCH(bool, numeric);
    QFETCH(bool, descending);
    QFETCH(QStringList, expected);
    TStringGrid g = GridOfKeys(keys);
    SortGrid(g, 1, 1, keys.size(), numeric, descending);
    QStringList got = Column(g, 1);
    if (numeric)
        for (QString &k : got)
            if (GridNumber(k) == 0)
                k = QStringLiteral("0");
    QCOMPARE(got, expected);
    QCOMPARE(g.Cell(1, 0), QStringLiteral("值")); // row 0 never moves
}

void TestGrid::sortLeavesRowsOutsideTheRangeAlone_data()
{
    QTest::addColumn<int>("lo");
    QTest::addColumn<int>("hi");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("lo = hi") << 1 << 1 << QStringList{"5", "1", "4", "2", "3"};
    QTest::newRow("lo > hi") << 5 << 3 << QStringList{"5", "1", "4", "2", "3"};
    QTest::newRow("middle range") << 2 << 4 << QStringList{"5", "1", "2", "4", "3"};
}

void TestGrid::sortLeavesRowsOutsideTheRangeAlone()
{
    QFETCH(int, lo);
    QFETCH(int, hi);
    QFETCH(QStringList, expected);
    TStringGrid g = GridOfKeys({"5", "1", "4", "2", "3"});
    SortGrid(g, 1, lo, hi, true, false);
    QCOMPARE(Column(g, 1), expected);
}

void TestGrid::exchangedRowsKeepTheirCells()
{
    TStringGrid g;
    g.SetColCount(3);
    g.SetRowText(0, QStringLiteral("序号,名称,值"));
    g.SetCell(0, 1, QStringLiteral("a"));
    g.SetCell(2, 1, QStringLiteral("1")); // column 1 left empty
    g.SetCell(0, 2, QStringLiteral("b"));
    g.SetCell(1, 2, QStringLiteral("B"));
    g.SetCell(2, 2, QStringLiteral("2"));
    g.SetRowCount(3);
    SortGrid(g, 2, 1, 2, true, true);
    QCOMPARE(g.RowText(1), QStringLiteral("b,B,2"));
    // The empty cell travelled with its row and came back as a single blank.
    QCOMPARE(g.Cell(0, 2), QStringLiteral("a"));
    QCOMPARE(g.Cell(1, 2), QStringLiteral(" "));
    QCOMPARE(g.Cell(2, 2), QStringLiteral("1"));
}

void TestGrid::sortsLargeGridsCorrectly()
{
    // Many equal keys and a reversed run: the partitioning must stay in range and end sorted.
    QStringList keys;
    for (int i = 0; i < 5000; ++i)
        keys << QString::number(i % 3 == 0 ? 7 : (5000 - i) % 97);
    TStringGrid g = GridOfKeys(keys);
    SortGrid(g, 1, 1, keys.size(), true, false);
    double prev = -1;
    QSet<QString> tags;
    for (int r = 1; r <= keys.size(); ++r) {
        const double v = GridNumber(g.Cell(1, r));
        QVERIFY(v >= prev);
        prev = v;
        tags.insert(g.Cell(0, r));
    }
    QCOMPARE(tags.size(), keys.size()); // every row is still there once
}

void TestGrid::cellLook_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<TRgb>("color");
    QTest::addColumn<bool>("right");
    using namespace GridColors;
    QTest::newRow("negative change") << "涨跌幅" << "-3.20" << false << "-3.20%" << Fall << true;
    QTest::newRow("zero change") << "涨跌幅" << "0.00" << false << "0.00%" << Neutral << true;
    QTest::newRow("positive net buy") << "净买入额" << "12.00" << false << "12.00" << Rise << true;
    QTest::newRow("direction buy") << "异动方向" << "买入" << false << "买入" << Rise << false;
    QTest::newRow("direction sell") << "异动方向" << "卖出" << false << "卖出" << Fall << false;
    QTest::newRow("buy success rate") << "买入成功率" << "66.67" << false << "66.67%" << Rise << true;
    QTest::newRow("last listing date") << "最后上榜日期" << "2024-01-05" << false << "2024-01-05" << Neutral << false;
    QTest::newRow("code") << "代码" << "600000" << false << "600000" << Code << false;
    QTest::newRow("name") << "名称" << "浦发银行" << false << "浦发银行" << Name << false;
    QTest::newRow("seat name is a name") << "席位名称" << "买卖营业部" << false << "买卖营业部" << Name << false;
    QTest::newRow("row number") << "序号" << " " << false << "7" << Neutral << false;
    QTest::newRow("ratio") << "介入比例" << "0" << false << "0%" << Neutral << true;
    QTest::newRow("empty ratio cell gets no percent") << "介入比例" << "" << false << "" << Neutral << true;
    QTest::newRow("count right-aligned") << "上榜次数" << "3" << false << "3" << Neutral << true;
    QTest::newRow("header: no percent, header colour") << "涨跌幅" << "涨跌幅" << true << "涨跌幅" << Header << false;
    QTest::newRow("header: no row number") << "序号" << " " << true << " " << Header << false;
}

void TestGrid::cellLook()
{
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(bool, header);
    QFETCH(QString, shown);
    QFETCH(TRgb, color);
    QFETCH(bool, right);
    const TCellLook look = CellLook(caption, text, 7, header);
    QCOMPARE(look.text, shown);
    QVERIFY(look.color == color);
    QCOMPARE(look.rightAligned, right);
    QCOMPARE(look.paintBackground, !header);
}

QTEST_GUILESS_MAIN(TestGrid)
#include "tst_grid.moc"
