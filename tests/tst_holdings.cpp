// The holdings response reader and the HTTP GET, the latter against servers on 127.0.0.1 started here.
#include "data/Stock.h"
#include "kit/Grid.h"
#include "net/Holdings.h"
#include "net/Http.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

// A server on a free local port that answers every request with one canned response, or stays silent.
class TOneShotServer : public QObject
{
public:
    explicit TOneShotServer(QByteArray response = QByteArray()) : m_response(std::move(response))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++Connections;
                connect(s, &QTcpSocket::readyRead, this, [this, s]() {
                    m_pending[s] += s->readAll();
                    if (!m_pending[s].contains("\r\n\r\n"))
                        return;
                    Requests << m_pending.take(s);
                    if (m_response.isEmpty())
                        return; // silent: the connection stays open and nothing comes back
                    s->write(m_response);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QString Url(const QString &path = QStringLiteral("/list")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    quint16 Port() const { return m_server.serverPort(); }
    void Close() { m_server.close(); }

    QList<QByteArray> Requests;
    int Connections = 0;

private:
    QTcpServer m_server;
    QByteArray m_response;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

QByteArray Response(const QByteArray &statusLine, const QByteArray &body, bool withLength = true)
{
    QByteArray r = "HTTP/1.1 " + statusLine + "\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (withLength)
        r += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return r + "\r\n" + body;
}

// The data rows of a grid, each as its cells over all columns joined by "|".
QStringList Rows(const TStringGrid &g)
{
    QStringList rows;
    for (int r = 1; r < g.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < g.ColCount(); ++c)
            cells << g.Cell(c, r);
        rows << cells.join(u'|');
    }
    return rows;
}

TStringGrid RankingGrid()
{
    TStringGrid g;
    ClearGrid(g, 8, 0);
    g.SetRowText(0, HoldingsRankingCaptions());
    return g;
}

} // namespace

Q_DECLARE_METATYPE(THoldingsFill)

class TestHoldings : public QObject
{
    Q_OBJECT

private slots:
    void url_data();
    void url();
    void splitFields_data();
    void splitFields();
    void fill_data();
    void fill();
    void refetchReplacesEveryCell();
    void rowLimit();

    void httpStatus_data();
    void httpStatus();
    void httpSilentServerTimesOut();
    void httpConnectionRefused();
    void httpRefusedAddresses_data();
    void httpRefusedAddresses();
    void httpSizeGuard_data();
    void httpSizeGuard();
    void httpDeclaredLengthOverDefaultGuard();
    void httpDecodesGbk();
    void httpHeaders();
};

void TestHoldings::url_data()
{
    QTest::addColumn<QString>("tmpl");
    QTest::addColumn<QString>("m");
    QTest::addColumn<QString>("r");
    QTest::addColumn<QString>("url");
    const QString go = QStringLiteral("http://h/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=%s&r=%s");
    QTest::newRow("change list") << go << QString() << QString() << QStringLiteral("http://h/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=&r=");
    QTest::newRow("buy ranking") << go << QStringLiteral("1") << QStringLiteral("desc")
                                 << QStringLiteral("http://h/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=1&r=desc");
    QTest::newRow("other escapes untouched") << QStringLiteral("http://h/a%20b?m=%s&r=%s&x=%d") << QStringLiteral("1")
                                             << QStringLiteral("asc") << QStringLiteral("http://h/a%20b?m=1&r=asc&x=%d");
    QTest::newRow("inserted text not rescanned") << go << QStringLiteral("%s") << QStringLiteral("2")
                                                 << QStringLiteral("http://h/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=%s&r=2");
    QTest::newRow("one placeholder") << QStringLiteral("http://h/?m=%s") << QStringLiteral("1") << QStringLiteral("asc")
                                     << QStringLiteral("http://h/?m=1");
}

void TestHoldings::url()
{
    QFETCH(QString, tmpl);
    QFETCH(QString, m);
    QFETCH(QString, r);
    QFETCH(QString, url);
    QCOMPARE(HoldingsUrl(tmpl, m, r), url);
}

void TestHoldings::splitFields_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("two commas in a row") << QStringLiteral("1,600000,X,,5")
                                         << QStringList{"1", "600000", "X", "", "5"};
    QTest::newRow("quoted comma") << QStringLiteral("a,\"b,c\",d") << QStringList{"a", "b,c", "d"};
    QTest::newRow("doubled quote") << QStringLiteral("\"say \"\"hi\"\"\",x") << QStringList{"say \"hi\"", "x"};
    QTest::newRow("blanks are kept") << QStringLiteral(" a b , c") << QStringList{" a b ", " c"};
    QTest::newRow("trailing comma") << QStringLiteral("a,") << QStringList{"a", ""};
    QTest::newRow("leading comma") << QStringLiteral(",a") << QStringList{"", "a"};
    QTest::newRow("empty text") << QString() << QStringList{};
    QTest::newRow("quote inside a field") << QStringLiteral("ab\"c,d") << QStringList{"ab\"c", "d"};
    QTest::newRow("text after closing quote") << QStringLiteral("\"ab\"cd,e") << QStringList{"abcd", "e"};
    QTest::newRow("unterminated quote") << QStringLiteral("\"abc,d") << QStringList{"abc,d"};
}

void TestHoldings::splitFields()
{
    QFETCH(QString, row);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitHoldingsFields(row), fields);
}

void TestHoldings::fill_data()
{
    QTest::addColumn<QString>("response");
    QTest::addColumn<THoldingsFill>("result");
    QTest::addColumn<QStringList>("rows");
    const QStringList untouched{"|||||||"};
    QTest::newRow("text around the object")
        << QString(QChar(0xFEFF)) + QStringLiteral("callback({\"data\":[\"1,600000,X\"]});\r\n") << THoldingsFill::Filled
        << QStringList{"1|600000|X|||||"};
    QTest::newRow("two commas in a row") << QStringLiteral("{\"data\":[\"1,600000,X,,5\"]}") << THoldingsFill::Filled
                                         << QStringList{"1|600000|X| |5|||"};
    QTest::newRow("surplus fields dropped") << QStringLiteral("{\"data\":[\"1,2,3,4,5,6,7,8,9,10\"]}")
                                            << THoldingsFill::Filled << QStringList{"1|2|3|4|5|6|7|8"};
    QTest::newRow("midnight removed, other times kept")
        << QStringLiteral("{\"data\":[\"1,2015-03-02 00:00:00,2015-03-02 09:30:00\"]}") << THoldingsFill::Filled
        << QStringList{"1|2015-03-02|2015-03-02 09:30:00|||||"};
    QTest::newRow("quoted field with a comma") << QStringLiteral("{\"data\":[\"1,\\\"A,B\\\",x\"]}")
                                               << THoldingsFill::Filled << QStringList{"1|A,B|x|||||"};
    QTest::newRow("escapes and Chinese") << QStringLiteral("{\"data\":[\"1,\\u6d66\\u53d1,银行\"]}")
                                         << THoldingsFill::Filled << QStringList{"1|浦发|银行|||||"};
    QTest::newRow("rows in order, other members ignored")
        << QStringLiteral("{\"total\":2,\"data\":[\"b\",\"a\"],\"msg\":\"ok\"}") << THoldingsFill::Filled
        << QStringList{"b|||||||", "a|||||||"};
    QTest::newRow("non-text element") << QStringLiteral("{\"data\":[42,true]}") << THoldingsFill::Filled
                                      << QStringList{"42|||||||", "true|||||||"};
    QTest::newRow("empty data array") << QStringLiteral("{\"data\":[]}") << THoldingsFill::Empty << untouched;
    QTest::newRow("no data member") << QStringLiteral("{\"rows\":[\"1,2\"]}") << THoldingsFill::Empty << untouched;
    QTest::newRow("data not an array") << QStringLiteral("{\"data\":\"1,2\"}") << THoldingsFill::Empty << untouched;
    QTest::newRow("empty text") << QString() << THoldingsFill::Failed << untouched;
    QTest::newRow("no brace") << QStringLiteral("Service Unavailable") << THoldingsFill::Failed << untouched;
    QTest::newRow("closing brace first") << QStringLiteral("}{\"data\":[\"1\"]}") << THoldingsFill::Failed << untouched;
    QTest::newRow("nested object cut short") << QStringLiteral("{\"meta\":{\"n\":1},\"data\":[\"1\"]}")
                                             << THoldingsFill::Failed << untouched;
    QTest::newRow("brace inside a row cut short") << QStringLiteral("{\"data\":[\"a}b\"]}") << THoldingsFill::Failed
                                                  << untouched;
    QTest::newRow("malformed") << QStringLiteral("{\"data\":[\"1\",]}") << THoldingsFill::Failed << untouched;
    QTest::newRow("deeply nested row") << QStringLiteral("{\"data\":") + QString(100000, u'[') + QString(100000, u']')
                                              + QStringLiteral("}")
                                       << THoldingsFill::Failed << untouched;
}

void TestHoldings::fill()
{
    QFETCH(QString, response);
    QFETCH(THoldingsFill, result);
    QFETCH(QStringList, rows);
    TStringGrid g = RankingGrid();
    QCOMPARE(FillHoldings(response, g), result);
    QCOMPARE(Rows(g), rows);
    QCOMPARE(g.RowText(0), HoldingsRankingCaptions()); // the header row is never written
}

void TestHoldings::refetchReplacesEveryCell()
{
    // A list fetched again (it had fewer than two rows) shows the new response only, column for column.
    TStringGrid g = RankingGrid();
    QCOMPARE(FillHoldings(QStringLiteral("{\"data\":[\"1,600000,A,100,200\",\"2,000001,B\"]}"), g), THoldingsFill::Filled);
    QCOMPARE(FillHoldings(QStringLiteral("{\"data\":[\"1,600036,C\"]}"), g), THoldingsFill::Filled);
    QCOMPARE(Rows(g), QStringList{"1|600036|C|||||"});
    g.SetRowCount(3); // a row that went away does not come back with the row count
    QCOMPARE(Rows(g).last(), QStringLiteral("|||||||"));
    // Nothing to fill keeps what the grid holds.
    QCOMPARE(FillHoldings(QStringLiteral("{\"data\":[]}"), g), THoldingsFill::Empty);
    QCOMPARE(Rows(g).first(), QStringLiteral("1|600036|C|||||"));
}

void TestHoldings::rowLimit()
{
    TStringGrid g = RankingGrid();
    QCOMPARE(FillHoldings(QStringLiteral("{\"data\":[\"1\",\"2\",\"3\"]}"), g, 3), THoldingsFill::Filled);
    QCOMPARE(g.RowCount(), 4);
    QCOMPARE(FillHoldings(QStringLiteral("{\"data\":[\"1\",\"2\",\"3\",\"4\"]}"), g, 3), THoldingsFill::Failed);
    QCOMPARE(g.RowCount(), 4);
}

void TestHoldings::httpStatus_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<QString>("body");
    QTest::newRow("200") << Response("200 OK", "{\"data\":[]}") << QStringLiteral("{\"data\":[]}");
    QTest::newRow("200 without length") << Response("200 OK", "plain", false) << QStringLiteral("plain");
    QTest::newRow("500") << Response("500 Internal Server Error", "{\"data\":[\"1\"]}") << QString();
    QTest::newRow("404") << Response("404 Not Found", "{\"data\":[\"1\"]}") << QString();
    QTest::newRow("400") << Response("400 Bad Request", "{\"data\":[\"1\"]}") << QString();
    QTest::newRow("401 gives its body") << Response("401 Unauthorized", "{\"login\":1}") << QStringLiteral("{\"login\":1}");
    QTest::newRow("407 gives its body") << Response("407 Proxy Authentication Required", "{\"proxy\":1}")
                                        << QStringLiteral("{\"proxy\":1}");
    QTest::newRow("body cut short") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\n{\"da")
                                    << QString();
    QTest::newRow("not HTTP") << QByteArray("hello\r\n") << QString();
}

void TestHoldings::httpStatus()
{
    QFETCH(QByteArray, response);
    QFETCH(QString, body);
    TOneShotServer server(response);
    const QString got = HttpGet(server.Url(), QString(), 5);
    QCOMPARE(got, body);
    QVERIFY(!server.Requests.isEmpty()); // the client may retry a broken answer
}

void TestHoldings::httpSilentServerTimesOut()
{
    TOneShotServer server; // accepts, reads the request and never answers
    QCOMPARE(HttpGet(server.Url(), QString(), 1), QString());
    QCOMPARE(server.Requests.size(), 1);
}

void TestHoldings::httpConnectionRefused()
{
    TOneShotServer server;
    const QString url = server.Url();
    server.Close();
    QCOMPARE(HttpGet(url, QString(), 5), QString());
}

void TestHoldings::httpRefusedAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("cookie");
    QTest::newRow("empty address") << QString() << QString();
    QTest::newRow("no scheme") << QStringLiteral("127.0.0.1/list") << QString();
    QTest::newRow("file address") << QStringLiteral("file:///etc/hostname") << QString();
    QTest::newRow("cookie with a line break") << QStringLiteral("http://127.0.0.1:1/") << QStringLiteral("a=1\r\nX-Evil: 1");
}

void TestHoldings::httpRefusedAddresses()
{
    QFETCH(QString, url);
    QFETCH(QString, cookie);
    QCOMPARE(HttpGet(url, cookie, 1), QString());
}

void TestHoldings::httpSizeGuard_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("kept");
    const QByteArray body(100, 'x');
    QTest::newRow("declared length over the guard") << Response("200 OK", body) << false;
    QTest::newRow("undeclared body over the guard") << Response("200 OK", body, false) << false;
    QTest::newRow("401 body over the guard") << Response("401 Unauthorized", body) << false;
    QTest::newRow("body at the guard") << Response("200 OK", body.left(99)) << true;
}

void TestHoldings::httpSizeGuard()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, kept);
    TOneShotServer server(response);
    const QString got = HttpGet(server.Url(), QString(), 5, 99);
    QCOMPARE(got.isEmpty(), !kept);
}

void TestHoldings::httpDeclaredLengthOverDefaultGuard()
{
    // A body announced as larger than 64 MB is abandoned once the headers arrive.
    TOneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(HttpMaxBody + 1) + "\r\n\r\n{\"data\":[]}");
    QCOMPARE(HttpGet(server.Url(), QString(), 5), QString());
}

void TestHoldings::httpDecodesGbk()
{
    const QString text = QStringLiteral("{\"data\":[\"1,600000,浦发银行,张三\"]}");
    const QByteArray gbk = ToGbk(text);
    QVERIFY(gbk != text.toUtf8());
    TOneShotServer server(Response("200 OK", gbk));
    QCOMPARE(HttpGet(server.Url(), QString(), 5), text);
}

void TestHoldings::httpHeaders()
{
    TOneShotServer server(Response("200 OK", "ok"));
    QCOMPARE(HttpGet(server.Url(QStringLiteral("/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=1&r=desc")),
                     QStringLiteral("ASPSESSIONID=abc; user=1"), 5),
             QStringLiteral("ok"));
    QCOMPARE(HttpGet(server.Url(), QString(), 5), QStringLiteral("ok"));
    QCOMPARE(server.Requests.size(), 2);

    const QByteArray withCookie = server.Requests.at(0);
    QVERIFY2(withCookie.startsWith("GET /MV/SDA/Go.asp?sn=lhb&a=ggcg&m=1&r=desc HTTP/1.1\r\n"), withCookie.constData());
    QVERIFY2(withCookie.contains("\r\nPragma: no-cache\r\n"), withCookie.constData());
    QVERIFY2(withCookie.contains("\r\nCookie: ASPSESSIONID=abc; user=1\r\n"), withCookie.constData());

    const QByteArray without = server.Requests.at(1);
    QVERIFY2(without.contains("\r\nPragma: no-cache\r\n"), without.constData());
    QVERIFY2(!without.toLower().contains("\r\ncookie:"), without.constData());
}

QTEST_GUILESS_MAIN(TestHoldings)
#include "tst_holdings.moc"
