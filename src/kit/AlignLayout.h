#pragma once
// A layout that places child widgets by edge alignment: top and bottom ones are stacked against their
// edge in the order they were added, then left and right ones in the space between, and the client one
// fills what is left. Widgets aligned to none keep the geometry they were given.

#include <QLayout>
#include <QList>

enum class TAlign { None, Top, Bottom, Left, Right, Client };

class TAlignLayout : public QLayout
{
    Q_OBJECT
public:
    explicit TAlignLayout(QWidget *parent = nullptr);
    ~TAlignLayout() override;

    // Adds (or re-aligns) a widget; extent is its height for top/bottom, its width for left/right
    // (0: the widget's size hint).
    void AddAligned(QWidget *w, TAlign align, int extent = 0);
    void SetAlign(QWidget *w, TAlign align);
    TAlign AlignOf(const QWidget *w) const;
    void SetExtent(QWidget *w, int extent);
    int Extent(const QWidget *w) const;
    // The layout of a widget's children, made on first use.
    static TAlignLayout *Of(QWidget *parent);

    void addItem(QLayoutItem *item) override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    int count() const override { return int(m_items.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect &rect) override;

private:
    struct TEntry
    {
        QLayoutItem *item;
        TAlign align;
        int extent;
    };
    TEntry *Find(const QWidget *w);
    const TEntry *Find(const QWidget *w) const;
    int ExtentOf(const TEntry &e) const;

    QList<TEntry> m_items;
};
