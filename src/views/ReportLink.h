#pragma once
// The research report page's link convention: the script that turns the page's script links into
// in-page "#" links, and the reading of a title and a document address back from such an address.

#include <QString>
#include <QStringList>
#include <QUrl>

// Splits a text into parts: the separator and every run of characters with codes 1 to 32 end a part,
// leading blanks are skipped, a part that begins with a double quote runs to the closing quote (two
// quotes inside stand for one), and a separator as the very last character adds an empty part.
// A NUL character ends the text.
QStringList SplitDelimited(const QString &text, QChar separator);

// What an address carries after "#": page#item&key=title&key=document.
struct TReportLink
{
    QString Title;
    QString Document;
    // True when both the title and the document address are there, so a dialog is opened.
    bool Opens() const { return !Title.isEmpty() && !Document.isEmpty(); }
};

// Reads the link parameters of an address; both fields stay empty when it has no such parameters.
TReportLink ParseReportLink(const QString &address);

// The script that gives every link inside #maindiv whose click script holds one single-quoted "#"
// address that address as its href and an empty click script; seven lines, each ended by CR LF.
QString ReportLinkScript();

// The document address resolved against the page it was read from; an empty address when it does not
// resolve to a web page (http or https) or to the page's own scheme, so a remote page cannot make the
// dialog open local files or run a script address.
QUrl ReportDocumentUrl(const QUrl &page, const QString &document);
