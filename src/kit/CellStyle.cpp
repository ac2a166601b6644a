#include "CellStyle.h"

#include "kit/Grid.h"

static bool Has(const QString &s, const char16_t *word)
{
    return s.contains(QStringView(word));
}

TCellLook CellLook(const QString &caption, const QString &text, int row, bool header)
{
    TCellLook look;
    if (Has(caption, u"代码")) {
        look.color = GridColors::Code;
    } else if (Has(caption, u"名称")) {
        look.color = GridColors::Name;
    } else if (Has(caption, u"涨跌幅") || Has(caption, u"净买入额")) {
        const double v = GridNumber(text);
        look.color = v < 0 ? GridColors::Fall : v > 0 ? GridColors::Rise : GridColors::Neutral;
    } else if (Has(caption, u"买") || Has(text, u"买")) {
        look.color = GridColors::Rise;
    } else if (Has(caption, u"卖") || Has(text, u"卖")) {
        look.color = GridColors::Fall;
    } else {
        look.color = GridColors::Neutral;
    }

    look.text = text;
    if (!header && !text.isEmpty() && (Has(caption, u"率") || Has(caption, u"幅") || Has(caption, u"比例")))
        look.text += u'%';
    look.measured = look.text;

    if (!header && Has(caption, u"序号") && text == u" ")
        look.text = QString::number(row);

    if (header) {
        look.paintBackground = false;
        look.color = GridColors::Header;
    } else {
        for (const char16_t *w : {u"价", u"率", u"幅", u"比例", u"量", u"额", u"次"})
            if (Has(caption, w))
                look.rightAligned = true;
    }
    return look;
}
