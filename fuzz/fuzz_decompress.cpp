// Arbitrary bytes through Decompress, checked against the piece-wise file inflater that loads the data
// files (unscramble, then inflate), and through the Compress / Decompress and Scramble round trips.
#include "FuzzCommon.h"

#include "DemoData.h"
#include "data/ImageFile.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::InitWorkDir();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Decompress into a stream that already holds bytes: they stay in front of the output.
    const QByteArray prefix("pre");
    TMemoryStream source(bytes), dest(prefix);
    dest.Seek(dest.Size());
    const bool ok = Pub.Decompress(source, dest);
    FUZZ_CHECK(dest.Data.startsWith(prefix));
    if (ok)
        FUZZ_CHECK(dest.Position == 0);
    const QByteArray inflated = dest.Data.mid(prefix.size());

    // The data-file loader reads the same bytes from a file, piece by piece: the same content comes out.
    // A key of one unit above 255 changes two bytes of every group, so unscrambling is covered too.
    const QString key = QStringLiteral("\u4e2dK");
    TMemoryStream scrambled(bytes);
    Pub.Scramble(scrambled, key);
    FUZZ_CHECK(scrambled.Size() == qint64(size) && scrambled.Position == 0);
    FUZZ_CHECK(WriteBytes(QStringLiteral("fuzz.dat"), scrambled.Data));
    TMemoryStream image;
    InflateDataFile(QStringLiteral("fuzz.dat"), key, image);
    FUZZ_CHECK(image.Data == inflated);

    // Scrambling twice gives the bytes back.
    Pub.Scramble(scrambled, key);
    FUZZ_CHECK(scrambled.Data == bytes);

    // Whatever came out compresses and inflates back to itself.
    TMemoryStream plain(inflated), packed, back;
    FUZZ_CHECK(Pub.Compress(plain, packed));
    FUZZ_CHECK(Pub.Decompress(packed, back));
    FUZZ_CHECK(back.Data == inflated && back.Position == 0);
    return 0;
}
