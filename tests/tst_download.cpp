// The download program run as a child process against the service gateway started in-process on a
// free loopback port over a demo data set: a full update, an update that finds nothing to do, a
// partial one, the program copies with their times, and every failure leaving the old files as they
// were. A small in-test server stands in for a faulty gateway. Also the gateway's update route itself.
#include "DemoData.h"
#include "Gateway.h"
#include "UpdateManifest.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const QString Go = QStringLiteral("/MV/SDA/Go.asp?sn=lhb");
const QString ShDay = QStringLiteral("Data/国内股票-上证证券/day/");
const QString SzDay = QStringLiteral("Data/国内股票-深证证券/day/");
const QByteArray ClientBytes = "#!/bin/sh\necho new client\n";
const QByteArray DownloadBytes = "#!/bin/sh\necho new download program\n";
// The program copies' times, one with milliseconds, as the client compares them exactly.
const qint64 ClientTime = QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
const qint64 DownloadTime = QDateTime(QDate(2024, 5, 2), QTime(9, 30, 15, 123), Qt::UTC).toMSecsSinceEpoch();

QString DownloadProgram()
{
#ifdef MV_DOWNLOAD_PROGRAM
    return QStringLiteral(MV_DOWNLOAD_PROGRAM);
#else
    return QStringLiteral(MV_BUILD_DIR "/tools/download/Download");
#endif
}

QByteArray Sha(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

bool WriteFile(const QString &path, const QByteArray &bytes, qint64 mtime = -1)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush())
        return false;
    return mtime < 0 || f.setFileTime(QDateTime::fromMSecsSinceEpoch(mtime, Qt::UTC), QFileDevice::FileModificationTime);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct TFileState
{
    QByteArray Sha;
    qint64 MTime = 0;
};

// Every file under a folder, hidden ones included, so that a left-over temporary shows too.
using TSnapshot = QMap<QString, TFileState>;

TSnapshot Snapshot(const QString &dir)
{
    TSnapshot s;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        s.insert(QDir(dir).relativeFilePath(path), {Sha(ReadFile(path)), it.fileInfo().lastModified().toMSecsSinceEpoch()});
    }
    return s;
}

// The first difference between two snapshots, or an empty text.
QString Difference(const TSnapshot &got, const TSnapshot &want)
{
    for (auto it = want.begin(); it != want.end(); ++it) {
        if (!got.contains(it.key()))
            return QStringLiteral("missing: ") + it.key();
        if (got.value(it.key()).Sha != it->Sha)
            return QStringLiteral("other content: ") + it.key();
        if (got.value(it.key()).MTime != it->MTime)
            return QStringLiteral("other time: %1 (%2, not %3)").arg(it.key()).arg(got.value(it.key()).MTime).arg(it->MTime);
    }
    for (auto it = got.begin(); it != got.end(); ++it)
        if (!want.contains(it.key()))
            return QStringLiteral("unexpected: ") + it.key();
    return QString();
}

struct TRun
{
    bool Finished = false;
    int Code = -1;
    QString Out, Err;
    QString Describe() const { return QStringLiteral("exit %1\n--- stdout\n%2--- stderr\n%3").arg(Code).arg(Out, Err); }
};

// Runs the download program while this process's event loop keeps serving the in-process gateway.
TRun RunDownload(const QString &dir, const QStringList &args)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer guard; // a guard against a hang, not a measurement
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(180000);
    p.start(DownloadProgram(), args);
    loop.exec();
    TRun r;
    if (p.state() != QProcess::NotRunning) {
        p.kill();
        p.waitForFinished();
        r.Err = QStringLiteral("the download program did not end");
        return r;
    }
    r.Finished = p.error() != QProcess::FailedToStart && p.exitStatus() == QProcess::NormalExit;
    r.Code = p.exitCode();
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err += QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray Http(int status, const QByteArray &body, qint64 declared = -1)
{
    return QByteArrayLiteral("HTTP/1.1 ") + QByteArray::number(status) + " X\r\nContent-Type: application/octet-stream\r\n"
         + "Content-Length: " + QByteArray::number(declared < 0 ? body.size() : declared)
         + "\r\nConnection: close\r\n\r\n" + body;
}

// A stand-in gateway that answers each request with the raw bytes Answer gives for its query and
// then closes the connection, so a body can be cut short or wrong.
class TFakeGateway
{
public:
    std::function<QByteArray(const QUrlQuery &)> Answer;

    TFakeGateway()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                Serve(s);
        });
    }
    bool Listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString UpdateUrl() const { return QStringLiteral("http://127.0.0.1:%1%2&a=update").arg(m_server.serverPort()).arg(Go); }

private:
    void Serve(QTcpSocket *s)
    {
        auto request = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(false);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, request, answered] {
            if (*answered)
                return;
            *request += s->readAll();
            if (!request->contains("\r\n\r\n"))
                return;
            *answered = true;
            const QByteArray target = request->left(request->indexOf("\r\n")).split(' ').value(1);
            s->write(Answer(QUrlQuery(QUrl(QStringLiteral("http://127.0.0.1") + QString::fromLatin1(target)))));
            s->disconnectFromHost();
        });
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }

    QTcpServer m_server;
};

// The files a faulty gateway offers; Data/lhb.dat, listed last, is the one that goes wrong.
QList<QPair<QString, QByteArray>> NewFiles()
{
    QByteArray lhb;
    for (int i = 0; i < 4000; ++i)
        lhb += char('a' + i % 26);
    return {{QStringLiteral("Data/code.dat"), "new code table"},
            {SzDay + "000001.day", QByteArray(400, 'z')},
            {ShDay + "600001.day", QByteArray(80, 's')},
            {QStringLiteral("Data/lhb.dat"), lhb}};
}

QByteArray NewManifest()
{
    TUpdateManifest m;
    const qint64 time = QDateTime(QDate(2024, 6, 1), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    for (const auto &f : NewFiles())
        m.Files.append({f.first, f.second.size(), Sha(f.second), time, QString()});
    m.Programs.append({QStringLiteral("Update/Client"), ClientBytes.size(), Sha(ClientBytes), time, QStringLiteral("client")});
    return ManifestToJson(m);
}

// One manifest entry written by hand, for manifests a real gateway would never send.
QByteArray Entry(const QByteArray &path, const QByteArray &size = "4", const QByteArray &sha = QByteArray(64, 'a'),
                 const QByteArray &extra = QByteArray())
{
    return "{\"path\":\"" + path + "\",\"size\":" + size + ",\"sha256\":\"" + sha + "\",\"mtime\":1700000000000" + extra + "}";
}

QByteArray Manifest(const QByteArray &files, const QByteArray &programs = QByteArray())
{
    return "{\"format\":1,\"files\":[" + files + "],\"programs\":[" + programs + "]}";
}

// An old data set in the working folder that no failed update may touch.
void WriteOldFiles(const QString &dir)
{
    const qint64 old = QDateTime(QDate(2023, 1, 2), QTime(3, 4), Qt::UTC).toMSecsSinceEpoch();
    QVERIFY(WriteFile(dir + "/Data/code.dat", "old code", old));
    QVERIFY(WriteFile(dir + "/Data/lhb.dat", "old lhb", old));
    QVERIFY(WriteFile(dir + "/" + SzDay + "000001.day", "old bars", old));
    QVERIFY(WriteFile(dir + "/Setting/Client.upd", "old client", old));
}

} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fullThenNothingThenPart();
    void failuresLeaveOldFiles_data();
    void failuresLeaveOldFiles();
    void writeFailuresLeaveOldFiles_data();
    void writeFailuresLeaveOldFiles();
    void unreachableGateway();
    void secondProgramRefused();
    void arguments_data();
    void arguments();
    void manifestRoute();
    void fileRouteRefuses_data();
    void fileRouteRefuses();
    void nothingToOffer();

private:
    QString UpdateUrl() const { return QStringLiteral("http://127.0.0.1:%1%2&a=update").arg(m_gateway->Port()).arg(Go); }
    // GET or another method on the in-process gateway.
    int Fetch(const QString &pathAndQuery, QByteArray *body = nullptr, QByteArray *type = nullptr,
              const QByteArray &method = "GET", TGateway *gateway = nullptr);

    QTemporaryDir m_root;
    TSnapshot m_dataSet; // what WriteDemo wrote, without the holdings file: the files a full update brings
    std::unique_ptr<TGateway> m_gateway;
    QNetworkAccessManager m_net;
};

void TestDownload::initTestCase()
{
    QVERIFY2(QFile::exists(DownloadProgram()), qPrintable(DownloadProgram() + " is not built"));
    QVERIFY(m_root.isValid());
    TDemoOptions options;
    options.OutDir = m_root.path();
    options.Seed = 7;
    options.End = QDate(2024, 6, 28);
    TDemoSummary summary;
    QString error;
    QVERIFY2(WriteDemo(options, summary, error), qPrintable(error));
    m_dataSet = Snapshot(m_root.path());
    QVERIFY(m_dataSet.remove(QStringLiteral("Data/ggcg.json")) == 1);
    // The set has bar files in all three places: both market folders and the working directory.
    for (const QString &folder : {ShDay, SzDay, QString()}) {
        const auto found = std::find_if(m_dataSet.keyBegin(), m_dataSet.keyEnd(), [&](const QString &k) {
            return k.startsWith(folder) && k.endsWith(u".day") && !k.mid(folder.size()).contains(u'/');
        });
        QVERIFY2(found != m_dataSet.keyEnd(), qPrintable(folder));
    }

    QVERIFY(WriteFile(m_root.filePath("Update/Client"), ClientBytes, ClientTime));
    QVERIFY(WriteFile(m_root.filePath("Update/Download"), DownloadBytes, DownloadTime));
    // Files the route must not offer: a link out of the data set, a hidden name, a name of another kind.
    QVERIFY(QFile::link(m_root.filePath("Data/ggcg.json"), m_root.filePath(ShDay + "999999.day")));
    QVERIFY(WriteFile(m_root.filePath(ShDay + ".600000.day"), "hidden"));
    QVERIFY(WriteFile(m_root.filePath(ShDay + "600000.txt"), "text"));
    QVERIFY(WriteFile(m_root.filePath("Update/Other"), "other"));

    m_gateway = std::make_unique<TGateway>(m_root.path());
    QVERIFY2(m_gateway->Listen(0, error), qPrintable(error));
}

int TestDownload::Fetch(const QString &pathAndQuery, QByteArray *body, QByteArray *type, const QByteArray &method,
                        TGateway *gateway)
{
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg((gateway ? gateway : m_gateway.get())->Port()).arg(pathAndQuery)));
    request.setTransferTimeout(60000); // a guard against a hang, not a measurement
    QNetworkReply *reply = m_net.sendCustomRequest(request, method);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (body)
        *body = reply->readAll();
    if (type)
        *type = reply->rawHeader("Content-Type");
    reply->deleteLater();
    return status;
}

void TestDownload::fullThenNothingThenPart()
{
    QTemporaryDir work;
    TSnapshot want = m_dataSet;
    want.insert(QStringLiteral("Setting/Client.upd"), {Sha(ClientBytes), ClientTime});
    want.insert(QStringLiteral("Setting/Download.upd"), {Sha(DownloadBytes), DownloadTime});

    TRun r = RunDownload(work.path(), {UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 0, qPrintable(r.Describe()));
    QString diff = Difference(Snapshot(work.path()), want);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
    QVERIFY2(r.Out.contains(QStringLiteral("%1 of %1 files to fetch").arg(want.size())), qPrintable(r.Out));
    QVERIFY2(r.Out.contains(QStringLiteral("[  0%] Data/code.dat")), qPrintable(r.Out));
    QVERIFY2(r.Out.contains(QStringLiteral("[100%]")), qPrintable(r.Out));
    QVERIFY2(r.Out.contains(QStringLiteral("Update/Download -> Setting/Download.upd")), qPrintable(r.Out));
    // The client's update script copies the new program into place and starts it.
    for (const char *copy : {"Setting/Client.upd", "Setting/Download.upd"})
        QVERIFY(QFileInfo(work.filePath(copy)).permission(QFileDevice::ExeOwner));

    r = RunDownload(work.path(), {UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 0, qPrintable(r.Describe()));
    QVERIFY2(r.Out.contains(QStringLiteral("everything is up to date (%1 files)").arg(want.size())), qPrintable(r.Out));
    QVERIFY2(!r.Out.contains(u'%'), qPrintable(r.Out));
    diff = Difference(Snapshot(work.path()), want);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    // One bar file changed, one missing, and a program copy with the same bytes but another time.
    QString shBar, rootBar;
    for (const QString &k : m_dataSet.keys()) {
        if (shBar.isEmpty() && k.startsWith(ShDay))
            shBar = k;
        if (rootBar.isEmpty() && !k.contains(u'/'))
            rootBar = k;
    }
    QVERIFY(WriteFile(work.filePath(shBar), ReadFile(work.filePath(shBar)) + "x"));
    QVERIFY(QFile::remove(work.filePath(rootBar)));
    QVERIFY(WriteFile(work.filePath("Setting/Download.upd"), DownloadBytes, DownloadTime + 1000));
    r = RunDownload(work.path(), {UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 0, qPrintable(r.Describe()));
    QVERIFY2(r.Out.contains(QStringLiteral("2 of %1 files to fetch").arg(want.size())), qPrintable(r.Out));
    QVERIFY2(r.Out.contains(shBar) && r.Out.contains(rootBar), qPrintable(r.Out));
    diff = Difference(Snapshot(work.path()), want);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDownload::failuresLeaveOldFiles_data()
{
    QTest::addColumn<int>("manifestStatus");
    QTest::addColumn<QByteArray>("manifest"); // empty: the good manifest of NewFiles
    QTest::addColumn<QString>("lhb");         // how Data/lhb.dat is served
    QTest::addColumn<QString>("says");

    const QByteArray good;
    QTest::newRow("connection cut in the body") << 200 << good << "cut" << "f=Data%2Flhb.dat";
    QTest::newRow("bytes differ from the manifest") << 200 << good << "other"
                                                   << "checksum mismatch for Data/lhb.dat";
    QTest::newRow("body shorter than listed") << 200 << good << "short" << "sent 2000 of the 4000 bytes of Data/lhb.dat";
    QTest::newRow("body longer than listed") << 200 << good << "long" << "more than the 4000 bytes";
    QTest::newRow("listed file missing") << 200 << good << "missing" << "HTTP 404";

    const QByteArray sha(64, 'a');
    QTest::newRow("manifest answered 500") << 500 << QByteArray("oops") << "" << "HTTP 500";
    QTest::newRow("manifest not JSON") << 200 << QByteArray("{\"format\":1,\"files\":[") << "" << "bad manifest";
    QTest::newRow("manifest empty") << 200 << QByteArray() + " " << "" << "bad manifest";
    QTest::newRow("manifest an array") << 200 << QByteArray("[1,2]") << "" << "not a JSON object";
    QTest::newRow("unknown format") << 200 << QByteArray("{\"format\":2,\"files\":[]}") << "" << "unknown one";
    QTest::newRow("no files list") << 200 << QByteArray("{\"format\":1}") << "" << "no files list";
    QTest::newRow("parent folder in a path") << 200 << Manifest(Entry("Data/../Setting/Run.dat")) << ""
                                             << "no valid relative path";
    QTest::newRow("parent folder in a bar path") << 200 << Manifest(Entry("Data/国内股票-上证证券/day/../../../x.day")) << ""
                                                 << "no valid relative path";
    QTest::newRow("absolute path") << 200 << Manifest(Entry("/tmp/600001.day")) << "" << "no valid relative path";
    QTest::newRow("backslash path") << 200 << Manifest(Entry("Data\\\\code.dat")) << "" << "no valid relative path";
    QTest::newRow("drive path") << 200 << Manifest(Entry("C:/600001.day")) << "" << "no valid relative path";
    QTest::newRow("not a data file") << 200 << Manifest(Entry("Setting/Run.dat")) << "" << "not a data file";
    QTest::newRow("the program itself") << 200 << Manifest(Entry("Download.exe")) << "" << "not a data file";
    QTest::newRow("hidden bar name") << 200 << Manifest(Entry(".600001.day")) << "" << "not a data file";
    QTest::newRow("bad checksum text") << 200 << Manifest(Entry("Data/code.dat", "4", "xyz")) << "" << "no valid sha256";
    QTest::newRow("upper-case checksum") << 200 << Manifest(Entry("Data/code.dat", "4", QByteArray(64, 'A'))) << ""
                                         << "no valid sha256";
    QTest::newRow("negative size") << 200 << Manifest(Entry("Data/code.dat", "-1")) << "" << "no valid size";
    QTest::newRow("fractional size") << 200 << Manifest(Entry("Data/code.dat", "1.5")) << "" << "no valid size";
    QTest::newRow("size as text") << 200 << Manifest(Entry("Data/code.dat", "\"4\"")) << "" << "no valid size";
    QTest::newRow("path listed twice") << 200 << Manifest(Entry("Data/code.dat") + "," + Entry("Data/code.dat")) << ""
                                       << "listed twice";
    QTest::newRow("unknown program") << 200 << Manifest(QByteArray(), Entry("Update/Evil", "4", sha, ",\"name\":\"evil\""))
                                     << "" << "names no known program";
    QTest::newRow("program listed twice")
        << 200
        << Manifest(QByteArray(), Entry("Update/Client", "4", sha, ",\"name\":\"client\"") + ","
                                      + Entry("Update/Client", "4", sha, ",\"name\":\"client\""))
        << "" << "listed twice";
}

void TestDownload::failuresLeaveOldFiles()
{
    QFETCH(int, manifestStatus);
    QFETCH(QByteArray, manifest);
    QFETCH(QString, lhb);
    QFETCH(QString, says);

    QTemporaryDir work;
    WriteOldFiles(work.path());
    const TSnapshot before = Snapshot(work.path());
    const QByteArray body = manifest.isEmpty() ? NewManifest() : manifest.trimmed();
    const QList<QPair<QString, QByteArray>> files = NewFiles();
    TFakeGateway fake;
    fake.Answer = [&](const QUrlQuery &q) {
        if (q.queryItemValue(QStringLiteral("sn")) != u"lhb" || q.queryItemValue(QStringLiteral("a")) != u"update")
            return Http(404, "wrong address");
        if (!q.hasQueryItem(QStringLiteral("f")))
            return Http(manifestStatus, body);
        const QString f = q.queryItemValue(QStringLiteral("f"), QUrl::FullyDecoded);
        if (f == u"Update/Client")
            return Http(200, ClientBytes);
        for (const auto &file : files) {
            if (file.first != f)
                continue;
            if (f != u"Data/lhb.dat")
                return Http(200, file.second);
            const QByteArray half = file.second.left(file.second.size() / 2);
            if (lhb == u"cut")
                return Http(200, half, file.second.size());
            if (lhb == u"other")
                return Http(200, QByteArray(file.second).replace('q', 'Q'));
            if (lhb == u"short")
                return Http(200, half);
            if (lhb == u"long")
                return Http(200, file.second + file.second.left(1000));
            return Http(404, "gone");
        }
        return Http(404, "not listed");
    };
    QVERIFY(fake.Listen());

    const TRun r = RunDownload(work.path(), {fake.UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 1, qPrintable(r.Describe()));
    QVERIFY2(r.Err.contains(says), qPrintable(r.Describe()));
    QVERIFY2(r.Err.contains(QStringLiteral("nothing was changed")), qPrintable(r.Describe()));
    QVERIFY2(!r.Out.contains(QStringLiteral("updated")), qPrintable(r.Describe()));
    const QString diff = Difference(Snapshot(work.path()), before);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDownload::writeFailuresLeaveOldFiles_data()
{
    QTest::addColumn<QString>("blocker"); // a folder path that is made a file, or a file path made a folder
    QTest::addColumn<bool>("asFile");
    QTest::addColumn<QString>("says");

    QTest::newRow("bar folder is a file") << QStringLiteral("Data/国内股票-上证证券") << true << "cannot create the folder";
    QTest::newRow("table is a folder") << QStringLiteral("Data/lhb.dat") << false << "it is not a file";
    QTest::newRow("program copy is a folder") << QStringLiteral("Setting/Download.upd") << false << "it is not a file";
}

void TestDownload::writeFailuresLeaveOldFiles()
{
    QFETCH(QString, blocker);
    QFETCH(bool, asFile);
    QFETCH(QString, says);

    QTemporaryDir work;
    // Old copies of files that come before and after the blocked one in the manifest.
    QString rootBar;
    for (const QString &k : m_dataSet.keys())
        if (rootBar.isEmpty() && !k.contains(u'/'))
            rootBar = k;
    QVERIFY(WriteFile(work.filePath(rootBar), "old bars"));
    QVERIFY(WriteFile(work.filePath("Data/code.dat"), "old code"));
    QVERIFY(WriteFile(work.filePath("Setting/Client.upd"), "old client"));
    if (asFile)
        QVERIFY(WriteFile(work.filePath(blocker), "in the way"));
    else
        QVERIFY(QDir().mkpath(work.filePath(blocker + "/inside")));
    const TSnapshot before = Snapshot(work.path());

    const TRun r = RunDownload(work.path(), {UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 1, qPrintable(r.Describe()));
    QVERIFY2(r.Err.contains(says), qPrintable(r.Describe()));
    const QString diff = Difference(Snapshot(work.path()), before);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDownload::unreachableGateway()
{
    QTemporaryDir work;
    WriteOldFiles(work.path());
    const TSnapshot before = Snapshot(work.path());
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();

    const TRun r = RunDownload(work.path(), {QStringLiteral("http://127.0.0.1:%1%2&a=update").arg(port).arg(Go)});
    QVERIFY2(r.Finished && r.Code == 1, qPrintable(r.Describe()));
    QVERIFY2(r.Err.contains(QStringLiteral("cannot fetch")) && r.Err.contains(QStringLiteral("refused")), qPrintable(r.Describe()));
    const QString diff = Difference(Snapshot(work.path()), before);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));
}

void TestDownload::secondProgramRefused()
{
    QTemporaryDir work;
    QVERIFY(QDir().mkpath(work.filePath("Setting")));
    QLockFile held(work.filePath("Setting/Download.lock"));
    QVERIFY(held.tryLock(0));
    const TRun r = RunDownload(work.path(), {UpdateUrl()});
    QVERIFY2(r.Finished && r.Code == 1, qPrintable(r.Describe()));
    QVERIFY2(r.Err.contains(QStringLiteral("another download program")), qPrintable(r.Describe()));
    QVERIFY(!QFile::exists(work.filePath("Data")));
}

void TestDownload::arguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("says");

    QTest::newRow("none") << QStringList() << 2 << "usage: Download URL";
    QTest::newRow("two") << QStringList{"http://127.0.0.1:1/", "x"} << 2 << "usage: Download URL";
    QTest::newRow("ftp") << QStringList{"ftp://127.0.0.1/MV/SDA/Go.asp?sn=lhb&a=update"} << 2 << "not an http or https address";
    QTest::newRow("file") << QStringList{"file:///etc/passwd"} << 2 << "not an http or https address";
    QTest::newRow("no scheme") << QStringList{"127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=update"} << 2
                               << "not an http or https address";
    QTest::newRow("no host") << QStringList{"http:///MV/SDA/Go.asp"} << 2 << "not an http or https address";
    QTest::newRow("empty") << QStringList{""} << 2 << "not an http or https address";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "usage: Download URL";
}

void TestDownload::arguments()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, says);
    QTemporaryDir work;
    const TRun r = RunDownload(work.path(), args);
    QVERIFY2(r.Finished && r.Code == code, qPrintable(r.Describe()));
    QVERIFY2((code == 0 ? r.Out : r.Err).contains(says), qPrintable(r.Describe()));
    QVERIFY(QDir(work.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestDownload::manifestRoute()
{
    QByteArray body, type;
    QCOMPARE(Fetch(Go + "&a=update", &body, &type), 200);
    QVERIFY2(type.startsWith("application/json"), type.constData());
    TUpdateManifest m;
    QString error;
    QVERIFY2(ParseManifest(body, m, error), qPrintable(error));

    TSnapshot listed;
    for (const TUpdateEntry &e : m.Files) {
        QVERIFY2(e.Program.isEmpty(), qPrintable(e.Path));
        QCOMPARE(e.Size, QFileInfo(m_root.filePath(e.Path)).size());
        listed.insert(e.Path, {e.Sha256, e.MTime});
    }
    const QString diff = Difference(listed, m_dataSet);
    QVERIFY2(diff.isEmpty(), qPrintable(diff));

    QCOMPARE(m.Programs.size(), 2);
    QCOMPARE(m.Programs.at(0).Program, QStringLiteral("client"));
    QCOMPARE(m.Programs.at(0).Path, QStringLiteral("Update/Client"));
    QCOMPARE(m.Programs.at(0).Size, ClientBytes.size());
    QCOMPARE(m.Programs.at(0).Sha256, Sha(ClientBytes));
    QCOMPARE(m.Programs.at(0).MTime, ClientTime);
    QCOMPARE(m.Programs.at(1).Program, QStringLiteral("download"));
    QCOMPARE(m.Programs.at(1).Path, QStringLiteral("Update/Download"));
    QCOMPARE(m.Programs.at(1).MTime, DownloadTime);

    // Each listed file is served with exactly its bytes.
    for (const QString &path : {m.Files.first().Path, m.Files.last().Path, m_dataSet.lastKey(), QStringLiteral("Update/Download")}) {
        QByteArray bytes;
        QCOMPARE(Fetch(Go + "&a=update&f=" + QString::fromLatin1(QUrl::toPercentEncoding(path)), &bytes, &type), 200);
        QCOMPARE(type, QByteArray("application/octet-stream"));
        QVERIFY2(bytes == ReadFile(m_root.filePath(path)), qPrintable(path));
    }
}

void TestDownload::fileRouteRefuses_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QByteArray>("method");
    QTest::addColumn<int>("status");

    const QByteArray get = "GET";
    QTest::newRow("holdings file") << "f=Data/ggcg.json" << get << 404;
    QTest::newRow("parent folder") << "f=../etc/passwd" << get << 404;
    QTest::newRow("parent inside the data set") << "f=Data/%E5%9B%BD%E5%86%85%E8%82%A1%E7%A5%A8-%E4%B8%8A%E8%AF%81%E8%AF%81%E5%88%B8/day/../../code.dat"
                                                << get << 404;
    QTest::newRow("encoded parent") << "f=..%2FData%2Fcode.dat" << get << 404;
    QTest::newRow("absolute path") << "f=/etc/passwd" << get << 404;
    QTest::newRow("encoded absolute path") << "f=%2Fetc%2Fhostname" << get << 404;
    QTest::newRow("absolute bar name") << "f=/600001.day" << get << 404;
    QTest::newRow("backslash") << "f=Data%5Ccode.dat" << get << 404;
    QTest::newRow("dot segment") << "f=./Data/code.dat" << get << 404;
    QTest::newRow("double slash") << "f=Data//code.dat" << get << 404;
    QTest::newRow("link out of the data set") << "f=Data/%E5%9B%BD%E5%86%85%E8%82%A1%E7%A5%A8-%E4%B8%8A%E8%AF%81%E8%AF%81%E5%88%B8/day/999999.day"
                                              << get << 404;
    QTest::newRow("hidden name") << "f=Data/%E5%9B%BD%E5%86%85%E8%82%A1%E7%A5%A8-%E4%B8%8A%E8%AF%81%E8%AF%81%E5%88%B8/day/.600000.day"
                                 << get << 404;
    QTest::newRow("other kind of file") << "f=Data/%E5%9B%BD%E5%86%85%E8%82%A1%E7%A5%A8-%E4%B8%8A%E8%AF%81%E8%AF%81%E5%88%B8/day/600000.txt"
                                        << get << 404;
    QTest::newRow("unlisted update file") << "f=Update/Other" << get << 404;
    QTest::newRow("data file not present") << "f=123456.day" << get << 404;
    QTest::newRow("empty") << "f=" << get << 404;
    QTest::newRow("repeated f") << "f=Data/code.dat&f=Data/lhb.dat" << get << 400;
    QTest::newRow("POST a listed file") << "f=Data/code.dat" << QByteArray("POST") << 405;
    QTest::newRow("POST the manifest") << QString() << QByteArray("POST") << 405;
}

void TestDownload::fileRouteRefuses()
{
    QFETCH(QString, query);
    QFETCH(QByteArray, method);
    QFETCH(int, status);
    QByteArray body;
    QCOMPARE(Fetch(Go + "&a=update" + (query.isEmpty() ? QString() : u'&' + query), &body, nullptr, method), status);
    QVERIFY2(body.startsWith(QByteArray::number(status) + ' '), body.constData()); // an error text, never a file
}

void TestDownload::nothingToOffer()
{
    QTemporaryDir empty;
    QVERIFY(WriteFile(empty.filePath("Data/ggcg.json"), "{}"));
    TGateway gateway(empty.path());
    QString error;
    QVERIFY2(gateway.Listen(0, error), qPrintable(error));
    QCOMPARE(Fetch(Go + "&a=update", nullptr, nullptr, "GET", &gateway), 404);

    // Program copies alone are offered as such.
    QVERIFY(WriteFile(empty.filePath("Update/Download"), DownloadBytes, DownloadTime));
    QByteArray body;
    QCOMPARE(Fetch(Go + "&a=update", &body, nullptr, "GET", &gateway), 200);
    TUpdateManifest m;
    QVERIFY2(ParseManifest(body, m, error), qPrintable(error));
    QVERIFY(m.Files.isEmpty());
    QCOMPARE(m.Programs.size(), 1);
    QCOMPARE(m.Programs.first().Program, QStringLiteral("download"));
}

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
