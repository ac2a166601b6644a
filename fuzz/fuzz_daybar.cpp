// Bar lookups on arbitrary bar-file bytes with arbitrary keys and offsets, against the lookup rule
// written out plainly: a linear scan over the whole file.
#include "FuzzCommon.h"

#include "DemoData.h"
#include "data/BarSeries.h"
#include "data/Stock.h"

#include <cstring>
#include <vector>

namespace {

TDayBar Reference(const QByteArray &file, qint32 key, qint32 offset)
{
    TDayBar zero;
    std::memset(&zero, 0, sizeof zero);
    const qint64 n = file.size() / qint64(sizeof(TDayBar));
    if (n <= 0)
        return zero;
    std::vector<TDayBar> bars(static_cast<size_t>(n));
    std::memcpy(bars.data(), file.constData(), size_t(n) * sizeof(TDayBar));
    qint64 i = 0;
    if (key > 9999999) {
        for (qint64 j = 0; j < n && bars[size_t(j)].Date <= key; ++j)
            i = j;
    } else {
        i = (n - 1) - key;
    }
    i += offset;
    if (i < 0)
        i = 0;
    if (i > n - 1)
        i = n - 1;
    return bars[size_t(i)];
}

bool Same(const TDayBar &a, const TDayBar &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static bool ready = false;
    if (!ready) {
        fuzz::InitWorkDir();
        // One stock of each market and one of neither, whose bar file lies in the working folder.
        Stock.Code = TMemoryStream(RecordBytes(std::vector<TCodeRecord>{
            MakeCode(QStringLiteral("600000"), QStringLiteral("甲")),
            MakeCode(QStringLiteral("000001"), QStringLiteral("乙")),
            MakeCode(QStringLiteral("510050"), QStringLiteral("丙"))}));
        Stock.ShDay = Json.S(QStringLiteral("data.sh.day"));
        Stock.SzDay = Json.S(QStringLiteral("data.sz.day"));
        ready = true;
    }
    fuzz::TInput in(data, size);
    const int cId = in.Byte() % 3;
    const qint32 key = in.I32();
    const qint32 offset = in.I32();
    const QByteArray file = in.Rest();
    const QString code = Stock.CodeText(cId);
    FUZZ_CHECK(WriteBytes(Stock.BarFileName(code), file));

    const TDayBar want = Reference(file, key, offset);
    FUZZ_CHECK(Same(Stock.DayBar(code, key, offset), want));
    TDayBar viaIndex;
    std::memset(&viaIndex, 0x5A, sizeof viaIndex);
    Stock.DayBarOfIndex(cId, key, offset, viaIndex);
    FUZZ_CHECK(Same(viaIndex, want));

    // An index outside the table leaves the caller's bar as it was.
    TDayBar untouched = viaIndex;
    Stock.DayBarOfIndex(key < 0 ? key : 3 + (key & 0xFFFF), key, offset, untouched);
    FUZZ_CHECK(Same(untouched, viaIndex));

    // The series held for one computation answers as the file lookup does.
    TBarSeries series;
    series.Load(Stock, cId);
    FUZZ_CHECK(series.Count() == int(file.size() / qsizetype(sizeof(TDayBar))));
    FUZZ_CHECK(Same(series.At(key, offset), want));

    TDayBar newest, previous;
    Stock.NewestBars(code, newest, previous);
    FUZZ_CHECK(Same(newest, Reference(file, 0, 0)));
    FUZZ_CHECK(Same(previous, Reference(file, 1, 0)));
    return 0;
}
