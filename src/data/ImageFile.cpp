#include "ImageFile.h"

#include <QFile>

#include <zlib.h>

#include <cstring>
#include <new>
#include <vector>

namespace {

// One pass over the file: unscrambles each piece and inflates it, handing the output to sink.
template <typename Sink>
bool InflatePass(QFile &file, const QString &key, Sink sink)
{
    if (!file.seek(0))
        return false;
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK)
        return false;
    // Pieces are a multiple of 4 bytes, so every piece starts a scramble group.
    std::vector<char> in(1 << 20);
    char out[16384];
    qint64 group = 0;
    const qsizetype units = key.size();
    bool ok = true, done = false;
    while (!done) {
        const qint64 got = file.read(in.data(), qint64(in.size()));
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break; // the input ends: a stream cut short keeps what was inflated
        if (units > 0) {
            for (qint64 pos = 0; pos < got; pos += 4, ++group) {
                const char16_t c = key.at(qsizetype(group % units)).unicode();
                in[size_t(pos)] = char(in[size_t(pos)] ^ (c & 0xFF));
                if (pos + 1 < got)
                    in[size_t(pos + 1)] = char(in[size_t(pos + 1)] ^ (c >> 8));
            }
        }
        zs.next_in = reinterpret_cast<Bytef *>(in.data());
        zs.avail_in = uInt(got);
        // Inflate until this piece is used up and zlib holds no more output for it.
        for (;;) {
            zs.next_out = reinterpret_cast<Bytef *>(out);
            zs.avail_out = sizeof out;
            const int rc = inflate(&zs, Z_NO_FLUSH);
            const qint64 produced = qint64(sizeof out - zs.avail_out);
            sink(out, produced);
            if (rc == Z_STREAM_END) {
                done = true; // bytes after the end of the stream are ignored
                break;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) {
                ok = false;
                done = true;
                break;
            }
            if (zs.avail_in == 0 && produced < qint64(sizeof out))
                break;
        }
    }
    inflateEnd(&zs);
    return ok;
}

} // namespace

bool InflateDataFile(const QString &nativePath, const QString &key, TMemoryStream &image)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A first pass measures the content, so the image is allocated once: growing it while inflating
    // would hold the old and the new buffer at the same time.
    qint64 total = 0;
    InflatePass(file, key, [&total](const char *, qint64 n) { total += n; });
    const qint64 before = image.Size();
    try {
        image.Data.reserve(before + total);
        const bool ok = InflatePass(file, key, [&image](const char *p, qint64 n) { image.Write(p, n); });
        if (ok)
            image.Seek(0);
        return ok;
    } catch (const std::bad_alloc &) {
        // Content beyond the memory there is (a file that inflates without end) loads as nothing, and
        // the memory taken for it is given back.
        image.Data.truncate(before);
        image.Data.squeeze();
        image.Seek(0);
        return false;
    }
}
