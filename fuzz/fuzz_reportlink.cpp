// The report page's address split rule and the reading of link parameters from an address.
#include "FuzzCommon.h"

#include "views/ReportLink.h"

#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QChar separator = QChar(char16_t(data[0]));
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));

    const QStringList parts = SplitDelimited(text, separator);
    // Text without blanks, quotes or NUL splits exactly where the separator stands.
    const bool plain = !text.isEmpty() && separator.unicode() > 32 && separator != u'"'
        && std::none_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 32 || c == u'"'; });
    if (plain)
        FUZZ_CHECK(parts == text.split(separator));
    for (const QString &p : parts)
        FUZZ_CHECK(!p.contains(QChar(u'\0')));

    const TReportLink link = ParseReportLink(text);
    if (link.Opens()) {
        FUZZ_CHECK(!link.Title.isEmpty() && !link.Document.isEmpty());
        const QUrl page(QStringLiteral("http://127.0.0.1:8610/MV/SDA/Go.asp?sn=lhb&a=report"));
        const QUrl target = ReportDocumentUrl(page, link.Document);
        if (!target.isEmpty()) {
            const QString scheme = target.scheme().toLower();
            FUZZ_CHECK(scheme == u"http" || scheme == u"https");
        }
    }
    // Any text as a document address against a local page resolves to the web or to that page's scheme.
    const QUrl local(QStringLiteral("file:///srv/report.html"));
    const QUrl target = ReportDocumentUrl(local, text);
    if (!target.isEmpty()) {
        const QString scheme = target.scheme().toLower();
        FUZZ_CHECK(scheme == u"http" || scheme == u"https" || scheme == u"file");
    }
    return 0;
}
