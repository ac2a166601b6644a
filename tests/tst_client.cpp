// The main window and the passport window, driven through their real widgets.
#include "Fixture.h"
#include "GuiTestMain.h"

#include "app/Config.h"
#include "app/MV_Pub.h"
#include "app/Json.h"
#include "forms/frmClient.h"
#include "forms/frmLogin.h"
#include "kit/GridView.h"
#include "kit/Skin.h"

#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QWebEngineView>

namespace {

// A page server on a free local port that answers only when told to, so a test sees the loading state.
class THeldPageServer : public QObject
{
public:
    THeldPageServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                m_sockets << s;
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s]() {
                    const QByteArray req = s->readAll();
                    if (req.startsWith("GET /frame"))
                        Send(s, "<html><body>frame</body></html>");
                    else if (m_release)
                        Send(s, Page());
                    else
                        m_held << s;
                });
            }
        });
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/MV/SDA/Go.asp?sn=lhb&a=login").arg(m_server.serverPort()); }
    void Release()
    {
        m_release = true;
        for (QTcpSocket *s : std::as_const(m_held))
            Send(s, Page());
        m_held.clear();
    }

private:
    static QByteArray Page()
    {
        return "<html><head><meta charset='utf-8'></head><body style='background:#191919;color:#ddd'>"
               "<h1>通行证</h1><iframe src='/frame'></iframe></body></html>";
    }
    static void Send(QTcpSocket *s, const QByteArray &body)
    {
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QList<QTcpSocket *> m_sockets, m_held;
    bool m_release = false;
};

// A tool window with a grid, a spin edit and a search, standing in for the seat analysis window.
class TSearchWindow : public QWidget
{
    Q_OBJECT
public:
    TSearchWindow()
    {
        setProperty("mdiChild", true);
        Grid = SkinKit.CreateGrid(this);
        Spin = static_cast<QSpinBox *>(SkinKit.CreateSpinEdit(this, false, 0, 99999, 7, TAlign::Top, 0, 0, 0, 0));
    }
    TGridView *Grid;
    QSpinBox *Spin;
    QStringList Searched;
    Q_INVOKABLE void Search(const QString &s) { Searched << s; }
};

// Takes the addresses the program asks the system to open.
class TUrlSink : public QObject
{
    Q_OBJECT
public:
    int Count = 0;
public slots:
    void Open(const QUrl &) { ++Count; }
};

QToolButton *Raised(TFormClient &c)
{
    QToolButton *raised = nullptr;
    for (int tag : {0, 1, 2, 3, 4, 6})
        if (!c.Button(tag)->autoRaise()) {
            if (raised)
                return nullptr; // more than one
            raised = c.Button(tag);
        }
    return raised;
}

} // namespace

class TestClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void firstStart();
    void settingsRoundTrip();
    void maximisedExitKeepsTheSize();
    void toolMarking();
    void seatWindowOnceUntilClosed();
    void typingStartsASearch();
    void enterRoutesTheSearch();
    void hintsShowInTheStatusBar();
    void passportWaitsForThePage();

private:
    QString SettingsFile() const { return NativePath(Json.S(QStringLiteral("app.run"))); }
};

void TestClient::init()
{
    SkinKit.InfoHook = nullptr;
}

void TestClient::firstStart()
{
    TFixture fx; // an empty working directory
    {
        TFormClient client;
        QCOMPARE(client.windowTitle(), QStringLiteral("Morvane v1.2.3.12"));
        QCOMPARE(QApplication::applicationDisplayName(), QStringLiteral("Morvane Client"));
        QCOMPARE(client.size(), QSize(1000, 700));
        QCOMPARE(client.minimumSize(), QSize(800, 600));
        client.show();
        QVERIFY(QTest::qWaitForWindowExposed(&client));
        QVERIFY(client.FormLogin);
        QCOMPARE(client.ActiveChild(), client.FormLogin.data());
        QVERIFY(client.FormLogin->parentWidget()->isMaximized());
        QCOMPARE(Raised(client), client.Button(0));
        QCOMPARE(client.MdiArea->viewMode(), QMdiArea::SubWindowView);
        // Buttons: the left ones in their order, data update at the right end.
        QVERIFY(client.Button(0)->x() < client.Button(2)->x());
        QVERIFY(client.Button(2)->x() < client.Button(4)->x());
        QVERIFY(client.Button(4)->x() < client.Button(3)->x());
        QVERIFY(client.Button(3)->x() < client.Button(6)->x());
        QVERIFY(client.Button(6)->x() < client.Button(1)->x());
        QCOMPARE(client.Button(2)->text(), QStringLiteral(" 龙虎榜 "));
        QCOMPARE(client.ToolButtonDown, client.Button(1));
        // The window cannot be made smaller than its minimum.
        client.resize(300, 200);
        QCOMPARE(client.size(), QSize(800, 600));
        client.resize(1000, 700);
        QDir().mkpath(QStringLiteral(MV_BUILD_DIR "/screenshots"));
        QTest::qWait(200);
        client.grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/client.png"));
        client.close();
    }
    // At exit the folder and the settings file were made, with the size as integers.
    QVERIFY(QFile::exists(QStringLiteral("Setting/Run.dat")));
    const JsonValue run = Json.LoadJson(Json.S(QStringLiteral("app.run")), true, QString());
    QCOMPARE(run["form"]["height"].dump(), std::string("700"));
    QCOMPARE(run["form"]["width"].dump(), std::string("1000"));
}

void TestClient::settingsRoundTrip()
{
    TFixture fx;
    Json.SaveJson(JsonValue::parse(R"({"form":{"height":900},"lhb":{"attention":[3,17]}})"),
                  QStringLiteral(".\\Setting\\Run.dat"), QString(), true);
    {
        TFormClient client;
        QCOMPARE(client.size(), QSize(1000, 900));
        client.show();
        QVERIFY(QTest::qWaitForWindowExposed(&client));
        client.resize(1100, 750);
        client.close();
    }
    const JsonValue run = Json.LoadJson(QStringLiteral(".\\Setting\\Run.dat"), true, QString());
    QCOMPARE(run["form"]["height"].get<int>(), 750);
    QCOMPARE(run["form"]["width"].get<int>(), 1100);
    QCOMPARE(run["lhb"]["attention"].dump(), std::string("[3,17]")); // the rest of the settings survives
}

void TestClient::maximisedExitKeepsTheSize()
{
    TFixture fx;
    Json.SaveJson(JsonValue::parse(R"({"form":{"height":650,"width":900}})"), QStringLiteral(".\\Setting\\Run.dat"),
                  QString(), true);
    {
        TFormClient client;
        client.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&client));
        QTRY_VERIFY(client.isMaximized());
        client.close();
    }
    const JsonValue run = Json.LoadJson(QStringLiteral(".\\Setting\\Run.dat"), true, QString());
    QCOMPARE(run["form"]["height"].get<int>(), 650);
    QCOMPARE(run["form"]["width"].get<int>(), 900);
}

void TestClient::toolMarking()
{
    TFixture fx;
    TFormClient client;
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    QCOMPARE(Raised(client), client.Button(0));
    // Help opens its address and the data update reports the missing download program: neither marks.
    QStringList infos;
    SkinKit.InfoHook = [&](const QString &, const QString &text, const QString &) { infos << text; };
    TUrlSink sink;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &sink, "Open");
    client.Button(6)->click();
    client.Button(1)->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    QCOMPARE(sink.Count, 1);
    QCOMPARE(infos.size(), 1);
    QCOMPARE(Raised(client), client.Button(0));
    client.Button(2)->click();
    QCOMPARE(Raised(client), client.Button(2));
    client.Button(0)->click();
    QCOMPARE(Raised(client), client.Button(0));
    // The passport window exists once; closing it only minimises it.
    QPointer<TFormLogin> login = client.FormLogin;
    client.Button(0)->click();
    QCOMPARE(client.FormLogin.data(), login.data());
    login->parentWidget()->close();
    QVERIFY(login);
    QTRY_VERIFY(login->parentWidget()->isMinimized());
}

void TestClient::seatWindowOnceUntilClosed()
{
    TFixture fx;
    TFormClient client;
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    client.Button(2)->click();
    QPointer<QWidget> first = client.FormLHB;
    QVERIFY(first);
    QCOMPARE(client.ActiveChild(), first.data());
    client.Button(0)->click();
    client.Button(2)->click();
    QCOMPARE(client.FormLHB.data(), first.data()); // the same window, brought to the front
    QCOMPARE(client.ActiveChild(), first.data());
    first->parentWidget()->close();
    QTRY_VERIFY(!first); // closing destroys it
    QVERIFY(!client.FormLHB);
    client.Button(2)->click();
    QVERIFY(client.FormLHB);
    QCOMPARE(client.ActiveChild(), client.FormLHB.data());
}

void TestClient::typingStartsASearch()
{
    TFixture fx;
    TFormClient client;
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    auto *tool = new TSearchWindow;
    client.ShowChild(tool, false);
    tool->Grid->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), tool->Grid);
    QTest::keyClick(tool->Grid, Qt::Key_A, Qt::NoModifier);
    QCOMPARE(client.EditSearch->text(), QStringLiteral("a"));
    QCOMPARE(QApplication::focusWidget(), client.EditSearch);
    QCOMPARE(client.EditSearch->cursorPosition(), 1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("bc"));
    QCOMPARE(client.EditSearch->text(), QStringLiteral("abc"));

    // A digit typed into a text-taking control stays there.
    tool->Spin->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), tool->Spin);
    tool->Spin->selectAll();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("30"));
    QCOMPARE(tool->Spin->value(), 30);
    QCOMPARE(client.EditSearch->text(), QStringLiteral("abc"));

    // While the passport window is active, typing is the page's.
    client.Button(0)->click();
    QCOMPARE(client.ActiveChild(), client.FormLogin.data());
    QWidget *inPassport = client.FormLogin->LabelWait;
    inPassport->setFocusPolicy(Qt::StrongFocus);
    inPassport->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), inPassport);
    QTest::keyClick(inPassport, Qt::Key_Z);
    QCOMPARE(client.EditSearch->text(), QStringLiteral("abc"));
}

void TestClient::enterRoutesTheSearch()
{
    TFixture fx;
    TFormClient client;
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    auto *lhb = new TSearchWindow;
    client.FormLHB = lhb;
    client.ShowChild(lhb, false);
    client.EditSearch->setText(QStringLiteral("6000"));
    QTest::keyClick(client.EditSearch, Qt::Key_Return);
    QCOMPARE(lhb->Searched, QStringList{QStringLiteral("6000")});
    QCOMPARE(client.EditSearch->text(), QStringLiteral("6000")); // the text stays
    // Another window active: Enter does nothing.
    auto *other = new TSearchWindow;
    client.ShowChild(other, false);
    QTest::keyClick(client.EditSearch, Qt::Key_Return);
    QCOMPARE(lhb->Searched.size(), 1);
    QVERIFY(other->Searched.isEmpty());
}

void TestClient::hintsShowInTheStatusBar()
{
    TFixture fx;
    TFormClient client;
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    QStatusTipEvent tip(client.EditSearch->statusTip());
    QApplication::sendEvent(client.EditSearch, &tip);
    QCOMPARE(SkinKit.SkinForm->Panel->text(), QStringLiteral("关键字查找"));
}

void TestClient::passportWaitsForThePage()
{
    TFixture fx;
    THeldPageServer server;
    TFormClient client;
    Json.Put(QStringLiteral("url.login"), ToUtf8(server.Url()));
    client.show();
    QVERIFY(QTest::qWaitForWindowExposed(&client));
    TFormLogin *login = client.FormLogin;
    QVERIFY(login);
    QCOMPARE(login->windowTitle(), QStringLiteral("通行证"));
    QCOMPARE(login->Browser->url().toString(), server.Url());
    // Loading: the waiting text centred, the browser out of view.
    QTest::qWait(300);
    QVERIFY(!login->Shown());
    QCOMPARE(login->Browser->geometry(), QRect(-1, -1, 1, 1));
    QVERIFY(login->LabelWait->isVisible());
    const QPoint centred((login->width() - login->LabelWait->width()) / 2, (login->height() - login->LabelWait->height()) / 2);
    QCOMPARE(login->LabelWait->pos(), centred);
    // Resizing while loading leaves the text where it was placed.
    client.resize(1200, 800);
    QTest::qWait(100);
    QCOMPARE(login->LabelWait->pos(), centred);
    // The page completes: the browser fills the window, and stays so.
    server.Release();
    QTRY_VERIFY_WITH_TIMEOUT(login->Shown(), 30000);
    QTRY_COMPARE(login->Browser->geometry(), login->rect());
    QTest::qWait(300);
    client.grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/passport.png"));
    login->Browser->setUrl(QUrl(server.Url() + QStringLiteral("#next")));
    QTest::qWait(200);
    QCOMPARE(login->Browser->geometry(), login->rect());
}

MV_GUI_TEST_MAIN(TestClient)
#include "tst_client.moc"
