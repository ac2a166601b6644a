#pragma once
// Conversions between yyyymmdd numbers, calendar dates and "yyyy-mm-dd" text, and the days-back measure.

#include <QDate>
#include <QString>

qint32 DateToInt(const QDate &date);
// Today's date when the number does not have exactly 8 decimal digits (or is no valid date).
QDate IntToDate(qint32 ymd);
QString FormatYmd(qint32 ymd);
// Reads a date in the given short format ("yyyy-mm-dd" with '-' as separator); invalid when it does not parse.
QDate ParseDate(const QString &text, const QString &dateFormat, QChar dateSep,
                const QString &timeFormat, QChar timeSep);
// date minus the date of the number, in days; false in ok when the number is no 8-digit date.
double DayDiff(qint32 ymd, const QDate &date, bool *ok = nullptr);
// The position of text in a comma text (compared ignoring case), or -1.
int IndexOfComma(const QString &list, const QString &text);
// Splits a comma text: commas and blanks separate items, double quotes enclose items.
QStringList SplitCommaText(const QString &list);

// The dates whose days back against an end date lie in [minBack, maxBack]; tested on the yyyymmdd number.
class TDayWindow
{
public:
    TDayWindow(const QDate &end, qint64 minBack, qint64 maxBack);
    bool Contains(qint32 ymd) const
    {
        return ymd >= m_lo && ymd <= m_hi && IsValidYmd(ymd);
    }
    static bool IsValidYmd(qint32 ymd);

private:
    qint32 m_lo = 1;
    qint32 m_hi = 0;
};
