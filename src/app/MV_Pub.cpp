#include "MV_Pub.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <cstring>

TMVPub Pub;

qint64 TMemoryStream::Read(char *dst, qint64 len)
{
    const qint64 n = qBound<qint64>(0, Size() - Position, len);
    if (n > 0)
        std::memcpy(dst, Data.constData() + Position, size_t(n));
    Position += n;
    return n;
}

void TMemoryStream::Write(const char *src, qint64 len)
{
    if (len <= 0)
        return;
    if (Position == Size()) {
        Data.append(src, len);
    } else {
        // A gap left by seeking past the end reads as zero bytes.
        if (Position + len > Size())
            Data.resize(Position + len, '\0');
        std::memcpy(Data.data() + Position, src, size_t(len));
    }
    Position += len;
}

QString ProgramFilePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

void TMVPub::Init()
{
    App = TMVApp();
    Url = TMVUrl();
    Path.App = ProgramFilePath();
    Path.Cfg = QStringLiteral(".\\Config.dat");
    Path.Skin = QStringLiteral(".\\Skins\\");
}

bool TMVPub::Compress(TMemoryStream &source, TMemoryStream &dest) const
{
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (deflateInit2(&zs, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    bool ok = true;
    try {
        source.Seek(0);
        const QByteArray &in = source.Data;
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        char out[16384];
        qint64 left = in.size();
        for (;;) {
            // zlib's avail_in is 32-bit: feed very large sources in slices.
            if (zs.avail_in == 0 && left > 0) {
                const uInt slice = uInt(qMin<qint64>(left, 1 << 30));
                zs.avail_in = slice;
                left -= slice;
            }
            zs.next_out = reinterpret_cast<Bytef *>(out);
            zs.avail_out = sizeof out;
            const int rc = deflate(&zs, left == 0 ? Z_FINISH : Z_NO_FLUSH);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
                ok = false;
                break;
            }
            dest.Write(out, qint64(sizeof out - zs.avail_out));
            if (rc == Z_STREAM_END)
                break;
        }
        source.Seek(source.Size());
    } catch (...) {
        ok = false; // only an exhausted memory gets here
    }
    deflateEnd(&zs);
    return ok;
}

bool TMVPub::Decompress(TMemoryStream &source, TMemoryStream &dest) const
{
    return Decompress(source, dest, -1);
}

bool TMVPub::Decompress(TMemoryStream &source, TMemoryStream &dest, qint64 maxOut) const
{
    // Fewer bytes than the two-byte header are no zlib stream at all.
    if (source.Size() < 2)
        return false;
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        return false;
    bool ok = true;
    try {
        source.Seek(0);
        const QByteArray &in = source.Data;
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        qint64 left = in.size();
        char out[16384];
        qint64 room = maxOut;
        for (;;) {
            if (zs.avail_in == 0 && left > 0) {
                const uInt slice = uInt(qMin<qint64>(left, 1 << 30));
                zs.avail_in = slice;
                left -= slice;
            }
            const uInt piece = room < 0 ? uInt(sizeof out) : uInt(qMin<qint64>(room, sizeof out));
            if (piece == 0)
                break; // the limit is reached: the output ends here
            zs.next_out = reinterpret_cast<Bytef *>(out);
            zs.avail_out = piece;
            const int rc = inflate(&zs, Z_NO_FLUSH);
            const qint64 got = qint64(piece - zs.avail_out);
            if (got > 0)
                dest.Write(out, got);
            if (room >= 0)
                room -= got;
            if (rc == Z_STREAM_END)
                break; // bytes after the end of the stream are ignored
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                ok = false;
                break;
            }
            if (got == 0 && zs.avail_in == 0 && left == 0)
                break; // cut short: the output ends where the input ends
        }
    } catch (...) {
        ok = false; // only an exhausted memory gets here
    }
    inflateEnd(&zs);
    if (ok)
        dest.Seek(0);
    return ok;
}

void TMVPub::Scramble(TMemoryStream &stream, const QString &key) const
{
    const qsizetype units = key.size();
    stream.Seek(0);
    if (units == 0)
        return;
    char *p = stream.Data.data();
    const qint64 size = stream.Size();
    qsizetype k = 0;
    // Each 4-byte group is XORed, as a little-endian word, with one key unit widened to 32 bits.
    for (qint64 pos = 0; pos < size; pos += 4) {
        const char16_t c = key.at(k).unicode();
        p[pos] = char(p[pos] ^ (c & 0xFF));
        if (pos + 1 < size)
            p[pos + 1] = char(p[pos + 1] ^ (c >> 8));
        if (++k == units)
            k = 0;
    }
    stream.Seek(0);
}

bool TMVPub::EnsureFileDir(const QString &filePath) const
{
    qsizetype cut = -1;
    for (qsizetype i = filePath.size() - 1; i >= 0; --i) {
        const QChar ch = filePath.at(i);
        if (ch == u'\\' || ch == u'/') {
            cut = i;
            break;
        }
    }
    // Only the colon of a drive ("C:Run.dat") ends a folder part; elsewhere it is part of a name.
    if (cut < 0 && filePath.size() >= 2 && filePath.at(1) == u':' && filePath.at(0).isLetter()
        && filePath.at(0).unicode() < 128)
        cut = 1;
    QString folder = cut >= 0 ? filePath.left(cut + 1) : QString();
    folder = folder.isEmpty() ? QFileInfo(ProgramFilePath()).absolutePath() : NativePath(folder);
    QDir dir(folder);
    if (dir.exists())
        return true;
    return QDir().mkpath(folder);
}

QString NativePath(const QString &configPath)
{
    QString p = configPath;
    if (QDir::separator() != u'\\')
        p.replace(u'\\', QDir::separator());
    return p;
}

bool ReadWholeFile(const QString &nativePath, QByteArray &out)
{
    QFile f(nativePath);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    out = f.readAll();
    return f.error() == QFileDevice::NoError;
}
