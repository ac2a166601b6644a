#pragma once
// The configuration tree and its settings file: dotted-path access with the program's reading rules,
// and lenient loading / atomic saving of JSON files (optionally compressed and scrambled).

#include <QString>
#include <nlohmann/json.hpp>

using JsonValue = nlohmann::ordered_json;

// Reading rules over any tree; a path is split at every "." into object keys.
namespace JsonPath {
const JsonValue *Find(const JsonValue &tree, const QString &path);
QString Text(const JsonValue &tree, const QString &path);
qint64 Int(const JsonValue &tree, const QString &path);
bool Bool(const JsonValue &tree, const QString &path);
double Float(const JsonValue &tree, const QString &path);
// The value stored at the path, or a null value when nothing is stored.
JsonValue Probe(const JsonValue &tree, const QString &path);
// Stores the value, creating missing objects along the path; an empty path changes nothing.
void Write(JsonValue &tree, const QString &path, JsonValue value);

QString ValueText(const JsonValue &v);
qint64 ValueInt(const JsonValue &v);
} // namespace JsonPath

// Parses the first complete JSON value of a text (what follows it is ignored), refusing more nesting
// or more values than given; false when there is no such value.
bool ParseFirstJsonValue(const std::string &text, JsonValue &out, std::size_t maxDepth, std::size_t maxValues);

std::string ToUtf8(const QString &s);
QString FromUtf8(const std::string &s);

class TMVJson
{
public:
    JsonValue Run = JsonValue::object();

    QString S(const QString &path) const { return JsonPath::Text(Run, path); }
    qint64 I(const QString &path) const { return JsonPath::Int(Run, path); }
    bool B(const QString &path) const { return JsonPath::Bool(Run, path); }
    double F(const QString &path) const { return JsonPath::Float(Run, path); }
    const JsonValue *O(const QString &path) const { return JsonPath::Find(Run, path); }
    void Put(const QString &path, JsonValue value) { JsonPath::Write(Run, path, std::move(value)); }

    // Parses the first complete JSON value of a file; an empty object when there is none.
    JsonValue LoadJson(const QString &fileName, bool decompress, const QString &key) const;
    // Writes the tree, replacing the old file atomically; false when anything fails.
    bool SaveJson(const JsonValue &tree, const QString &fileName, const QString &key, bool compress) const;
    void SetDefault(JsonValue &tree, const QString &path, const QString &value) const;

    // Parses the first complete value of settings-file bytes (8-bit text, or UTF-16LE after FF FE).
    static bool ParseLenient(const QByteArray &bytes, JsonValue &out);
    // Compact or indented JSON, pure ASCII with lower-case \u escapes.
    static QByteArray Serialise(const JsonValue &tree, bool compact);
};

extern TMVJson Json;
