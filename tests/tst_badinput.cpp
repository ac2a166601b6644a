// Damaged input: every file of the data set, the settings file and the holdings responses in the forms
// they take when something went wrong, and what loading, the report's views and the parsers make of them.
#include "Fixture.h"

#include "Report.h"
#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/BarSeries.h"
#include "data/Stock.h"
#include "kit/Grid.h"
#include "net/Holdings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <zlib.h>

#include <cmath>
#include <cstring>
#include <limits>

#include <sys/resource.h>

namespace {

const QString EndDate = QStringLiteral("2024-01-10");

enum TFile { CodeFile, YybFile, LhbFile, FinanceFile, BarFile };

enum TDamage {
    Empty,
    OneByte,
    CutMidRecord,   // the content ends inside a record
    CutStream,      // the zlib stream ends early
    BytesAfterEnd,  // bytes follow the end of the zlib stream
    WrongKey,
    RandomBytes,
    IdsOutOfRange,  // records of stocks and seats outside the tables
    BadDates,       // dates 0, 99999999, -1 and an impossible day
    BadAmounts,     // NaN and infinite amounts
    FullWidthNames, // text fields without any NUL
    NotGbk,         // text fields that are not valid GBK
    OutOfOrder,     // bars whose dates are not ascending
};

enum TExpect {
    Same,     // every view prints what it prints for the intact data set
    Missing,  // every view stops with the file's missing-file message
    Fewer,    // the image keeps its whole records only, and every view runs
    Runs,     // every view runs to its end
    ZeroBars, // the stock's bars read as all zero
};

// Record counts of the intact set, in the order of TFile: 3 stocks, 3 seats, 8 disclosure records,
// 2 finance records, 12 bars of the first stock.
constexpr int IntactCount[] = {3, 3, 8, 2, 12};

const char *ConfigKey(TFile f)
{
    static const char *const keys[] = {"data.code", "data.yyb", "data.lhb", "data.finance"};
    return keys[f];
}

QString MissingText(TFile f)
{
    switch (f) {
    case CodeFile: return QStringLiteral("缺少代码数据文件！");
    case YybFile: return QStringLiteral("缺少营业部数据文件！");
    case LhbFile: return QStringLiteral("缺少龙虎榜数据文件！");
    default: return QString();
    }
}

QByteArray Random(int n, quint32 seed)
{
    QByteArray b(n, '\0');
    for (char &c : b) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 23);
    }
    return b;
}

TLhbRecord Record(qint32 cId, qint32 yId, double buy, double sell, qint32 date)
{
    return TLhbRecord{cId, yId, buy, sell, date};
}

// A zlib stream of prefix followed by copies blocks of 1 MiB of fill bytes, made without compressing it
// all: after a full flush every further block compresses to the same bytes, which are repeated. The stream
// has no end, which reads as a stream cut short.
QByteArray InflatingStream(const QByteArray &prefix, char fill, int copies)
{
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    deflateInit(&zs, Z_BEST_COMPRESSION);
    QByteArray out;
    auto feed = [&](const QByteArray &in) {
        QByteArray piece(int(deflateBound(&zs, uLong(in.size()))) + 64, '\0');
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        zs.avail_in = uInt(in.size());
        zs.next_out = reinterpret_cast<Bytef *>(piece.data());
        zs.avail_out = uInt(piece.size());
        deflate(&zs, Z_FULL_FLUSH);
        piece.truncate(piece.size() - int(zs.avail_out));
        return piece;
    };
    const QByteArray block(1 << 20, fill);
    out = feed(prefix + block);
    const QByteArray repeated = feed(block);
    deflateEnd(&zs);
    out.reserve(out.size() + repeated.size() * copies);
    for (int i = 1; i < copies; ++i)
        out += repeated;
    return out;
}

QByteArray Compressed(const QByteArray &plain)
{
    TMemoryStream src(plain), dst;
    Pub.Compress(src, dst);
    return dst.Data;
}

struct TRun
{
    int code = 0;
    QString out, err;
};

TRun Report(const QStringList &args)
{
    TRun r;
    QTextStream out(&r.out), err(&r.err);
    r.code = RunReport(args, out, err);
    return r;
}

// Every view of the report with the end date, a week, and the first stock and seat as arguments; the
// leading seats in all three flavours.
QList<TRun> AllViews(const QString &code = QStringLiteral("600000"), const QString &seat = QStringLiteral("甲营业部"))
{
    QList<TRun> runs;
    const QList<QStringList> views = {
        {"1"}, {"11", code}, {"2"}, {"--type", "1", "2"}, {"--type", "2", "2"}, {"21", seat}, {"211", code, seat},
        {"3"}, {"31", code}, {"4"}, {"5"}, {"6"}, {"7"}};
    for (const QStringList &v : views)
        runs.append(Report(QStringList{"--end", EndDate, "--days", "7"} + v));
    return runs;
}

// The line of a view's output that lists the code, split at tabs.
QStringList RowOf(const QString &out, const QString &code)
{
    for (const QString &line : out.split(u'\n'))
        if (line.split(u'\t').contains(code))
            return line.split(u'\t');
    return {};
}

// The intact data set: three stocks (the third without bars), three seats, eight records in the week
// before the end date, finance records, bars, and a settings file that watches two seats.
void WriteIntact(TFixture &fx)
{
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddStock(QStringLiteral("000001"), QStringLiteral("平安银行"));
    fx.AddStock(QStringLiteral("300001"), QStringLiteral("特锐德"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddSeat(QStringLiteral("甲营业部"));
    fx.AddSeat(QStringLiteral("乙营业部"));
    const qint32 days[] = {Ymd(2024, 1, 3), Ymd(2024, 1, 4), Ymd(2024, 1, 5), Ymd(2024, 1, 8), Ymd(2024, 1, 9),
                           Ymd(2024, 1, 10), Ymd(2024, 1, 10), Ymd(2024, 1, 10)};
    for (int i = 0; i < 8; ++i)
        fx.AddRecord(i % 3, (i + 1) % 3, 1.0e6 * (i + 1), 4.0e5 * (8 - i), days[i]);
    fx.Finance.push_back(MakeFinance(QStringLiteral("SH"), QStringLiteral("600000"), 2.5e9f));
    fx.Finance.push_back(MakeFinance(QStringLiteral("SZ"), QStringLiteral("000001"), 1.9e10f));
    std::vector<qint32> up, down;
    for (int i = 0; i < 12; ++i) {
        up.push_back(10000 + 150 * i);
        down.push_back(9000 - 110 * i);
    }
    fx.WriteBars(QStringLiteral("600000"), BarsFrom(QDate(2023, 12, 27), up));
    fx.WriteBars(QStringLiteral("000001"), BarsFrom(QDate(2023, 12, 27), down));
    fx.WriteTables();
    JsonValue run = JsonValue::object();
    run["lhb"]["attention"] = JsonValue::array({1, 2});
    QVERIFY(Json.SaveJson(run, Json.S(QStringLiteral("app.run")), QString(), true));
}

QString BarPath()
{
    Stock.ShDay = Json.S(QStringLiteral("data.sh.day"));
    Stock.SzDay = Json.S(QStringLiteral("data.sz.day"));
    return Stock.BarFileName(QStringLiteral("600000"));
}

// Whether a damage applies to a file: keys and streams only to the packed tables, record fields to the
// disclosure records, text fields to the code and seat tables, date order to bar files.
bool Applies(TFile file, TDamage damage)
{
    switch (damage) {
    case CutStream:
    case BytesAfterEnd:
    case WrongKey: return file <= LhbFile;
    case IdsOutOfRange:
    case BadDates:
    case BadAmounts: return file == LhbFile;
    case FullWidthNames:
    case NotGbk: return file == CodeFile || file == YybFile;
    case OutOfOrder: return file == BarFile;
    default: return true;
    }
}

// The damaged file's bytes. Tables are damaged in their plain content (then packed) or in their packed
// bytes; finance.dat and bar files are stored as they are.
bool Damage(TFixture &fx, TFile file, TDamage damage, QByteArray &bytes)
{
    const QString key = fx.Key();
    QByteArray plain;
    switch (file) {
    case CodeFile: plain = RecordBytes(fx.Codes); break;
    case YybFile: plain = RecordBytes(fx.Seats); break;
    case LhbFile: plain = RecordBytes(fx.Records); break;
    case FinanceFile: plain = QByteArray(FinanceHeaderSize, '\0') + RecordBytes(fx.Finance); break;
    case BarFile:
        if (!ReadWholeFile(BarPath(), plain))
            return false;
        break;
    }
    if (!Applies(file, damage))
        return false;
    const bool packed = file <= LhbFile;
    const QByteArray intact = packed ? PackDataFile(plain, key) : plain;
    switch (damage) {
    case Empty: bytes.clear(); return true;
    case OneByte: bytes = intact.left(1); return true;
    case CutMidRecord: {
        const int record = file == CodeFile ? 16 : file == YybFile ? 64 : file == LhbFile ? 28 : file == FinanceFile ? 166 : 40;
        const QByteArray cut = plain.left(plain.size() - record / 2);
        bytes = packed ? PackDataFile(cut, key) : cut;
        return true;
    }
    case CutStream: bytes = intact.left(intact.size() / 2); return true;
    case BytesAfterEnd: {
        // The extra bytes are scrambled on with the rest, as a writer that appended them would leave them.
        TMemoryStream s(Compressed(plain) + Random(333, 7));
        Pub.Scramble(s, key);
        bytes = s.Data;
        return true;
    }
    case WrongKey: bytes = PackDataFile(plain, QStringLiteral("Wrong key 12345!")); return true;
    case RandomBytes: bytes = Random(4000, 99); return true;
    case IdsOutOfRange: {
        const qint32 nCode = qint32(fx.Codes.size()), nYyb = qint32(fx.Seats.size());
        const qint32 day = Ymd(2024, 1, 10);
        std::vector<TLhbRecord> extra = {
            Record(-1, 0, 5e6, 0, day), Record(nCode, 0, 5e6, 0, day), Record(std::numeric_limits<qint32>::min(), 1, 5e6, 1, day),
            Record(std::numeric_limits<qint32>::max(), 1, 5e6, 1, day), Record(0, -1, 5e6, 0, day),
            Record(0, nYyb, 5e6, 0, day), Record(1, std::numeric_limits<qint32>::max(), 0, 5e6, day)};
        bytes = PackDataFile(plain + RecordBytes(extra), key);
        return true;
    }
    case BadDates: {
        std::vector<TLhbRecord> extra = {Record(0, 1, 5e6, 0, 0), Record(0, 1, 5e6, 0, 99999999),
                                         Record(0, 1, 5e6, 0, -1), Record(1, 2, 5e6, 0, Ymd(2024, 1, 32)),
                                         Record(1, 2, 5e6, 0, std::numeric_limits<qint32>::min())};
        bytes = PackDataFile(plain + RecordBytes(extra), key);
        return true;
    }
    case BadAmounts: {
        const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
        const qint32 day = Ymd(2024, 1, 10);
        std::vector<TLhbRecord> extra = {Record(0, 1, nan, 0, day), Record(0, 1, 0, inf, day), Record(1, 2, -inf, 5, day),
                                         Record(2, 0, nan, nan, day), Record(1, 1, inf, inf, day)};
        bytes = PackDataFile(plain + RecordBytes(extra), key);
        return true;
    }
    case FullWidthNames:
    case NotGbk: {
        // Every text byte set: no NUL anywhere, or bytes GBK has no character for.
        QByteArray p = plain;
        const QByteArray fill = damage == NotGbk ? QByteArray("\xff\x80\x81\x20\xfe\xa1") : QByteArray("ABCDEFGH");
        const int record = file == CodeFile ? 16 : 64, start = file == CodeFile ? 8 : 0; // the name field
        for (qsizetype at = 0; at + record <= p.size(); at += record)
            for (int k = start; k < record; ++k)
                p[at + k] = fill[(k - start) % fill.size()];
        bytes = PackDataFile(p, key);
        return true;
    }
    case OutOfOrder: {
        // The newest bar first: the scan by date stops there.
        const qsizetype last = plain.size() - 40;
        bytes = plain.mid(last) + plain.left(last);
        return true;
    }
    }
    return false;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private slots:
    void dataFiles_data();
    void dataFiles();
    void negativeAndHugeAmounts();
    void barLookupsFollowTheFileOrder_data();
    void barLookupsFollowTheFileOrder();
    void codeWithPathSeparatorNamesNoBarFile_data();
    void codeWithPathSeparatorNamesNoBarFile();
    void inflatingFilesUnderMemoryLimit_data();
    void inflatingFilesUnderMemoryLimit();
    void settingsFile_data();
    void settingsFile();
    void holdings_data();
    void holdings();
};

void TestBadInput::dataFiles_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<int>("damage");
    QTest::addColumn<int>("expect");
    const char *const fileNames[] = {"code.dat", "yyb.dat", "lhb.dat", "finance.dat", "600000.day"};
    struct TRow
    {
        TDamage damage;
        const char *name;
        TExpect table, finance, bars; // the outcome for a table, for finance.dat and for a bar file
    };
    const TRow rows[] = {
        {Empty, "empty", Missing, Runs, ZeroBars},
        {OneByte, "one byte", Missing, Runs, ZeroBars},
        {CutMidRecord, "cut mid-record", Fewer, Fewer, Fewer},
        {CutStream, "zlib stream cut short", Fewer, Runs, Runs},
        {BytesAfterEnd, "bytes after the zlib end", Same, Runs, Runs},
        {WrongKey, "wrong key", Missing, Runs, Runs},
        {RandomBytes, "random bytes", Missing, Runs, Runs},
        {IdsOutOfRange, "cId or yId out of range", Same, Runs, Runs},
        {BadDates, "dates 0, 99999999, -1", Same, Runs, Runs},
        {BadAmounts, "amounts NaN and infinite", Same, Runs, Runs},
        {FullWidthNames, "names without NUL", Runs, Runs, Runs},
        {NotGbk, "names not GBK", Runs, Runs, Runs},
        {OutOfOrder, "bars out of order", Runs, Runs, Runs},
    };
    for (int f = CodeFile; f <= BarFile; ++f) {
        for (const TRow &r : rows) {
            if (!Applies(TFile(f), r.damage))
                continue;
            const TExpect e = f <= LhbFile ? r.table : f == FinanceFile ? r.finance : r.bars;
            QTest::addRow("%s, %s", fileNames[f], r.name) << f << int(r.damage) << int(e);
        }
    }
}

void TestBadInput::dataFiles()
{
    QFETCH(int, file);
    QFETCH(int, damage);
    QFETCH(int, expect);
    TFixture fx;
    WriteIntact(fx);
    const QList<TRun> intact = AllViews();
    for (const TRun &r : intact)
        QCOMPARE(r.code, 0);

    QByteArray bytes;
    QVERIFY(Damage(fx, TFile(file), TDamage(damage), bytes));
    const QString path = file == BarFile ? BarPath() : NativePath(Json.S(QString::fromLatin1(ConfigKey(TFile(file)))));
    QVERIFY(WriteBytes(path, bytes));

    Stock.Release();
    Stock.LoadAll(fx.Key(), Json);
    const int counts[] = {Stock.CodeCount(), Stock.YybCount(), Stock.LhbCount(), Stock.FinanceCount(), -1};
    const QString missing = Stock.MissingMessage();
    const QList<TRun> runs = AllViews();
    QCOMPARE(runs.size(), intact.size());
    for (int i = 0; i < runs.size(); ++i) {
        const TRun &r = runs.at(i);
        switch (TExpect(expect)) {
        case Same:
            QCOMPARE(r.code, intact.at(i).code);
            QCOMPARE(r.out, intact.at(i).out);
            QCOMPARE(r.err, intact.at(i).err);
            break;
        case Missing:
            QCOMPARE(r.code, 2);
            QCOMPARE(r.err, MissingText(TFile(file)) + u'\n');
            QCOMPARE(r.out, QString());
            break;
        case Fewer:
        case Runs:
        case ZeroBars:
            // A view runs to its end, or says which argument names nothing once the tables changed, or
            // which file is missing when nothing of it could be read.
            if (!missing.isEmpty()) {
                QCOMPARE(r.code, 2);
                QCOMPARE(r.err, missing + u'\n');
                break;
            }
            QVERIFY2(r.code == 0 || (r.code == 1 && r.err.startsWith(QStringLiteral("not found: "))), qPrintable(r.err));
            if (r.code == 0)
                QVERIFY(!r.out.isEmpty());
            break;
        }
    }
    if (expect == Fewer) {
        if (file == BarFile) {
            // The newest whole bar is the one before the cut one.
            const QStringList row = RowOf(runs.at(0).out, QStringLiteral("600000"));
            QCOMPARE(row.value(4), QStringLiteral("11.50"));
        } else {
            QVERIFY(counts[file] < IntactCount[file]);
            if (damage == CutMidRecord)
                QCOMPARE(counts[file], IntactCount[file] - 1);
        }
    }
    if (expect == ZeroBars) {
        // The daily list still lists the stock, with no date and no price.
        const QStringList row = RowOf(runs.at(0).out, QStringLiteral("600000"));
        QCOMPARE(row.value(1), QStringLiteral("-"));
        QCOMPARE(row.value(4), QStringLiteral("0.00"));
        QCOMPARE(row.value(5), QStringLiteral("0.00%"));
    }
    if (damage == FullWidthNames && file == YybFile) {
        // A field without NUL is read at its full width.
        QCOMPARE(Stock.YybName(0).size(), 64);
        QVERIFY(runs.at(2).out.contains(Stock.YybName(0)));
    }
    if (damage == FullWidthNames && file == CodeFile)
        QCOMPARE(Stock.NameText(0), QStringLiteral("ABCDEFGH"));
    if (damage == NotGbk) {
        // Undecodable bytes become replacement characters; the records are all still counted.
        const QString name = file == CodeFile ? Stock.NameText(0) : Stock.YybName(0);
        QVERIFY(!name.isEmpty());
        QCOMPARE(Stock.LhbCount(), IntactCount[LhbFile]);
    }
}

void TestBadInput::negativeAndHugeAmounts()
{
    TFixture fx;
    WriteIntact(fx);
    const QStringList before = RowOf(AllViews().at(0).out, QStringLiteral("600000"));
    // Negative amounts are numbers and are added; amounts near the largest double overflow to infinity
    // in the sum, and the report shows that rather than stopping.
    fx.AddRecord(0, 1, -2.5e5, -1.0e5, Ymd(2024, 1, 10));
    fx.AddRecord(1, 1, 1.0e308, 0, Ymd(2024, 1, 10));
    fx.AddRecord(1, 2, 1.0e308, 0, Ymd(2024, 1, 10));
    fx.WriteTables();
    const QList<TRun> runs = AllViews();
    for (const TRun &r : runs)
        QCOMPARE(r.code, 0);
    const QStringList after = RowOf(runs.at(0).out, QStringLiteral("600000"));
    QCOMPARE(after.value(8).toDouble(), before.value(8).toDouble() - 2.5e5);
    QCOMPARE(after.value(9).toDouble(), before.value(9).toDouble() - 1.0e5);
    QCOMPARE(RowOf(runs.at(0).out, QStringLiteral("000001")).value(8), QStringLiteral("inf"));
}

void TestBadInput::barLookupsFollowTheFileOrder_data()
{
    QTest::addColumn<QList<int>>("dates");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("bar"); // index of the bar the lookup gives
    const int d1 = Ymd(2024, 1, 1), d2 = Ymd(2024, 1, 2), d3 = Ymd(2024, 1, 3), d4 = Ymd(2024, 1, 4),
              d5 = Ymd(2024, 1, 5), d9 = Ymd(2024, 1, 9);
    // The scan from the first bar stops at the first bar dated after the key.
    QTest::newRow("later bar early on") << QList<int>{d1, d9, d3, d4, d5} << d5 << 0 << 0;
    QTest::newRow("later bar early on, offset 2") << QList<int>{d1, d9, d3, d4, d5} << d5 << 2 << 2;
    QTest::newRow("newest first") << QList<int>{d5, d1, d2, d3, d4} << d4 << 0 << 0;
    QTest::newRow("zero date in the middle") << QList<int>{d1, d2, 0, d4, d5} << d3 << 0 << 2;
    QTest::newRow("huge date in the middle") << QList<int>{d1, d2, 99999999, d4, d5} << d5 << 0 << 1;
    QTest::newRow("descending") << QList<int>{d5, d4, d3, d2, d1} << d9 << 0 << 4;
    QTest::newRow("sorted") << QList<int>{d1, d2, d3, d4, d5} << d3 << 1 << 3;
    QTest::newRow("count back ignores dates") << QList<int>{d5, d1, d9, d2} << 1 << 0 << 2;
}

void TestBadInput::barLookupsFollowTheFileOrder()
{
    QFETCH(QList<int>, dates);
    QFETCH(int, key);
    QFETCH(int, offset);
    QFETCH(int, bar);
    TFixture fx;
    fx.AddStock(QStringLiteral("600000"), QStringLiteral("浦发银行"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1, 0, Ymd(2024, 1, 5));
    std::vector<TDayBar> bars;
    for (int i = 0; i < dates.size(); ++i)
        bars.push_back(MakeBar(dates.at(i), 1000 * (i + 1), 1000 * (i + 1), 1, 1));
    fx.WriteBars(QStringLiteral("600000"), bars);
    fx.Load();
    // The lookup that reads the file for each call and the series held for one computation agree.
    QCOMPARE(Stock.DayBar(QStringLiteral("600000"), key, offset).Close, 1000 * (bar + 1));
    TBarSeries series;
    series.Load(Stock, 0);
    QCOMPARE(series.At(key, offset).Close, 1000 * (bar + 1));
}

void TestBadInput::codeWithPathSeparatorNamesNoBarFile_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("read"); // whether the bar file beside the working folder's name is read
    QTest::newRow("plain code") << QStringLiteral("x1") << true;
    QTest::newRow("slash") << QStringLiteral("Sub/x1") << false;
    QTest::newRow("backslash") << QStringLiteral("Sub\\x1") << false;
    QTest::newRow("drive colon") << QStringLiteral("C:x1") << false;
}

void TestBadInput::codeWithPathSeparatorNamesNoBarFile()
{
    QFETCH(QString, code);
    QFETCH(bool, read);
    TFixture fx;
    fx.AddStock(code, QStringLiteral("某股"));
    fx.AddSeat(QStringLiteral("机构专用"));
    fx.AddRecord(0, 0, 1, 0, Ymd(2024, 1, 5));
    fx.Load();
    // The file the code would name if it were taken as a path.
    QVERIFY(WriteBytes(NativePath(code + QStringLiteral(".day")), RecordBytes(BarsFrom(QDate(2024, 1, 1), {1000, 2000}))));
    QCOMPARE(Stock.DayBar(code, 0, 0).Close, read ? 2000 : 0);
    QCOMPARE(Stock.DayBar(code, Ymd(2024, 1, 1), 0).Close, read ? 1000 : 0);
    TBarSeries series;
    series.Load(Stock, 0);
    QCOMPARE(series.Count(), read ? 2 : 0);
}

#if defined(__SANITIZE_ADDRESS__)
#define MV_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MV_ASAN 1
#endif
#endif

// The child's side of inflatingFilesUnderMemoryLimit: loads the settings and the data set in the
// working folder with its memory limited to 1 GiB more than it uses, and prints the record counts and the
// window height. Under the address sanitizer, which reserves its shadow memory up front, the limit is the
// sanitizer's largest allocation instead (the parent sets it).
static int LoadUnderMemoryLimit(const char *folder)
{
#ifndef MV_ASAN
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 3;
    const qint64 pages = statm.readAll().split(' ').value(0).toLongLong();
    const rlim_t limit = rlim_t(pages * 4096 + (qint64(1) << 30));
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0)
        return 3;
#endif
    QDir::setCurrent(QString::fromLocal8Bit(folder));
    Pub.Init();
    BuildDefaultTree(Json);
    LoadRunSubtree(Json);
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    std::printf("%d %d %d %lld\n", Stock.CodeCount(), Stock.YybCount(), Stock.LhbCount(),
                Json.I(QStringLiteral("run.form.height")));
    return 0;
}

void TestBadInput::inflatingFilesUnderMemoryLimit_data()
{
    QTest::addColumn<QString>("configKey");
    QTest::addColumn<QByteArray>("file"); // unscrambled
    QTest::addColumn<QByteArray>("loaded"); // code, seat and record counts, window height
    // Files of a few MB that inflate to gigabytes, more than the child may hold: a data file loads as
    // missing and leaves the others; the settings file loads its first value, which ends early.
    QTest::newRow("code.dat of 2 GiB") << QStringLiteral("data.code") << InflatingStream(QByteArray(), '\0', 2048)
                                      << QByteArray("0 3 8 700");
    QTest::newRow("lhb.dat of 2 GiB") << QStringLiteral("data.lhb") << InflatingStream(QByteArray(), '\7', 2048)
                                     << QByteArray("3 3 0 700");
    QTest::newRow("settings of 4 GiB") << QStringLiteral("app.run")
                                      << InflatingStream(R"({"form":{"height":900}})", ' ', 4096) << QByteArray("3 3 8 900");
}

void TestBadInput::inflatingFilesUnderMemoryLimit()
{
    QFETCH(QString, configKey);
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, loaded);
    TFixture fx;
    WriteIntact(fx);
    TMemoryStream bytes(file);
    if (configKey.startsWith(u"data."))
        Pub.Scramble(bytes, fx.Key());
    QVERIFY(WriteBytes(NativePath(Json.S(configKey)), bytes.Data));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString asan = env.value(QStringLiteral("ASAN_OPTIONS"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), asan + QStringLiteral(":allocator_may_return_null=1:max_allocation_size_mb=1024"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-limited"), fx.Dir()});
    QVERIFY(child.waitForFinished(240000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
    QCOMPARE(child.readAllStandardOutput().trimmed(), loaded);
}

void TestBadInput::settingsFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("height"); // run.form.height after loading: 700 is the default
    QTest::addColumn<bool>("emptyRun"); // nothing but the two size defaults
    const QByteArray settings = R"({"form":{"height":900},"lhb":{"attention":[1,2]}})";
    const QByteArray packed = Compressed(settings);

    QTest::newRow("intact") << packed << 900 << false;
    QTest::newRow("empty file") << QByteArray() << 700 << true;
    QTest::newRow("one byte") << packed.left(1) << 700 << true;
    QTest::newRow("not zlib: plain JSON") << settings << 700 << true;
    QByteArray corrupt = packed;
    for (qsizetype i = 2; i < corrupt.size() - 4; ++i)
        corrupt[i] = char(corrupt[i] ^ 0x5A);
    QTest::newRow("corrupt zlib data") << corrupt << 700 << true;
    QByteArray badCheck = packed;
    badCheck[badCheck.size() - 1] = char(badCheck[badCheck.size() - 1] ^ 1);
    QTest::newRow("wrong check value") << badCheck << 700 << true;
    QTest::newRow("zlib cut inside the JSON") << Compressed(settings.left(20)) << 700 << true;
    QTest::newRow("bytes after the zlib end") << packed + Random(1000, 5) << 900 << false;
    QTest::newRow("bytes after the JSON value") << Compressed(settings + "}]garbage\0\xff") << 900 << false;
    QTest::newRow("JSON array") << Compressed("[1,2,{\"form\":{\"height\":900}}]") << 700 << true;
    QTest::newRow("JSON string") << Compressed("\"form\"") << 700 << true;
    QTest::newRow("JSON number") << Compressed("900") << 700 << true;
    QTest::newRow("JSON null") << Compressed("null") << 700 << true;
    QTest::newRow("invalid JSON") << Compressed("{\"form\":{\"height\":900,}}") << 700 << true;
    const int deep = 100000;
    QTest::newRow("100,000 nested objects") << Compressed(QByteArray("{\"a\":").repeated(deep) + "1" + QByteArray(deep, '}')) << 700 << true;
    QTest::newRow("100,000 nested arrays") << Compressed("{\"form\":" + QByteArray(deep, '[') + QByteArray(deep, ']') + "}") << 700 << true;
    QTest::newRow("50 MB of random bytes") << Random(50 << 20, 11) << 700 << true;
    QTest::newRow("50 MB: stream, then bytes") << packed + Random(50 << 20, 13) << 900 << false;
    // Streams that inflate to 1 GiB: the value is read from the first part, or not at all when it does not end.
    QTest::newRow("1 GiB of blanks after the value") << InflatingStream(settings, ' ', 1024) << 900 << false;
    QTest::newRow("1 GiB value that never ends") << InflatingStream("{\"form\":\"", 'x', 1024) << 700 << true;
    const QString wide = QStringLiteral("{\"form\":{\"height\":900},\"名\":\"中\"}");
    const QByteArray utf16 = QByteArray("\xff\xfe", 2)
        + QByteArray(reinterpret_cast<const char *>(wide.utf16()), wide.size() * 2);
    QTest::newRow("FF FE, UTF-16LE") << Compressed(utf16) << 900 << false;
    QTest::newRow("FF FE, UTF-16LE and an odd byte") << Compressed(utf16 + "\x7b") << 900 << false;
    QTest::newRow("FF FE, odd bytes") << Compressed(QByteArray("\xff\xfe\x7b\x00\x22", 5)) << 700 << true;
    QTest::newRow("FF FE, a lone surrogate") << Compressed(QByteArray("\xff\xfe{\0\"\0\x00\xd8\"\0:\0" "1\0}\0", 16)) << 700 << false;
    QTest::newRow("FF FE alone") << Compressed("\xff\xfe") << 700 << true;
}

void TestBadInput::settingsFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, height);
    QFETCH(bool, emptyRun);
    TFixture fx;
    QVERIFY(WriteBytes(NativePath(Json.S(QStringLiteral("app.run"))), bytes));
    Json.Run["run"] = JsonValue::array({1}); // whatever was there is replaced
    LoadRunSubtree(Json);
    const JsonValue *run = Json.O(QStringLiteral("run"));
    QVERIFY(run && run->is_object());
    QCOMPARE(Json.I(QStringLiteral("run.form.height")), qint64(height));
    QVERIFY(Json.I(QStringLiteral("run.form.width")) == 1000);
    QCOMPARE(run->size() == 1 && run->contains("form") && run->at("form").size() == 2, emptyRun);
    // The built-in tree is untouched, and what was loaded saves again.
    QCOMPARE(Json.S(QStringLiteral("app.pass")), QStringLiteral("Kx7Qm2Vt9Lr4Wz8N"));
    QVERIFY(SaveRunSubtree(Json));
    const JsonValue saved = Json.LoadJson(Json.S(QStringLiteral("app.run")), true, QString());
    QVERIFY(saved == *run);
}

void TestBadInput::holdings_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<int>("fill");
    QTest::addColumn<int>("rows"); // the grid's row count after a successful fill
    QTest::addColumn<QString>("cell"); // cell 1 of row 1

    const int failed = int(THoldingsFill::Failed), empty = int(THoldingsFill::Empty), filled = int(THoldingsFill::Filled);
    QTest::newRow("empty") << QString() << failed << 0 << QString();
    QTest::newRow("no object") << QStringLiteral("<html>502 Bad Gateway</html>") << failed << 0 << QString();
    QTest::newRow("closing brace first") << QStringLiteral("}{\"data\":[\"1,2\"]}") << failed << 0 << QString();
    QTest::newRow("cut short") << QStringLiteral("{\"data\":[\"1,600000,X\",\"2,0000") << failed << 0 << QString();
    QTest::newRow("brace inside a row") << QStringLiteral("{\"data\":[\"1,a}b\"]}") << failed << 0 << QString();
    QTest::newRow("nested object") << QStringLiteral("{\"data\":[{\"a\":1}]}") << failed << 0 << QString();
    QTest::newRow("not JSON") << QStringLiteral("{data:[1,2]}") << failed << 0 << QString();
    QTest::newRow("100,000 nested arrays")
        << QStringLiteral("{\"data\":") + QString(100000, u'[') + QString(100000, u']') + u'}' << failed << 0 << QString();
    QString many = QStringLiteral("{\"data\":[");
    for (int i = 0; i < HoldingsMaxRows + 1; ++i)
        many += QStringLiteral("1,");
    many += QStringLiteral("1]}");
    QTest::newRow("more rows than the limit") << many << failed << 0 << QString();
    QTest::newRow("data not an array") << QStringLiteral("{\"data\":\"1,2\"}") << empty << 0 << QString();
    QTest::newRow("data empty") << QStringLiteral("{\"data\":[]}") << empty << 0 << QString();
    QTest::newRow("no data") << QStringLiteral("{\"rows\":[\"1,2\"]}") << empty << 0 << QString();
    QTest::newRow("numbers and nulls")
        << QStringLiteral("{\"data\":[12.5,null,true,[1,\"x\"]]}") << filled << 5 << QString();
    QTest::newRow("NUL characters")
        << QStringLiteral("{\"data\":[\"1,60\\u00000,X\"]}") << filled << 2 << QStringLiteral("60") + QChar(u'\0') + u'0';
    QTest::newRow("lone surrogate")
        << QStringLiteral("{\"data\":[\"1,") + QChar(0xD800) + QStringLiteral(",X\"]}") << filled << 2 << QString();
    QTest::newRow("escaped lone surrogate") << QStringLiteral("{\"data\":[\"1,\\ud800,X\"]}") << failed << 0 << QString();
    QTest::newRow("quote never closed") << QStringLiteral("{\"data\":[\"1,\\\"600000,X\"]}") << filled << 2 << QStringLiteral("600000,X");
    QTest::newRow("BOM and trailing line break")
        << QStringLiteral("\ufeff{\"data\":[\"1,600000,X\"]}\r\n") << filled << 2 << QStringLiteral("600000");
}

void TestBadInput::holdings()
{
    QFETCH(QString, response);
    QFETCH(int, fill);
    QFETCH(int, rows);
    QFETCH(QString, cell);
    TStringGrid grid;
    ClearGrid(grid, 8, 0);
    grid.SetRowText(0, HoldingsRankingCaptions());
    QCOMPARE(int(FillHoldings(response, grid)), fill);
    if (fill == int(THoldingsFill::Filled)) {
        QCOMPARE(grid.RowCount(), rows);
        if (!cell.isNull())
            QCOMPARE(grid.Cell(1, 1), cell);
    } else {
        // Nothing was filled: the grid keeps its header and one empty row.
        QCOMPARE(grid.RowCount(), 2);
        QCOMPARE(grid.Cell(0, 1), QString());
    }
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--load-limited") == 0)
        return LoadUnderMemoryLimit(argv[2]);
    QCoreApplication app(argc, argv);
    TestBadInput tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_badinput.moc"
