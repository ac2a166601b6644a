#include "GatewayHoldings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <algorithm>
#include <cmath>

namespace {

// Control characters would break the row text in the grid, so they become blanks.
QString CleanText(const QJsonValue &v)
{
    QString s = v.toString();
    for (QChar &c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    return s.trimmed();
}

std::optional<double> Number(const QJsonValue &v)
{
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return std::nullopt;
    return v.toDouble();
}

// Whole numbers within the range a double holds exactly.
std::optional<qint64> WholeNumber(const QJsonValue &v)
{
    const std::optional<double> d = Number(v);
    if (!d || std::floor(*d) != *d || std::fabs(*d) > 9.0e15)
        return std::nullopt;
    return qint64(*d);
}

QString Fixed(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    if (std::round(v * scale) == 0.0)
        v = 0.0; // no "-0.00"
    return QString::number(v, 'f', decimals);
}

bool ParseChange(const QJsonObject &o, TGatewayChange &c)
{
    c.Date = QDate::fromString(o.value(u"date").toString(), QStringLiteral("yyyy-MM-dd"));
    c.Code = CleanText(o.value(u"code"));
    c.Person = CleanText(o.value(u"person"));
    const std::optional<qint64> shares = WholeNumber(o.value(u"shares"));
    const std::optional<double> price = Number(o.value(u"price"));
    if (!c.Date.isValid() || c.Code.isEmpty() || c.Person.isEmpty() || !shares || *shares == 0 || !price
        || *price < 0)
        return false;
    c.Shares = *shares;
    c.Price = *price;
    if (o.contains(u"amount")) {
        const std::optional<double> amount = Number(o.value(u"amount"));
        if (!amount)
            return false;
        c.Amount = *amount;
    } else {
        c.Amount = double(c.Shares) * c.Price;
    }
    if (o.contains(u"ratio") && !(c.Ratio = Number(o.value(u"ratio"))))
        return false;
    if (o.contains(u"after") && !(c.After = WholeNumber(o.value(u"after"))))
        return false;
    c.Name = CleanText(o.value(u"name"));
    c.Reason = CleanText(o.value(u"reason"));
    c.Kind = CleanText(o.value(u"kind"));
    c.Executive = CleanText(o.value(u"executive"));
    c.Position = CleanText(o.value(u"position"));
    c.Relation = CleanText(o.value(u"relation"));
    return true;
}

} // namespace

bool TGatewayHoldings::Load(const QByteArray &json, QString &error)
{
    m_changes.clear();
    m_quotes.clear();
    m_skipped = 0;
    QJsonParseError pe;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &pe);
    if (pe.error != QJsonParseError::NoError) {
        error = QStringLiteral("not JSON: %1 at offset %2").arg(pe.errorString()).arg(pe.offset);
        return false;
    }
    const QJsonObject root = doc.object();
    if (!doc.isObject() || !root.value(u"changes").isArray()) {
        error = QStringLiteral("no \"changes\" array");
        return false;
    }
    const QJsonArray stocks = root.value(u"stocks").toArray();
    for (const QJsonValue &v : stocks) {
        const QJsonObject o = v.toObject();
        const QString code = CleanText(o.value(u"code"));
        const std::optional<double> price = Number(o.value(u"price"));
        const std::optional<double> change = Number(o.value(u"change"));
        if (code.isEmpty() || !price || !change) {
            ++m_skipped;
            continue;
        }
        m_quotes.insert(code, {CleanText(o.value(u"name")), *price, *change});
    }
    const QJsonArray changes = root.value(u"changes").toArray();
    m_changes.reserve(size_t(changes.size()));
    for (const QJsonValue &v : changes) {
        TGatewayChange c;
        if (!v.isObject() || !ParseChange(v.toObject(), c)) {
            ++m_skipped;
            continue;
        }
        if (c.Name.isEmpty())
            c.Name = m_quotes.value(c.Code).Name;
        m_changes.push_back(c);
    }
    // Newest first; changes of one day keep the file's order.
    std::stable_sort(m_changes.begin(), m_changes.end(),
                     [](const TGatewayChange &a, const TGatewayChange &b) { return a.Date > b.Date; });
    return true;
}

QStringList TGatewayHoldings::ChangeRows() const
{
    QStringList rows;
    rows.reserve(qsizetype(m_changes.size()));
    int n = 0;
    for (const TGatewayChange &c : m_changes) {
        rows << RowText({QString::number(++n), c.Code, c.Name, c.Person, QString::number(c.Shares), Fixed(c.Price, 2),
                         Fixed(c.Amount / 10000.0, 2), c.Reason, c.Ratio ? Fixed(*c.Ratio, 4) : QString(),
                         c.After ? QString::number(*c.After) : QString(), c.Kind, c.Executive, c.Position,
                         c.Relation, c.Date.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 00:00:00")});
    }
    return rows;
}

QStringList TGatewayHoldings::RankingRows(bool netBuying) const
{
    struct TNet
    {
        QString code, name;
        qint64 shares = 0;
        double amount = 0.0;
    };
    QMap<QString, TNet> nets; // by code, so equal amounts come out in code order
    for (auto it = m_changes.rbegin(); it != m_changes.rend(); ++it) {
        TNet &n = nets[it->Code];
        n.code = it->Code;
        if (!it->Name.isEmpty())
            n.name = it->Name; // oldest to newest: the newest name wins
        n.shares += it->Shares;
        n.amount += it->Amount;
    }
    std::vector<TNet> list;
    for (const TNet &n : std::as_const(nets))
        if (netBuying ? n.amount >= 0.005 : n.amount <= -0.005)
            list.push_back(n);
    std::stable_sort(list.begin(), list.end(), [netBuying](const TNet &a, const TNet &b) {
        return netBuying ? a.amount > b.amount : a.amount < b.amount;
    });
    QStringList rows;
    int rank = 0;
    for (const TNet &n : list) {
        const auto quote = m_quotes.constFind(n.code);
        const bool quoted = quote != m_quotes.cend();
        const QString name = quoted && !quote->Name.isEmpty() ? quote->Name : n.name;
        // The average is only meaningful when shares and amount point the same way.
        const bool sameSign = n.shares != 0 && (n.shares > 0) == (n.amount > 0);
        const QString average = sameSign ? Fixed(n.amount / double(n.shares), 2) : QStringLiteral("-");
        rows << RowText({QString::number(++rank), n.code, name, Fixed(n.amount, 2), QString::number(n.shares),
                         quoted ? Fixed(quote->Price, 2) : QStringLiteral("-"),
                         quoted ? Fixed(quote->Change, 2) : QStringLiteral("-"), average});
    }
    return rows;
}

QString TGatewayHoldings::RowText(const QStringList &fields)
{
    QStringList out;
    out.reserve(fields.size());
    for (const QString &f : fields) {
        if (f.contains(u',') || f.startsWith(u'"'))
            out << u'"' + QString(f).replace(u'"', QStringLiteral("\"\"")) + u'"';
        else
            out << f;
    }
    return out.join(u',');
}

QByteArray TGatewayHoldings::ResponseBody(const QStringList &rows)
{
    QByteArray out("{\"data\":[");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i)
            out += ',';
        out += '"';
        for (const QChar c : rows.at(i)) {
            const char16_t u = c.unicode();
            if (u == u'"' || u == u'\\') {
                out += '\\';
                out += char(u);
            } else if (u < 0x20 || u >= 0x7f || u == u'{' || u == u'}') {
                out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
            } else {
                out += char(u);
            }
        }
        out += '"';
    }
    out += "]}";
    return out;
}
