// The holdings window against a holdings service on 127.0.0.1 started by the test.
#include "GuiTestMain.h"

#include "app/Config.h"
#include "app/Json.h"
#include "data/Stock.h"
#include "forms/frmGGCG.h"
#include "kit/GridView.h"
#include "kit/Skin.h"
#include "net/Holdings.h"
#include "net/HoldingsLook.h"

#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

namespace {

// The three lists by the r value of their request.
QString ListOf(const QString &r)
{
    return r == u"desc" ? QStringLiteral("buy") : r == u"asc" ? QStringLiteral("sell") : QStringLiteral("change");
}

// Answers each list with its response, or not at all when it has none; records every request with
// the status text that was showing when it arrived.
class THoldingsServer : public QObject
{
public:
    struct TRequest
    {
        QString list;
        QString m, r;
        QString status;
        QByteArray raw;
    };

    THoldingsServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s]() { Read(s); });
        });
    }
    QString Template() const
    {
        return QStringLiteral("http://127.0.0.1:%1/MV/SDA/Go.asp?sn=lhb&a=ggcg&m=%s&r=%s").arg(m_server.serverPort());
    }
    // A response whose body is the JSON text in GBK.
    void Answer(const QString &list, const QString &json, const QByteArray &status = "200 OK")
    {
        const QByteArray body = ToGbk(json);
        Responses[list] = "HTTP/1.1 " + status + "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: "
            + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    }
    QStringList Lists() const
    {
        QStringList out;
        for (const TRequest &r : Requests)
            out << r.list;
        return out;
    }
    int Count(const QString &list) const { return int(Lists().count(list)); }

    QHash<QString, QByteArray> Responses;
    QList<TRequest> Requests;

private:
    void Read(QTcpSocket *s)
    {
        QByteArray &buf = m_pending[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        const QByteArray raw = m_pending.take(s);
        const QByteArray target = raw.split(' ').value(1);
        const QUrlQuery query(QUrl(QString::fromLatin1(target)).query());
        TRequest req{ListOf(query.queryItemValue(QStringLiteral("r"))), query.queryItemValue(QStringLiteral("m")),
                     query.queryItemValue(QStringLiteral("r")), SkinKit.SkinForm->Panel->text(), raw};
        Requests << req;
        const auto it = Responses.constFind(req.list);
        if (it == Responses.constEnd())
            return; // silent
        s->write(*it);
        s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

QString DataJson(const QStringList &rows)
{
    QStringList quoted;
    for (QString r : rows)
        quoted << u'"' + r.replace(u'"', QStringLiteral("\\\"")) + u'"';
    return QStringLiteral("{\"data\":[") + quoted.join(u',') + QStringLiteral("]}");
}

const QStringList ChangeRows{
    "1,600000,浦发银行,张三,-1200,10.50,-1.26,竞价交易,0.05,100000,A股 流通,张三,董事,本人,2015-03-02 00:00:00",
    "2,600036,招商银行,李四,5000,15.20,7.60,二级市场买卖,0.12,250000,A股,李四,监事,本人,2015-03-03 00:00:00",
    "3,000001,平安银行,王五,800,9.80,0.78,因公司实施股权激励计划而发生的持股变动,0.01,8000,A股,王一,总经理,父母,2015-03-04 10:15:00",
    "4,600000,浦发银行,赵六,,10.40,,竞价交易,,,A股,赵六,副总经理,本人,2015-03-05",
};
const QStringList BuyRows{
    "1,600036,招商银行,123456789,8100000,15.35,3.5,15.24",
    "2,600000,浦发银行,50000000,4800000,10.52,-1.2,10.41",
    "3,000002,万科A,1000000,90000,9.99,0,10.01",
};
const QStringList SellRows{
    "1,300001,特锐德,-98765432,-4200000,23.10,-4.8,23.51",
    "2,000001,平安银行,-5000000,-510000,9.81,0.51,9.80",
};

// The holdings window inside a skinned main window, whose skin gives the status bar and the info box.
struct TWindow
{
    QMainWindow main;
    TFormGGCG *form = nullptr;
    QStringList infos;

    explicit TWindow(const THoldingsServer &server)
    {
        SkinKit.ApplyFormSkin(&main);
        SkinKit.InfoHook = [this](const QString &, const QString &text, const QString &) { infos << text; };
        Json.Put(QStringLiteral("url.ggcg"), ToUtf8(server.Template()));
        form = new TFormGGCG;
        main.setCentralWidget(form);
        main.resize(1200, 700);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
    }
    ~TWindow() { SkinKit.InfoHook = nullptr; }
    // One loading pass run from the test; the timer is held afterwards so that only the test ticks.
    bool Tick()
    {
        form->Timer->stop();
        form->TimerTimer();
        const bool restarted = form->Timer->isActive();
        form->Timer->stop();
        return restarted;
    }
    QString Status() const { return SkinKit.SkinForm->Panel->text(); }
    QList<int> Selected() const { return {form->GridTop->Row(), form->GridBottomLeft->Row(), form->GridBottomRight->Row()}; }
};

void AnswerAll(THoldingsServer &server)
{
    server.Answer(QStringLiteral("change"), DataJson(ChangeRows));
    server.Answer(QStringLiteral("buy"), DataJson(BuyRows));
    server.Answer(QStringLiteral("sell"), DataJson(SellRows));
}

QString RowOf(const TGridView *g, int row)
{
    QStringList cells;
    for (int c = 0; c < g->Grid.ColCount(); ++c)
        cells << g->Grid.Cell(c, row);
    return cells.join(u'|');
}

const QString ChangeStatus = QStringLiteral("读取董监高及相关人员持股变动明细，请稍候……");
const QString BuyStatus = QStringLiteral("读取高管净增持排行榜，请稍候……");
const QString SellStatus = QStringLiteral("读取高管净减持排行榜，请稍候……");

} // namespace

Q_DECLARE_METATYPE(TRgb)

class TestGGCG : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buildsTheWindow();
    void firstTickLoadsInOrder();
    void fewRowsFetchedAgain_data();
    void fewRowsFetchedAgain();
    void failureStopsLoading_data();
    void failureStopsLoading();
    void drawingRules_data();
    void drawingRules();
    void gridsPaintByTheirOwnRules();
    void searchContinuesPerGrid();
    void searchText_data();
    void searchText();
    void screenshot();
};

void TestGGCG::initTestCase()
{
    BuildDefaultTree(Json);
}

void TestGGCG::buildsTheWindow()
{
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    TFormGGCG *f = w.form;
    QCOMPARE(f->windowTitle(), QStringLiteral("高管持股"));
    QCOMPARE(f->property("tag").toInt(), 4);
    QCOMPARE(f->Timer->interval(), 1000);
    QVERIFY(f->Timer->isActive());

    QCOMPARE(f->GridTop->Grid.ColCount(), 15);
    QCOMPARE(f->GridTop->Grid.RowText(0), HoldingsChangeCaptions());
    QCOMPARE(f->GridBottomLeft->Grid.ColCount(), 8);
    QCOMPARE(f->GridBottomLeft->Grid.RowText(0), HoldingsRankingCaptions());
    QCOMPARE(f->GridBottomRight->Grid.ColCount(), 8);
    QCOMPARE(f->GridBottomRight->Grid.RowText(0), HoldingsRankingCaptions());
    QCOMPARE(f->findChild<QLabel *>(QStringLiteral("GridTopLabel"))->text(), QStringLiteral("董监高及相关人员持股变动明细"));
    QCOMPARE(f->findChild<QLabel *>(QStringLiteral("GridBottomLeftLabel"))->text(), QStringLiteral("高管净增持排行榜"));
    QCOMPARE(f->findChild<QLabel *>(QStringLiteral("GridBottomRightLabel"))->text(), QStringLiteral("高管净减持排行榜"));
    QVERIFY(f->PanelTop->isAncestorOf(f->GridTop));
    QVERIFY(f->PanelBottomLeft->isAncestorOf(f->GridBottomLeft));
    QVERIFY(f->PanelBottomRight->isAncestorOf(f->GridBottomRight));

    // Before the first tick: captions only, nothing asked for.
    for (TGridView *g : {f->GridTop, f->GridBottomLeft, f->GridBottomRight}) {
        QCOMPARE(g->Grid.RowCount(), 2);
        QVERIFY(RowOf(g, 1).remove(u'|').isEmpty());
        QVERIFY(!TFormGGCG::Loaded(g));
    }
    QVERIFY(server.Requests.isEmpty());

    // Upper half for the change list; the lower half split between the rankings.
    QTRY_COMPARE(f->PanelTop->height(), f->height() / 2);
    QTRY_COMPARE(f->PanelBottomLeft->width(), (f->PanelBottom->contentsRect().width() - 6) / 2);
    w.main.resize(900, 500);
    QTRY_COMPARE(f->PanelTop->height(), f->height() / 2);
    QTRY_COMPARE(f->PanelBottomLeft->width(), (f->PanelBottom->contentsRect().width() - 6) / 2);
}

void TestGGCG::firstTickLoadsInOrder()
{
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    SkinKit.ShowStatus(QStringLiteral("before"));
    // The window's own timer: the lists arrive one second after creation.
    QTRY_VERIFY_WITH_TIMEOUT(TFormGGCG::Loaded(w.form->GridBottomRight), 5000);
    w.form->Timer->stop();

    QCOMPARE(server.Lists(), (QStringList{"change", "buy", "sell"}));
    QCOMPARE(server.Requests.at(0).status, ChangeStatus);
    QCOMPARE(server.Requests.at(1).status, BuyStatus);
    QCOMPARE(server.Requests.at(2).status, SellStatus);
    QCOMPARE(server.Requests.at(0).m, QString());
    QCOMPARE(server.Requests.at(0).r, QString());
    QCOMPARE(server.Requests.at(1).m, QStringLiteral("1"));
    QCOMPARE(server.Requests.at(1).r, QStringLiteral("desc"));
    QCOMPARE(server.Requests.at(2).m, QStringLiteral("1"));
    QCOMPARE(server.Requests.at(2).r, QStringLiteral("asc"));
    QVERIFY(server.Requests.at(0).raw.contains("\r\nPragma: no-cache\r\n"));
    QVERIFY(!server.Requests.at(0).raw.toLower().contains("\r\ncookie:"));
    QCOMPARE(w.Status(), QString());
    QVERIFY(w.infos.isEmpty());

    QCOMPARE(w.form->GridTop->Grid.RowCount(), 5);
    QCOMPARE(RowOf(w.form->GridTop, 1),
             QStringLiteral("1|600000|浦发银行|张三|-1200|10.50|-1.26|竞价交易|0.05|100000|A股 流通|张三|董事|本人|2015-03-02"));
    QCOMPARE(RowOf(w.form->GridTop, 4),
             QStringLiteral("4|600000|浦发银行|赵六| |10.40| |竞价交易| | |A股|赵六|副总经理|本人|2015-03-05"));
    QCOMPARE(w.form->GridTop->Grid.Cell(14, 3), QStringLiteral("2015-03-04 10:15:00"));
    QCOMPARE(w.form->GridBottomLeft->Grid.Cell(1, 1), QStringLiteral("600036")); // response order, never sorted
    QCOMPARE(w.form->GridBottomRight->Grid.RowCount(), 3);
    QCOMPARE(w.Selected(), (QList<int>{1, 1, 1}));

    // Loaded lists are not asked for again; every tick still clears the status text.
    SkinKit.ShowStatus(QStringLiteral("another window's text"));
    QVERIFY(w.Tick());
    QCOMPARE(server.Requests.size(), 3);
    QCOMPARE(w.Status(), QString());
}

void TestGGCG::fewRowsFetchedAgain_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("shown");
    QTest::newRow("one row") << DataJson({ChangeRows.at(0)}) << QStringLiteral("1|600000");
    QTest::newRow("empty data array") << QStringLiteral("{\"data\":[]}") << QStringLiteral("|");
    QTest::newRow("no data member") << QStringLiteral("{\"result\":\"ok\"}") << QStringLiteral("|");
}

void TestGGCG::fewRowsFetchedAgain()
{
    QFETCH(QString, change);
    QFETCH(QString, shown);
    THoldingsServer server;
    AnswerAll(server);
    server.Answer(QStringLiteral("change"), change);
    TWindow w(server);
    w.form->Timer->stop();

    QVERIFY(w.Tick());
    QVERIFY(w.infos.isEmpty());
    QCOMPARE(w.form->GridTop->Grid.RowCount(), 2);
    QCOMPARE(w.form->GridTop->Grid.Cell(0, 1) + u'|' + w.form->GridTop->Grid.Cell(1, 1), shown);
    QVERIFY(TFormGGCG::Loaded(w.form->GridBottomLeft));
    QVERIFY(TFormGGCG::Loaded(w.form->GridBottomRight));

    // The next tick asks for the short list again, and only for it.
    server.Answer(QStringLiteral("change"), DataJson(ChangeRows));
    QVERIFY(w.Tick());
    QCOMPARE(server.Lists(), (QStringList{"change", "buy", "sell", "change"}));
    QCOMPARE(server.Requests.last().status, ChangeStatus);
    QCOMPARE(w.form->GridTop->Grid.RowCount(), 5);
    QCOMPARE(w.Status(), QString());
    QVERIFY(w.infos.isEmpty());
}

void TestGGCG::failureStopsLoading_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("body"); // empty: the server accepts and never answers
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("statusText");
    const QStringList first{"change"};
    QTest::newRow("change list 500") << "change" << QByteArray("500 Internal Server Error") << DataJson(ChangeRows) << first
                                     << ChangeStatus;
    QTest::newRow("change list malformed") << "change" << QByteArray("200 OK") << QStringLiteral("{\"data\":[\"1\",") << first
                                           << ChangeStatus;
    QTest::newRow("buy ranking cut short") << "buy" << QByteArray("200 OK")
                                           << QStringLiteral("{\"page\":{\"n\":1},\"data\":[\"1,600000\"]}")
                                           << QStringList{"change", "buy"} << BuyStatus;
    QTest::newRow("change list silent for 5 s") << "change" << QByteArray() << QString() << first << ChangeStatus;
}

void TestGGCG::failureStopsLoading()
{
    QFETCH(QString, failing);
    QFETCH(QByteArray, status);
    QFETCH(QString, body);
    QFETCH(QStringList, asked);
    QFETCH(QString, statusText);
    THoldingsServer server;
    AnswerAll(server);
    if (body.isEmpty())
        server.Responses.remove(failing);
    else
        server.Answer(failing, body, status);
    TWindow w(server);
    w.form->Timer->stop();

    QVERIFY(!w.Tick()); // the timer stays stopped for good
    QCOMPARE(w.infos, QStringList{Json.S(QStringLiteral("msg.error"))});
    QVERIFY(w.infos.first().startsWith(QStringLiteral("发生错误，请与客服联系：")));
    QCOMPARE(server.Lists(), asked);
    QCOMPARE(w.Status(), statusText);
    QVERIFY(w.form->Failed());
    // A list loaded before the failure stays; the ones after it stay empty.
    QCOMPARE(TFormGGCG::Loaded(w.form->GridTop), failing != u"change");
    QVERIFY(!TFormGGCG::Loaded(w.form->GridBottomRight));
}

void TestGGCG::drawingRules_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<TRgb>("color");
    QTest::addColumn<bool>("right");
    using namespace GridColors;
    // Change list.
    QTest::newRow("序号 blank → row number") << "序号" << " " << 7 << false << "7" << Neutral << false;
    QTest::newRow("序号 value → row number") << "序号" << "12" << 2 << false << "2" << Neutral << false;
    QTest::newRow("序号 empty stays empty") << "序号" << "" << 3 << false << "" << Neutral << false;
    QTest::newRow("代码") << "代码" << "600000" << 1 << false << "600000" << Code << false;
    QTest::newRow("名称") << "名称" << "浦发银行" << 1 << false << "浦发银行" << Name << false;
    QTest::newRow("变动股数 negative") << "变动股数" << "-1200" << 1 << false << "-1200" << Fall << true;
    QTest::newRow("变动股数 zero") << "变动股数" << "0" << 1 << false << "0" << Neutral << true;
    QTest::newRow("变动股数 positive") << "变动股数" << "5000" << 1 << false << "5000" << Rise << true;
    QTest::newRow("变动股数 not a number") << "变动股数" << "abc" << 1 << false << "abc" << Neutral << true;
    QTest::newRow("成交均价") << "成交均价" << "10.50" << 1 << false << "10.50" << Neutral << true;
    QTest::newRow("变动金额(万) positive") << "变动金额(万)" << "7.6" << 1 << false << "7.6" << Rise << true;
    QTest::newRow("变动金额(万) negative") << "变动金额(万)" << "-1.26" << 1 << false << "-1.26" << Fall << true;
    QTest::newRow("变动原因 with 买 is not coloured") << "变动原因" << "二级市场买卖" << 1 << false << "二级市场买卖" << Neutral << false;
    QTest::newRow("变动比例(‰) no percent sign") << "变动比例(‰)" << "0.05" << 1 << false << "0.05" << Neutral << true;
    QTest::newRow("变动后持股数") << "变动后持股数" << "100000" << 1 << false << "100000" << Neutral << true;
    QTest::newRow("持股种类") << "持股种类" << "A股" << 1 << false << "A股" << Neutral << false;
    QTest::newRow("日期") << "日期" << "2015-03-02" << 1 << false << "2015-03-02" << Neutral << false;
    // Rankings.
    QTest::newRow("排名 → row number") << "排名" << "9" << 3 << false << "3" << Neutral << false;
    QTest::newRow("股份金额(万) divided") << "股份金额(万)" << "123456789" << 1 << false << "12345.68" << Neutral << true;
    QTest::newRow("股份金额(万) negative") << "股份金额(万)" << "-50000" << 1 << false << "-5.00" << Neutral << true;
    QTest::newRow("股份金额(万) not a number") << "股份金额(万)" << "n/a" << 1 << false << "0.00" << Neutral << true;
    QTest::newRow("股份金额(万) empty") << "股份金额(万)" << "" << 1 << false << "" << Neutral << true;
    QTest::newRow("股份数量(股)") << "股份数量(股)" << "-4200000" << 1 << false << "-4200000" << Neutral << true;
    QTest::newRow("最新价") << "最新价" << "15.35" << 1 << false << "15.35" << Neutral << true;
    QTest::newRow("涨跌幅 positive") << "涨跌幅" << "3.5" << 1 << false << "3.5%" << Rise << true;
    QTest::newRow("涨跌幅 negative") << "涨跌幅" << "-1.2" << 1 << false << "-1.2%" << Fall << true;
    QTest::newRow("涨跌幅 zero") << "涨跌幅" << "0" << 1 << false << "0%" << Neutral << true;
    QTest::newRow("涨跌幅 empty") << "涨跌幅" << "" << 1 << false << "" << Neutral << true;
    QTest::newRow("增减持均价") << "增减持均价" << "15.24" << 1 << false << "15.24" << Neutral << true;
    // Header cells: caption text as it is, left-aligned, in the header colour.
    QTest::newRow("header 涨跌幅") << "涨跌幅" << "涨跌幅" << 0 << true << "涨跌幅" << Header << false;
    QTest::newRow("header 序号") << "序号" << "序号" << 0 << true << "序号" << Header << false;
}

void TestGGCG::drawingRules()
{
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(int, row);
    QFETCH(bool, header);
    QFETCH(QString, shown);
    QFETCH(TRgb, color);
    QFETCH(bool, right);
    for (bool selected : {false, true}) {
        const THoldingsLook look = HoldingsCellLook(caption, text, row, header, selected);
        QCOMPARE(look.text, shown);
        QVERIFY(look.color == color);
        QCOMPARE(look.rightAligned, right);
        QCOMPARE(look.paintBackground, !header);
        if (!header)
            QVERIFY(look.background == (selected ? GridColors::Selected : GridColors::Background));
    }
}

void TestGGCG::gridsPaintByTheirOwnRules()
{
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    w.form->Timer->stop();
    QVERIFY(w.Tick());
    TGridView *g = w.form->GridTop;
    g->viewport()->repaint();
    QCoreApplication::processEvents();
    const QImage img = g->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    auto reddish = [&](int row, int col) {
        const QRect r = g->visualRect(g->model()->index(row - 1, col)) & img.rect();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 120 && c.green() < 70 && c.blue() < 70)
                    return true;
            }
        return false;
    };
    const int shares = g->Grid.ColumnOf(QStringLiteral("变动股数"));
    const int reason = g->Grid.ColumnOf(QStringLiteral("变动原因"));
    QVERIFY(reddish(2, shares));  // 5000 under 变动股数: a rise
    QVERIFY(!reddish(2, reason)); // 二级市场买卖: the seat window's 买 rule does not apply here
    QCOMPARE(img.pixelColor(g->visualRect(g->model()->index(1, reason)).topLeft() + QPoint(1, 1)), QColor(25, 25, 25));
    QCOMPARE(img.pixelColor(g->visualRect(g->model()->index(0, reason)).topLeft() + QPoint(1, 1)), QColor(0, 0, 102));

    // A column widens to the longest text it drew (+8), and never narrows again.
    const int need = g->fontMetrics().horizontalAdvance(g->Grid.Cell(reason, 3)) + 8;
    QTRY_VERIFY(g->columnWidth(reason) >= need);
}

void TestGGCG::searchContinuesPerGrid()
{
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    w.form->Timer->stop();
    QVERIFY(w.Tick());
    QCOMPARE(w.Selected(), (QList<int>{1, 1, 1}));

    // In the change list and the buy ranking: both grids move, the sell ranking has no match.
    w.form->Search(QStringLiteral(" 600000 "));
    QCOMPARE(w.Selected(), (QList<int>{4, 2, 1}));
    QVERIFY(w.infos.isEmpty());
    // Again: no grid has a further match, so all return to row 1 with the message.
    w.form->Search(QStringLiteral("600000"));
    QCOMPARE(w.Selected(), (QList<int>{1, 1, 1}));
    QCOMPARE(w.infos, QStringList{Json.S(QStringLiteral("msg.search"))});
    // And the next Enter starts over.
    w.form->Search(QStringLiteral("600000"));
    QCOMPARE(w.Selected(), (QList<int>{4, 2, 1}));
    QCOMPARE(w.infos.size(), 1);

    // A grid without a further match keeps its selection while another grid moves on.
    w.form->GridTop->SetRow(1);
    w.form->Search(QStringLiteral("600000"));
    QCOMPARE(w.Selected(), (QList<int>{4, 2, 1}));
    QCOMPARE(w.infos.size(), 1);
}

void TestGGCG::searchText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("message");
    QTest::newRow("blank does nothing") << QStringLiteral("   ") << QList<int>{1, 1, 1} << false;
    QTest::newRow("in the selected row only") << QStringLiteral("300001") << QList<int>{1, 1, 1} << true;
    QTest::newRow("code in the change list and the sell ranking") << QStringLiteral("000001") << QList<int>{3, 1, 2} << false;
    QTest::newRow("across cells") << QStringLiteral("招商银行,李四") << QList<int>{2, 1, 1} << false;
    QTest::newRow("quoted cell with a blank") << QStringLiteral(",\"2015-03-04 10:15:00\"") << QList<int>{3, 1, 1} << false;
    QTest::newRow("blank cell quoted") << QStringLiteral("赵六,\" \",10.40") << QList<int>{4, 1, 1} << false;
    QTest::newRow("case counts") << QStringLiteral("万科a") << QList<int>{1, 1, 1} << true;
    QTest::newRow("case matches") << QStringLiteral("万科A") << QList<int>{1, 3, 1} << false;
    QTest::newRow("date without midnight") << QStringLiteral("2015-03-03,") << QList<int>{1, 1, 1} << true;
    QTest::newRow("date at the row end") << QStringLiteral(",2015-03-03") << QList<int>{2, 1, 1} << false;
}

void TestGGCG::searchText()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, selected);
    QFETCH(bool, message);
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    w.form->Timer->stop();
    QVERIFY(w.Tick());
    w.form->Search(text);
    QCOMPARE(w.Selected(), selected);
    QCOMPARE(w.infos.size(), message ? 1 : 0);
}

void TestGGCG::screenshot()
{
    THoldingsServer server;
    AnswerAll(server);
    TWindow w(server);
    w.form->Timer->stop();
    QVERIFY(w.Tick());
    w.form->GridBottomLeft->SetRow(2);
    QTest::qWait(50); // columns widen after the paint that found their texts
    w.main.grab();
    QCoreApplication::processEvents();
    const QString dir = QStringLiteral(MV_BUILD_DIR "/screenshots");
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(w.main.grab().save(dir + QStringLiteral("/ggcg.png")));
}

MV_GUI_TEST_MAIN(TestGGCG)
#include "tst_ggcg.moc"
