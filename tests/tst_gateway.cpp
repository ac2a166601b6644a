// The service gateway, started in-process on a free loopback port: every route's status, content
// type and body, the holdings lists read the way the client reads them, the passport's sign-in,
// the report page's links in the form the client converts, and the command line of mv-gateway.
#include "Fixture.h"
#include "Gateway.h"

#include "app/Json.h"
#include "data/Dates.h"
#include "data/Stock.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <QSet>

#include <cmath>
#include <memory>

namespace {

struct TAnswer
{
    int Status = 0;
    QByteArray Type;
    QByteArray Body;
    QByteArray SetCookie;
};

const QString Go = QStringLiteral("/MV/SDA/Go.asp?sn=lhb");

QJsonObject Change(const QString &date, const QString &code, const QString &name, const QString &person, double shares,
                   double price, double amount, const QString &reason, const QString &position = QStringLiteral("董事"))
{
    QJsonObject c{{"date", date},     {"code", code},       {"person", person},
                  {"shares", shares}, {"price", price},     {"amount", amount},
                  {"reason", reason}, {"kind", "A股"},      {"executive", person},
                  {"position", position}, {"relation", "本人"}, {"ratio", 0.0123},
                  {"after", 50000}};
    if (!name.isEmpty())
        c.insert(QStringLiteral("name"), name);
    return c;
}

// A small holdings file: two days share a date, one name comes from the quotes only, one stock has
// no quote, one position holds a comma, one reason holds braces, one person starts with a quote,
// and two entries are invalid.
QByteArray HoldingsFixture()
{
    QJsonArray stocks{QJsonObject{{"code", "600001"}, {"name", "甲科技"}, {"price", 12.34}, {"change", 1.5}},
                      QJsonObject{{"code", "000002"}, {"name", "乙银行"}, {"price", 8.8}, {"change", -2.25}},
                      QJsonObject{{"code", "300003"}, {"name", "丙药业"}, {"price", 20}, {"change", 0}}};
    QJsonObject noExtras = Change("2024-03-12", "688004", "丁材料", "赵六", -100, 30, -3000, "二级市场买卖");
    noExtras.remove(QStringLiteral("ratio"));
    noExtras.remove(QStringLiteral("after"));
    QJsonArray changes{
        Change("2024-03-10", "000002", "乙银行", "王强", 1000, 9.5, 9500, "竞价交易"),
        Change("2024-03-15", "600001", "甲科技", "张伟", 1000, 10, 10000, "二级市场买卖", "董事,总经理"),
        Change("2024-03-14", "600001", "甲科技", "李娜", -400, 12.5, -5000, "大宗交易{补充}"),
        Change("2024-03-13", "000002", "乙银行", "王强", -3000, 9, -27000, "竞价交易"),
        Change("2024-03-15", "300003", QString(), "\"小\"明", 200, 20, 4000, "股权激励"),
        noExtras,
        Change("2024-13-01", "600001", "甲科技", "张伟", 100, 10, 1000, "二级市场买卖"),
        Change("2024-03-11", "600001", "甲科技", "张伟", 0.5, 10, 5, "二级市场买卖"),
    };
    return QJsonDocument(QJsonObject{{"stocks", stocks}, {"changes", changes}}).toJson();
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The client's field split: commas only; a field that starts with a double quote runs to its closing
// quote, and a doubled quote inside stands for one.
QStringList SplitFields(const QString &row)
{
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        QString f;
        if (i < row.size() && row.at(i) == u'"') {
            for (++i; i < row.size(); ++i) {
                if (row.at(i) == u'"') {
                    if (i + 1 < row.size() && row.at(i + 1) == u'"') {
                        f += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                f += row.at(i);
            }
            while (i < row.size() && row.at(i) != u',')
                f += row.at(i++);
        } else {
            while (i < row.size() && row.at(i) != u',')
                f += row.at(i++);
        }
        fields << f;
        if (i >= row.size())
            break;
        ++i; // the comma
    }
    return fields;
}

// A holdings response read the way the client reads it: GBK text without " 00:00:00", cut from
// the first "{" to the first "}", parsed, and each "data" element split into fields.
bool ClientRows(const QByteArray &body, QList<QStringList> &rows)
{
    QString text = QString::fromLatin1(body); // the body must be ASCII, which reads the same as GBK
    text.remove(QStringLiteral(" 00:00:00"));
    const qsizetype open = text.indexOf(u'{'), close = text.indexOf(u'}');
    if (open < 0 || close < open)
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(text.mid(open, close - open + 1).toLatin1());
    if (!doc.isObject() || !doc.object().value(u"data").isArray())
        return false;
    const QJsonArray data = doc.object().value(u"data").toArray();
    for (const QJsonValue &v : data)
        rows << SplitFields(v.toString());
    return true;
}

// The client's list split of a link address: the separator and every run of characters 1 to 32 end
// a part; leading blanks are skipped; a separator at the very end adds an empty part.
QStringList SplitList(const QString &s, QChar sep)
{
    QStringList parts;
    qsizetype i = 0;
    auto blank = [](QChar c) { return c.unicode() >= 1 && c.unicode() <= 32; };
    while (i < s.size() && blank(s.at(i)))
        ++i;
    while (i < s.size()) {
        QString p;
        while (i < s.size() && s.at(i) != sep && !blank(s.at(i)))
            p += s.at(i++);
        parts << p;
        while (i < s.size() && blank(s.at(i)))
            ++i;
        if (i < s.size() && s.at(i) == sep) {
            ++i;
            while (i < s.size() && blank(s.at(i)))
                ++i;
            if (i >= s.size())
                parts << QString();
        }
    }
    return parts;
}

} // namespace

class TestGateway : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void routes_data();
    void routes();
    void holdingsLists_data();
    void holdingsLists();
    void holdingsContent();
    void holdingsFileStates();
    void demoHoldings();
    void signIn();
    void reportLinks();
    void listensOnLoopbackOnly();
    void commandLine_data();
    void commandLine();

private:
    TAnswer Fetch(const QString &pathAndQuery, const QByteArray &method = "GET", const QByteArray &body = QByteArray(),
                  const QByteArray &contentType = QByteArray(), const QByteArray &cookie = QByteArray(),
                  quint16 port = 0);
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_gateway->Port()); }

    QTemporaryDir m_root;
    std::unique_ptr<TGateway> m_gateway;
    QNetworkAccessManager m_net;
};

void TestGateway::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(WriteFile(m_root.filePath(QStringLiteral("Data/ggcg.json")), HoldingsFixture()));
    m_gateway = std::make_unique<TGateway>(m_root.path());
    QString error;
    QVERIFY2(m_gateway->Listen(0, error), qPrintable(error));
    QVERIFY(m_gateway->Port() != 0);
}

TAnswer TestGateway::Fetch(const QString &pathAndQuery, const QByteArray &method, const QByteArray &body,
                           const QByteArray &contentType, const QByteArray &cookie, quint16 port)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port ? port : m_gateway->Port()).arg(pathAndQuery)));
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(60000); // a guard against a hang, not a measurement
    if (!contentType.isEmpty())
        request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    if (!cookie.isEmpty())
        request.setRawHeader("Cookie", cookie);
    QNetworkReply *reply = m_net.sendCustomRequest(request, method, body);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    TAnswer a;
    a.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.Type = reply->rawHeader("Content-Type");
    a.Body = reply->readAll();
    a.SetCookie = reply->rawHeader("Set-Cookie");
    reply->deleteLater();
    return a;
}

void TestGateway::routes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("type");   // start of the content type
    QTest::addColumn<QStringList>("holds"); // texts the body contains

    const QByteArray html = "text/html; charset=utf-8", text = "text/plain";
    QTest::newRow("login") << Go + "&a=login" << QByteArray("GET") << 200 << html
                           << QStringList{"<iframe", "<form", "method=\"post\"", "name=\"user\"", "name=\"pass\"", "通行证"};
    QTest::newRow("report") << Go + "&a=report" << QByteArray("GET") << 200 << html
                            << QStringList{"<script src=\"/js/jquery.min.js\"></script>", "id=\"maindiv\"", "研报中心"};
    QTest::newRow("help") << Go + "&a=help" << QByteArray("GET") << 200 << html
                          << QStringList{"通行证", "龙虎榜", "高管持股", "研报中心", "数据更新", "龙头席位", "活跃股票",
                                         "资金净买", "关注席位", "买卖意愿分析", "席位筛选器", "关键字查找"};
    QTest::newRow("items in another order") << QStringLiteral("/MV/SDA/Go.asp?a=help&sn=lhb") << QByteArray("GET") << 200
                                            << html << QStringList{"帮助说明"};
    QTest::newRow("jquery") << QStringLiteral("/js/jquery.min.js") << QByteArray("GET") << 200
                            << QByteArray("application/javascript") << QStringList{"jQuery"};
    QTest::newRow("style sheet") << QStringLiteral("/MV/SDA/css/mv.css") << QByteArray("GET") << 200
                                 << QByteArray("text/css") << QStringList{"#191919", "#dddddd", "#dddd00", "#000066"};
    QTest::newRow("passport notice") << QStringLiteral("/MV/SDA/notice.html") << QByteArray("GET") << 200 << html
                                     << QStringList{"公告"};
    QTest::newRow("report document") << QStringLiteral("/MV/SDA/Report/r001.html") << QByteArray("GET") << 200 << html
                                     << QStringList{"<h1>"};

    QTest::newRow("update is reserved") << Go + "&a=update" << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("unknown a") << Go + "&a=zzz" << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("no a") << Go << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("no sn") << QStringLiteral("/MV/SDA/Go.asp?a=help") << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("other sn") << QStringLiteral("/MV/SDA/Go.asp?sn=abc&a=help") << QByteArray("GET") << 404 << text
                              << QStringList();
    QTest::newRow("other path") << QStringLiteral("/MV/SDA/Other.asp?sn=lhb&a=help") << QByteArray("GET") << 404 << text
                                << QStringList();
    QTest::newRow("root") << QStringLiteral("/") << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("unknown document") << QStringLiteral("/MV/SDA/Report/r999.html") << QByteArray("GET") << 404 << text
                                      << QStringList();
    QTest::newRow("document outside the documents") << QStringLiteral("/MV/SDA/Report/..%2Freport.html")
                                                    << QByteArray("GET") << 404 << text << QStringList();
    QTest::newRow("repeated a") << Go + "&a=help&a=login" << QByteArray("GET") << 400 << text << QStringList();
    QTest::newRow("unknown list m") << Go + "&a=ggcg&m=2&r=" << QByteArray("GET") << 400 << text << QStringList();
    QTest::newRow("unknown list r") << Go + "&a=ggcg&m=1&r=up" << QByteArray("GET") << 400 << text << QStringList();

    QTest::newRow("POST help") << Go + "&a=help" << QByteArray("POST") << 405 << text << QStringList();
    QTest::newRow("PUT ggcg") << Go + "&a=ggcg&m=&r=" << QByteArray("PUT") << 405 << text << QStringList();
    QTest::newRow("DELETE login") << Go + "&a=login" << QByteArray("DELETE") << 405 << text << QStringList();
    QTest::newRow("HEAD report") << Go + "&a=report" << QByteArray("HEAD") << 405 << QByteArray() << QStringList();
    QTest::newRow("POST jquery") << QStringLiteral("/js/jquery.min.js") << QByteArray("POST") << 405 << text
                                 << QStringList();
    QTest::newRow("POST unknown path") << QStringLiteral("/nothing") << QByteArray("POST") << 404 << text << QStringList();
}

void TestGateway::routes()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, method);
    QFETCH(int, status);
    QFETCH(QByteArray, type);
    QFETCH(QStringList, holds);
    if (path == u"/js/jquery.min.js" && !QFile::exists(TGateway::DefaultJquery))
        QSKIP("libjs-jquery is not installed");
    const TAnswer a = Fetch(path, method);
    QCOMPARE(a.Status, status);
    QVERIFY2(a.Type.startsWith(type), a.Type.constData());
    const QString body = QString::fromUtf8(a.Body);
    for (const QString &h : holds)
        QVERIFY2(body.contains(h), qPrintable(h));
    if (status == 200 && a.Type.startsWith("text/html"))
        QVERIFY(!body.contains(QStringLiteral("{{"))); // every placeholder is filled
}

void TestGateway::holdingsLists_data()
{
    QTest::addColumn<QString>("m");
    QTest::addColumn<QString>("r");
    QTest::addColumn<int>("fields");
    QTest::addColumn<int>("order"); // sign of the net amounts and direction of the ranking; 0 for the change list

    QTest::newRow("change list") << QString() << QString() << 15 << 0;
    QTest::newRow("net buying") << "1" << "desc" << 8 << 1;
    QTest::newRow("net selling") << "1" << "asc" << 8 << -1;
}

void TestGateway::holdingsLists()
{
    QFETCH(QString, m);
    QFETCH(QString, r);
    QFETCH(int, fields);
    QFETCH(int, order);
    const TAnswer a = Fetch(Go + QStringLiteral("&a=ggcg&m=%1&r=%2").arg(m, r));
    QCOMPARE(a.Status, 200);
    QVERIFY2(a.Type.startsWith("application/json") && a.Type.toLower().contains("charset=gbk"), a.Type.constData());
    for (const char c : a.Body)
        QVERIFY2(uchar(c) < 0x80, "the body is ASCII, non-ASCII text travels as \\u escapes");
    QCOMPARE(a.Body.count('}'), 1); // the client cuts at the first "}": it must close the object
    QList<QStringList> rows;
    QVERIFY(ClientRows(a.Body, rows));
    QVERIFY(rows.size() >= 2);
    double last = 0.0;
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList &row = rows.at(i);
        QCOMPARE(row.size(), fields);
        QCOMPARE(row.at(0), QString::number(i + 1));
        QVERIFY(!row.at(1).isEmpty() && !row.at(2).isEmpty());
        if (order == 0) {
            QVERIFY2(QDate::fromString(row.at(14), QStringLiteral("yyyy-MM-dd")).isValid(), qPrintable(row.at(14)));
            continue;
        }
        bool ok = false;
        const double net = row.at(3).toDouble(&ok);
        QVERIFY(ok);
        QCOMPARE(net > 0 ? 1 : -1, order);
        if (i > 0)
            QVERIFY2(order > 0 ? net <= last : net >= last, qPrintable(row.join(u',')));
        last = net;
    }
    if (order == 0) {
        QVERIFY(a.Body.contains("-03-15 00:00:00\""));
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY(rows.at(i - 1).at(14) >= rows.at(i).at(14)); // newest first
    }
}

void TestGateway::holdingsContent()
{
    QList<QStringList> changes, buying, selling;
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=&r=").Body, changes));
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=1&r=desc").Body, buying));
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=1&r=asc").Body, selling));

    // The invalid date and the fractional share count are left out; one day keeps the file's order.
    QCOMPARE(changes.size(), 6);
    QCOMPARE(changes.at(0).mid(1, 14),
             (QStringList{"600001", "甲科技", "张伟", "1000", "10.00", "1.00", "二级市场买卖", "0.0123", "50000", "A股",
                          "张伟", "董事,总经理", "本人", "2024-03-15"}));
    QCOMPARE(changes.at(1).mid(1, 4), (QStringList{"300003", "丙药业", "\"小\"明", "200"}));
    QCOMPARE(changes.at(2).at(7), QStringLiteral("大宗交易{补充}"));
    QCOMPARE(changes.at(2).at(6), QStringLiteral("-0.50"));
    QCOMPARE(changes.at(4).mid(1, 3), (QStringList{"688004", "丁材料", "赵六"}));
    QCOMPARE(changes.at(4).at(8), QString()); // no ratio and no holding after the change in the file
    QCOMPARE(changes.at(4).at(9), QString());

    // Net per stock: 600001 bought 1000 for 10000 and sold 400 for 5000.
    QCOMPARE(buying.size(), 2);
    QCOMPARE(buying.at(0).mid(1), (QStringList{"600001", "甲科技", "5000.00", "600", "12.34", "1.50", "8.33"}));
    QCOMPARE(buying.at(1).mid(1), (QStringList{"300003", "丙药业", "4000.00", "200", "20.00", "0.00", "20.00"}));
    QCOMPARE(selling.size(), 2);
    QCOMPARE(selling.at(0).mid(1), (QStringList{"000002", "乙银行", "-17500.00", "-2000", "8.80", "-2.25", "8.75"}));
    // A stock without a quote has no latest price or change.
    QCOMPARE(selling.at(1).mid(1), (QStringList{"688004", "丁材料", "-3000.00", "-100", "-", "-", "30.00"}));
}

void TestGateway::holdingsFileStates()
{
    QTemporaryDir root;
    TGateway gateway(root.path());
    QString error;
    QVERIFY2(gateway.Listen(0, error), qPrintable(error));
    const QString list = Go + "&a=ggcg&m=1&r=desc";
    const QString file = root.filePath(QStringLiteral("Data/ggcg.json"));

    TAnswer a = Fetch(list, "GET", {}, {}, {}, gateway.Port());
    QCOMPARE(a.Status, 503); // no data is a failure the client reports, not an empty success
    QVERIFY(a.Body.contains("missing"));

    QVERIFY(WriteFile(file, "{\"changes\": [ {\"code\": "));
    a = Fetch(list, "GET", {}, {}, {}, gateway.Port());
    QCOMPARE(a.Status, 503);
    QVERIFY(a.Body.contains("not valid"));

    QVERIFY(WriteFile(file, "{\"changes\": []}"));
    a = Fetch(list, "GET", {}, {}, {}, gateway.Port());
    QCOMPARE(a.Status, 200);
    QCOMPARE(a.Body, QByteArray("{\"data\":[]}"));

    // A rewritten file is read again.
    QVERIFY(WriteFile(file, HoldingsFixture()));
    a = Fetch(list, "GET", {}, {}, {}, gateway.Port());
    QList<QStringList> rows;
    QVERIFY(ClientRows(a.Body, rows));
    QCOMPARE(rows.size(), 2);
}

void TestGateway::demoHoldings()
{
    TFixture fx; // the demo's tables are read back through the store, from the fixture's folder
    TDemoOptions opt;
    opt.OutDir = fx.Dir();
    opt.End = QDate(2024, 3, 16);
    opt.Seed = 5;
    TDemoSummary summary;
    QString error;
    QVERIFY2(WriteDemo(opt, summary, error), qPrintable(error));
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    QVERIFY(summary.Holdings >= 200 && summary.Holdings <= 1000);

    TGateway gateway(fx.Dir());
    QVERIFY2(gateway.Listen(0, error), qPrintable(error));
    QList<QStringList> changes, buying, selling;
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=&r=", "GET", {}, {}, {}, gateway.Port()).Body, changes));
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=1&r=desc", "GET", {}, {}, {}, gateway.Port()).Body, buying));
    QVERIFY(ClientRows(Fetch(Go + "&a=ggcg&m=1&r=asc", "GET", {}, {}, {}, gateway.Port()).Body, selling));
    QCOMPARE(changes.size(), summary.Holdings);
    QVERIFY(buying.size() >= 2 && selling.size() >= 2);

    const QDate last = IntToDate(summary.LastDate);
    int increases = 0, decreases = 0;
    QSet<QString> reasons, relations;
    for (const QStringList &row : std::as_const(changes)) {
        QCOMPARE(row.size(), 15);
        const int cId = Stock.CodeIndex(row.at(1));
        QVERIFY2(cId >= 0, qPrintable(row.at(1)));
        QCOMPARE(row.at(2), Stock.NameText(cId).trimmed());
        QVERIFY(row.at(3).size() >= 2 && row.at(3).at(0).unicode() > 0x7f); // a Chinese name
        bool ok = false;
        const qint64 shares = row.at(4).toLongLong(&ok);
        QVERIFY(ok && shares != 0 && shares % 100 == 0);
        (shares > 0 ? increases : decreases)++;
        const double price = row.at(5).toDouble(&ok);
        QVERIFY(ok && price > 0);
        QVERIFY2(std::abs(row.at(6).toDouble() - double(shares) * price / 10000.0) <= 0.01, qPrintable(row.join(u',')));
        QVERIFY(row.at(9).toLongLong(&ok) >= 0 && ok); // never more sold than held
        QVERIFY(!row.at(11).isEmpty() && !row.at(12).isEmpty());
        const QDate date = QDate::fromString(row.at(14), QStringLiteral("yyyy-MM-dd"));
        QVERIFY(date.isValid() && date <= last && date.dayOfWeek() <= 5);
        reasons.insert(row.at(7));
        relations.insert(row.at(13));
    }
    QVERIFY(increases > 0 && decreases > 0);
    QVERIFY(reasons.contains(QStringLiteral("二级市场买卖")) && reasons.contains(QStringLiteral("股权激励")));
    QVERIFY(relations.contains(QStringLiteral("本人")) && relations.size() > 1);
    QVERIFY(buying.first().at(5) != u"-"); // the demo quotes every stock it lists

    // The same seed gives the same file.
    QTemporaryDir again;
    opt.OutDir = again.path();
    QVERIFY(WriteDemo(opt, summary, error));
    QFile a(QDir(fx.Dir()).filePath(QStringLiteral("Data/ggcg.json"))), b(QDir(again.path()).filePath(QStringLiteral("Data/ggcg.json")));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(a.readAll(), b.readAll());
}

void TestGateway::signIn()
{
    const QString login = Go + "&a=login";
    const QByteArray form = "application/x-www-form-urlencoded";

    TAnswer a = Fetch(login, "POST", "action=login&user=%3Cb%3E%E5%BC%A0+%E4%B8%89&pass=secret", form);
    QCOMPARE(a.Status, 200);
    const QString page = QString::fromUtf8(a.Body);
    QVERIFY2(page.contains(QStringLiteral("&lt;b&gt;张 三")), qPrintable(page)); // the name is shown, never as markup
    QVERIFY(!page.contains(QStringLiteral("<b>张")));
    QVERIFY(page.contains(QStringLiteral("已登录")));
    QVERIFY(page.contains(QStringLiteral("<iframe")));
    const QByteArray cookie = a.SetCookie.split(';').first();
    QVERIFY2(cookie.startsWith("MVSID=") && cookie.size() > 20, a.SetCookie.constData());

    a = Fetch(login, "GET", {}, {}, cookie);
    QCOMPARE(a.Status, 200);
    QVERIFY(QString::fromUtf8(a.Body).contains(QStringLiteral("已登录")));
    a = Fetch(login, "GET", {}, {}, "MVSID=0123456789abcdef");
    QVERIFY(!QString::fromUtf8(a.Body).contains(QStringLiteral("已登录")));

    a = Fetch(login, "POST", "action=logout", form, cookie);
    QCOMPARE(a.Status, 200);
    QVERIFY(a.Body.contains("<form"));
    QVERIFY(a.SetCookie.contains("Max-Age=0"));
    a = Fetch(login, "GET", {}, {}, cookie);
    QVERIFY(!QString::fromUtf8(a.Body).contains(QStringLiteral("已登录")));

    // Refused sign-ins show the form again with the reason.
    a = Fetch(login, "POST", "user=abc&pass=", form);
    QCOMPARE(a.Status, 400);
    QVERIFY(a.Body.contains("<form") && QString::fromUtf8(a.Body).contains(QStringLiteral("请输入密码")));
    QVERIFY(a.SetCookie.isEmpty());
    a = Fetch(login, "POST", "user=" + QByteArray(40, 'x') + "&pass=x", form);
    QCOMPARE(a.Status, 400);
    a = Fetch(login, "POST", "user=a%0Ab&pass=x", form);
    QCOMPARE(a.Status, 400);
    a = Fetch(login, "POST", "{\"user\":\"a\"}", "application/json");
    QCOMPARE(a.Status, 415);
    a = Fetch(login, "POST", QByteArray(TGateway::MaxBody + 1, 'a'), form);
    QCOMPARE(a.Status, 413);
}

void TestGateway::reportLinks()
{
    const TAnswer a = Fetch(Go + "&a=report");
    QCOMPARE(a.Status, 200);
    const QString page = QString::fromUtf8(a.Body);
    const qsizetype main = page.indexOf(QStringLiteral("id=\"maindiv\""));
    QVERIFY(main > 0);
    const QString inside = page.mid(main, page.indexOf(QStringLiteral("<script>"), main) - main);

    // The client's link rule on every link of #maindiv, then its address rule on the converted address.
    static const QRegularExpression link(QStringLiteral("<a\\b([^>]*)>"));
    static const QRegularExpression onclick(QStringLiteral("onclick=\"([^\"]*)\""));
    int converted = 0, leftAlone = 0;
    for (auto it = link.globalMatch(inside); it.hasNext();) {
        const QRegularExpressionMatch click = onclick.match(it.next().captured(1));
        const QString attr = click.hasMatch() ? click.captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"))
                                              : QStringLiteral("undefined");
        const QStringList clk = attr.split(u'\'');
        if (clk.size() != 3 || !clk.at(1).startsWith(u'#')) {
            ++leftAlone;
            continue;
        }
        ++converted;
        const QStringList hash = SplitList(Base() + "/MV/SDA/Go.asp?sn=lhb" + clk.at(1), u'#');
        QCOMPARE(hash.size(), 2);
        const QStringList items = SplitList(hash.at(1), u'&');
        QCOMPARE(items.size(), 3);
        const QStringList title = SplitList(items.at(1), u'='), document = SplitList(items.at(2), u'=');
        QCOMPARE(title.size(), 2);
        QCOMPARE(document.size(), 2);
        QVERIFY(!title.at(1).isEmpty());
        QVERIFY2(document.at(1).startsWith(Base() + "/MV/SDA/Report/"), qPrintable(document.at(1)));
        const TAnswer doc = Fetch(QUrl(document.at(1)).path());
        QCOMPARE(doc.Status, 200);
        QVERIFY(QString::fromUtf8(doc.Body).contains(title.at(1))); // the document carries the link's title
    }
    QVERIFY(converted >= 3);
    QVERIFY(leftAlone >= 3); // filters, sorting and plain links are not the client's to convert
    // The usage link outside #maindiv has the convertible form but stays the page's own.
    QVERIFY(page.left(main).contains(QStringLiteral("openReport('#r&amp;t=")));
}

void TestGateway::listensOnLoopbackOnly()
{
    const QList<QTcpServer *> servers = m_gateway->servers();
    QCOMPARE(servers.size(), 1);
    QCOMPARE(servers.first()->serverAddress(), QHostAddress(QHostAddress::LocalHost));

    TGateway second(m_root.path());
    QString error;
    QVERIFY(!second.Listen(m_gateway->Port(), error));
    QVERIFY2(error.contains(QString::number(m_gateway->Port())), qPrintable(error));
}

void TestGateway::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << "usage:";
    QTest::newRow("option without value") << QStringList{"--port"} << 2 << "usage:";
    QTest::newRow("port not a number") << QStringList{"--port", "x1"} << 2 << "bad port";
    QTest::newRow("port too big") << QStringList{"--port", "70000"} << 2 << "bad port";
    QTest::newRow("root not a folder") << QStringList{"--root", "/nonexistent/folder"} << 2 << "not a folder";
    QTest::newRow("port in use") << QStringList{"--port", "IN_USE"} << 1 << "cannot listen";
}

void TestGateway::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, says);
    const QString program = QStringLiteral(MV_BUILD_DIR "/tools/gateway/mv-gateway");
    if (!QFile::exists(program))
        QSKIP("mv-gateway is not built");
    args.replaceInStrings(QStringLiteral("IN_USE"), QString::number(m_gateway->Port()));
    QProcess p;
    p.start(program, args);
    QVERIFY(p.waitForFinished(60000)); // a guard against a hang, not a measurement
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), code);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    QVERIFY2(err.contains(says), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestGateway)
#include "tst_gateway.moc"
