#pragma once
// One update of the working directory from the service gateway: reads the manifest at the update
// address, downloads every file whose size or SHA-256 differs from the local one, checks each
// download against the manifest into a temporary file beside its target, and renames the
// temporaries into place only when all of them are complete and verified.

#include "UpdateManifest.h"

#include <QNetworkAccessManager>
#include <QStringList>
#include <QTextStream>
#include <QUrl>

#include <functional>

class TDownloader
{
public:
    enum { Ok = 0, Failed = 1 };
    static constexpr qint64 MaxManifest = 64 * 1024 * 1024;
    static constexpr int IdleTimeoutMs = 30000;

    TDownloader(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    // Updates the current working directory from the update address; the exit code.
    int Run(const QUrl &address);

    // The address of one listed file: the update address with f=<path> added to its query.
    static QUrl FileUrl(const QUrl &address, const QString &path);

private:
    struct TJob
    {
        TUpdateEntry Entry;
        QString Target; // local path relative to the working directory, forward slashes
        QString Temp;
    };

    // GETs the address and hands the body to sink in pieces; false with a reason when the answer
    // is not a complete 200 of at most limit bytes or sink refuses a piece.
    bool Fetch(const QUrl &url, qint64 limit, const std::function<bool(const QByteArray &)> &sink, QString &error);
    bool Plan(const TUpdateManifest &manifest, QList<TJob> &jobs, int &total, QString &error);
    bool Stage(const QUrl &address, TJob &job, QString &error);
    bool Commit(QList<TJob> &jobs, QString &error);
    void Discard(const QList<TJob> &jobs);
    int Fail(const QString &error);

    QTextStream &m_out;
    QTextStream &m_err;
    QNetworkAccessManager m_net;
};
