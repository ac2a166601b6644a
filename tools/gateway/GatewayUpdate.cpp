#include "GatewayUpdate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool TGatewayUpdate::IsPlainFile(const QString &path) const
{
    // Links are not offered, so that no listed name can lead outside the root.
    const QFileInfo info(QDir(m_root).filePath(path));
    return info.isFile() && !info.isSymLink();
}

bool TGatewayUpdate::Describe(const QString &path, TUpdateEntry &entry, QString &warning)
{
    const QFileInfo info(QDir(m_root).filePath(path));
    const QDateTime time = info.lastModified();
    TCached &c = m_hashes[path];
    if (c.Sha256.isEmpty() || c.Size != info.size() || c.Time != time) {
        QFile f(info.filePath());
        QByteArray sha;
        if (f.open(QIODevice::ReadOnly))
            sha = UpdateRules::Sha256Hex(f);
        if (sha.isEmpty()) {
            m_hashes.remove(path);
            warning = QStringLiteral("cannot read %1: %2").arg(QDir::toNativeSeparators(info.filePath()), f.errorString());
            return false;
        }
        c.Size = info.size();
        c.Time = time;
        c.Sha256 = sha;
    }
    entry.Path = path;
    entry.Size = c.Size;
    entry.Sha256 = c.Sha256;
    entry.MTime = c.Time.toMSecsSinceEpoch();
    return true;
}

TUpdateManifest TGatewayUpdate::Manifest(QStringList &warnings)
{
    QStringList paths;
    for (const QString &table : UpdateRules::TablePaths())
        if (IsPlainFile(table))
            paths << table;
    for (const QString &folder : UpdateRules::BarFolders()) {
        const QDir dir(QDir(m_root).filePath(folder));
        const QStringList names = dir.entryList({QStringLiteral("*.day")}, QDir::Files | QDir::NoSymLinks, QDir::Name);
        for (const QString &name : names) {
            const QString path = folder.isEmpty() ? name : folder + u'/' + name;
            if (UpdateRules::IsDataPath(path))
                paths << path;
        }
    }
    TUpdateManifest m;
    QString warning;
    for (const QString &path : paths) {
        TUpdateEntry e;
        if (Describe(path, e, warning))
            m.Files << e;
        else
            warnings << warning;
    }
    for (const QString &name : UpdateRules::ProgramNames()) {
        const QString source = UpdateRules::ProgramSource(name);
        TUpdateEntry e;
        if (!IsPlainFile(source))
            continue;
        if (!Describe(source, e, warning)) {
            warnings << warning;
            continue;
        }
        e.Program = name;
        m.Programs << e;
    }
    return m;
}

QString TGatewayUpdate::Offered(const QString &path) const
{
    bool listed = UpdateRules::IsDataPath(path);
    for (const QString &name : UpdateRules::ProgramNames())
        listed = listed || path == UpdateRules::ProgramSource(name);
    return listed && IsPlainFile(path) ? QDir(m_root).filePath(path) : QString();
}
