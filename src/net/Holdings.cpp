#include "Holdings.h"

#include "app/Json.h"
#include "kit/Grid.h"

const THoldingsList &HoldingsChangeList()
{
    static const THoldingsList list{QString(), QString(), QStringLiteral("读取董监高及相关人员持股变动明细，请稍候……")};
    return list;
}

const THoldingsList &HoldingsBuyRanking()
{
    static const THoldingsList list{QStringLiteral("1"), QStringLiteral("desc"), QStringLiteral("读取高管净增持排行榜，请稍候……")};
    return list;
}

const THoldingsList &HoldingsSellRanking()
{
    static const THoldingsList list{QStringLiteral("1"), QStringLiteral("asc"), QStringLiteral("读取高管净减持排行榜，请稍候……")};
    return list;
}

QString HoldingsChangeCaptions()
{
    return QStringLiteral("序号,代码,名称,变动人,变动股数,成交均价,变动金额(万),变动原因,变动比例(‰),变动后持股数,"
                          "持股种类,董监高人员,职务,与董监高的关系,日期");
}

QString HoldingsRankingCaptions()
{
    return QStringLiteral("排名,代码,名称,股份金额(万),股份数量(股),最新价,涨跌幅,增减持均价");
}

QString HoldingsUrl(const QString &urlTemplate, const QString &m, const QString &r)
{
    QString url = urlTemplate;
    qsizetype from = 0;
    for (const QString *value : {&m, &r}) {
        const qsizetype at = url.indexOf(QStringLiteral("%s"), from);
        if (at < 0)
            break;
        url.replace(at, 2, *value);
        from = at + value->size();
    }
    return url;
}

QString CutHoldingsObject(const QString &text)
{
    QString s = text;
    s.remove(QStringLiteral(" 00:00:00"));
    const qsizetype open = s.indexOf(u'{');
    const qsizetype close = s.indexOf(u'}');
    if (open < 0 || close < open)
        return QString();
    return s.mid(open, close - open + 1);
}

QStringList SplitHoldingsFields(const QString &row)
{
    QStringList fields;
    const qsizetype n = row.size();
    if (n == 0)
        return fields;
    qsizetype i = 0;
    while (true) {
        QString field;
        if (i < n && row.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (row.at(i) == u'"') {
                    if (i + 1 < n && row.at(i + 1) == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += row.at(i++);
            }
        }
        // Up to the next comma: the whole of an unquoted field, or what follows a closing quote.
        const qsizetype start = i;
        while (i < n && row.at(i) != u',')
            ++i;
        field += QStringView(row).mid(start, i - start);
        fields.append(field);
        if (i >= n)
            break;
        ++i; // the comma; a comma at the very end still leaves one empty field after it
    }
    return fields;
}

namespace {

bool ParseObject(const QString &text, int maxRows, JsonValue &out)
{
    if (text.isEmpty())
        return false;
    // Nesting is bounded (64 levels), and so are the values: room for the rows and a few besides; the row
    // count itself is checked on the result.
    return ParseFirstJsonValue(ToUtf8(text), out, 64, std::size_t(qMax(0, maxRows)) * 4 + 64);
}

QString ElementText(const JsonValue &element)
{
    if (element.is_string())
        return FromUtf8(element.get_ref<const std::string &>());
    return FromUtf8(element.dump(-1, ' ', false, JsonValue::error_handler_t::replace));
}

} // namespace

THoldingsFill FillHoldings(const QString &responseText, TStringGrid &grid, int maxRows)
{
    JsonValue root;
    if (!ParseObject(CutHoldingsObject(responseText), maxRows, root))
        return THoldingsFill::Failed;
    if (!root.is_object())
        return THoldingsFill::Empty;
    const auto data = root.find("data");
    if (data == root.end() || !data->is_array() || data->empty())
        return THoldingsFill::Empty;
    if (data->size() > std::size_t(qMax(0, maxRows)))
        return THoldingsFill::Failed;

    const int rows = int(data->size());
    const int oldRows = grid.RowCount();
    grid.SetRowCount(rows + 1);
    for (int r = rows + 1; r < oldRows; ++r)
        grid.ClearRow(r);
    for (int i = 0; i < rows; ++i) {
        const int row = i + 1;
        grid.ClearRow(row);
        const QStringList fields = SplitHoldingsFields(ElementText((*data)[std::size_t(i)]));
        for (int c = 0; c < fields.size() && c < grid.ColCount(); ++c)
            grid.SetCell(c, row, fields.at(c).isEmpty() ? QStringLiteral(" ") : fields.at(c));
    }
    return THoldingsFill::Filled;
}
