#include "AlignLayout.h"

#include <QWidget>

TAlignLayout::TAlignLayout(QWidget *parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

TAlignLayout::~TAlignLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

TAlignLayout *TAlignLayout::Of(QWidget *parent)
{
    if (auto *l = qobject_cast<TAlignLayout *>(parent->layout()))
        return l;
    return new TAlignLayout(parent);
}

void TAlignLayout::addItem(QLayoutItem *item)
{
    m_items.append({item, TAlign::Client, 0});
}

QLayoutItem *TAlignLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index).item : nullptr;
}

QLayoutItem *TAlignLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index).item;
    invalidate();
    return item;
}

TAlignLayout::TEntry *TAlignLayout::Find(const QWidget *w)
{
    for (TEntry &e : m_items)
        if (e.item->widget() == w)
            return &e;
    return nullptr;
}

const TAlignLayout::TEntry *TAlignLayout::Find(const QWidget *w) const
{
    for (const TEntry &e : m_items)
        if (e.item->widget() == w)
            return &e;
    return nullptr;
}

void TAlignLayout::AddAligned(QWidget *w, TAlign align, int extent)
{
    if (!Find(w)) {
        if (w->parentWidget() != parentWidget())
            w->setParent(parentWidget());
        addChildWidget(w);
        m_items.append({new QWidgetItem(w), align, extent});
    }
    TEntry *e = Find(w);
    e->align = align;
    e->extent = extent;
    invalidate();
}

void TAlignLayout::SetAlign(QWidget *w, TAlign align)
{
    if (TEntry *e = Find(w)) {
        e->align = align;
        invalidate();
    } else {
        AddAligned(w, align);
    }
}

TAlign TAlignLayout::AlignOf(const QWidget *w) const
{
    const TEntry *e = Find(w);
    return e ? e->align : TAlign::None;
}

void TAlignLayout::SetExtent(QWidget *w, int extent)
{
    if (TEntry *e = Find(w)) {
        e->extent = extent;
        invalidate();
    }
}

int TAlignLayout::Extent(const QWidget *w) const
{
    const TEntry *e = Find(w);
    return e ? ExtentOf(*e) : 0;
}

int TAlignLayout::ExtentOf(const TEntry &e) const
{
    if (e.extent > 0)
        return e.extent;
    const QSize hint = e.item->sizeHint();
    return e.align == TAlign::Top || e.align == TAlign::Bottom ? hint.height() : hint.width();
}

QSize TAlignLayout::sizeHint() const
{
    int w = 0, h = 0, lr = 0, tb = 0;
    for (const TEntry &e : m_items) {
        if (e.item->isEmpty())
            continue;
        const QSize s = e.item->sizeHint();
        switch (e.align) {
        case TAlign::Top:
        case TAlign::Bottom:
            tb += ExtentOf(e);
            w = qMax(w, s.width());
            break;
        case TAlign::Left:
        case TAlign::Right:
            lr += ExtentOf(e);
            h = qMax(h, s.height());
            break;
        case TAlign::Client:
            w = qMax(w, s.width());
            h = qMax(h, s.height());
            break;
        case TAlign::None:
            break;
        }
    }
    return QSize(qMax(w, lr), h + tb);
}

QSize TAlignLayout::minimumSize() const
{
    return QSize(0, 0);
}

void TAlignLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    QRect rest = rect;
    auto place = [](QLayoutItem *item, const QRect &r) { item->setGeometry(r); };
    for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
        for (const TEntry &e : m_items) {
            if (e.align != pass || e.item->isEmpty())
                continue;
            const int x = ExtentOf(e);
            switch (pass) {
            case TAlign::Top:
                place(e.item, QRect(rest.left(), rest.top(), rest.width(), qMin(x, rest.height())));
                rest.setTop(rest.top() + qMin(x, rest.height()));
                break;
            case TAlign::Bottom:
                place(e.item, QRect(rest.left(), rest.bottom() - qMin(x, rest.height()) + 1, rest.width(), qMin(x, rest.height())));
                rest.setBottom(rest.bottom() - qMin(x, rest.height()));
                break;
            case TAlign::Left:
                place(e.item, QRect(rest.left(), rest.top(), qMin(x, rest.width()), rest.height()));
                rest.setLeft(rest.left() + qMin(x, rest.width()));
                break;
            case TAlign::Right:
                place(e.item, QRect(rest.right() - qMin(x, rest.width()) + 1, rest.top(), qMin(x, rest.width()), rest.height()));
                rest.setRight(rest.right() - qMin(x, rest.width()));
                break;
            case TAlign::Client:
                place(e.item, rest);
                break;
            case TAlign::None:
                break;
            }
        }
    }
}
