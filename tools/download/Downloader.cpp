#include "Downloader.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

const QString LockFile = QStringLiteral("Setting/Download.lock");

std::filesystem::path FsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Renames over an existing file in one step, as QSaveFile does, so the target is never half written.
bool ReplaceFile(const QString &from, const QString &to, QString &error)
{
    std::error_code ec;
    std::filesystem::rename(FsPath(from), FsPath(to), ec);
    if (ec)
        error = QString::fromLocal8Bit(ec.message().c_str());
    return !ec;
}

// Pushes the written bytes to the disk before the rename, so a crash cannot leave an empty file in place.
bool SyncToDisk(QFile &f)
{
    if (!f.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(f.handle()) == 0;
#else
    return ::fsync(f.handle()) == 0;
#endif
}

bool SetTime(QFile &f, qint64 msecs)
{
    return f.setFileTime(QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC), QFileDevice::FileModificationTime);
}

bool SetTime(const QString &path, qint64 msecs)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) && SetTime(f, msecs);
}

bool SameContent(const QFileInfo &info, const TUpdateEntry &e)
{
    if (info.size() != e.Size)
        return false;
    QFile f(info.filePath());
    return f.open(QIODevice::ReadOnly) && UpdateRules::Sha256Hex(f) == e.Sha256;
}

bool IsLoopback(const QString &host)
{
    return host == u"127.0.0.1" || host == u"::1" || host.compare(u"localhost", Qt::CaseInsensitive) == 0;
}

QString Shown(const QUrl &url) { return url.toDisplayString(QUrl::RemoveUserInfo); }

} // namespace

QUrl TDownloader::FileUrl(const QUrl &address, const QString &path)
{
    QUrl url = address;
    const QString query = address.query(QUrl::FullyEncoded);
    const QString item = QStringLiteral("f=") + QString::fromLatin1(QUrl::toPercentEncoding(path));
    url.setQuery(query.isEmpty() ? item : query + u'&' + item, QUrl::StrictMode);
    return url;
}

int TDownloader::Fail(const QString &error)
{
    m_err << "Download: error: " << error << "\n";
    m_err.flush();
    return Failed;
}

bool TDownloader::Fetch(const QUrl &url, qint64 limit, const std::function<bool(const QByteArray &)> &sink,
                        QString &error)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(IdleTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    QNetworkReply *reply = m_net.get(request);
    qint64 received = 0;
    int status = 0;
    QString failure;
    auto drain = [&] {
        if (!failure.isEmpty())
            return;
        // Kept here, as an aborted reply forgets its status.
        status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status != 200) {
            reply->abort();
            return; // the status is reported once the reply has finished
        }
        while (reply->bytesAvailable() > 0) {
            const QByteArray piece = reply->read(qMin<qint64>(reply->bytesAvailable(), 1 << 20));
            received += piece.size();
            if (received > limit) {
                failure = QStringLiteral("the gateway sent more than the %1 bytes expected from %2").arg(limit).arg(Shown(url));
            } else if (!sink(piece)) {
                failure = QStringLiteral("stopped");
            }
            if (!failure.isEmpty()) {
                reply->abort();
                return;
            }
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, drain);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    if (status == 0 || status == 200)
        drain();
    if (!failure.isEmpty())
        error = failure;
    else if (status != 0 && status != 200)
        error = QStringLiteral("the gateway answered HTTP %1 for %2").arg(status).arg(Shown(url));
    else if (reply->error() != QNetworkReply::NoError)
        error = QStringLiteral("cannot fetch %1: %2").arg(Shown(url), reply->errorString());
    reply->disconnect(); // the handlers refer to this call's locals
    reply->deleteLater();
    return error.isEmpty();
}

bool TDownloader::Plan(const TUpdateManifest &manifest, QList<TJob> &jobs, int &total, QString &error)
{
    QList<TJob> all;
    for (const TUpdateEntry &e : manifest.Programs)
        all.append({e, UpdateRules::ProgramTarget(e.Program), QString()});
    for (const TUpdateEntry &e : manifest.Files)
        all.append({e, e.Path, QString()});
    total = int(all.size());
    for (const TJob &job : all) {
        const QFileInfo info(job.Target);
        if (info.exists() && !info.isFile()) {
            error = QStringLiteral("cannot replace %1: it is not a file").arg(QDir::toNativeSeparators(job.Target));
            return false;
        }
        if (info.exists() && SameContent(info, job.Entry)) {
            // The client compares last-write times of the program copies, so a matching file gets the listed time.
            if (info.lastModified().toMSecsSinceEpoch() != job.Entry.MTime && !SetTime(job.Target, job.Entry.MTime))
                m_err << "Download: warning: cannot set the time of " << QDir::toNativeSeparators(job.Target) << "\n";
            continue;
        }
        jobs << job;
    }
    return true;
}

bool TDownloader::Stage(const QUrl &address, TJob &job, QString &error)
{
    const QFileInfo target(job.Target);
    const QString shown = QDir::toNativeSeparators(job.Target);
    if (!QDir().mkpath(target.path())) {
        error = QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(target.path()));
        return false;
    }
    // The temporary lies beside its target, so that the final rename stays on one file system.
    job.Temp = QDir(target.path()).filePath(u'.' + target.fileName() + QStringLiteral(".part"));
    QFile f(job.Temp);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(job.Temp), f.errorString());
        return false;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    qint64 received = 0;
    QString writeError;
    const bool fetched = Fetch(FileUrl(address, job.Entry.Path), job.Entry.Size, [&](const QByteArray &piece) {
        if (f.write(piece) != piece.size()) {
            writeError = f.errorString();
            return false;
        }
        hash.addData(piece);
        received += piece.size();
        return true;
    }, error);
    if (!writeError.isEmpty()) {
        error = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(job.Temp), writeError);
        return false;
    }
    if (!fetched)
        return false;
    if (received != job.Entry.Size) {
        error = QStringLiteral("the gateway sent %1 of the %2 bytes of %3").arg(received).arg(job.Entry.Size).arg(job.Entry.Path);
        return false;
    }
    const QByteArray sha = hash.result().toHex();
    if (sha != job.Entry.Sha256) {
        error = QStringLiteral("checksum mismatch for %1: the manifest lists %2, the download has %3")
                    .arg(job.Entry.Path, QString::fromLatin1(job.Entry.Sha256), QString::fromLatin1(sha));
        return false;
    }
    if (!job.Entry.Program.isEmpty()
        && !f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                             | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
                             | QFileDevice::ExeOther)) {
        error = QStringLiteral("cannot make %1 executable: %2").arg(shown, f.errorString());
        return false;
    }
    if (!SyncToDisk(f)) {
        error = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(job.Temp), f.errorString());
        return false;
    }
    // Set after the last write, so the listed time stays; the rename keeps it.
    if (!SetTime(f, job.Entry.MTime))
        m_err << "Download: warning: cannot set the time of " << shown << "\n";
    f.close();
    if (f.error() != QFileDevice::NoError) {
        error = QStringLiteral("cannot write %1: %2").arg(QDir::toNativeSeparators(job.Temp), f.errorString());
        return false;
    }
    return true;
}

bool TDownloader::Commit(QList<TJob> &jobs, QString &error)
{
    // The four tables index one another: they are renamed last, together, after the bar files and programs.
    const QStringList tables = UpdateRules::TablePaths();
    std::stable_partition(jobs.begin(), jobs.end(), [&](const TJob &j) { return !tables.contains(j.Target); });
    int replaced = 0;
    for (TJob &job : jobs) {
        QString why;
        if (!ReplaceFile(job.Temp, job.Target, why)) {
            error = QStringLiteral("cannot replace %1: %2; %3 of the %4 verified files were replaced before it, "
                                   "the others are unchanged")
                        .arg(QDir::toNativeSeparators(job.Target), why).arg(replaced).arg(jobs.size());
            return false;
        }
        job.Temp.clear();
        ++replaced;
    }
    return true;
}

void TDownloader::Discard(const QList<TJob> &jobs)
{
    for (const TJob &job : jobs)
        if (!job.Temp.isEmpty())
            QFile::remove(job.Temp);
}

int TDownloader::Run(const QUrl &address)
{
    // A loopback gateway is reached directly, whatever proxy the environment names.
    if (IsLoopback(address.host()))
        m_net.setProxy(QNetworkProxy::NoProxy);
    if (!QDir().mkpath(QFileInfo(LockFile).path()))
        return Fail(QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(QFileInfo(LockFile).path())));
    QLockFile lock(LockFile);
    lock.setStaleLockTime(0);
    if (!lock.tryLock(0))
        return Fail(lock.error() == QLockFile::LockFailedError
                        ? QStringLiteral("another download program is updating this folder")
                        : QStringLiteral("cannot create the lock file %1").arg(QDir::toNativeSeparators(LockFile)));

    m_out << "Download: reading the manifest from " << Shown(address) << "\n";
    m_out.flush();
    QByteArray body;
    QString error;
    if (!Fetch(address, MaxManifest, [&](const QByteArray &piece) { body += piece; return true; }, error))
        return Fail(error + QStringLiteral("; nothing was changed"));
    TUpdateManifest manifest;
    if (!ParseManifest(body, manifest, error))
        return Fail(QStringLiteral("bad manifest from %1: %2; nothing was changed").arg(Shown(address), error));

    QList<TJob> jobs;
    int total = 0;
    if (!Plan(manifest, jobs, total, error))
        return Fail(error + QStringLiteral("; nothing was changed"));
    if (jobs.isEmpty()) {
        m_out << "Download: everything is up to date (" << total << " files)\n";
        m_out.flush();
        return Ok;
    }
    qint64 bytes = 0;
    for (const TJob &job : jobs)
        bytes += job.Entry.Size;
    m_out << "Download: " << jobs.size() << " of " << total << " files to fetch, " << bytes << " bytes\n";
    m_out.flush();

    qint64 done = 0;
    for (qsizetype i = 0; i < jobs.size(); ++i) {
        TJob &job = jobs[i];
        if (!Stage(address, job, error)) {
            Discard(jobs);
            return Fail(error + QStringLiteral("; nothing was changed"));
        }
        done += job.Entry.Size;
        const int percent = bytes > 0 ? int(done * 100 / bytes) : int((i + 1) * 100 / jobs.size());
        m_out << QStringLiteral("[%1%] ").arg(percent, 3) << job.Entry.Path;
        if (job.Target != job.Entry.Path)
            m_out << " -> " << job.Target;
        m_out << " (" << job.Entry.Size << " bytes)\n";
        m_out.flush();
    }
    if (!Commit(jobs, error)) {
        Discard(jobs);
        return Fail(error);
    }
    m_out << "Download: " << jobs.size() << " files updated\n";
    m_out.flush();
    return Ok;
}
