// The research report window and the web dialog: the address split rule, the link script in a page
// served from this test, and the dialog a converted link opens.
#include "GuiTestMain.h"

#include "app/Json.h"
#include "forms/frmReport.h"
#include "forms/frmWeb.h"
#include "kit/Skin.h"
#include "views/ReportLink.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>

namespace {

// The research report page as the service lays it out: jQuery as $, report links with click scripts
// inside #maindiv, in several shapes.
const char ReportPage[] = R"html(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>研报中心</title>
<script src="/jquery.min.js"></script>
<script>var opened = []; function openDoc(a, b) { opened.push(a); }</script>
<style>
body { background: #191919; color: #ddd; font: 14px sans-serif; margin: 16px; min-height: 500px; }
h2 { color: #fc6; } a { color: #6cf; display: block; margin: 8px 0; }
#maindiv { border: 1px solid #444; padding: 8px 16px; width: 520px; }
</style></head><body>
<h2>研报中心</h2>
<div id="maindiv">
<a id="single" href="javascript:void(0)" onclick="openDoc('#r&amp;t=Annual&amp;u=doc.pdf')">Annual (single quoted address)</a>
<a id="chinese" href="javascript:void(0)" onclick="openDoc('#r&amp;t=年度报告&amp;u=doc.pdf')">年度报告 (Chinese title)</a>
<a id="two" href="javascript:void(0)" onclick="openDoc('#r&amp;t=A&amp;u=x', 'more')">two quoted arguments</a>
<a id="nohash" href="javascript:void(0)" onclick="openDoc('doc.pdf')">address without #</a>
<a id="double" href="javascript:void(0)" onclick='openDoc("#r&amp;t=B&amp;u=doc.pdf")'>double quotes</a>
<a id="plain" href="#keep">plain link</a>
<span><a id="nested" href="javascript:void(0)" onclick="openDoc('#n&amp;t=N&amp;u=n.pdf')">nested in a span</a></span>
</div>
<a id="outside" href="javascript:void(0)" onclick="openDoc('#r&amp;t=O&amp;u=o.pdf')">outside #maindiv</a>
</body></html>)html";

const char DocumentPage[] = "<html><head><title>doc</title></head>"
                            "<body style='background:#222;color:#ddd'><h1>Annual report</h1></body></html>";

// A page server on a free local port. Go.asp answers with the page its "a" parameter names; with
// holding on, the report page waits until it is released.
class TPageServer : public QObject
{
public:
    TPageServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        QFile jq(QStringLiteral("/usr/share/javascript/jquery/jquery.min.js"));
        if (jq.open(QIODevice::ReadOnly))
            m_jquery = jq.readAll();
        QObject::connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                s->setParent(this);
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s]() { Read(s); });
            }
        });
    }
    bool HasJQuery() const { return !m_jquery.isEmpty(); }
    QString Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }
    QString PageUrl(const QString &page) const { return Base() + QStringLiteral("/MV/SDA/Go.asp?sn=lhb&a=") + page; }
    QStringList Requested;
    bool Hold = false;
    void Release()
    {
        Hold = false;
        for (QTcpSocket *s : std::as_const(m_held))
            Send(s, "text/html; charset=utf-8", ReportPage);
        m_held.clear();
    }

private:
    void Read(QTcpSocket *s)
    {
        QByteArray &buf = m_buffers[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> line = buf.left(buf.indexOf("\r\n")).split(' ');
        buf.clear();
        const QUrl url(Base() + QString::fromLatin1(line.value(1)));
        Requested << url.path();
        const QString page = QUrlQuery(url).queryItemValue(QStringLiteral("a"));
        if (url.path() == QLatin1String("/jquery.min.js"))
            Send(s, "application/javascript", m_jquery);
        else if (url.path().endsWith(QLatin1String("/doc.pdf")))
            Send(s, "text/html; charset=utf-8", DocumentPage);
        else if (page == QLatin1String("report") && Hold)
            m_held << s;
        else if (page == QLatin1String("report"))
            Send(s, "text/html; charset=utf-8", ReportPage);
        else if (page == QLatin1String("nojquery"))
            // The report links without jQuery: the script stops at its first "$".
            Send(s, "text/html; charset=utf-8", QByteArray(ReportPage).replace("<script src=\"/jquery.min.js\"></script>", ""));
        else if (page == QLatin1String("otherdollar"))
            // "$" is something else than jQuery: the script raises a type error.
            Send(s, "text/html; charset=utf-8", QByteArray(ReportPage).replace("<script src=\"/jquery.min.js\"></script>", "<script>var $ = 5;</script>"));
        else
            Send(s, "text/html; charset=utf-8", "<html><body>not here</body></html>", "404 Not Found");
    }
    static void Send(QTcpSocket *s, const QByteArray &type, const QByteArray &body, const QByteArray &status = "200 OK")
    {
        s->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nConnection: close\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    QTcpServer m_server;
    QByteArray m_jquery;
    QHash<QTcpSocket *, QByteArray> m_buffers;
    QList<QTcpSocket *> m_held;
};

// Runs a script in the page and waits for its result; an invalid value when none comes.
QVariant Eval(QWebEngineView *view, const QString &script)
{
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    view->page()->runJavaScript(script, QWebEngineScript::MainWorld, [result](const QVariant &v) {
        result->first = true;
        result->second = v;
    });
    if (!QTest::qWaitFor([&]() { return result->first; }, 15000))
        return QVariant();
    return result->second;
}

// The address and click script of every link of the report page, by id.
QVariantMap Links(QWebEngineView *view)
{
    return Eval(view, QStringLiteral("(function(){var m={};var a=document.getElementsByTagName('a');"
                                     "for(var i=0;i<a.length;i++)m[a[i].id]=[String(a[i].getAttribute('href')),"
                                     "String(a[i].getAttribute('onclick'))];return m;})()"))
        .toMap();
}

QPoint CentreOf(QWebEngineView *view, const QString &id)
{
    const QVariantList r = Eval(view, QStringLiteral("(function(){var r=document.getElementById('%1')"
                                                     ".getBoundingClientRect();return [r.left+r.width/2,r.top+r.height/2];})()")
                                          .arg(id))
                               .toList();
    return r.size() == 2 ? QPoint(int(r.at(0).toDouble()), int(r.at(1).toDouble())) : QPoint();
}

// A point of the page below and right of every link.
QPoint EmptySpot(TFormReport *form)
{
    return QPoint(form->Browser->width() - 20, form->Browser->height() - 20);
}

QStringList Parts(std::initializer_list<const char16_t *> parts)
{
    QStringList list;
    for (const char16_t *p : parts)
        list << QString::fromUtf16(p);
    return list;
}

// What a web dialog showed when it was opened.
struct TOpened
{
    QString Caption;
    QUrl Address;
    QSize Size;
};

} // namespace

class TestReportWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void splitRule_data();
    void splitRule();
    void linkParameters_data();
    void linkParameters();
    void documentAddress_data();
    void documentAddress();

    void windowShowsTheReportPage();
    void clicksConvertTheLinks();
    void convertedLinkOpensTheDialog();
    void navigationOpensADialogOnlyWithTitleAndAddress_data();
    void navigationOpensADialogOnlyWithTitleAndAddress();
    void scriptBeforeAnyDocumentDoesNoHarm();
    void scriptFailuresInThePageAreIgnored_data();
    void scriptFailuresInThePageAreIgnored();
    void webDialogShowsTheDocument();
    void webDialogRunsModally();
    void clicksStillCountAfterTheInputWidgetIsReplaced();
    void statusTextsAreShownNowhere();

private:
    // Opens a report window in the main window as a maximised child window that is destroyed on close.
    TFormReport *OpenReport(const QString &url);
    bool WaitLoaded(TFormReport *form);
    // Clicks into the page and waits until the link script the click runs has finished.
    bool Click(TFormReport *form, const QPoint &pos);

    QMainWindow *m_main = nullptr;
    QMdiArea *m_mdi = nullptr;
    std::unique_ptr<TPageServer> m_server;
    QList<TOpened> m_opened;
};

void TestReportWindow::initTestCase()
{
    m_server = std::make_unique<TPageServer>();
    QVERIFY(m_server->HasJQuery());
    m_main = new QMainWindow;
    m_main->resize(1000, 700);
    SkinKit.ApplyFormSkin(m_main);
    m_mdi = new QMdiArea(m_main);
    m_mdi->setViewMode(QMdiArea::SubWindowView);
    m_main->setCentralWidget(m_mdi);
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void TestReportWindow::init()
{
    m_opened.clear();
    m_server->Hold = false;
    TFormWeb::ModalHook = [this](TFormWeb *web) {
        m_opened << TOpened{web->windowTitle(), web->Web->url(), web->size()};
    };
}

void TestReportWindow::cleanupTestCase()
{
    TFormWeb::ModalHook = nullptr;
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        delete sub;
    delete m_main;
}

TFormReport *TestReportWindow::OpenReport(const QString &url)
{
    Json.Put(QStringLiteral("url.report"), ToUtf8(url));
    auto *form = new TFormReport;
    auto *sub = new QMdiSubWindow;
    sub->setWidget(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    m_mdi->addSubWindow(sub);
    sub->showMaximized();
    return form;
}

bool TestReportWindow::WaitLoaded(TFormReport *form)
{
    QSignalSpy spy(form->Browser, &QWebEngineView::loadFinished);
    return spy.wait(30000) && spy.first().first().toBool();
}

bool TestReportWindow::Click(TFormReport *form, const QPoint &pos)
{
    QWidget *input = form->Browser->focusProxy();
    if (!input)
        return false;
    QSignalSpy done(form, &TFormReport::LinkScriptDone);
    QTest::mouseClick(input, Qt::LeftButton, {}, pos);
    return done.wait(15000);
}

// ---- The split rule and the link parameters ----

void TestReportWindow::splitRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("separator") << "page#r&t=A" << QChar(u'#') << QStringList{"page", "r&t=A"};
    QTest::newRow("blank splits") << "Annual report" << QChar(u'&') << QStringList{"Annual", "report"};
    QTest::newRow("blanks around a separator") << "a  &  b" << QChar(u'&') << QStringList{"a", "b"};
    QTest::newRow("leading blanks skipped") << "   a&b" << QChar(u'&') << QStringList{"a", "b"};
    QTest::newRow("control characters split") << QString("a\tb\r\nc\x01" "d") << QChar(u'=')
                                              << QStringList{"a", "b", "c", "d"};
    QTest::newRow("trailing separator adds an empty part") << "t=" << QChar(u'=') << QStringList{"t", ""};
    QTest::newRow("separator alone") << "=" << QChar(u'=') << QStringList{"", ""};
    QTest::newRow("trailing separator then blank adds nothing") << "t= " << QChar(u'=') << QStringList{"t"};
    QTest::newRow("leading separator") << "=a" << QChar(u'=') << QStringList{"", "a"};
    QTest::newRow("two separators") << "a==b" << QChar(u'=') << QStringList{"a", "", "b"};
    QTest::newRow("query string") << "u=view.asp?id=7" << QChar(u'=') << QStringList{"u", "view.asp?id", "7"};
    QTest::newRow("empty") << "" << QChar(u'&') << QStringList{};
    QTest::newRow("blanks only") << " \t " << QChar(u'&') << QStringList{};
    QTest::newRow("quoted part keeps blanks and separators") << "\"a b&c\"&d" << QChar(u'&')
                                                              << QStringList{"a b&c", "d"};
    QTest::newRow("doubled quote inside") << "\"say \"\"hi\"\"\"&x" << QChar(u'&') << QStringList{"say \"hi\"", "x"};
    QTest::newRow("empty quoted part") << "\"\"&x" << QChar(u'&') << QStringList{"", "x"};
    QTest::newRow("text after the closing quote is a new part") << "\"ab\"cd" << QChar(u'&') << QStringList{"ab", "cd"};
    QTest::newRow("quote inside a part is kept") << "a\"b&c" << QChar(u'&') << QStringList{"a\"b", "c"};
    QTest::newRow("unclosed quote runs to the end") << "x&\"ab c" << QChar(u'&') << QStringList{"x", "ab c"};
    QTest::newRow("NUL ends the text") << QString::fromLatin1("a&b\0&c", 6) << QChar(u'&') << QStringList{"a", "b"};
    QTest::newRow("NUL first") << QString::fromLatin1("\0a", 2) << QChar(u'&') << QStringList{};
    QTest::newRow("Chinese text, ideographic space is no blank")
        << QStringLiteral("t=年度　报告") << QChar(u'=') << Parts({u"t", u"年度　报告"});
}

void TestReportWindow::splitRule()
{
    QFETCH(QString, text);
    QFETCH(QChar, separator);
    QFETCH(QStringList, parts);
    QCOMPARE(SplitDelimited(text, separator), parts);
}

void TestReportWindow::linkParameters_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("document");

    QTest::newRow("title and document") << "page#r&t=Annual&u=doc.pdf" << "Annual" << "doc.pdf";
    QTest::newRow("blank in the title") << "page#r&t=Annual report&u=x" << "" << "";
    QTest::newRow("empty title") << "page#r&t=&u=doc.pdf" << "" << "doc.pdf";
    QTest::newRow("query string in the document") << "page#r&t=A&u=view.asp?id=7" << "A" << "";
    QTest::newRow("gateway address with its query")
        << "http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=report#r&t=年报&u=http://h/d.pdf" << "年报" << "http://h/d.pdf";
    QTest::newRow("keys are not examined") << "p#x&=T&whatever=D" << "T" << "D";
    QTest::newRow("no fragment") << "page?t=A&u=d" << "" << "";
    QTest::newRow("empty fragment") << "page#" << "" << "";
    QTest::newRow("two #") << "page#a#r&t=A&u=d" << "" << "";
    QTest::newRow("two items") << "page#t=A&u=d" << "" << "";
    QTest::newRow("four items") << "page#r&t=A&u=d&x" << "" << "";
    QTest::newRow("title without =") << "page#r&A&u=d" << "" << "d";
    QTest::newRow("document without =") << "page#r&t=A&d" << "A" << "";
    QTest::newRow("empty item") << "page#r&&u=d" << "" << "d";
    // A quote only counts at the start of a part, so the blank inside splits the address at "#".
    QTest::newRow("quoted title") << "page#r&t=\"A B\"&u=d" << "" << "";
    QTest::newRow("empty address") << "" << "" << "";
}

void TestReportWindow::linkParameters()
{
    QFETCH(QString, address);
    QFETCH(QString, title);
    QFETCH(QString, document);
    const TReportLink link = ParseReportLink(address);
    QCOMPARE(link.Title, title);
    QCOMPARE(link.Document, document);
    QCOMPARE(link.Opens(), !title.isEmpty() && !document.isEmpty());
}

void TestReportWindow::documentAddress_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("url");

    const QString page = QStringLiteral("http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=report#r&t=A&u=doc.pdf");
    QTest::newRow("relative") << page << "doc.pdf" << "http://127.0.0.1:8610/MV/SDA/doc.pdf";
    QTest::newRow("from the root") << page << "/r/doc.pdf" << "http://127.0.0.1:8610/r/doc.pdf";
    QTest::newRow("absolute http") << page << "http://docs.example/a.pdf" << "http://docs.example/a.pdf";
    QTest::newRow("absolute https") << page << "HTTPS://docs.example/a.pdf" << "https://docs.example/a.pdf";
    QTest::newRow("scheme-relative") << page << "//docs.example/a.pdf" << "http://docs.example/a.pdf";
    QTest::newRow("local file from a web page") << page << "file:///etc/passwd" << "";
    QTest::newRow("script address") << page << "javascript:alert(1)" << "";
    QTest::newRow("data address") << page << "data:text/html,<b>x</b>" << "";
    QTest::newRow("local page, relative") << "file:///srv/report.html#r&t=A&u=doc.pdf" << "doc.pdf" << "file:///srv/doc.pdf";
    QTest::newRow("no page, relative") << "" << "doc.pdf" << "";
}

void TestReportWindow::documentAddress()
{
    QFETCH(QString, page);
    QFETCH(QString, document);
    QFETCH(QString, url);
    QCOMPARE(ReportDocumentUrl(QUrl(page), document).toString(), url);
}

// ---- The window ----

void TestReportWindow::windowShowsTheReportPage()
{
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QPointer<TFormReport> guard(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("研报中心"));
    QVERIFY(WaitLoaded(form));
    QCOMPARE(form->Browser->url().toString(), m_server->PageUrl(QStringLiteral("report")));
    QTRY_COMPARE(form->Browser->geometry(), form->rect()); // the browser fills the window
    QCOMPARE(Eval(form->Browser, QStringLiteral("typeof $")).toString(), QStringLiteral("function"));

    // A click converts the links, so the screenshot shows the page as the user sees it after one.
    QVERIFY(Click(form, EmptySpot(form)));
    QTest::qWait(200); // let the page paint before the grab
    QDir().mkpath(QStringLiteral(MV_BUILD_DIR "/screenshots"));
    QVERIFY(m_main->grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/report.png")));

    form->parentWidget()->close();
    QTRY_VERIFY(!guard); // closing destroys the window
    QVERIFY(m_opened.isEmpty());
}

void TestReportWindow::clicksConvertTheLinks()
{
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QVERIFY(WaitLoaded(form));
    const QVariantMap before = Links(form->Browser);
    QCOMPARE(before.size(), 8);

    QVERIFY(Click(form, EmptySpot(form))); // an empty spot
    const QVariantMap after = Links(form->Browser);
    auto converted = [&](const QString &id, const QString &href) {
        QCOMPARE(after.value(id).toList(), (QVariantList{href, QString()}));
    };
    converted(QStringLiteral("single"), QStringLiteral("#r&t=Annual&u=doc.pdf"));
    converted(QStringLiteral("chinese"), QStringLiteral("#r&t=年度报告&u=doc.pdf"));
    converted(QStringLiteral("nested"), QStringLiteral("#n&t=N&u=n.pdf"));
    // Left alone: two quoted arguments, no "#", double quotes, no click script, outside #maindiv.
    for (const char *id : {"two", "nohash", "double", "plain", "outside"})
        QCOMPARE(after.value(QLatin1String(id)), before.value(QLatin1String(id)));
    QCOMPARE(Eval(form->Browser, QStringLiteral("opened.length")).toInt(), 0);

    // A link added later is converted by the next click.
    Eval(form->Browser, QStringLiteral("$('#maindiv').append(\"<a id='late' href='javascript:void(0)' "
                                       "onclick=\\\"openDoc('#r&t=Late&u=late.pdf')\\\">late</a>\"); 1"));
    QCOMPARE(Links(form->Browser).value(QStringLiteral("late")).toList().value(0).toString(),
             QStringLiteral("javascript:void(0)"));
    QVERIFY(Click(form, EmptySpot(form)));
    QCOMPARE(Links(form->Browser).value(QStringLiteral("late")).toList(),
             (QVariantList{QStringLiteral("#r&t=Late&u=late.pdf"), QString()}));
    QVERIFY(m_opened.isEmpty()); // clicks on empty spots open nothing
    form->parentWidget()->close();
}

void TestReportWindow::convertedLinkOpensTheDialog()
{
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QVERIFY(WaitLoaded(form));
    QVERIFY(Click(form, EmptySpot(form)));

    // The Chinese title travels percent-encoded in the address and comes back as the caption.
    const QPoint link = CentreOf(form->Browser, QStringLiteral("chinese"));
    QVERIFY(!link.isNull());
    QVERIFY(Click(form, link));
    QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 1, 15000);
    QCOMPARE(m_opened.at(0).Caption, QStringLiteral("年度报告"));
    QCOMPARE(m_opened.at(0).Address.toString(), m_server->Base() + QStringLiteral("/MV/SDA/doc.pdf"));
    QCOMPARE(m_opened.at(0).Size, QSize(800, 600));
    QCOMPARE(Eval(form->Browser, QStringLiteral("opened.length")).toInt(), 0); // the page's own script did not run

    // Once the dialog has closed, the link address is gone from the page's address, so the same link
    // opens its document again.
    const QString page = m_server->PageUrl(QStringLiteral("report"));
    QTRY_COMPARE_WITH_TIMEOUT(form->Browser->url().toString(), page, 15000);
    QCOMPARE(Eval(form->Browser, QStringLiteral("location.href")).toString(), page);
    QCOMPARE(Links(form->Browser).value(QStringLiteral("chinese")).toList().value(0).toString(),
             QStringLiteral("#r&t=年度报告&u=doc.pdf"));
    QVERIFY(Click(form, link));
    QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 2, 15000);
    QCOMPARE(m_opened.at(1).Caption, QStringLiteral("年度报告"));
    m_opened.clear();

    // Another converted link opens another dialog.
    QVERIFY(Click(form, CentreOf(form->Browser, QStringLiteral("single"))));
    QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 1, 15000);
    QCOMPARE(m_opened.at(0).Caption, QStringLiteral("Annual"));
    QCOMPARE(m_opened.at(0).Address.toString(), m_server->Base() + QStringLiteral("/MV/SDA/doc.pdf"));

    // An in-page address change made by the page's script counts as well.
    Eval(form->Browser, QStringLiteral("location.hash = 'r&t=Hash&u=/doc.pdf'; 1"));
    QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 2, 15000);
    QCOMPARE(m_opened.at(1).Caption, QStringLiteral("Hash"));
    QCOMPARE(m_opened.at(1).Address.toString(), m_server->Base() + QStringLiteral("/doc.pdf"));
    form->parentWidget()->close();
}

void TestReportWindow::navigationOpensADialogOnlyWithTitleAndAddress_data()
{
    QTest::addColumn<QString>("fragment");
    QTest::addColumn<QString>("caption"); // empty: no dialog
    QTest::addColumn<QString>("document");

    QTest::newRow("title and document") << "#r&t=Annual&u=doc.pdf" << "Annual" << "/MV/SDA/doc.pdf";
    QTest::newRow("blank in the title") << "#r&t=Annual%20report&u=x" << "" << "";
    QTest::newRow("empty title") << "#r&t=&u=doc.pdf" << "" << "";
    QTest::newRow("query string in the document") << "#r&t=A&u=view.asp?id=7" << "" << "";
    QTest::newRow("empty document") << "#r&t=A&u=" << "" << "";
    QTest::newRow("no link parameters") << "#top" << "" << "";
    QTest::newRow("local file") << "#r&t=A&u=file:///etc/passwd" << "" << "";
    QTest::newRow("script address") << "#r&t=A&u=javascript:alert(1)" << "" << "";
    QTest::newRow("absolute document") << "#r&t=A&u=$BASE/x.pdf" << "A" << "$BASE/x.pdf";
}

void TestReportWindow::navigationOpensADialogOnlyWithTitleAndAddress()
{
    QFETCH(QString, fragment);
    QFETCH(QString, caption);
    QFETCH(QString, document);
    fragment.replace(QLatin1String("$BASE"), m_server->Base());
    document.replace(QLatin1String("$BASE"), m_server->Base());
    TFormReport *form = OpenReport(QString()); // no page: the handler is driven directly
    QPointer<TFormWeb> dialog;
    TFormWeb::ModalHook = [&](TFormWeb *web) {
        dialog = web;
        m_opened << TOpened{web->windowTitle(), web->Web->url(), web->size()};
    };
    form->NavigateComplete(QUrl(m_server->PageUrl(QStringLiteral("report")) + fragment));
    if (caption.isEmpty()) {
        QVERIFY(m_opened.isEmpty());
    } else {
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.at(0).Caption, caption);
        QCOMPARE(m_opened.at(0).Address.toString(), document.startsWith(u'/') ? m_server->Base() + document : document);
        QTRY_VERIFY(!dialog); // destroyed once closed
    }
    form->parentWidget()->close();
}

void TestReportWindow::scriptBeforeAnyDocumentDoesNoHarm()
{
    m_server->Hold = true;
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QPointer<TFormReport> guard(form);
    QSignalSpy loaded(form->Browser, &QWebEngineView::loadFinished);
    QSignalSpy done(form, &TFormReport::LinkScriptDone);
    form->BrowserMouseClick(); // nothing has loaded yet
    form->BrowserMouseClick();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 15000);
    QVERIFY(guard);
    QVERIFY(loaded.isEmpty());
    m_server->Release();
    QVERIFY(loaded.wait(30000));
    QVERIFY(loaded.first().first().toBool());
    // The early runs left nothing behind: the links are as the page gave them, and a click converts them.
    QCOMPARE(Links(form->Browser).value(QStringLiteral("single")).toList().value(0).toString(),
             QStringLiteral("javascript:void(0)"));
    QVERIFY(Click(form, EmptySpot(form)));
    QCOMPARE(Links(form->Browser).value(QStringLiteral("single")).toList().value(0).toString(),
             QStringLiteral("#r&t=Annual&u=doc.pdf"));
    QVERIFY(m_opened.isEmpty());
    form->parentWidget()->close();
}

void TestReportWindow::scriptFailuresInThePageAreIgnored_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("no jQuery") << "nojquery";
    QTest::newRow("$ is no function") << "otherdollar";
}

void TestReportWindow::scriptFailuresInThePageAreIgnored()
{
    QFETCH(QString, page);
    TFormReport *form = OpenReport(m_server->PageUrl(page));
    QVERIFY(WaitLoaded(form));
    const QVariantMap before = Links(form->Browser);
    QCOMPARE(before.size(), 8);
    QVERIFY(Click(form, EmptySpot(form)));
    QCOMPARE(Links(form->Browser), before);
    // The page stays usable: its own link scripts still run, and an in-page link address still opens.
    QVERIFY(Click(form, CentreOf(form->Browser, QStringLiteral("single"))));
    QTRY_COMPARE(Eval(form->Browser, QStringLiteral("opened.length")).toInt(), 1);
    QVERIFY(m_opened.isEmpty());
    Eval(form->Browser, QStringLiteral("location.hash = 'r&t=Annual&u=doc.pdf'; 1"));
    QTRY_COMPARE_WITH_TIMEOUT(m_opened.size(), 1, 15000);
    form->parentWidget()->close();
}

void TestReportWindow::webDialogShowsTheDocument()
{
    // The hook shows the dialog without a modal loop, as exec would, and looks at it.
    QRect frame;
    QSize dialogSize;
    QString pageTitle;
    bool skinned = false;
    QPointer<TFormWeb> dialog;
    TFormWeb::ModalHook = [&](TFormWeb *web) {
        dialog = web;
        web->show();
        if (!QTest::qWaitForWindowExposed(web))
            return;
        frame = web->frameGeometry();
        dialogSize = web->size();
        QTRY_COMPARE_WITH_TIMEOUT(web->Web->title(), QStringLiteral("doc"), 30000);
        pageTitle = web->Web->title();
        QTRY_COMPARE(web->Web->geometry(), web->rect()); // the browser fills the dialog
        QTest::qWait(200);
        web->grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/report-web.png"));
        skinned = web->BSForm != nullptr;
    };
    TFormReport *form = OpenReport(QString());
    form->NavigateComplete(QUrl(m_server->PageUrl(QStringLiteral("report")) + QStringLiteral("#r&t=Annual&u=doc.pdf")));
    QCOMPARE(pageTitle, QStringLiteral("doc"));
    QVERIFY(skinned); // the dialog holds the shared skin
    QCOMPARE(dialogSize, QSize(800, 600));
    // Centred on the main window.
    QVERIFY((frame.center() - m_main->frameGeometry().center()).manhattanLength() <= 2);
    QTRY_VERIFY(!dialog); // closing destroys it
    form->parentWidget()->close();
}

void TestReportWindow::webDialogRunsModally()
{
    // The real modal loop: the navigation returns only once the dialog has been closed, and it is gone then.
    TFormWeb::ModalHook = nullptr;
    QPointer<QWidget> modal;
    QString caption;
    Qt::WindowModality modality = Qt::NonModal;
    QObject scope; // pending looks end with the test
    std::function<void()> closeModal = [&]() {
        if (auto *web = qobject_cast<TFormWeb *>(QApplication::activeModalWidget())) {
            modal = web;
            caption = web->windowTitle();
            modality = web->windowModality();
            web->close();
            return;
        }
        QTimer::singleShot(10, &scope, closeModal); // not in the modal loop yet
    };
    QTimer::singleShot(0, &scope, closeModal);
    TFormReport *form = OpenReport(QString());
    form->NavigateComplete(QUrl(m_server->PageUrl(QStringLiteral("report")) + QStringLiteral("#r&t=Modal&u=doc.pdf")));
    QCOMPARE(caption, QStringLiteral("Modal"));
    QCOMPARE(modality, Qt::ApplicationModal);
    QTRY_VERIFY(!modal);
    form->parentWidget()->close();
}

void TestReportWindow::clicksStillCountAfterTheInputWidgetIsReplaced()
{
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QVERIFY(WaitLoaded(form));
    QPointer<QWidget> first = form->Browser->focusProxy();
    // Another site gets another renderer, and the view another input widget.
    QString other = m_server->PageUrl(QStringLiteral("report"));
    other.replace(QStringLiteral("127.0.0.1"), QStringLiteral("localhost"));
    form->Browser->setUrl(QUrl(other));
    QVERIFY(WaitLoaded(form));
    QVERIFY(form->Browser->focusProxy() != first.data());
    QVERIFY(Click(form, EmptySpot(form)));
    QCOMPARE(Links(form->Browser).value(QStringLiteral("single")).toList().value(0).toString(),
             QStringLiteral("#r&t=Annual&u=doc.pdf"));
    form->parentWidget()->close();
}

void TestReportWindow::statusTextsAreShownNowhere()
{
    TFormReport *form = OpenReport(m_server->PageUrl(QStringLiteral("report")));
    QVERIFY(WaitLoaded(form));
    SkinKit.ShowStatus(QString());
    // The pointer over a link makes the page report the link's address as its status text.
    QSignalSpy hovered(form->Browser->page(), &QWebEnginePage::linkHovered);
    const QPoint at = CentreOf(form->Browser, QStringLiteral("plain"));
    QMouseEvent move(QEvent::MouseMove, at, form->Browser->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(form->Browser->focusProxy(), &move);
    QTRY_VERIFY_WITH_TIMEOUT(!hovered.isEmpty(), 15000);
    QVERIFY(hovered.first().first().toString().endsWith(QStringLiteral("#keep")));
    QCOMPARE(SkinKit.SkinForm->Panel->text(), QString());
    QVERIFY(form->findChildren<QStatusBar *>().isEmpty());
    form->parentWidget()->close();
}

MV_GUI_TEST_MAIN(TestReportWindow)
#include "tst_report_window.moc"
