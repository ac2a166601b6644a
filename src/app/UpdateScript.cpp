#include "UpdateScript.h"

#include "data/Stock.h"

#include <QStringList>

QByteArray BuildUpdateBatch(const TUpdatePaths &p, bool isStart)
{
    QStringList lines;
    lines << QStringLiteral("@echo off") << QStringLiteral(":loop")
          << QStringLiteral("del \"%1\"").arg(p.S) << QStringLiteral("if exist \"%1\" goto loop").arg(p.S)
          << QStringLiteral("copy \"%1\" \"%2\"").arg(p.T, p.S);
    if (isStart)
        lines << QStringLiteral("start \"%1\" \"%2\"").arg(p.D, p.S);
    lines << QStringLiteral("del %0");
    return ToGbk(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QString ShellQuote(const QString &s)
{
    QString out = s;
    out.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + out + u'\'';
}

QByteArray BuildUpdateShell(const TUpdatePaths &p, bool isStart, qint64 waitPid)
{
    const QString s = ShellQuote(p.S), t = ShellQuote(p.T), d = ShellQuote(p.D);
    QStringList lines;
    lines << QStringLiteral("#!/bin/sh");
    if (waitPid > 0)
        lines << QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 0.2; done").arg(waitPid);
    lines << QStringLiteral("while [ -e %1 ]; do rm -f -- %1 || sleep 0.2; done").arg(s)
          << QStringLiteral("cp -p -- %1 %2").arg(t, s);
    if (isStart)
        lines << QStringLiteral("cd -- %1 && nohup %2 </dev/null >/dev/null 2>&1 &").arg(d, s);
    lines << QStringLiteral("rm -f -- \"$0\"");
    return (lines.join(u'\n') + u'\n').toUtf8();
}
