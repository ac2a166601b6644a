// The data store: loading the images, record counts, missing-file messages, lookups, bars and dates.
#include "Fixture.h"

#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/Dates.h"
#include "data/Stock.h"

#include <QFile>
#include <QTest>

class TestStock : public QObject
{
    Q_OBJECT

private slots:
    void missingFileMessages_data();
    void missingFileMessages();
    void wholeRecordsOnly();
    void loadedImagesAreNotReloaded();
    void emptyKeyReadsUnscrambledFiles();
    void damagedFileKeepsWhatInflated();
    void largeFileLoadsAsReadWhole();
    void textFields();
    void codeAndSeatLookups();
    void finance();
    void marketOf_data();
    void marketOf();
    void dayBar_data();
    void dayBar();
    void dayBarEdgeFiles();
    void dayBarReadsTheFileAnew();
    void dates();
    void dayWindow_data();
    void dayWindow();
    void indexOfComma_data();
    void indexOfComma();
};

void TestStock::missingFileMessages_data()
{
    QTest::addColumn<bool>("code");
    QTest::addColumn<bool>("yyb");
    QTest::addColumn<bool>("lhb");
    QTest::addColumn<QString>("message");
    QTest::newRow("all present") << true << true << true << QString();
    QTest::newRow("no code") << false << false << false << QStringLiteral("缺少代码数据文件！");
    QTest::newRow("no seats") << true << false << false << QStringLiteral("缺少营业部数据文件！");
    QTest::newRow("no records") << true << true << false << QStringLiteral("缺少龙虎榜数据文件！");
    QTest::newRow("code first") << false << true << true << QStringLiteral("缺少代码数据文件！");
}

void TestStock::missingFileMessages()
{
    QFETCH(bool, code);
    QFETCH(bool, yyb);
    QFETCH(bool, lhb);
    QFETCH(QString, message);
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.WriteTables();
    if (!code)
        QFile::remove(NativePath(Json.S(QStringLiteral("data.code"))));
    if (!yyb) // an empty file counts as a missing one
        WriteBytes(NativePath(Json.S(QStringLiteral("data.yyb"))), PackDataFile(QByteArray(), fx.Key()));
    if (!lhb)
        QFile::remove(NativePath(Json.S(QStringLiteral("data.lhb"))));
    Stock.LoadAll(fx.Key(), Json);
    QCOMPARE(Stock.MissingMessage(), message);
}

void TestStock::wholeRecordsOnly()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.WriteTables();
    QByteArray codes = RecordBytes(fx.Codes) + QByteArray(15, 'x');
    WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), PackDataFile(codes, fx.Key()));
    QByteArray lhb = RecordBytes(fx.Records) + QByteArray(27, 'y');
    WriteBytes(NativePath(Json.S(QStringLiteral("data.lhb"))), PackDataFile(lhb, fx.Key()));
    WriteBytes(NativePath(Json.S(QStringLiteral("data.finance"))), QByteArray(8, 'h'));
    Stock.LoadAll(fx.Key(), Json);
    QCOMPARE(Stock.CodeCount(), 2);
    QCOMPARE(Stock.LhbCount(), 1);
    QCOMPARE(Stock.FinanceCount(), 0); // the header alone holds no record
    WriteBytes(NativePath(Json.S(QStringLiteral("data.finance"))), QByteArray(8 + 166 + 165, 'h'));
    Stock.Finance.Clear();
    Stock.LoadAll(fx.Key(), Json);
    QCOMPARE(Stock.FinanceCount(), 1);
}

void TestStock::loadedImagesAreNotReloaded()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.Load();
    fx.AddStock(QStringLiteral("600001"), QStringLiteral("邯郸钢铁"));
    fx.WriteTables();
    Stock.LoadAll(fx.Key(), Json);
    QCOMPARE(Stock.CodeCount(), 1); // the file changed on disk, the image did not
}

void TestStock::emptyKeyReadsUnscrambledFiles()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), PackDataFile(RecordBytes(fx.Codes), QString()));
    Stock.LoadAll(QString(), Json);
    QCOMPARE(Stock.CodeCount(), 1);
    QCOMPARE(Stock.CodeText(0), QStringLiteral("600000"));
}

void TestStock::damagedFileKeepsWhatInflated()
{
    TFixture fx;
    for (int i = 0; i < 4000; ++i)
        fx.AddStock(QStringLiteral("6%1").arg(i, 5, 10, QChar(u'0')), QStringLiteral("某股"));
    QByteArray packed = PackDataFile(RecordBytes(fx.Codes), QString());
    packed.truncate(packed.size() / 2); // cut short
    WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), packed);
    Stock.LoadAll(QString(), Json);
    QVERIFY(Stock.CodeCount() > 0 && Stock.CodeCount() < 4000);
    QCOMPARE(Stock.CodeText(0), QStringLiteral("600000"));

    // A wrong key inflates nothing: the image stays empty and counts as missing.
    Stock.Release();
    WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), PackDataFile(RecordBytes(fx.Codes), fx.Key()));
    Stock.LoadAll(QStringLiteral("wrong key"), Json);
    QCOMPARE(Stock.CodeCount(), 0);
    QCOMPARE(Stock.MissingMessage(), QStringLiteral("缺少代码数据文件！"));
}

void TestStock::largeFileLoadsAsReadWhole()
{
    // Incompressible content bigger than a read piece, and a key whose length does not divide the piece.
    TFixture fx;
    QByteArray plain(3 * 1024 * 1024 + 13, '\0');
    quint32 x = 12345;
    for (char &c : plain) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    const QString key = QStringLiteral("k\u4e2d7Lm9z"); // one unit above 255
    WriteBytes(QStringLiteral("big.dat"), PackDataFile(plain, key));
    TMemoryStream image;
    Stock.LoadImage(image, QStringLiteral(".\\big.dat"), key);
    QCOMPARE(image.Size(), plain.size());
    QVERIFY(image.Data == plain);
    QCOMPARE(image.Position, 0);
}

void TestStock::textFields()
{
    TFixture fx;
    fx.AddStock(QStringLiteral(" 6000"), QStringLiteral("浦发银行")); // name fills all 8 bytes: no NUL
    fx.AddSeat(QStringLiteral("中国国际金融股份有限公司上海分公司黄浦区中山东二路第一证券营业部")); // 64 bytes
    fx.AddSeat(QStringLiteral("  甲营业部\t "));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.Load();
    QCOMPARE(Stock.NameText(0), QStringLiteral("浦发银行"));
    QCOMPARE(Stock.CodeText(0), QStringLiteral("6000"));
    QCOMPARE(Stock.YybName(0), QStringLiteral("中国国际金融股份有限公司上海分公司黄浦区中山东二路第一证券营业部"));
    QCOMPARE(Stock.YybName(1), QStringLiteral("  甲营业部\t "));
    QCOMPARE(StripText(Stock.YybName(1)), QStringLiteral("甲营业部"));
    QCOMPARE(Stock.NameText(5), QString());
    QCOMPARE(Stock.GetCode(-1).Code[0], '\0');
    QCOMPARE(Stock.GetCode(0).Name[7], fx.Codes[0].Name[7]);
}

void TestStock::codeAndSeatLookups()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    fx.AddStock(QStringLiteral("000001"), QStringLiteral("重复"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddSeat(QStringLiteral("甲营业部 "));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.Load();
    QCOMPARE(Stock.CodeIndex(QStringLiteral("000001")), 1); // the first match
    QCOMPARE(Stock.CodeIndex(QStringLiteral("000001 ")), -1);
    QCOMPARE(Stock.CodeIndex(QStringLiteral("60000")), -1);
    QCOMPARE(Stock.CodeIndex(QString()), -1);
    QCOMPARE(Stock.YybIndex(QStringLiteral("机构专用")), 0);
    QCOMPARE(Stock.YybIndex(QStringLiteral("甲营业部")), -1); // fields are compared unstripped
    QCOMPARE(Stock.YybIndex(QStringLiteral("甲营业部 ")), 1);
}

void TestStock::finance()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1.0, 0.0, Ymd(2024, 1, 5));
    fx.Finance.push_back(MakeFinance(QStringLiteral("SZ"), QStringLiteral("600000"), 1.0f)); // wrong market
    fx.Finance.push_back(MakeFinance(QStringLiteral("sh"), QStringLiteral("600000"), 2.5f)); // either case
    fx.Finance.push_back(MakeFinance(QStringLiteral("SZ"), QStringLiteral("000001"), 3.0f));
    fx.Load();
    QCOMPARE(Stock.FinanceCount(), 3);
    QCOMPARE(Stock.GetFinance(QStringLiteral("600000")).ShareBase, 2.5f);
    QCOMPARE(Stock.GetFinance(QStringLiteral("000001")).ShareBase, 3.0f);
    const TFinanceRecord none = Stock.GetFinance(QStringLiteral("300001"));
    QCOMPARE(none.ShareBase, 0.0f);
    QCOMPARE(none.Code[0], '\0');
}

void TestStock::marketOf_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("market");
    QTest::newRow("600000") << "600000" << "sh";
    QTest::newRow("blanks around") << " 600000 " << "sh";
    QTest::newRow("900901") << "900901" << "sh";
    QTest::newRow("1A0001") << "1A0001" << "sh";
    QTest::newRow("1B0001") << "1B0001" << "sh";
    QTest::newRow("000001") << "000001" << "sz";
    QTest::newRow("200001") << "200001" << "sz";
    QTest::newRow("300001") << "300001" << "sz";
    QTest::newRow("2A01") << "2A01" << "sz";
    QTest::newRow("2C01") << "2C01" << "sz";
    QTest::newRow("lower-case 1a0001") << "1a0001" << "";
    QTest::newRow("starts with 5") << "510050" << "";
    QTest::newRow("688001") << "688001" << "";
    QTest::newRow("five characters") << "60000" << "";
    QTest::newRow("2A01 with six chars") << "2A0100" << "";
    QTest::newRow("empty") << "" << "";
}

void TestStock::marketOf()
{
    QFETCH(QString, code);
    QFETCH(QString, market);
    QCOMPARE(TStock::MarketOf(code), market);
}

void TestStock::dayBar_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("close"); // bars close at 1000 × (index + 1)
    QTest::newRow("newest") << 0 << 0 << 8000;
    QTest::newRow("one before newest") << 1 << 0 << 7000;
    QTest::newRow("back past the first") << 50 << 0 << 1000;
    QTest::newRow("exact date") << Ymd(2024, 1, 3) << 0 << 3000;
    QTest::newRow("weekend: latest earlier bar") << Ymd(2024, 1, 6) << 0 << 5000;
    QTest::newRow("before the first bar") << Ymd(2023, 12, 1) << 0 << 1000;
    QTest::newRow("before the first bar, offset 5") << Ymd(2023, 12, 1) << 5 << 6000;
    QTest::newRow("five bars later") << Ymd(2024, 1, 2) << 5 << 7000;
    QTest::newRow("fewer than five follow") << Ymd(2024, 1, 9) << 5 << 8000;
    QTest::newRow("after the last bar, offset 5") << Ymd(2025, 1, 1) << 5 << 8000;
    QTest::newRow("negative offset clamps") << Ymd(2024, 1, 1) << -3 << 1000;
}

void TestStock::dayBar()
{
    QFETCH(int, key);
    QFETCH(int, offset);
    QFETCH(int, close);
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    // 2024-01-01 is a Monday: eight bars on 1..5 and 8..10 January.
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 1, 1), {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000}));
    fx.Load();
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), key, offset).Close, close);
    QCOMPARE(Stock.DayBar(QStringLiteral(" 600000 "), key, offset).Close, close);
    TDayBar bar;
    std::memset(&bar, 0xAB, sizeof bar);
    Stock.DayBarOfIndex(0, key, offset, bar);
    QCOMPARE(bar.Close, close);
}

void TestStock::dayBarEdgeFiles()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    fx.AddStock(QStringLiteral("688001"), QStringLiteral("华兴源创"));
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 1, 2), {4200}));
    // A partial last bar is ignored.
    const QByteArray two = RecordBytes(BarsFrom(QDate(2024, 1, 2), {1000, 2000}));
    WriteBytes(NativePath(Json.S(QStringLiteral("data.sz.day")) + QStringLiteral("000001.day")), two + QByteArray(39, '\x7f'));
    // A code of neither market has its file in the working directory itself.
    WriteBytes(QStringLiteral("688001.day"), RecordBytes(BarsFrom(QDate(2024, 1, 2), {777})));
    fx.Load();
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), 0, 0).Close, 4200);
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), 1, 0).Close, 4200);
    TDayBar n, p;
    Stock.NewestBars(QStringLiteral("600000"), n, p);
    QCOMPARE(n.Close, 4200);
    QCOMPARE(p.Close, 4200);
    QCOMPARE(Stock.DayBar(QStringLiteral("000001"), 0, 0).Close, 2000);
    Stock.NewestBars(QStringLiteral("000001"), n, p);
    QCOMPARE(n.Close, 2000);
    QCOMPARE(p.Close, 1000);
    QCOMPARE(Stock.DayBar(QStringLiteral("688001"), 0, 0).Close, 777);
    const TDayBar none = Stock.DayBar(QStringLiteral("600999"), 0, 0);
    QCOMPARE(none.Date, 0);
    QCOMPARE(none.Close, 0);
    QCOMPARE(none.Volume, 0);
    // An out-of-range index leaves the caller's bar alone.
    TDayBar keep = MakeBar(1, 2, 3, 4, 5);
    Stock.DayBarOfIndex(9, 0, 0, keep);
    QCOMPARE(keep.Close, 3);
    // An empty file holds no bar.
    WriteBytes(NativePath(Json.S(QStringLiteral("data.sh.day")) + QStringLiteral("600000.day")), QByteArray());
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), 0, 0).Date, 0);
}

void TestStock::dayBarReadsTheFileAnew()
{
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 1, 2), {1000}));
    fx.Load();
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), 0, 0).Close, 1000);
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2024, 1, 2), {1000, 1234}));
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), 0, 0).Close, 1234);
}

void TestStock::dates()
{
    QCOMPARE(FormatYmd(0), QStringLiteral("-"));
    QCOMPARE(FormatYmd(20240105), QStringLiteral("2024-01-05"));
    QCOMPARE(FormatYmd(2024015), QStringLiteral("-"));
    QCOMPARE(DateToInt(QDate(2024, 1, 5)), 20240105);
    QCOMPARE(IntToDate(0), QDate::currentDate());
    QCOMPARE(IntToDate(20240229), QDate(2024, 2, 29));
    QCOMPARE(IntToDate(20230229), QDate::currentDate()); // no such day
    bool ok = false;
    QCOMPARE(DayDiff(20240105, QDate(2024, 1, 15), &ok), 10.0);
    QVERIFY(ok);
    QCOMPARE(DayDiff(20240116, QDate(2024, 1, 15), &ok), -1.0);
    DayDiff(20241301, QDate(2024, 1, 15), &ok);
    QVERIFY(!ok);
    QCOMPARE(ParseDate(QStringLiteral("2024/03/09"), QStringLiteral("yyyy-mm-dd"), u'/', QStringLiteral("hh:nn:ss"), u':'),
             QDate(2024, 3, 9));
}

void TestStock::dayWindow_data()
{
    QTest::addColumn<int>("minBack");
    QTest::addColumn<int>("maxBack");
    QTest::addColumn<int>("date");
    QTest::addColumn<bool>("inside");
    // End date 2024-03-01: the window crosses the end of a leap February.
    QTest::newRow("end date, 0..7") << 0 << 7 << Ymd(2024, 3, 1) << true;
    QTest::newRow("7 back over 29 Feb") << 0 << 7 << Ymd(2024, 2, 23) << true;
    QTest::newRow("8 back") << 0 << 7 << Ymd(2024, 2, 22) << false;
    QTest::newRow("day after") << 0 << 7 << Ymd(2024, 3, 2) << false;
    QTest::newRow("strict 1..6 excludes the end") << 1 << 6 << Ymd(2024, 3, 1) << false;
    QTest::newRow("strict 1..6 excludes N") << 1 << 6 << Ymd(2024, 2, 23) << false;
    QTest::newRow("strict 1..6 includes 1") << 1 << 6 << Ymd(2024, 2, 29) << true;
    QTest::newRow("empty window") << 1 << 0 << Ymd(2024, 3, 1) << false;
    QTest::newRow("invalid date inside the range") << 0 << 40 << Ymd(2024, 2, 30) << false;
    QTest::newRow("long window") << 0 << 99999 << Ymd(1800, 1, 1) << true;
}

void TestStock::dayWindow()
{
    QFETCH(int, minBack);
    QFETCH(int, maxBack);
    QFETCH(int, date);
    QFETCH(bool, inside);
    QCOMPARE(TDayWindow(QDate(2024, 3, 1), minBack, maxBack).Contains(date), inside);
}

void TestStock::indexOfComma_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("found") << "序号,日期,代码" << "代码" << 2;
    QTest::newRow("missing") << "序号,日期,代码" << "名称" << -1;
    QTest::newRow("ignores case") << "a,Code,b" << "CODE" << 1;
    QTest::newRow("blanks separate") << "a b,c" << "c" << 2;
    QTest::newRow("quoted item keeps comma") << "x,\"a, b\",c" << "a, b" << 1;
    QTest::newRow("empty item") << "a,,c" << "c" << 2;
    QTest::newRow("a NUL ends the text") << QStringLiteral("a,b").append(QChar(u'\0')).append(QStringLiteral(",c")) << "c" << -1;
}

void TestStock::indexOfComma()
{
    QFETCH(QString, list);
    QFETCH(QString, text);
    QFETCH(int, index);
    QCOMPARE(IndexOfComma(list, text), index);
}

QTEST_GUILESS_MAIN(TestStock)
#include "tst_stock.moc"
