#include "HoldingsLook.h"

#include "kit/Grid.h"

#include <cstdio>

static bool Has(const QString &s, const char16_t *word)
{
    return s.contains(QStringView(word));
}

THoldingsLook HoldingsCellLook(const QString &caption, const QString &text, int row, bool header, bool selected)
{
    THoldingsLook look;
    look.text = text;
    if (header) {
        look.paintBackground = false;
        look.color = GridColors::Header;
        return look;
    }
    look.background = selected ? GridColors::Selected : GridColors::Background;

    look.color = GridColors::Neutral;
    if (Has(caption, u"代码"))
        look.color = GridColors::Code;
    else if (Has(caption, u"名称"))
        look.color = GridColors::Name;
    // Only these columns are coloured by sign; a zero keeps the colour chosen above.
    if (Has(caption, u"变动股数") || Has(caption, u"变动金额") || Has(caption, u"涨跌幅")) {
        const double v = GridNumber(text);
        if (v > 0)
            look.color = GridColors::Rise;
        else if (v < 0)
            look.color = GridColors::Fall;
    }

    if (!text.isEmpty()) {
        if (Has(caption, u"序号") || Has(caption, u"排名")) {
            look.text = QString::number(row);
        } else if (Has(caption, u"幅")) {
            look.text = text + u'%';
        } else if (Has(caption, u"股份金额(万)")) {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%.2f", GridNumber(text) / 10000.0);
            look.text = QString::fromLatin1(buf);
        }
    }

    for (const char16_t *w : {u"数", u"价", u"额", u"例", u"幅"})
        if (Has(caption, w))
            look.rightAligned = true;
    return look;
}
