// The stream encodings (zlib compression, the XOR scramble) and the folder creation for files.
#include "app/MV_Pub.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

namespace {

// Reference compression through zlib's one-shot call, which uses level 6, window 15, memory level 8.
QByteArray ZlibCompress(const QByteArray &plain)
{
    uLongf size = compressBound(uLong(plain.size()));
    QByteArray out(qsizetype(size), '\0');
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(plain.constData()),
                  uLong(plain.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        return QByteArray();
    out.resize(qsizetype(size));
    return out;
}

QByteArray RandomBytes(qsizetype n, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        out[i] = char(gen.bounded(256));
    return out;
}

// Several megabytes of text that compresses well, with random stretches that do not.
QByteArray LargeBuffer()
{
    QByteArray out;
    for (int i = 0; i < 60000; ++i) {
        out += "line " + QByteArray::number(i) + " of the daily disclosure records,";
        if (i % 100 == 0)
            out += RandomBytes(300, quint32(i));
    }
    return out;
}

QString Units(std::initializer_list<char16_t> units)
{
    QString s;
    for (char16_t u : units)
        s.append(QChar(u));
    return s;
}

} // namespace

class TestStreams : public QObject
{
    Q_OBJECT

private slots:
    void streamWritesAndReadsAtItsPosition();
    void scramble_data();
    void scramble();
    void scrambleTwiceRestores();
    void asciiKeyChangesOnlyTheFirstByteOfEachGroup();

    void roundTrip_data();
    void roundTrip();
    void compressWritesFromTheDestPosition();
    void decompressWritesAtTheDestPosition_data();
    void decompressWritesAtTheDestPosition();
    void decompressFailures_data();
    void decompressFailures();
    void decompressCutShort_data();
    void decompressCutShort();
    void decompressIgnoresBytesAfterTheStream();

    void ensureFileDir_data();
    void ensureFileDir();
};

void TestStreams::streamWritesAndReadsAtItsPosition()
{
    TMemoryStream stream(QByteArray("abcdef"));
    stream.Seek(4);
    stream.Write("XYZ", 3);
    QCOMPARE(stream.Data, QByteArray("abcdXYZ"));
    QCOMPARE(stream.Position, 7);
    // Writing after a seek past the end leaves zero bytes in the gap.
    stream.Seek(10);
    stream.Write("!", 1);
    QCOMPARE(stream.Data, QByteArray("abcdXYZ\0\0\0!", 11));
    char buf[8] = {};
    stream.Seek(9);
    QCOMPARE(stream.Read(buf, 8), 2);
    QCOMPARE(QByteArray(buf, 2), QByteArray("\0!", 2));
    QCOMPARE(stream.Read(buf, 8), 0);
    stream.Seek(50);
    QCOMPARE(stream.Read(buf, 8), 0);
    QCOMPARE(stream.Size(), 11);
}

void TestStreams::scramble_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty stream") << QByteArray() << QStringLiteral("AB") << QByteArray();
    // Bytes 0 and 1 take both halves of the first unit, byte 4 the low half of the second.
    QTest::newRow("five bytes") << QByteArray::fromHex("1122334455") << Units({0x1234, 0x0056})
                                << QByteArray::fromHex("2530334403");
    QTest::newRow("six bytes: a two-byte last group") << QByteArray::fromHex("000000000000")
                                                      << Units({0x0001, 0xABCD})
                                                      << QByteArray::fromHex("01000000cdab");
    QTest::newRow("one-unit key: every group") << QByteArray(12, '\0') << QStringLiteral("Z")
                                               << QByteArray::fromHex("5a0000005a0000005a000000");
    QTest::newRow("offset 4L takes the first unit again") << QByteArray(16, '\0') << QStringLiteral("abc")
                                                          << QByteArray::fromHex("61000000620000006300000061000000");
    QTest::newRow("unit above 255 changes two bytes") << QByteArray::fromHex("ffffffff") << QStringLiteral("中")
                                                      << QByteArray::fromHex("d2b1ffff");
    QTest::newRow("surrogate pair is two units") << QByteArray(8, '\0') << QStringLiteral("😀")
                                                 << QByteArray::fromHex("3dd8000000de0000");
}

void TestStreams::scramble()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, key);
    QFETCH(QByteArray, expected);
    TMemoryStream stream(input);
    stream.Seek(stream.Size());
    Pub.Scramble(stream, key);
    QCOMPARE(stream.Data.toHex(), expected.toHex());
    QCOMPARE(stream.Position, 0);
}

void TestStreams::scrambleTwiceRestores()
{
    const QStringList keys{QStringLiteral("Kx7Qm2Vt9Lr4Wz8N"), QStringLiteral("x"), QStringLiteral("龙虎榜"),
                           Units({0xFFFF, 0x0000, 0x0100})};
    for (const QString &key : keys) {
        for (qsizetype n : {qsizetype(0), qsizetype(1), qsizetype(3), qsizetype(4), qsizetype(7), qsizetype(1001)}) {
            const QByteArray original = RandomBytes(n, quint32(n));
            TMemoryStream stream(original);
            Pub.Scramble(stream, key);
            if (n >= 4)
                QVERIFY2(stream.Data != original, qPrintable(key));
            Pub.Scramble(stream, key);
            QCOMPARE(stream.Data, original);
            QCOMPARE(stream.Size(), n);
        }
    }
}

void TestStreams::asciiKeyChangesOnlyTheFirstByteOfEachGroup()
{
    const QString key = QStringLiteral("Kx7Qm2Vt9Lr4Wz8N");
    const QByteArray original = RandomBytes(4 * 40 + 3, 7);
    TMemoryStream stream(original);
    Pub.Scramble(stream, key);
    for (qsizetype i = 0; i < original.size(); ++i) {
        const char expected = i % 4 == 0 ? char(original[i] ^ key.at((i / 4) % key.size()).unicode()) : original[i];
        QVERIFY2(stream.Data[i] == expected, qPrintable(QStringLiteral("byte %1").arg(i)));
    }
}

void TestStreams::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << QByteArray(R"({"form":{"height":900,"width":"1000"}})");
    QTest::newRow("random bytes") << RandomBytes(70000, 1);
    QTest::newRow("several megabytes") << LargeBuffer();
}

void TestStreams::roundTrip()
{
    QFETCH(QByteArray, plain);
    TMemoryStream source(plain);
    source.Seek(plain.size() / 2); // Compress reads the source from its start whatever its position
    TMemoryStream packed;
    QVERIFY(Pub.Compress(source, packed));
    QCOMPARE(packed.Position, packed.Size());
    // Same parameters as zlib's defaults, so the same bytes.
    QVERIFY(packed.Data == ZlibCompress(plain));
    QCOMPARE(packed.Data.left(2).toHex(), QByteArray("789c"));

    TMemoryStream unpacked;
    QVERIFY(Pub.Decompress(packed, unpacked));
    QCOMPARE(unpacked.Position, 0);
    QCOMPARE(unpacked.Size(), plain.size());
    QVERIFY(unpacked.Data == plain);
}

void TestStreams::compressWritesFromTheDestPosition()
{
    const QByteArray plain("settings");
    TMemoryStream source(plain);
    TMemoryStream dest(QByteArray("HEAD+tail"));
    dest.Seek(4);
    QVERIFY(Pub.Compress(source, dest));
    const QByteArray packed = ZlibCompress(plain);
    QVERIFY(dest.Data == "HEAD" + packed);
    QCOMPARE(dest.Position, 4 + packed.size());
}

void TestStreams::decompressWritesAtTheDestPosition_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<int>("position");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("appended at the end") << QByteArray("abc") << 3 << QByteArray("abcAB");
    QTest::newRow("over the middle") << QByteArray("0123456789") << 2 << QByteArray("01AB456789");
    QTest::newRow("over the tail, growing") << QByteArray("xyz") << 2 << QByteArray("xyAB");
}

void TestStreams::decompressWritesAtTheDestPosition()
{
    QFETCH(QByteArray, initial);
    QFETCH(int, position);
    QFETCH(QByteArray, expected);
    TMemoryStream source(ZlibCompress("AB"));
    TMemoryStream dest(initial);
    dest.Seek(position);
    QVERIFY(Pub.Decompress(source, dest));
    QCOMPARE(dest.Data, expected);
    QCOMPARE(dest.Position, 0);
}

void TestStreams::decompressFailures_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("written"); // what stays in Dest after the failure
    const QByteArray plain = "the settings of the run subtree";
    const QByteArray packed = ZlibCompress(plain);
    QByteArray badCheck = packed;
    badCheck[badCheck.size() - 1] = char(badCheck[badCheck.size() - 1] ^ 0x01);

    QTest::newRow("plain JSON") << QByteArray(R"({"form":{"height":900}})") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("one header byte") << QByteArray::fromHex("78") << QByteArray();
    QTest::newRow("header check fails") << QByteArray::fromHex("7800") + packed.mid(2) << QByteArray();
    QTest::newRow("not deflate") << QByteArray::fromHex("7a9c") + packed.mid(2) << QByteArray();
    QTest::newRow("preset dictionary") << QByteArray::fromHex("78bb") + QByteArray(8, '\0') << QByteArray();
    QTest::newRow("reserved block type") << QByteArray::fromHex("789cff0000") << QByteArray();
    QTest::newRow("wrong check value") << badCheck << plain;
    QTest::newRow("raw deflate without header") << packed.mid(2) << QByteArray();
}

void TestStreams::decompressFailures()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, written);
    TMemoryStream src(source);
    TMemoryStream dest;
    QVERIFY(!Pub.Decompress(src, dest));
    QCOMPARE(dest.Data, written);
    QCOMPARE(dest.Position, dest.Size()); // not rewound after a failure
}

void TestStreams::decompressCutShort_data()
{
    QTest::addColumn<int>("cut"); // bytes removed from the end of the stream
    QTest::newRow("check value missing") << 4;
    QTest::newRow("half the stream missing") << -2;
    QTest::newRow("only the header left") << -1;
}

void TestStreams::decompressCutShort()
{
    QFETCH(int, cut);
    const QByteArray plain = RandomBytes(100000, 3);
    const QByteArray packed = ZlibCompress(plain);
    const qsizetype keep = cut == -1 ? 2 : cut == -2 ? packed.size() / 2 : packed.size() - cut;
    TMemoryStream src(packed.left(keep));
    TMemoryStream dest;
    QVERIFY(Pub.Decompress(src, dest));
    QCOMPARE(dest.Position, 0);
    QVERIFY(plain.startsWith(dest.Data));
    if (cut == 4)
        QCOMPARE(dest.Size(), plain.size());
    else if (cut == -2)
        QVERIFY(dest.Size() > plain.size() / 4 && dest.Size() < plain.size());
    else
        QCOMPARE(dest.Size(), 0);
}

void TestStreams::decompressIgnoresBytesAfterTheStream()
{
    const QByteArray plain = LargeBuffer().left(50000);
    TMemoryStream src(ZlibCompress(plain) + QByteArray("trailing bytes that are not zlib") + ZlibCompress("second"));
    TMemoryStream dest;
    QVERIFY(Pub.Decompress(src, dest));
    QVERIFY(dest.Data == plain);
    QCOMPARE(dest.Position, 0);
}

void TestStreams::ensureFileDir_data()
{
    QTest::addColumn<QString>("filePath");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("folder"); // relative to the working directory; empty: nothing created there
    QTest::newRow("settings file") << QStringLiteral(".\\Setting\\Run.dat") << true << QStringLiteral("Setting");
    QTest::newRow("nested missing folders") << QStringLiteral(".\\a\\b\\c\\Run.dat") << true
                                            << QStringLiteral("a/b/c");
    QTest::newRow("without the leading dot") << QStringLiteral("Setting\\Run.dat") << true << QStringLiteral("Setting");
    QTest::newRow("existing folder") << QStringLiteral(".\\exists\\Run.dat") << true << QStringLiteral("exists");
    QTest::newRow("no folder part: the program's folder") << QStringLiteral("Run.dat") << true << QString();
    QTest::newRow("colon inside a name is no drive") << QStringLiteral("12:30.dat") << true << QString();
    QTest::newRow("under a regular file") << QStringLiteral(".\\blocker\\sub\\Run.dat") << false << QString();
}

void TestStreams::ensureFileDir()
{
    QFETCH(QString, filePath);
    QFETCH(bool, result);
    QFETCH(QString, folder);
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(tmp.path()));
    QVERIFY(QDir().mkdir(QStringLiteral("exists")));
    QFile blocker(QStringLiteral("blocker"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    const bool ok = Pub.EnsureFileDir(filePath);
    const QStringList entries = QDir().entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QDir::setCurrent(oldCwd);

    QCOMPARE(ok, result);
    if (!folder.isEmpty()) {
        QVERIFY(QFileInfo(tmp.filePath(folder)).isDir());
    } else {
        QCOMPARE(entries, QStringList({QStringLiteral("blocker"), QStringLiteral("exists")}));
        QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("blocker"))).isFile());
    }
}

QTEST_GUILESS_MAIN(TestStreams)
#include "tst_streams.moc"
