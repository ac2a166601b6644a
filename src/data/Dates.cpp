#include "Dates.h"

#include <QStringList>

qint32 DateToInt(const QDate &date)
{
    return date.isValid() ? date.year() * 10000 + date.month() * 100 + date.day() : 0;
}

static bool HasEightDigits(qint32 ymd)
{
    return ymd >= 10000000 && ymd <= 99999999;
}

bool TDayWindow::IsValidYmd(qint32 ymd)
{
    return HasEightDigits(ymd) && QDate::isValid(ymd / 10000, ymd / 100 % 100, ymd % 100);
}

static QDate DateOfYmd(qint32 ymd)
{
    if (!TDayWindow::IsValidYmd(ymd))
        return QDate();
    return QDate(ymd / 10000, ymd / 100 % 100, ymd % 100);
}

QDate IntToDate(qint32 ymd)
{
    const QDate d = DateOfYmd(ymd);
    return d.isValid() ? d : QDate::currentDate();
}

QString FormatYmd(qint32 ymd)
{
    const QString s = QString::number(ymd);
    if (s.size() != 8)
        return QStringLiteral("-");
    return s.left(4) + u'-' + s.mid(4, 2) + u'-' + s.mid(6, 2);
}

QDate ParseDate(const QString &text, const QString &dateFormat, QChar dateSep,
                const QString &timeFormat, QChar timeSep)
{
    Q_UNUSED(timeFormat);
    Q_UNUSED(timeSep);
    // Only the date part matters here: the program's dates are whole days.
    const QString t = text.trimmed().section(u' ', 0, 0);
    QString fmt = dateFormat;
    fmt.replace(u'-', dateSep);
    fmt.replace(QStringLiteral("mm"), QStringLiteral("MM"));
    return QDate::fromString(t, fmt);
}

double DayDiff(qint32 ymd, const QDate &date, bool *ok)
{
    const QDate d = ParseDate(FormatYmd(ymd), QStringLiteral("yyyy-mm-dd"), u'-', QStringLiteral("hh:nn:ss"), u':');
    if (ok)
        *ok = d.isValid() && date.isValid();
    if (!d.isValid() || !date.isValid())
        return 0.0;
    return double(d.daysTo(date));
}

QStringList SplitCommaText(const QString &text)
{
    // A NUL character ends the text, as it ends a C string.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const QString list = nul >= 0 ? text.left(nul) : text;
    QStringList items;
    const qsizetype n = list.size();
    auto blank = [&](qsizetype i) { return i < n && list.at(i).unicode() >= 1 && list.at(i).unicode() <= 32; };
    qsizetype i = 0;
    while (blank(i))
        ++i;
    while (i < n) {
        QString item;
        if (list.at(i) == u'"') {
            ++i;
            while (i < n) {
                if (list.at(i) == u'"') {
                    if (i + 1 < n && list.at(i + 1) == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += list.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && list.at(i).unicode() > 32 && list.at(i) != u',')
                ++i;
            item = list.mid(start, i - start);
        }
        items.append(item);
        while (blank(i))
            ++i;
        if (i < n && list.at(i) == u',') {
            if (i + 1 == n)
                items.append(QString());
            do
                ++i;
            while (blank(i));
        }
    }
    return items;
}

int IndexOfComma(const QString &list, const QString &text)
{
    const QStringList items = SplitCommaText(list);
    for (int i = 0; i < items.size(); ++i)
        if (items.at(i).compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TDayWindow::TDayWindow(const QDate &end, qint64 minBack, qint64 maxBack)
{
    if (!end.isValid() || minBack > maxBack)
        return;
    const QDate lo = end.addDays(-maxBack);
    const QDate hi = end.addDays(-minBack);
    m_lo = lo.isValid() ? DateToInt(lo) : 10000101;
    m_hi = hi.isValid() ? DateToInt(hi) : 0;
    if (m_lo < 10000101)
        m_lo = 10000101;
}
