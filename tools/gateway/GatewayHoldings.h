#pragma once
// The holdings data file of the gateway and the three lists it serves from it: the change list and
// the rankings of net buying and net selling, computed per stock from the change list.

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct TGatewayChange
{
    QDate Date;
    QString Code, Name, Person;
    qint64 Shares = 0;            // negative for a decrease
    double Price = 0.0;           // average trade price
    double Amount = 0.0;          // yuan, negative for a decrease
    std::optional<double> Ratio;  // per mille of the shares
    std::optional<qint64> After;  // shares held after the change
    QString Reason, Kind, Executive, Position, Relation;
};

struct TGatewayQuote
{
    QString Name;
    double Price = 0.0;  // latest price
    double Change = 0.0; // latest change in percent
};

class TGatewayHoldings
{
public:
    // Reads the JSON data file; false with an error text when it is not a holdings file at all.
    // Entries that are not valid changes are skipped and counted.
    bool Load(const QByteArray &json, QString &error);
    int Skipped() const { return m_skipped; }
    int Count() const { return int(m_changes.size()); }

    // Row texts of the lists, in the field order the client's grids expect.
    QStringList ChangeRows() const;
    QStringList RankingRows(bool netBuying) const;

    // Joins fields with commas, quoting a field that holds a comma or starts with a double quote.
    static QString RowText(const QStringList &fields);
    // One flat JSON object {"data":[...]} in pure ASCII: every other character, and the braces
    // inside the rows, as \u escapes, so the client's cut at the first "}" keeps the whole object.
    static QByteArray ResponseBody(const QStringList &rows);

private:
    std::vector<TGatewayChange> m_changes; // newest first
    QHash<QString, TGatewayQuote> m_quotes;
    int m_skipped = 0;
};
