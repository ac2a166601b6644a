// The configuration tree: its reading and writing rules, the built-in values, and the settings file.
#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <zlib.h>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Makes a fresh temporary folder the working directory while it lives, as the program resolves its paths there.
class TWorkDir
{
public:
    TWorkDir() : m_old(QDir::currentPath()) { QDir::setCurrent(m_dir.path()); }
    ~TWorkDir() { QDir::setCurrent(m_old); }
    QString File(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_old;
};

QByteArray Zlib(const QByteArray &plain)
{
    uLongf size = compressBound(uLong(plain.size()));
    QByteArray out(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(plain.constData()),
              uLong(plain.size()), Z_DEFAULT_COMPRESSION);
    out.resize(qsizetype(size));
    return out;
}

QByteArray Unzlib(const QByteArray &packed)
{
    TMemoryStream src(packed), dst;
    return Pub.Decompress(src, dst) ? dst.Data : QByteArray("<not zlib>");
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

QByteArray Utf16Le(const QString &s)
{
    QByteArray out("\xFF\xFE");
    for (QChar c : s) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

JsonValue Parse(const char *text)
{
    return JsonValue::parse(text);
}

// Compact UTF-8 text of a tree, order included, for comparisons.
QString Dump(const JsonValue &v)
{
    return QString::fromStdString(v.dump());
}

QStringList Entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void readingByPath_data();
    void readingByPath();
    void writing_data();
    void writing();
    void setDefault_data();
    void setDefault();

    void defaultTree();
    void defaultTreeIsRebuiltAndLeavesRunAlone();

    void savedTextIsCompactAscii();
    void otherSaveModesRoundTrip();
    void loading_data();
    void loading();
    void deeplyNestedFileIsRefused();
    void missingOrUnreadableFileGivesEmptyObject();
    void runSubtree_data();
    void runSubtree();
    void settingsObjectsLandUnderRun();

    void saveToUncreatableFolderFails();
    void saveOfScalarFails();
    void saveOverFolderFails();
    void failedWriteKeepsThePreviousFile();
};

void TestConfig::reading_data()
{
    QTest::addColumn<QByteArray>("stored"); // JSON text stored at "v"; empty: nothing stored
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("integer");
    QTest::addColumn<bool>("boolean");
    QTest::addColumn<double>("floating");
    QTest::newRow("nothing stored") << QByteArray() << QString() << qint64(0) << false << 0.0;
    QTest::newRow("null") << QByteArray("null") << QString() << qint64(0) << false << 0.0;
    QTest::newRow("text abc") << QByteArray(R"("abc")") << QStringLiteral("abc") << qint64(0) << true << 0.0;
    QTest::newRow("text 700") << QByteArray(R"("700")") << QStringLiteral("700") << qint64(700) << true << 700.0;
    QTest::newRow("text -12") << QByteArray(R"("-12")") << QStringLiteral("-12") << qint64(-12) << true << -12.0;
    QTest::newRow("text 2.5 is no integer") << QByteArray(R"("2.5")") << QStringLiteral("2.5") << qint64(0) << true
                                            << 2.5;
    QTest::newRow("text too large") << QByteArray(R"("99999999999999999999")") << QStringLiteral("99999999999999999999")
                                    << qint64(0) << true << 1e20;
    QTest::newRow("empty text") << QByteArray(R"("")") << QString() << qint64(0) << false << 0.0;
    QTest::newRow("Chinese text") << QByteArray(R"("\u9f99\u864e\u699c")") << QStringLiteral("龙虎榜") << qint64(0)
                                  << true << 0.0;
    QTest::newRow("integer") << QByteArray("42") << QStringLiteral("42") << qint64(42) << true << 42.0;
    QTest::newRow("integer zero") << QByteArray("0") << QStringLiteral("0") << qint64(0) << false << 0.0;
    QTest::newRow("negative integer") << QByteArray("-7") << QStringLiteral("-7") << qint64(-7) << true << -7.0;
    QTest::newRow("largest integer") << QByteArray("9223372036854775807") << QStringLiteral("9223372036854775807")
                                     << qint64(9223372036854775807LL) << true << 9223372036854775807.0;
    QTest::newRow("integer above 2^63") << QByteArray("18446744073709551615")
                                        << QStringLiteral("18446744073709551615") << qint64(0) << true
                                        << 18446744073709551615.0;
    QTest::newRow("2.5 rounds to 2") << QByteArray("2.5") << QStringLiteral("2.5") << qint64(2) << true << 2.5;
    QTest::newRow("3.5 rounds to 4") << QByteArray("3.5") << QStringLiteral("3.5") << qint64(4) << true << 3.5;
    QTest::newRow("-2.5 rounds to -2") << QByteArray("-2.5") << QStringLiteral("-2.5") << qint64(-2) << true << -2.5;
    QTest::newRow("-3.5 rounds to -4") << QByteArray("-3.5") << QStringLiteral("-3.5") << qint64(-4) << true << -3.5;
    QTest::newRow("2.6 rounds to 3") << QByteArray("2.6") << QStringLiteral("2.6") << qint64(3) << true << 2.6;
    QTest::newRow("0.1 reads as its shortest text") << QByteArray("0.1") << QStringLiteral("0.1") << qint64(0) << true
                                                    << 0.1;
    QTest::newRow("float zero") << QByteArray("0.0") << QStringLiteral("0") << qint64(0) << false << 0.0;
    QTest::newRow("float beyond integers") << QByteArray("1e300") << QStringLiteral("1e+300") << qint64(0) << true
                                           << 1e300;
    QTest::newRow("true") << QByteArray("true") << QStringLiteral("true") << qint64(1) << true << 1.0;
    QTest::newRow("false") << QByteArray("false") << QStringLiteral("false") << qint64(0) << false << 0.0;
    QTest::newRow("object") << QByteArray(R"({"a":1})") << QString() << qint64(0) << true << 0.0;
    QTest::newRow("empty array") << QByteArray("[]") << QString() << qint64(0) << true << 0.0;
}

void TestConfig::reading()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    QFETCH(qint64, integer);
    QFETCH(bool, boolean);
    QFETCH(double, floating);
    TMVJson json;
    if (!stored.isEmpty())
        json.Run["v"] = JsonValue::parse(stored.toStdString());
    QCOMPARE(json.S(QStringLiteral("v")), text);
    QCOMPARE(json.I(QStringLiteral("v")), integer);
    QCOMPARE(json.B(QStringLiteral("v")), boolean);
    QCOMPARE(json.F(QStringLiteral("v")), floating);
    QCOMPARE(json.O(QStringLiteral("v")) != nullptr, !stored.isEmpty());
    QCOMPARE(JsonPath::Probe(json.Run, QStringLiteral("v")).is_null(), stored.isEmpty() || stored == "null");
}

void TestConfig::readingByPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::newRow("three levels") << QStringLiteral("run.form.height") << QStringLiteral("700") << true;
    QTest::newRow("an object") << QStringLiteral("run.form") << QString() << true;
    QTest::newRow("below a text") << QStringLiteral("run.form.height.more") << QString() << false;
    QTest::newRow("below a top-level text") << QStringLiteral("x.y") << QString() << false;
    QTest::newRow("missing middle") << QStringLiteral("run.missing.height") << QString() << false;
    QTest::newRow("empty path") << QString() << QString() << false;
    QTest::newRow("trailing dot") << QStringLiteral("run.") << QString() << false;
    QTest::newRow("case matters") << QStringLiteral("Run.form.height") << QString() << false;
}

void TestConfig::readingByPath()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(bool, found);
    TMVJson json;
    json.Run = Parse(R"({"run":{"form":{"height":"700"}},"x":"scalar"})");
    QCOMPARE(json.S(path), text);
    QCOMPARE(json.O(path) != nullptr, found);
}

void TestConfig::writing_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("creates missing objects") << QByteArray("{}") << QStringLiteral("data.sh.day") << QByteArray(R"("d")")
                                             << QByteArray(R"({"data":{"sh":{"day":"d"}}})");
    QTest::newRow("through a text") << QByteArray(R"({"a":"x"})") << QStringLiteral("a.b") << QByteArray("1")
                                    << QByteArray(R"({"a":{"b":1}})");
    QTest::newRow("through an array") << QByteArray(R"({"a":[1,2]})") << QStringLiteral("a.b") << QByteArray("1")
                                      << QByteArray(R"({"a":{"b":1}})");
    QTest::newRow("through null") << QByteArray(R"({"a":null})") << QStringLiteral("a.b.c") << QByteArray("true")
                                  << QByteArray(R"({"a":{"b":{"c":true}}})");
    QTest::newRow("replaces in place, siblings kept")
        << QByteArray(R"({"a":{"b":1,"c":2},"d":3})") << QStringLiteral("a.b") << QByteArray(R"("t")")
        << QByteArray(R"({"a":{"b":"t","c":2},"d":3})");
    QTest::newRow("new keys go last") << QByteArray(R"({"z":1})") << QStringLiteral("a") << QByteArray("2.5")
                                      << QByteArray(R"({"z":1,"a":2.5})");
    QTest::newRow("an object value") << QByteArray("{}") << QStringLiteral("run.lhb.filter")
                                     << QByteArray(R"({"1":{"0":true}})")
                                     << QByteArray(R"({"run":{"lhb":{"filter":{"1":{"0":true}}}}})");
    QTest::newRow("empty path changes nothing") << QByteArray(R"({"a":1})") << QString() << QByteArray("5")
                                                << QByteArray(R"({"a":1})");
    QTest::newRow("an array root is not replaced") << QByteArray("[1]") << QStringLiteral("a") << QByteArray("2")
                                                   << QByteArray("[1]");
}

void TestConfig::writing()
{
    QFETCH(QByteArray, initial);
    QFETCH(QString, path);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, expected);
    JsonValue tree = JsonValue::parse(initial.toStdString());
    JsonPath::Write(tree, path, JsonValue::parse(value.toStdString()));
    QCOMPARE(Dump(tree), QString::fromLatin1(expected));
}

void TestConfig::setDefault_data()
{
    QTest::addColumn<QByteArray>("initial");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("absent: stored as text") << QByteArray("{}") << QByteArray(R"({"form":{"height":"700"}})");
    QTest::newRow("null: stored as text") << QByteArray(R"({"form":{"height":null,"width":1}})")
                                          << QByteArray(R"({"form":{"height":"700","width":1}})");
    QTest::newRow("integer kept") << QByteArray(R"({"form":{"height":900}})")
                                  << QByteArray(R"({"form":{"height":900}})");
    QTest::newRow("zero kept") << QByteArray(R"({"form":{"height":0}})") << QByteArray(R"({"form":{"height":0}})");
    QTest::newRow("empty text kept") << QByteArray(R"({"form":{"height":""}})")
                                     << QByteArray(R"({"form":{"height":""}})");
    QTest::newRow("false kept") << QByteArray(R"({"form":{"height":false}})")
                                << QByteArray(R"({"form":{"height":false}})");
    QTest::newRow("below a text") << QByteArray(R"({"form":"x"})") << QByteArray(R"({"form":{"height":"700"}})");
}

void TestConfig::setDefault()
{
    QFETCH(QByteArray, initial);
    QFETCH(QByteArray, expected);
    JsonValue tree = JsonValue::parse(initial.toStdString());
    Json.SetDefault(tree, QStringLiteral("form.height"), QStringLiteral("700"));
    QCOMPARE(Dump(tree), QString::fromLatin1(expected));
}

void TestConfig::defaultTree()
{
    TMVJson json;
    BuildDefaultTree(json);
    // Every key and its value, in the order they are built.
    const char *expected = R"({"app":{"caption":"Morvane","title":"Morvane Client","pass":"Kx7Qm2Vt9Lr4Wz8N",)"
        R"("ver":"1.2.3.12","down":".\\Download.exe","run":".\\Setting\\Run.dat"},)"
        R"("data":{"path":".\\Data\\","sh":{"day":".\\Data\\国内股票-上证证券\\day\\"},)"
        R"("sz":{"day":".\\Data\\国内股票-深证证券\\day\\"},"code":".\\Data\\code.dat",)"
        R"("finance":".\\Data\\finance.dat","lhb":".\\Data\\lhb.dat","yyb":".\\Data\\yyb.dat"},)"
        R"("msg":{"tel":"400-000-0000","url":"http://127.0.0.1:8610/","developing":"功能开发中……",)"
        R"("error":"发生错误，请与客服联系：400-000-0000",)"
        R"("exist":"缺少文件，请重新下载安装！\r\nhttp://127.0.0.1:8610/","search":"查找无结果！",)"
        R"("timeout":"访问超时，请稍候再试……"},)"
        R"("upd":{"bat":".\\Setting\\Update.bat","client":".\\Setting\\Client.upd","down":".\\Setting\\Download.upd"},)"
        R"("url":{"go":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb",)"
        R"("help":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=help",)"
        R"("login":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=login",)"
        R"("ggcg":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=%s&r=%s",)"
        R"("report":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=report",)"
        R"("update":"http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=update"}})";
    QCOMPARE(Dump(json.Run), QString::fromUtf8(expected));
    QCOMPARE(json.S(QStringLiteral("msg.exist")).right(24), QStringLiteral("\r\nhttp://127.0.0.1:8610/"));
    QVERIFY(json.S(QStringLiteral("data.ggcg")).isEmpty());
}

void TestConfig::defaultTreeIsRebuiltAndLeavesRunAlone()
{
    TMVJson json;
    json.Run = Parse(R"({"run":{"form":{"height":900}},"app":{"caption":"Old","extra":1},"url":"broken"})");
    const JsonValue *root = &json.Run;
    BuildDefaultTree(json);
    QCOMPARE(&json.Run, root);
    QCOMPARE(Dump(json.Run["run"]), QStringLiteral(R"({"form":{"height":900}})"));
    QCOMPARE(json.S(QStringLiteral("app.caption")), QStringLiteral("Morvane"));
    QVERIFY(!json.O(QStringLiteral("app.extra")));
    QCOMPARE(json.S(QStringLiteral("url.help")), QStringLiteral("http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=help"));
}

void TestConfig::savedTextIsCompactAscii()
{
    TWorkDir wd;
    const JsonValue tree = Parse(R"({"name":"龙虎榜","emoji":"😀","ctl":"a\tb","n":[1,2.5,-3],"o":{"t":true,"z":null}})");
    QVERIFY(Json.SaveJson(tree, QStringLiteral(".\\Setting\\Run.dat"), QString(), true));
    const QByteArray file = ReadFile(wd.File(QStringLiteral("Setting/Run.dat")));
    QCOMPARE(file.left(2).toHex(), QByteArray("789c"));
    QCOMPARE(Unzlib(file),
             QByteArray(R"({"name":"\u9f99\u864e\u699c","emoji":"\ud83d\ude00","ctl":"a\tb","n":[1,2.5,-3],)"
                        R"("o":{"t":true,"z":null}})"));
    const JsonValue back = Json.LoadJson(QStringLiteral(".\\Setting\\Run.dat"), true, QString());
    QCOMPARE(Dump(back), Dump(tree));
}

void TestConfig::otherSaveModesRoundTrip()
{
    TWorkDir wd;
    const JsonValue tree = Parse(R"({"a":{"b":"中文"},"c":[1,2]})");
    const QString key = QStringLiteral("Kx7Qm2Vt9Lr4Wz8N");

    // Indented, uncompressed: still pure ASCII.
    QVERIFY(Json.SaveJson(tree, QStringLiteral("plain.json"), QString(), false));
    const QByteArray plain = ReadFile(wd.File(QStringLiteral("plain.json")));
    QVERIFY(plain.contains("\n  \"a\": {"));
    QVERIFY(plain.contains(R"("\u4e2d\u6587")"));
    QCOMPARE(Dump(Json.LoadJson(QStringLiteral("plain.json"), false, QString())), Dump(tree));

    for (bool compress : {true, false}) {
        QVERIFY(Json.SaveJson(tree, QStringLiteral("keyed.dat"), key, compress));
        QCOMPARE(Dump(Json.LoadJson(QStringLiteral("keyed.dat"), compress, key)), Dump(tree));
        QCOMPARE(Dump(Json.LoadJson(QStringLiteral("keyed.dat"), compress, QString())), QStringLiteral("{}"));
    }

    QVERIFY(Json.SaveJson(Parse("[1,\"x\"]"), QStringLiteral("array.dat"), QString(), true));
    QCOMPARE(Dump(Json.LoadJson(QStringLiteral("array.dat"), true, QString())), QStringLiteral(R"([1,"x"])"));
}

void TestConfig::loading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("decompress");
    QTest::addColumn<QByteArray>("expected"); // compact ASCII text of the result
    const QByteArray packed = Zlib(R"({"form":{"height":900,"width":1000}})");

    QTest::newRow("zlib object") << packed << true << QByteArray(R"({"form":{"height":900,"width":1000}})");
    QTest::newRow("text after the value") << Zlib(R"({"a":1} trailing, not JSON {)") << true
                                          << QByteArray(R"({"a":1})");
    QTest::newRow("second value ignored") << Zlib("[1][2]") << true << QByteArray("[1]");
    QTest::newRow("bytes are characters, not UTF-8") << Zlib("{\"a\":\"\xE4\xB8\xAD\"}") << true
                                                     << QByteArray(R"({"a":"\u00e4\u00b8\u00ad"})");
    QTest::newRow("FF FE: UTF-16LE") << Zlib(Utf16Le(QStringLiteral("{\"a\":\"中\"} junk"))) << true
                                     << QByteArray(R"({"a":"\u4e2d"})");
    QTest::newRow("FF FE with an odd last byte") << Zlib(Utf16Le(QStringLiteral("[7]")) + "x") << true
                                                 << QByteArray("[7]");
    QTest::newRow("check value missing") << packed.left(packed.size() - 4) << true
                                         << QByteArray(R"({"form":{"height":900,"width":1000}})");
    QTest::newRow("cut inside the JSON") << packed.left(packed.size() / 2) << true << QByteArray("{}");
    QTest::newRow("plain JSON with decompress on") << QByteArray(R"({"form":{"height":900}})") << true
                                                   << QByteArray("{}");
    QTest::newRow("plain JSON with decompress off") << QByteArray(R"({"form":{"height":900}} tail)") << false
                                                    << QByteArray(R"({"form":{"height":900}})");
    QTest::newRow("zlib with decompress off") << packed << false << QByteArray("{}");
    QTest::newRow("corrupt zlib") << QByteArray::fromHex("789cff00000000") << true << QByteArray("{}");
    QTest::newRow("empty file") << QByteArray() << true << QByteArray("{}");
    QTest::newRow("empty text inside") << Zlib("") << true << QByteArray("{}");
    QTest::newRow("invalid JSON") << Zlib(R"({"a":})") << true << QByteArray("{}");
    QTest::newRow("a number") << Zlib("42") << true << QByteArray("{}");
    QTest::newRow("a text") << Zlib(R"("form")") << true << QByteArray("{}");
    QTest::newRow("null") << Zlib("null") << true << QByteArray("{}");
    QTest::newRow("an array") << Zlib(" [1,\"a\"] ") << true << QByteArray(R"([1,"a"])");
}

void TestConfig::loading()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, decompress);
    QFETCH(QByteArray, expected);
    TWorkDir wd;
    QVERIFY(WriteFile(wd.File(QStringLiteral("Run.dat")), file));
    const JsonValue v = Json.LoadJson(wd.File(QStringLiteral("Run.dat")), decompress, QString());
    QCOMPARE(TMVJson::Serialise(v, true), expected);
}

void TestConfig::deeplyNestedFileIsRefused()
{
    TWorkDir wd;
    const int depth = 200000;
    const QByteArray nested = QByteArray(depth, '[') + QByteArray(depth, ']');
    QVERIFY(WriteFile(wd.File(QStringLiteral("Run.dat")), Zlib(nested)));
    const JsonValue v = Json.LoadJson(QStringLiteral("Run.dat"), true, QString());
    QCOMPARE(Dump(v), QStringLiteral("{}"));
    // The program's own nesting is far below the limit.
    const QByteArray modest = QByteArray(100, '[') + QByteArray(100, ']');
    QVERIFY(WriteFile(wd.File(QStringLiteral("Run.dat")), Zlib(modest)));
    QCOMPARE(TMVJson::Serialise(Json.LoadJson(QStringLiteral("Run.dat"), true, QString()), true), modest);
}

void TestConfig::missingOrUnreadableFileGivesEmptyObject()
{
    TWorkDir wd;
    QVERIFY(QDir().mkdir(QStringLiteral("folder")));
    for (const char *name : {"missing.dat", ".\\Setting\\Run.dat", "folder", ""})
        QCOMPARE(Dump(Json.LoadJson(QString::fromLatin1(name), true, QString())), QStringLiteral("{}"));
}

void TestConfig::runSubtree_data()
{
    QTest::addColumn<QByteArray>("json"); // the settings file's JSON; empty: no settings file
    QTest::addColumn<qint64>("height");
    QTest::addColumn<QString>("width");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("no settings file") << QByteArray() << qint64(700) << QStringLiteral("1000")
                                      << QByteArray(R"({"form":{"height":"700","width":"1000"}})");
    QTest::newRow("height only") << QByteArray(R"({"form":{"height":900}})") << qint64(900) << QStringLiteral("1000")
                                 << QByteArray(R"({"form":{"height":900,"width":"1000"}})");
    QTest::newRow("both, and more") << QByteArray(R"({"lhb":{"attention":[3]},"form":{"width":1280,"height":800}})")
                                    << qint64(800) << QStringLiteral("1280")
                                    << QByteArray(R"({"lhb":{"attention":[3]},"form":{"width":1280,"height":800}})");
    QTest::newRow("text height") << QByteArray(R"({"form":{"height":"650"}})") << qint64(650) << QStringLiteral("1000")
                                 << QByteArray(R"({"form":{"height":"650","width":"1000"}})");
    QTest::newRow("null width") << QByteArray(R"({"form":{"height":900,"width":null}})") << qint64(900)
                                << QStringLiteral("1000") << QByteArray(R"({"form":{"height":900,"width":"1000"}})");
    // An array cannot hold the window size: the run subtree starts empty and takes the defaults.
    QTest::newRow("an array") << QByteArray("[900,1000]") << qint64(700) << QStringLiteral("1000")
                              << QByteArray(R"({"form":{"height":"700","width":"1000"}})");
    QTest::newRow("a number") << QByteArray("900") << qint64(700) << QStringLiteral("1000")
                              << QByteArray(R"({"form":{"height":"700","width":"1000"}})");
}

void TestConfig::runSubtree()
{
    QFETCH(QByteArray, json);
    QFETCH(qint64, height);
    QFETCH(QString, width);
    QFETCH(QByteArray, saved);
    TWorkDir wd;
    if (!json.isEmpty()) {
        QVERIFY(QDir().mkdir(QStringLiteral("Setting")));
        QVERIFY(WriteFile(wd.File(QStringLiteral("Setting/Run.dat")), Zlib(json)));
    }
    TMVJson config;
    BuildDefaultTree(config);
    LoadRunSubtree(config);
    QCOMPARE(config.I(QStringLiteral("run.form.height")), height);
    QCOMPARE(config.S(QStringLiteral("run.form.width")), width);
    QVERIFY(SaveRunSubtree(config));
    QCOMPARE(Unzlib(ReadFile(wd.File(QStringLiteral("Setting/Run.dat")))), saved);
}

void TestConfig::settingsObjectsLandUnderRun()
{
    TWorkDir wd;
    QVERIFY(QDir().mkdir(QStringLiteral("Setting")));
    const QByteArray json = R"({"app":{"caption":"Other","run":"elsewhere.dat"},"url":{"go":"http://x/"}})";
    QVERIFY(WriteFile(wd.File(QStringLiteral("Setting/Run.dat")), Zlib(json)));
    TMVJson config;
    BuildDefaultTree(config);
    TMVJson reference;
    BuildDefaultTree(reference);
    LoadRunSubtree(config);
    QCOMPARE(config.S(QStringLiteral("run.app.caption")), QStringLiteral("Other"));
    QCOMPARE(config.S(QStringLiteral("run.url.go")), QStringLiteral("http://x/"));
    config.Run.erase("run");
    QCOMPARE(Dump(config.Run), Dump(reference.Run));
}

void TestConfig::saveToUncreatableFolderFails()
{
    TWorkDir wd;
    QVERIFY(WriteFile(wd.File(QStringLiteral("blocker")), QByteArray()));
    QVERIFY(!Json.SaveJson(Parse(R"({"a":1})"), QStringLiteral(".\\blocker\\sub\\Run.dat"), QString(), true));
    QVERIFY(!Json.SaveJson(Parse(R"({"a":1})"), QStringLiteral(".\\blocker\\sub\\Run.dat"), QString(), false));
    QVERIFY(QFileInfo(wd.File(QStringLiteral("blocker"))).isFile());
    QCOMPARE(Entries(wd.File(QStringLiteral("."))), QStringList{QStringLiteral("blocker")});
}

void TestConfig::saveOfScalarFails()
{
    TWorkDir wd;
    for (const char *scalar : {"42", "\"text\"", "null", "true"}) {
        QVERIFY2(!Json.SaveJson(Parse(scalar), QStringLiteral(".\\Setting\\Run.dat"), QString(), true), scalar);
        QVERIFY(!QFile::exists(wd.File(QStringLiteral("Setting/Run.dat"))));
    }
}

void TestConfig::saveOverFolderFails()
{
    TWorkDir wd;
    QVERIFY(QDir().mkpath(QStringLiteral("Setting/Run.dat")));
    QVERIFY(WriteFile(wd.File(QStringLiteral("Setting/Run.dat/inside")), "kept"));
    QVERIFY(!Json.SaveJson(Parse(R"({"a":1})"), QStringLiteral(".\\Setting\\Run.dat"), QString(), true));
    QCOMPARE(ReadFile(wd.File(QStringLiteral("Setting/Run.dat/inside"))), QByteArray("kept"));
    QCOMPARE(Entries(wd.File(QStringLiteral("Setting"))), QStringList{QStringLiteral("Run.dat")});
}

void TestConfig::failedWriteKeepsThePreviousFile()
{
#ifdef Q_OS_UNIX
    TWorkDir wd;
    const QString name = QStringLiteral(".\\Setting\\Run.dat");
    QVERIFY(Json.SaveJson(Parse(R"({"form":{"height":900,"width":1000}})"), name, QString(), true));
    const QString path = wd.File(QStringLiteral("Setting/Run.dat"));
    const QByteArray before = ReadFile(path);
    QVERIFY(before.size() > 10);

    // A run subtree that compresses to far more than the file-size limit set below.
    JsonValue big = JsonValue::object();
    QRandomGenerator gen(5);
    for (int i = 0; i < 400; ++i)
        big["k" + std::to_string(i)] = std::to_string(gen.generate64()) + std::to_string(gen.generate64());

    // The kernel refuses writes beyond the limit (also for root); the signal it raises is ignored.
    rlimit old{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
    rlimit low = old;
    low.rlim_cur = 1024;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &low) == 0);
    const bool saved = Json.SaveJson(big, name, QString(), true);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!saved);
    QVERIFY(ReadFile(path) == before);
    QCOMPARE(Entries(wd.File(QStringLiteral("Setting"))), QStringList{QStringLiteral("Run.dat")});
    // Without the limit the same save goes through.
    QVERIFY(Json.SaveJson(big, name, QString(), true));
    QCOMPARE(Dump(Json.LoadJson(name, true, QString())), Dump(big));
#else
    QSKIP("needs a per-process file-size limit");
#endif
}

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
