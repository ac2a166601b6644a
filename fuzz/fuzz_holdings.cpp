// Holdings response texts through the cut, the field split and the grid fill.
#include "FuzzCommon.h"

#include "data/Stock.h"
#include "kit/Grid.h"
#include "net/Holdings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the decoding (GBK as the HTTP body arrives, or UTF-8), the grid and the row limit.
    const uint8_t mode = data[0];
    const QByteArray body(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    const QString text = (mode & 1) ? QString::fromUtf8(body) : FromGbk(body);

    const QString cut = CutHoldingsObject(text);
    if (!cut.isEmpty()) {
        FUZZ_CHECK(cut.startsWith(u'{') && cut.endsWith(u'}'));
        FUZZ_CHECK(cut.count(u'}') == 1);
        // One pass of removal, as the rule says: removing can join the text around into a new " 00:00:00".
        FUZZ_CHECK(QString(text).remove(QStringLiteral(" 00:00:00")).contains(cut));
    }

    const QStringList fields = SplitHoldingsFields(text);
    FUZZ_CHECK(fields.isEmpty() == text.isEmpty());
    // Without quotes the split is a plain split at commas.
    if (!text.isEmpty() && !text.contains(u'"'))
        FUZZ_CHECK(fields == text.split(u','));

    TStringGrid grid;
    ClearGrid(grid, (mode & 2) ? 15 : 8, 0);
    grid.SetRowText(0, (mode & 2) ? HoldingsChangeCaptions() : HoldingsRankingCaptions());
    // Rows left over from an earlier response must not survive a refill.
    grid.SetRowCount(40);
    for (int r = 1; r < 40; ++r)
        grid.SetCell(0, r, QStringLiteral("old"));
    const int maxRows = (mode & 4) ? 3 : HoldingsMaxRows;
    const THoldingsFill fill = FillHoldings(text, grid, maxRows);
    if (fill == THoldingsFill::Filled) {
        FUZZ_CHECK(grid.RowCount() >= 2 && grid.RowCount() - 1 <= maxRows);
        for (int r = 1; r < grid.RowCount(); ++r)
            FUZZ_CHECK(grid.Cell(0, r) != u"old" || text.contains(QStringLiteral("old")));
        for (int r = grid.RowCount(); r < 40; ++r)
            FUZZ_CHECK(grid.Cell(0, r).isEmpty());
    }
    if (cut.isEmpty())
        FUZZ_CHECK(fill == THoldingsFill::Failed);
    return 0;
}
