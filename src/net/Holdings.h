#pragma once
// The holdings service's lists as the window reads them: the request address of a list, and how one
// response text becomes the data rows of a string grid.

#include <QString>
#include <QStringList>

class TStringGrid;

// One of the three lists: its request values and the status text shown while it loads.
struct THoldingsList
{
    QString m;
    QString r;
    QString status;
};

// The change list, the net buying ranking and the net selling ranking, in loading order.
const THoldingsList &HoldingsChangeList();
const THoldingsList &HoldingsBuyRanking();
const THoldingsList &HoldingsSellRanking();

// Column captions of the change list and of the two rankings, as comma text.
QString HoldingsChangeCaptions();
QString HoldingsRankingCaptions();

// The address template with its first "%s" replaced by m and its second by r, inserted as they are;
// no other "%" sequence is touched, and text inserted is never scanned again.
QString HoldingsUrl(const QString &urlTemplate, const QString &m, const QString &r);

// Removes every " 00:00:00" and keeps the text from its first "{" to its first "}", both included;
// empty text when there is no "{" or no "}" after it.
QString CutHoldingsObject(const QString &text);

// Splits a row text at commas only. A field that begins with a double quote runs to the matching
// closing quote and may hold commas; "" inside it stands for one quote; text after the closing quote
// up to the next comma stays in the same field. An empty text has no fields.
QStringList SplitHoldingsFields(const QString &row);

enum class THoldingsFill {
    Failed, // the text is no JSON value (empty, cut short, malformed or beyond the row limit)
    Empty,  // no "data" array with elements: nothing was filled
    Filled, // the grid holds the rows
};

// The most rows a response may carry; a bigger one is refused as malformed.
constexpr int HoldingsMaxRows = 200000;

// Reads one response into the grid: row count := elements + 1, row i + 1 := the fields of element i,
// an empty field as a single space, fields beyond the last column dropped. Rows that are rewritten are
// emptied first, so a list fetched again never keeps cells of the earlier response.
THoldingsFill FillHoldings(const QString &responseText, TStringGrid &grid, int maxRows = HoldingsMaxRows);
