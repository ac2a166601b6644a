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

// The library's DOM builder behind two guards: nesting depth (destroying and copying a tree recurse
// per level) and the number of values (a body of tiny elements would otherwise build a huge grid).
class TBoundedSax
{
public:
    TBoundedSax(JsonValue &result, std::size_t maxValues) : m_dom(result, false), m_maxValues(maxValues) {}

    bool null() { return Count() && m_dom.null(); }
    bool boolean(bool b) { return Count() && m_dom.boolean(b); }
    bool number_integer(JsonValue::number_integer_t n) { return Count() && m_dom.number_integer(n); }
    bool number_unsigned(JsonValue::number_unsigned_t n) { return Count() && m_dom.number_unsigned(n); }
    bool number_float(JsonValue::number_float_t d, const JsonValue::string_t &s) { return Count() && m_dom.number_float(d, s); }
    bool string(JsonValue::string_t &s) { return Count() && m_dom.string(s); }
    bool binary(JsonValue::binary_t &b) { return Count() && m_dom.binary(b); }
    bool key(JsonValue::string_t &k) { return m_dom.key(k); }
    bool start_object(std::size_t n) { return Count() && ++m_depth <= MaxDepth && m_dom.start_object(n); }
    bool end_object()
    {
        --m_depth;
        return m_dom.end_object();
    }
    bool start_array(std::size_t n) { return Count() && ++m_depth <= MaxDepth && m_dom.start_array(n); }
    bool end_array()
    {
        --m_depth;
        return m_dom.end_array();
    }
    template <class Exception>
    bool parse_error(std::size_t pos, const std::string &token, const Exception &ex)
    {
        return m_dom.parse_error(pos, token, ex);
    }
    bool is_errored() const { return m_dom.is_errored(); }

private:
    static constexpr std::size_t MaxDepth = 64;
    bool Count() { return ++m_values <= m_maxValues; }

    nlohmann::detail::json_sax_dom_parser<JsonValue> m_dom;
    std::size_t m_maxValues;
    std::size_t m_values = 0;
    std::size_t m_depth = 0;
};

bool ParseObject(const QString &text, int maxRows, JsonValue &out)
{
    if (text.isEmpty())
        return false;
    const std::string utf8 = ToUtf8(text);
    JsonValue result;
    // Room for the rows and a few values besides; the row count itself is checked on the result.
    TBoundedSax sax(result, std::size_t(qMax(0, maxRows)) * 4 + 64);
    bool ok = false;
    try {
        ok = JsonValue::sax_parse(utf8.begin(), utf8.end(), &sax, nlohmann::detail::input_format_t::json, false);
    } catch (...) {
        ok = false;
    }
    if (!ok || sax.is_errored())
        return false;
    out = std::move(result);
    return true;
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
