#include "UpdateManifest.h"

#include "app/Config.h"
#include "app/Json.h"

#include <QCryptographicHash>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <cmath>

namespace {

// The built-in configuration, built once, so that the rules follow the client's own paths.
const TMVJson &Defaults()
{
    static const TMVJson json = [] {
        TMVJson j;
        BuildDefaultTree(j);
        return j;
    }();
    return json;
}

// A configuration path (".\Data\code.dat") as a manifest path ("Data/code.dat").
QString ManifestPath(const QString &configPath)
{
    QString p = configPath;
    p.replace(u'\\', u'/');
    while (p.startsWith(u"./"))
        p.remove(0, 2);
    return p;
}

// JSON numbers are doubles: sizes and times must be whole, non-negative and exactly representable.
bool WholeNumber(const QJsonValue &v, qint64 &out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (!(d >= 0) || d > 9007199254740992.0 || std::floor(d) != d)
        return false;
    out = qint64(d);
    return true;
}

QJsonObject EntryObject(const TUpdateEntry &e)
{
    QJsonObject o{{"path", e.Path},
                  {"size", double(e.Size)},
                  {"sha256", QString::fromLatin1(e.Sha256)},
                  {"mtime", double(e.MTime)}};
    if (!e.Program.isEmpty())
        o.insert(QStringLiteral("name"), e.Program);
    return o;
}

bool ParseEntry(const QJsonValue &v, bool program, TUpdateEntry &e, QString &error)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    if (!v.isObject()) {
        error = QStringLiteral("an entry is not an object");
        return false;
    }
    const QJsonObject o = v.toObject();
    e.Path = o.value(u"path").toString();
    const QString what = e.Path.isEmpty() ? QStringLiteral("an entry") : QStringLiteral("the entry %1").arg(e.Path);
    if (!o.value(u"path").isString() || !UpdateRules::IsSafeRelativePath(e.Path)) {
        error = QStringLiteral("%1 has no valid relative path").arg(what);
        return false;
    }
    if (!program && !UpdateRules::IsDataPath(e.Path)) {
        error = QStringLiteral("%1 is not a data file of the client").arg(what);
        return false;
    }
    if (!WholeNumber(o.value(u"size"), e.Size)) {
        error = QStringLiteral("%1 has no valid size").arg(what);
        return false;
    }
    if (!WholeNumber(o.value(u"mtime"), e.MTime)) {
        error = QStringLiteral("%1 has no valid mtime").arg(what);
        return false;
    }
    const QString sha = o.value(u"sha256").toString();
    if (!hex.match(sha).hasMatch()) {
        error = QStringLiteral("%1 has no valid sha256").arg(what);
        return false;
    }
    e.Sha256 = sha.toLatin1();
    e.Program.clear();
    if (program) {
        e.Program = o.value(u"name").toString();
        if (!UpdateRules::ProgramNames().contains(e.Program)) {
            error = QStringLiteral("%1 names no known program").arg(what);
            return false;
        }
    }
    return true;
}

} // namespace

namespace UpdateRules {

QStringList TablePaths()
{
    const TMVJson &j = Defaults();
    QStringList paths;
    for (const char *key : {"data.code", "data.finance", "data.lhb", "data.yyb"})
        paths << ManifestPath(j.S(QString::fromLatin1(key)));
    return paths;
}

QStringList BarFolders()
{
    const TMVJson &j = Defaults();
    QStringList folders;
    for (const char *key : {"data.sh.day", "data.sz.day"}) {
        QString f = ManifestPath(j.S(QString::fromLatin1(key)));
        while (f.endsWith(u'/'))
            f.chop(1);
        folders << f;
    }
    folders << QString();
    return folders;
}

bool IsDataPath(const QString &path)
{
    if (!IsSafeRelativePath(path))
        return false;
    if (TablePaths().contains(path))
        return true;
    // The client builds a bar file name from a stock code stripped of blanks; codes are short and plain.
    static const QRegularExpression barName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9_-]{0,31}\\.day$"));
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : path.left(slash);
    return BarFolders().contains(folder) && barName.match(path.mid(slash + 1)).hasMatch();
}

QStringList ProgramNames()
{
    return {QStringLiteral("client"), QStringLiteral("download")};
}

QString ProgramSource(const QString &name)
{
    if (name == u"client")
        return QStringLiteral("Update/Client");
    if (name == u"download")
        return QStringLiteral("Update/Download");
    return QString();
}

QString ProgramTarget(const QString &name)
{
    if (name == u"client")
        return ManifestPath(Defaults().S(QStringLiteral("upd.client")));
    if (name == u"download")
        return ManifestPath(Defaults().S(QStringLiteral("upd.down")));
    return QString();
}

bool IsSafeRelativePath(const QString &path)
{
    if (path.isEmpty() || path.size() > 512)
        return false;
    for (const QChar c : path)
        if (c.unicode() < 0x20 || c == u'\\' || c == u':' || c.unicode() == 0x7f)
            return false;
    const QStringList segments = path.split(u'/');
    for (const QString &s : segments)
        if (s.isEmpty() || s == u"." || s == u"..")
            return false;
    return true;
}

QByteArray Sha256Hex(QIODevice &device)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&device))
        return QByteArray();
    return hash.result().toHex();
}

} // namespace UpdateRules

QByteArray ManifestToJson(const TUpdateManifest &manifest)
{
    QJsonArray files, programs;
    for (const TUpdateEntry &e : manifest.Files)
        files.append(EntryObject(e));
    for (const TUpdateEntry &e : manifest.Programs)
        programs.append(EntryObject(e));
    return QJsonDocument(QJsonObject{{"format", 1}, {"files", files}, {"programs", programs}})
        .toJson(QJsonDocument::Compact);
}

bool ParseManifest(const QByteArray &json, TUpdateManifest &manifest, QString &error)
{
    manifest = TUpdateManifest();
    QJsonParseError perr;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &perr);
    if (perr.error != QJsonParseError::NoError) {
        error = QStringLiteral("not JSON: %1 at byte %2").arg(perr.errorString()).arg(perr.offset);
        return false;
    }
    if (!doc.isObject()) {
        error = QStringLiteral("not a JSON object");
        return false;
    }
    const QJsonObject root = doc.object();
    if (root.value(u"format").toInt(-1) != 1) {
        error = QStringLiteral("no format or an unknown one (this program reads format 1)");
        return false;
    }
    if (!root.value(u"files").isArray()) {
        error = QStringLiteral("no files list");
        return false;
    }
    const QJsonValue programs = root.value(u"programs");
    if (!programs.isUndefined() && !programs.isArray()) {
        error = QStringLiteral("the programs list is not an array");
        return false;
    }
    QSet<QString> paths, names;
    TUpdateManifest m;
    for (const QJsonValue &v : root.value(u"files").toArray()) {
        TUpdateEntry e;
        if (!ParseEntry(v, false, e, error))
            return false;
        if (paths.contains(e.Path)) {
            error = QStringLiteral("the entry %1 is listed twice").arg(e.Path);
            return false;
        }
        paths.insert(e.Path);
        m.Files << e;
    }
    for (const QJsonValue &v : programs.toArray()) {
        TUpdateEntry e;
        if (!ParseEntry(v, true, e, error))
            return false;
        if (names.contains(e.Program)) {
            error = QStringLiteral("the program %1 is listed twice").arg(e.Program);
            return false;
        }
        names.insert(e.Program);
        m.Programs << e;
    }
    manifest = m;
    return true;
}
