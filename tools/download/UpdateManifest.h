#pragma once
// The update manifest that the service gateway offers and the download program reads: every data
// file of the client's data set and the new program copies, each with its size, SHA-256 and
// modification time, and the path rules both sides use so that no entry can name a file outside
// the data set.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

struct TUpdateEntry
{
    QString Path;        // relative path with forward slashes, as requested from the gateway
    qint64 Size = 0;
    QByteArray Sha256;   // 64 lower-case hexadecimal digits
    qint64 MTime = 0;    // last modification, milliseconds since 1970-01-01 UTC
    QString Program;     // empty for a data file, else "client" or "download"
};

struct TUpdateManifest
{
    QList<TUpdateEntry> Files;
    QList<TUpdateEntry> Programs;
};

namespace UpdateRules {

// The four tables under the data folder, from the built-in configuration ("Data/code.dat", ...).
QStringList TablePaths();
// The folders that hold bar files: the Shanghai and Shenzhen folders and "" for the working directory.
QStringList BarFolders();
// True for a table path or a bar file name (safe characters, ".day") in one of the bar folders.
bool IsDataPath(const QString &path);

// The program names the manifest knows, their source under the gateway's root ("Update/Client") and
// the place the download program leaves the new copy ("Setting/Client.upd").
QStringList ProgramNames();
QString ProgramSource(const QString &name);
QString ProgramTarget(const QString &name);

// A relative path of non-empty segments without ".", "..", backslashes, colons or control characters.
bool IsSafeRelativePath(const QString &path);

// Hex SHA-256 of what is left to read on the device; empty when reading fails.
QByteArray Sha256Hex(QIODevice &device);

} // namespace UpdateRules

// Compact JSON text of the manifest.
QByteArray ManifestToJson(const TUpdateManifest &manifest);
// Parses and checks a manifest; false with a reason when any part of it is missing or invalid,
// a path breaks the rules above or a path is listed twice.
bool ParseManifest(const QByteArray &json, TUpdateManifest &manifest, QString &error);
