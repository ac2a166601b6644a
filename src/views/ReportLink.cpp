#include "ReportLink.h"

namespace {

bool IsBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

} // namespace

QStringList SplitDelimited(const QString &text, QChar separator)
{
    // A NUL ends the text, as it would end a C string.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    const qsizetype n = nul < 0 ? text.size() : nul;
    QStringList parts;
    qsizetype i = 0;
    while (i < n && IsBlank(text.at(i)))
        ++i;
    while (i < n) {
        QString part;
        if (text.at(i) == u'"') {
            // A quoted part runs to the closing quote, or to the end of the text when there is none.
            ++i;
            while (i < n) {
                if (text.at(i) == u'"') {
                    if (i + 1 < n && text.at(i + 1) == u'"') {
                        part += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                part += text.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i).unicode() > 32 && text.at(i) != separator)
                ++i;
            part = text.mid(start, i - start);
        }
        parts.append(part);
        while (i < n && IsBlank(text.at(i)))
            ++i;
        if (i < n && text.at(i) == separator) {
            if (i + 1 == n)
                parts.append(QString());
            do
                ++i;
            while (i < n && IsBlank(text.at(i)));
        }
    }
    return parts;
}

TReportLink ParseReportLink(const QString &address)
{
    TReportLink link;
    const QStringList halves = SplitDelimited(address, u'#');
    if (halves.size() != 2)
        return link;
    const QStringList items = SplitDelimited(halves.at(1), u'&');
    if (items.size() != 3)
        return link;
    const QStringList title = SplitDelimited(items.at(1), u'=');
    if (title.size() == 2)
        link.Title = title.at(1);
    const QStringList document = SplitDelimited(items.at(2), u'=');
    if (document.size() == 2)
        link.Document = document.at(1);
    return link;
}

QString ReportLinkScript()
{
    static const char *const lines[] = {
        R"js($("#maindiv a").each(function(id){)js",
        R"js(var clk=String($(this).attr("onclick")).split("'");)js",
        R"js(if(clk.length==3&&clk[1].substr(0,1)=="#"){)js",
        R"js($(this).attr("onclick","");)js",
        R"js($(this).attr("href",clk[1]);)js",
        R"js(})js",
        R"js(});)js",
    };
    QString script;
    for (const char *line : lines)
        script += QLatin1String(line) + QLatin1String("\r\n");
    return script;
}

QUrl ReportDocumentUrl(const QUrl &page, const QString &document)
{
    const QUrl relative(document, QUrl::TolerantMode);
    if (!relative.isValid())
        return QUrl();
    const QUrl target = page.resolved(relative);
    const QString scheme = target.scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    if (!target.isValid() || scheme.isEmpty() || (!web && scheme != page.scheme().toLower()))
        return QUrl();
    return target;
}
