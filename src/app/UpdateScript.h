#pragma once
// The update script that replaces a program file once the program holding it has ended: a Windows
// batch as the product has always written it, or the equivalent POSIX shell script.

#include <QByteArray>
#include <QString>

struct TUpdatePaths
{
    QString S; // the file to replace (full path)
    QString T; // the new copy (full path)
    QString D; // the folder of S, with its final separator
};

// The Windows batch: CR LF lines in the system code page (GBK).
QByteArray BuildUpdateBatch(const TUpdatePaths &p, bool isStart);
// The POSIX script: waits for the process waitPid (0: none) to end, deletes S until it is gone, copies T
// over S keeping T's time and mode, starts S from its folder when asked, and deletes itself. Every path
// is single-quoted, so no character of a path can break out of its word.
QByteArray BuildUpdateShell(const TUpdatePaths &p, bool isStart, qint64 waitPid);
// A text as one single-quoted shell word.
QString ShellQuote(const QString &s);
