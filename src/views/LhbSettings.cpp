#include "LhbSettings.h"

const char *const DefaultSeatScheme = R"({"1":{"0":true},"2":{"0":true,"2":true},"3":{}})";

void SetLhbDefaults(TMVJson &json)
{
    if (JsonPath::Probe(json.Run, QStringLiteral("run.lhb.attention")).is_null())
        json.Put(QStringLiteral("run.lhb.attention"), JsonValue::array());
    if (JsonPath::Probe(json.Run, QStringLiteral("run.lhb.filter")).is_null())
        json.Put(QStringLiteral("run.lhb.filter"), JsonValue::parse(DefaultSeatScheme));
}

std::vector<int> AttentionList(const JsonValue *attention)
{
    std::vector<int> out;
    if (!attention || !attention->is_array())
        return out;
    for (const JsonValue &v : *attention)
        if (v.is_number()) {
            // An index beyond the int range would wrap round onto a real seat: it names none.
            const qint64 y = JsonPath::ValueInt(v);
            if (y >= 0 && y <= 0x7FFFFFFF)
                out.push_back(int(y));
        }
    return out;
}
