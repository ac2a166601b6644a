#include "Gateway.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerResponder>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextStream>
#include <QUrlQuery>

// Resources of a static library must be registered by name, or the linker drops them.
static void InitGatewayResources() { Q_INIT_RESOURCE(gateway); }

const QString TGateway::DefaultJquery = QStringLiteral("/usr/share/javascript/jquery/jquery.min.js");

namespace {

using TMethod = QHttpServerRequest::Method;

const QByteArray Html = QByteArrayLiteral("text/html; charset=utf-8");
const QByteArray Text = QByteArrayLiteral("text/plain; charset=utf-8");
// The rows are written with \u escapes, so the body is ASCII and reads the same as GBK, the
// code page the client decodes with.
const QByteArray Json = QByteArrayLiteral("application/json; charset=GBK");

TGateway::TReply Plain(int status, const QString &text)
{
    return {status, Text, (text + u'\n').toUtf8(), {}};
}

TGateway::TReply NotFound() { return Plain(404, QStringLiteral("404 not found")); }

TGateway::TReply NotAllowed(const QByteArray &allow)
{
    TGateway::TReply r = Plain(405, QStringLiteral("405 method not allowed"));
    r.Add("Allow", allow);
    return r;
}

QByteArray Resource(const QString &name)
{
    QFile f(QStringLiteral(":/gateway/pages/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces every {{KEY}} of a page in one pass, so a value is never scanned for further keys.
QByteArray Fill(const QByteArray &page, const QHash<QByteArray, QString> &values)
{
    QByteArray out;
    out.reserve(page.size());
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = page.indexOf("{{", at);
        const qsizetype close = open < 0 ? -1 : page.indexOf("}}", open + 2);
        if (close < 0)
            break;
        const QByteArray key = page.mid(open + 2, close - open - 2);
        out += page.mid(at, open - at);
        out += values.contains(key) ? values.value(key).toUtf8() : page.mid(open, close + 2 - open);
        at = close + 2;
    }
    out += page.mid(at);
    return out;
}

// Form fields of a POST body in application/x-www-form-urlencoded, where "+" stands for a blank.
QString FormValue(const QUrlQuery &form, const QString &key)
{
    return form.queryItemValue(key, QUrl::FullyDecoded);
}

} // namespace

TGateway::TGateway(const QString &rootDir, QObject *parent)
    : QAbstractHttpServer(parent), m_root(rootDir), m_jqueryFile(DefaultJquery), m_update(rootDir)
{
    InitGatewayResources();
}

bool TGateway::Listen(quint16 port, QString &error)
{
    auto *tcp = new QTcpServer(this);
    if (!tcp->listen(QHostAddress::LocalHost, port)) {
        error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2").arg(port).arg(tcp->errorString());
        delete tcp;
        return false;
    }
    bind(tcp);
    return true;
}

quint16 TGateway::Port() const
{
    const QList<QTcpServer *> list = servers();
    return list.isEmpty() ? 0 : list.first()->serverPort();
}

QString TGateway::HoldingsFile() const
{
    return QDir(m_root).filePath(QStringLiteral("Data/ggcg.json"));
}

bool TGateway::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket)
{
    const QString base = QStringLiteral("http://%1:%2").arg(socket->localAddress().toString()).arg(socket->localPort());
    const TReply r = Reply(request.method(), request.url(), request.value("cookie"), request.value("content-type"),
                           request.body(), base);
    QHttpServerResponder responder = makeResponder(request, socket);
    responder.writeStatusLine(QHttpServerResponder::StatusCode(r.Status));
    responder.writeHeader("Content-Type", r.Type);
    responder.writeHeader("Content-Length", QByteArray::number(r.Body.size()));
    responder.writeHeader("X-Content-Type-Options", "nosniff");
    for (const auto &h : r.Headers)
        responder.writeHeader(h.first, h.second);
    responder.writeBody(r.Body);
    return true;
}

void TGateway::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket)
{
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

TGateway::TReply TGateway::Reply(TMethod method, const QUrl &url, const QByteArray &cookie,
                                 const QByteArray &contentType, const QByteArray &body, const QString &base)
{
    if (body.size() > MaxBody)
        return Plain(413, QStringLiteral("413 request body too large"));
    const QString path = url.path(QUrl::FullyEncoded);
    if (path == u"/MV/SDA/Go.asp")
        return Go(method, url, cookie, contentType, body, base);
    TReply r = Static(path);
    if (r.Status == 200 && method != TMethod::Get)
        return NotAllowed("GET");
    return r;
}

TGateway::TReply TGateway::Go(TMethod method, const QUrl &url, const QByteArray &cookie,
                              const QByteArray &contentType, const QByteArray &body, const QString &base)
{
    const QUrlQuery query(url);
    for (const char *key : {"sn", "a", "m", "r", "f"})
        if (query.allQueryItemValues(QString::fromLatin1(key)).size() > 1)
            return Plain(400, QStringLiteral("400 the query item %1= is given more than once").arg(QLatin1String(key)));
    if (query.queryItemValue(QStringLiteral("sn"), QUrl::FullyDecoded) != u"lhb")
        return NotFound();
    const QString a = query.queryItemValue(QStringLiteral("a"), QUrl::FullyDecoded);
    if (a == u"login")
        return Login(method, cookie, contentType, body);
    if (a != u"report" && a != u"help" && a != u"ggcg" && a != u"update")
        return NotFound();
    if (method != TMethod::Get)
        return NotAllowed("GET");
    if (a == u"update")
        return query.hasQueryItem(QStringLiteral("f"))
            ? UpdateFile(query.queryItemValue(QStringLiteral("f"), QUrl::FullyDecoded))
            : UpdateManifest();
    if (a == u"ggcg")
        return Ggcg(query.queryItemValue(QStringLiteral("m"), QUrl::FullyDecoded),
                    query.queryItemValue(QStringLiteral("r"), QUrl::FullyDecoded));
    if (a == u"help")
        return {200, Html, Resource(QStringLiteral("help.html")), {}};
    return {200, Html, Fill(Resource(QStringLiteral("report.html")), {{"BASE", base}}), {}};
}

TGateway::TReply TGateway::Login(TMethod method, const QByteArray &cookie, const QByteArray &contentType,
                                 const QByteArray &body)
{
    auto formPage = [](int status, const QString &message, const QString &user) {
        const QString note = message.isEmpty() ? QString()
                                               : QStringLiteral("<p class=\"error\">%1</p>").arg(message.toHtmlEscaped());
        TReply r{status, Html, Fill(Resource(QStringLiteral("login.html")),
                                    {{"MESSAGE", note}, {"USER", user.toHtmlEscaped()}}), {}};
        r.Add("Cache-Control", "no-store");
        return r;
    };
    auto accountPage = [](const QString &user) {
        TReply r{200, Html, Fill(Resource(QStringLiteral("account.html")), {{"USER", user.toHtmlEscaped()}}), {}};
        r.Add("Cache-Control", "no-store");
        return r;
    };
    if (method == TMethod::Get) {
        const QString user = m_passport.UserOf(cookie);
        return user.isEmpty() ? formPage(200, QString(), QString()) : accountPage(user);
    }
    if (method != TMethod::Post)
        return NotAllowed("GET, POST");
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    if (type != "application/x-www-form-urlencoded")
        return Plain(415, QStringLiteral("415 the sign-in form is sent as application/x-www-form-urlencoded"));
    const QUrlQuery form(QString::fromUtf8(QByteArray(body).replace('+', ' ')));
    if (FormValue(form, QStringLiteral("action")) == u"logout") {
        m_passport.SignOut(TGatewayPassport::TokenOf(cookie));
        TReply r = formPage(200, QString(), QString());
        r.Add("Set-Cookie", TGatewayPassport::CookieName + "=; Path=/; Max-Age=0; HttpOnly; SameSite=Lax");
        return r;
    }
    const QString user = FormValue(form, QStringLiteral("user")).trimmed();
    const QString pass = FormValue(form, QStringLiteral("pass"));
    QString problem = TGatewayPassport::CheckUser(user);
    if (problem.isEmpty() && pass.isEmpty())
        problem = QStringLiteral("请输入密码。");
    if (!problem.isEmpty())
        return formPage(400, problem, user.left(TGatewayPassport::MaxUserLength));
    const QByteArray token = m_passport.SignIn(user);
    TReply r = accountPage(user);
    r.Add("Set-Cookie", TGatewayPassport::CookieName + '=' + token + "; Path=/; HttpOnly; SameSite=Lax");
    return r;
}

bool TGateway::LoadHoldings(QString &error)
{
    const QFileInfo info(HoldingsFile());
    if (!info.isFile()) {
        m_holdingsLoaded = false;
        error = QStringLiteral("the holdings data file %1 is missing").arg(QDir::toNativeSeparators(info.filePath()));
        return false;
    }
    // The file is read again only when it changed, as lhb-demo may rewrite it while the gateway runs.
    if (m_holdingsLoaded && info.lastModified() == m_holdingsTime && info.size() == m_holdingsSize)
        return true;
    QFile f(info.filePath());
    if (!f.open(QIODevice::ReadOnly)) {
        m_holdingsLoaded = false;
        error = QStringLiteral("cannot read %1: %2").arg(info.filePath(), f.errorString());
        return false;
    }
    QString why;
    if (!m_holdings.Load(f.readAll(), why)) {
        m_holdingsLoaded = false;
        error = QStringLiteral("the holdings data file %1 is not valid: %2").arg(info.filePath(), why);
        return false;
    }
    if (m_holdings.Skipped() > 0)
        QTextStream(stderr) << "mv-gateway: " << info.filePath() << ": skipped " << m_holdings.Skipped()
                            << " invalid entries\n";
    m_holdingsLoaded = true;
    m_holdingsTime = info.lastModified();
    m_holdingsSize = info.size();
    return true;
}

TGateway::TReply TGateway::Ggcg(const QString &m, const QString &r)
{
    enum { Changes, NetBuying, NetSelling } list;
    if (m.isEmpty() && r.isEmpty())
        list = Changes;
    else if (m == u"1" && r == u"desc")
        list = NetBuying;
    else if (m == u"1" && r == u"asc")
        list = NetSelling;
    else
        return Plain(400, QStringLiteral("400 unknown holdings list m=%1&r=%2").arg(m, r));
    QString error;
    if (!LoadHoldings(error)) {
        QTextStream(stderr) << "mv-gateway: " << error << "\n";
        return Plain(503, QStringLiteral("503 ") + error);
    }
    const QStringList rows = list == Changes ? m_holdings.ChangeRows() : m_holdings.RankingRows(list == NetBuying);
    TReply reply{200, Json, TGatewayHoldings::ResponseBody(rows), {}};
    reply.Add("Cache-Control", "no-store");
    return reply;
}

TGateway::TReply TGateway::UpdateManifest()
{
    QStringList warnings;
    const TUpdateManifest m = m_update.Manifest(warnings);
    for (const QString &w : warnings)
        QTextStream(stderr) << "mv-gateway: " << w << "\n";
    // With nothing to offer the route stays absent, so a download program does not take it for "up to date".
    if (m.Files.isEmpty() && m.Programs.isEmpty())
        return Plain(404, QStringLiteral("404 no data set or program copies to offer"));
    TReply r{200, QByteArrayLiteral("application/json; charset=utf-8"), ManifestToJson(m), {}};
    r.Add("Cache-Control", "no-store");
    return r;
}

TGateway::TReply TGateway::UpdateFile(const QString &path)
{
    const QString file = m_update.Offered(path);
    if (file.isEmpty())
        return NotFound();
    QFile f(file);
    QByteArray bytes;
    if (f.open(QIODevice::ReadOnly))
        bytes = f.readAll();
    if (!f.isOpen() || f.error() != QFileDevice::NoError) {
        QTextStream(stderr) << "mv-gateway: cannot read " << QDir::toNativeSeparators(file) << ": " << f.errorString() << "\n";
        return Plain(500, QStringLiteral("500 cannot read %1").arg(path));
    }
    TReply r{200, QByteArrayLiteral("application/octet-stream"), bytes, {}};
    r.Add("Cache-Control", "no-store");
    return r;
}

TGateway::TReply TGateway::Static(const QString &path)
{
    if (path == u"/js/jquery.min.js") {
        QFile f(m_jqueryFile);
        if (!f.open(QIODevice::ReadOnly))
            return Plain(404, QStringLiteral("404 jQuery is not installed at %1 (package libjs-jquery)").arg(m_jqueryFile));
        return {200, QByteArrayLiteral("application/javascript; charset=utf-8"), f.readAll(), {}};
    }
    if (path == u"/MV/SDA/css/mv.css")
        return {200, QByteArrayLiteral("text/css; charset=utf-8"), Resource(QStringLiteral("mv.css")), {}};
    if (path == u"/MV/SDA/notice.html")
        return {200, Html, Resource(QStringLiteral("notice.html")), {}};
    // Report documents: plain names only, so no path can reach outside the documents.
    static const QRegularExpression document(QStringLiteral("^/MV/SDA/Report/([A-Za-z0-9_-]{1,64}\\.html)$"));
    const QRegularExpressionMatch match = document.match(path);
    if (match.hasMatch()) {
        const QByteArray page = Resource(QStringLiteral("report/") + match.captured(1));
        if (!page.isEmpty())
            return {200, Html, page, {}};
    }
    return NotFound();
}
