// Arbitrary data files (code, seat, disclosure, finance and two bar files) loaded by LoadAll and by
// LoadImage, then every view of the report command over the loaded images with small day counts and the
// first code and seat as arguments.
//
// Input: a flags byte, the day count, two bytes of end date, then length-prefixed sections: code.dat,
// yyb.dat, lhb.dat, finance.dat, the first stock's bars, the second stock's bars, the watch list (int32s)
// and a seat scheme (JSON text). A table section is the file's plain content, packed as the data files
// are (compressed, scrambled) unless its flag asks for the bytes as they are; an absent section is an
// absent file.
#include "FuzzCommon.h"

#include "DemoData.h"
#include "ReportViews.h"
#include "data/Stock.h"
#include "kit/CellStyle.h"
#include "kit/Grid.h"
#include "views/LhbSettings.h"

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QtEndian>

namespace {

enum Flags : uint8_t {
    RawCode = 1,
    RawYyb = 2,
    RawLhb = 4,
    NoKey = 8,     // the tables are packed without a key and loaded with an empty app.pass
    Attention = 16, // the watch list comes from the input, not from the settings
    Scheme = 32,    // the seat scheme comes from the input
};

// A code that names a file inside the working folder: the harness never writes elsewhere.
bool SafeCode(const QString &code)
{
    if (code.isEmpty())
        return false;
    for (QChar c : code)
        if (!(c.isLetterOrNumber() && c.unicode() < 128))
            return false;
    return true;
}

void PutTable(const QString &configKey, const QByteArray &plain, bool present, bool raw, const QString &key)
{
    const QString path = NativePath(Json.S(configKey));
    if (!present) {
        QFile::remove(path);
        return;
    }
    FUZZ_CHECK(WriteBytes(path, raw ? plain : PackDataFile(plain, key)));
}

void PutBars(int cId, const QByteArray &bytes, bool present)
{
    const QString code = Stock.CodeText(cId);
    if (!present || !SafeCode(code))
        return;
    FUZZ_CHECK(WriteBytes(Stock.BarFileName(code), bytes));
}

void CheckGrid(const TStringGrid &g, int limit)
{
    FUZZ_CHECK(g.RowCount() >= 2 && g.RowCount() <= limit + 2);
    FUZZ_CHECK(g.ColCount() >= 1);
    QString out;
    QTextStream s(&out);
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.ColCount(); ++c)
            s << CellLook(g.Cell(c, 0), g.Cell(c, r), r, r == 0).text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::InitWorkDir();
    fuzz::TInput in(data, size);
    const uint8_t flags = in.Byte();
    const int days = in.Byte() % 64;
    const int endOffset = int(in.Byte()) | int(in.Byte()) << 8;

    // A fresh data folder at every run, so no file of an earlier input is read.
    QDir(QStringLiteral("Data")).removeRecursively();
    QFile::remove(QStringLiteral("Setting/Run.dat"));
    BuildDefaultTree(Json);
    Json.Run["run"] = JsonValue::object();
    const QString key = (flags & NoKey) ? QString() : Json.S(QStringLiteral("app.pass"));
    if (flags & NoKey)
        Json.Put(QStringLiteral("app.pass"), "");

    bool present[8];
    QByteArray section[8];
    for (int i = 0; i < 8; ++i)
        section[i] = in.Section(&present[i]);
    PutTable(QStringLiteral("data.code"), section[0], present[0], flags & RawCode, key);
    PutTable(QStringLiteral("data.yyb"), section[1], present[1], flags & RawYyb, key);
    PutTable(QStringLiteral("data.lhb"), section[2], present[2], flags & RawLhb, key);
    if (present[3])
        FUZZ_CHECK(WriteBytes(NativePath(Json.S(QStringLiteral("data.finance"))), section[3]));

    // LoadImage on its own, then the whole store.
    TMemoryStream image;
    Stock.LoadImage(image, Json.S(QStringLiteral("data.lhb")), key);
    FUZZ_CHECK(image.Position == 0);
    Stock.Release();
    Stock.LoadAll(key, Json);
    FUZZ_CHECK(Stock.Lhb.Data == image.Data);
    FUZZ_CHECK(Stock.Ggcg.Size() == 0);
    if (!present[0])
        FUZZ_CHECK(Stock.CodeCount() == 0);

    // Bar files are looked up by the loaded codes.
    PutBars(0, section[4], present[4]);
    PutBars(1, section[5], present[5]);

    TReportContext ctx;
    ctx.Params.EndDate = QDate(2015, 1, 1).addDays(endOffset % 4000);
    ctx.Params.Days = days;
    if (flags & Attention) {
        ctx.HasAttention = true;
        const QByteArray &a = section[6];
        for (qsizetype i = 0; i + 4 <= a.size() && i < 64 * 4; i += 4)
            ctx.Attention.push_back(int(qFromLittleEndian<qint32>(a.constData() + i)));
    }
    if (flags & Scheme) {
        const JsonValue scheme = JsonValue::parse(section[7].toStdString(), nullptr, false);
        if (scheme.is_object()) {
            ctx.HasScheme = true;
            ctx.Scheme = scheme;
        }
    }

    // The missing-file rule decides whether the views run at all, as in the seat window.
    if (!Stock.MissingMessage().isEmpty()) {
        FUZZ_CHECK(Stock.CodeCount() == 0 || Stock.YybCount() == 0 || Stock.LhbCount() == 0);
        return 0;
    }
    const QString firstCode = GbkField(Stock.CodeRecords()[0].Code, 6);
    const QString firstSeat = Stock.YybName(0);
    // A grid lists at most one row per stock or seat, the watched seats one per entry of the list.
    const int limit = qMax(qMax(Stock.CodeCount(), Stock.YybCount()), int(ctx.Attention.size()) + 2);
    for (const TReportView &view : ReportViews()) {
        for (int type = 0; type < (view.Name == u"2" ? 3 : 1); ++type) {
            TReportContext c = ctx;
            c.Type = type;
            for (const QString &arg : view.Args)
                c.Args.append(arg == u"SEAT" ? firstSeat : firstCode);
            TReportGrids grids;
            for (TStringGrid *g : {&grids.Left, &grids.Top, &grids.Bottom})
                ClearGrid(*g, 1, 0);
            const QString notFound = view.Run(c, grids);
            // Only an argument can be missing, and then the code or seat really is not in the table.
            if (!notFound.isEmpty())
                FUZZ_CHECK((notFound == firstCode && Stock.CodeIndex(firstCode) < 0)
                           || (notFound == firstSeat && Stock.YybIndex(firstSeat) < 0));
            for (const TStringGrid *g : {&grids.Left, &grids.Top, &grids.Bottom})
                CheckGrid(*g, limit);
        }
    }
    return 0;
}
