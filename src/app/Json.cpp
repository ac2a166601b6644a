#include "Json.h"

#include "MV_Pub.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

#include <cmath>

TMVJson Json;

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
    if (v.is_number_integer())
        return QString::number(v.get<qint64>());
    if (v.is_number_float())
        return QString::number(v.get<double>(), 'g', 17);
    if (v.is_boolean())
        return v.get<bool>() ? QStringLiteral("true") : QStringLiteral("false");
    return QString();
}

qint64 ValueInt(const JsonValue &v)
{
    if (v.is_number_integer())
        return v.get<qint64>();
    if (v.is_number_float()) {
        const double d = v.get<double>();
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
            return 0;
        return qint64(std::nearbyint(d)); // default rounding mode: halves to the even neighbour
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

bool TMVJson::ParseLenient(const QByteArray &bytes, JsonValue &out)
{
    std::string text;
    if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
        const QByteArray body = bytes.mid(2);
        const QString s = QString::fromUtf16(reinterpret_cast<const char16_t *>(body.constData()), body.size() / 2);
        text = s.toStdString();
    } else {
        // One byte is one character: no UTF-8 decoding.
        text = QString::fromLatin1(bytes).toStdString();
    }
    JsonValue result;
    nlohmann::detail::json_sax_dom_parser<JsonValue> sax(result, false);
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
                if (Pub.Decompress(data, plain))
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
    if (file.write(out.Data) != out.Data.size()) {
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
