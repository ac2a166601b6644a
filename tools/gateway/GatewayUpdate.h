#pragma once
// The gateway's update offer: the manifest of the data set and program copies under its root, and
// the bytes of each listed file. Only files the manifest lists can be read through it.

#include "UpdateManifest.h"

#include <QDateTime>
#include <QHash>
#include <QString>

class TGatewayUpdate
{
public:
    explicit TGatewayUpdate(const QString &rootDir) : m_root(rootDir) {}

    // The manifest of what the root holds now; files that cannot be read are left out and named in warnings.
    TUpdateManifest Manifest(QStringList &warnings);
    // The file of a manifest path, or an empty text when the path is not one the manifest lists.
    QString Offered(const QString &path) const;

private:
    struct TCached
    {
        qint64 Size = -1;
        QDateTime Time;
        QByteArray Sha256;
    };
    bool Describe(const QString &path, TUpdateEntry &entry, QString &warning);
    bool IsPlainFile(const QString &path) const;

    QString m_root;
    QHash<QString, TCached> m_hashes; // a file is hashed again only when its size or time changed
};
