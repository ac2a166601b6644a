#include "Json.h"

#include "MV_Pub.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <limits>

TMVJson Json;

// The most JSON text LoadJson inflates: far more than any settings tree needs, and a small file that
// inflates without end (a zlib bomb) cannot exhaust the memory; a first value that ends within it loads.
static constexpr qint64 MaxSettingsText = qint64(64) << 20;

std::string ToUtf8(const QString &s)
{
    return s.toStdString();
}

QString FromUtf8(const std::string &s)
{
    return QString::fromStdString(s);
}

namespace JsonPath {

const JsonValue *Find(const JsonValue &tree, const QString &path)
{
    const JsonValue *cur = &tree;
    for (const QString &key : path.split(u'.')) {
        if (cur->is_object()) {
            const auto it = cur->find(ToUtf8(key));
            if (it == cur->end())
                return nullptr;
            cur = &*it;
        } else if (cur->is_array()) {
            bool ok = false;
            const qlonglong idx = key.toLongLong(&ok);
            if (!ok || idx < 0 || idx >= qlonglong(cur->size()))
                return nullptr;
            cur = &(*cur)[size_t(idx)];
        } else {
            return nullptr;
        }
    }
    return cur;
}

QString ValueText(const JsonValue &v)
{
    if (v.is_string())
        return FromUtf8(v.get_ref<const std::string &>());
    if (v.is_number_unsigned())
        return QString::number(v.get<quint64>());
    if (v.is_number_integer())
        return QString::number(v.get<qint64>());
    if (v.is_number_float())
        return QString::number(v.get<double>(), 'g', QLocale::FloatingPointShortest);
    if (v.is_boolean())
        return v.get<bool>() ? QStringLiteral("true") : QStringLiteral("false");
    return QString();
}

qint64 ValueInt(const JsonValue &v)
{
    if (v.is_number_unsigned()) {
        const quint64 n = v.get<quint64>();
        return n <= quint64(std::numeric_limits<qint64>::max()) ? qint64(n) : 0; // beyond 64-bit signed: none
    }
    if (v.is_number_integer())
        return v.get<qint64>();
    if (v.is_number_float()) {
        // Default rounding mode: halves go to the even neighbour.
        const double d = std::nearbyint(v.get<double>());
        if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0))
            return 0; // NaN, infinite or beyond 64-bit signed
        return qint64(d);
    }
    if (v.is_boolean())
        return v.get<bool>() ? 1 : 0;
    if (v.is_string()) {
        bool ok = false;
        const qlonglong n = FromUtf8(v.get_ref<const std::string &>()).toLongLong(&ok, 10);
        return ok ? n : 0;
    }
    return 0;
}

QString Text(const JsonValue &tree, const QString &path)
{
    const JsonValue *v = Find(tree, path);
    return v ? ValueText(*v) : QString();
}

qint64 Int(const JsonValue &tree, const QString &path)
{
    const JsonValue *v = Find(tree, path);
    return v ? ValueInt(*v) : 0;
}

bool Bool(const JsonValue &tree, const QString &path)
{
    const JsonValue *v = Find(tree, path);
    if (!v)
        return false;
    if (v->is_boolean())
        return v->get<bool>();
    if (v->is_number())
        return v->get<double>() != 0.0;
    if (v->is_string())
        return !v->get_ref<const std::string &>().empty();
    return v->is_object() || v->is_array();
}

double Float(const JsonValue &tree, const QString &path)
{
    const JsonValue *v = Find(tree, path);
    if (!v)
        return 0.0;
    if (v->is_number())
        return v->get<double>();
    if (v->is_boolean())
        return v->get<bool>() ? 1.0 : 0.0;
    if (v->is_string()) {
        bool ok = false;
        const double d = FromUtf8(v->get_ref<const std::string &>()).toDouble(&ok);
        return ok && std::isfinite(d) ? d : 0.0;
    }
    return 0.0;
}

JsonValue Probe(const JsonValue &tree, const QString &path)
{
    const JsonValue *v = Find(tree, path);
    return v ? *v : JsonValue();
}

void Write(JsonValue &tree, const QString &path, JsonValue value)
{
    if (path.isEmpty() || !tree.is_object())
        return;
    const QStringList keys = path.split(u'.');
    JsonValue *cur = &tree;
    for (qsizetype i = 0; i + 1 < keys.size(); ++i) {
        JsonValue &next = (*cur)[ToUtf8(keys.at(i))];
        if (!next.is_object())
            next = JsonValue::object();
        cur = &next;
    }
    (*cur)[ToUtf8(keys.last())] = std::move(value);
}

} // namespace JsonPath

namespace {

// The library's DOM builder behind two guards: the nesting depth (writing, copying and destroying a
// tree recurse once per level and would exhaust the stack) and the number of values.
class TBoundedSax
{
public:
    TBoundedSax(JsonValue &result, std::size_t maxDepth, std::size_t maxValues)
        : m_dom(result, false), m_maxDepth(maxDepth), m_maxValues(maxValues) {}

    bool null() { return Count() && m_dom.null(); }
    bool boolean(bool b) { return Count() && m_dom.boolean(b); }
    bool number_integer(JsonValue::number_integer_t n) { return Count() && m_dom.number_integer(n); }
    bool number_unsigned(JsonValue::number_unsigned_t n) { return Count() && m_dom.number_unsigned(n); }
    bool number_float(JsonValue::number_float_t d, const JsonValue::string_t &s) { return Count() && m_dom.number_float(d, s); }
    bool string(JsonValue::string_t &s) { return Count() && m_dom.string(s); }
    bool binary(JsonValue::binary_t &b) { return Count() && m_dom.binary(b); }
    bool key(JsonValue::string_t &k) { return m_dom.key(k); }
    bool start_object(std::size_t n) { return Count() && ++m_depth <= m_maxDepth && m_dom.start_object(n); }
    bool end_object()
    {
        --m_depth;
        return m_dom.end_object();
    }
    bool start_array(std::size_t n) { return Count() && ++m_depth <= m_maxDepth && m_dom.start_array(n); }
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
    bool Count() { return ++m_values <= m_maxValues; }

    nlohmann::detail::json_sax_dom_parser<JsonValue> m_dom;
    std::size_t m_maxDepth;
    std::size_t m_maxValues;
    std::size_t m_values = 0;
    std::size_t m_depth = 0;
};

} // namespace

bool ParseFirstJsonValue(const std::string &text, JsonValue &out, std::size_t maxDepth, std::size_t maxValues)
{
    JsonValue result;
    TBoundedSax sax(result, maxDepth, maxValues);
    bool ok = false;
    try {
        // Non-strict: the first complete value is taken and whatever follows it is ignored.
        ok = JsonValue::sax_parse(text.begin(), text.end(), &sax, nlohmann::detail::input_format_t::json, false);
    } catch (...) {
        ok = false;
    }
    if (!ok || sax.is_errored())
        return false;
    out = std::move(result);
    return true;
}

bool TMVJson::ParseLenient(const QByteArray &bytes, JsonValue &out)
{
    std::string text;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
        QStringDecoder utf16(QStringConverter::Utf16LE);
        const QString s = utf16(QByteArrayView(bytes).sliced(2));
        text = s.toStdString();
    } else {
        // One byte is one character: no UTF-8 decoding.
        text = QString::fromLatin1(bytes).toStdString();
    }
    // Nesting deeper than any settings file needs is refused.
    return ParseFirstJsonValue(text, out, 512, std::size_t(-1));
}

QByteArray TMVJson::Serialise(const JsonValue &tree, bool compact)
{
    const std::string s = tree.dump(compact ? -1 : 2, ' ', true, JsonValue::error_handler_t::replace);
    return QByteArray(s.data(), qsizetype(s.size()));
}

JsonValue TMVJson::LoadJson(const QString &fileName, bool decompress, const QString &key) const
{
    JsonValue value;
    bool parsed = false;
    try {
        QByteArray bytes;
        if (QFile::exists(NativePath(fileName)) && ReadWholeFile(NativePath(fileName), bytes)) {
            TMemoryStream data(bytes);
            if (!key.isEmpty())
                Pub.Scramble(data, key);
            if (decompress) {
                TMemoryStream plain;
                if (Pub.Decompress(data, plain, MaxSettingsText))
                    parsed = ParseLenient(plain.Data, value);
            } else {
                parsed = ParseLenient(data.Data, value);
            }
        }
    } catch (...) {
        parsed = false;
    }
    if (!parsed || !(value.is_object() || value.is_array()))
        return JsonValue::object();
    return value;
}

bool TMVJson::SaveJson(const JsonValue &tree, const QString &fileName, const QString &key, bool compress) const
{
    if (!Pub.EnsureFileDir(fileName))
        return false;
    if (!(tree.is_object() || tree.is_array()))
        return false;
    TMemoryStream out;
    try {
        TMemoryStream text(Serialise(tree, compress));
        if (compress) {
            if (!Pub.Compress(text, out))
                return false;
        } else {
            out = std::move(text);
        }
        if (!key.isEmpty())
            Pub.Scramble(out, key);
    } catch (...) {
        return false;
    }
    // Written beside the old file and renamed over it, so a failed save keeps the previous file whole.
    QSaveFile file(NativePath(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() alone does not notice a failure of the final flush (a full disk, a size limit) and
    // would put a cut-off file in place, so the flush is checked here first.
    if (file.write(out.Data) != out.Data.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void TMVJson::SetDefault(JsonValue &tree, const QString &path, const QString &value) const
{
    if (JsonPath::Probe(tree, path).is_null())
        JsonPath::Write(tree, path, ToUtf8(value));
}
