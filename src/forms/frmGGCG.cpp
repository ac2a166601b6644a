#include "frmGGCG.h"

#include "app/Json.h"
#include "kit/GridView.h"
#include "kit/Skin.h"
#include "net/Holdings.h"
#include "net/HoldingsLook.h"
#include "net/Http.h"

#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Seconds without data after which a list request is given up.
constexpr int FetchTimeout = 5;

QColor ToColor(const TRgb &c)
{
    return QColor(c.r, c.g, c.b);
}

// Paints the data cells of a holdings grid by the holdings window's rules.
class THoldingsDelegate : public QStyledItemDelegate
{
public:
    explicit THoldingsDelegate(TGridView *view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const TStringGrid &g = m_view->Grid;
        const int col = index.column();
        const int row = index.row() + 1;
        const THoldingsLook look = HoldingsCellLook(g.Cell(col, 0), g.Cell(col, row), row, false, m_view->Row() == row);
        painter->save();
        if (look.paintBackground)
            painter->fillRect(option.rect, ToColor(look.background));
        painter->setPen(ToColor(look.color));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(4, 0, -4, 0),
                          (look.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, look.text);
        painter->restore();
        m_view->Widen(col, option.fontMetrics.horizontalAdvance(look.text));
    }

private:
    TGridView *m_view;
};

} // namespace

TFormGGCG::TFormGGCG(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormGGCG"));
    setWindowTitle(QStringLiteral("高管持股"));
    setProperty("tag", 4);
    setProperty("mdiChild", true);
    SkinKit.ApplyFormSkin(this);

    PanelTop = SkinKit.CreatePanel(this, TAlign::Top);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    SkinKit.CreateSplitter(this, TAlign::Top);
    PanelBottom = SkinKit.CreatePanel(this, TAlign::Client);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));

    PanelBottomLeft = SkinKit.CreatePanel(PanelBottom, TAlign::Left);
    PanelBottomLeft->setObjectName(QStringLiteral("PanelBottomLeft"));
    PanelBottomLeft->setFrameShape(QFrame::NoFrame);
    SkinKit.CreateSplitter(PanelBottom, TAlign::Left);
    PanelBottomRight = SkinKit.CreatePanel(PanelBottom, TAlign::Client);
    PanelBottomRight->setObjectName(QStringLiteral("PanelBottomRight"));
    PanelBottomRight->setFrameShape(QFrame::NoFrame);

    GridTop = AddGrid(PanelTop, QStringLiteral("董监高及相关人员持股变动明细"), QStringLiteral("GridTop"));
    GridTop->Grid.SetColCount(15);
    GridTop->Grid.SetRowText(0, HoldingsChangeCaptions());

    GridBottomLeft = AddGrid(PanelBottomLeft, QStringLiteral("高管净增持排行榜"), QStringLiteral("GridBottomLeft"));
    GridBottomLeft->Grid.SetColCount(8);
    GridBottomLeft->Grid.SetRowText(0, HoldingsRankingCaptions());

    GridBottomRight = AddGrid(PanelBottomRight, QStringLiteral("高管净减持排行榜"), QStringLiteral("GridBottomRight"));
    const TStringGrid &left = GridBottomLeft->Grid;
    GridBottomRight->Grid.SetColCount(left.ColCount());
    for (int c = 0; c < left.ColCount(); ++c)
        GridBottomRight->Grid.SetCell(c, 0, left.Cell(c, 0));

    for (TGridView *g : {GridTop, GridBottomLeft, GridBottomRight})
        g->Refresh();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, &TFormGGCG::TimerTimer);
    Timer->start();
}

TGridView *TFormGGCG::AddGrid(QFrame *panel, const QString &caption, const QString &objectName)
{
    QLabel *label = SkinKit.CreateLabel(panel, caption, TAlign::Top, 0, 0, 0);
    label->setObjectName(objectName + QStringLiteral("Label"));
    TGridView *grid = SkinKit.CreateGrid(panel);
    grid->setObjectName(objectName);
    grid->setItemDelegate(new THoldingsDelegate(grid));
    return grid;
}

void TFormGGCG::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormResize();
}

void TFormGGCG::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (isVisible())
        FormResize();
}

void TFormGGCG::FormResize()
{
    // Upper half for the change list, the lower half split evenly between the rankings.
    TAlignLayout *layout = TAlignLayout::Of(this);
    layout->SetExtent(PanelTop, qMax(1, height() / 2));
    layout->activate();
    TAlignLayout::Of(PanelBottom)->SetExtent(PanelBottomLeft, qMax(1, (PanelBottom->contentsRect().width() - 6) / 2));
}

bool TFormGGCG::Loaded(const TGridView *grid)
{
    return grid->Grid.RowCount() > 2;
}

bool TFormGGCG::Fetch(TGridView *grid, const THoldingsList &list)
{
    const QString url = HoldingsUrl(Json.S(QStringLiteral("url.ggcg")), list.m, list.r);
    QPointer<TFormGGCG> self(this);
    const QString text = HttpGet(url, QString(), FetchTimeout);
    if (!self)
        return false; // the window went away while the request was waiting
    switch (FillHoldings(text, grid->Grid)) {
    case THoldingsFill::Failed:
        SkinKit.ShowInfo(Json.S(QStringLiteral("msg.error")));
        return false;
    case THoldingsFill::Filled:
        grid->Refresh();
        return true;
    case THoldingsFill::Empty:
        return true;
    }
    return true;
}

void TFormGGCG::TimerTimer()
{
    Timer->stop();
    const struct {
        TGridView *grid;
        const THoldingsList &list;
    } lists[] = {
        {GridTop, HoldingsChangeList()},
        {GridBottomLeft, HoldingsBuyRanking()},
        {GridBottomRight, HoldingsSellRanking()},
    };
    QPointer<TFormGGCG> self(this);
    for (const auto &l : lists) {
        if (!Loaded(l.grid)) {
            SkinKit.ShowStatus(l.list.status);
            if (!Fetch(l.grid, l.list)) {
                // Stopped for good: the status text stays and the timer is not started again.
                if (self)
                    m_failed = true;
                return;
            }
        }
        SkinKit.ShowStatus(QString());
    }
    Timer->start();
}

void TFormGGCG::Search(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return;
    bool found = false;
    // Each grid continues below its own selected row; the selected row itself is not matched.
    for (TGridView *g : {GridTop, GridBottomLeft, GridBottomRight}) {
        const TStringGrid &grid = g->Grid;
        for (int r = qMax(1, g->Row() + 1); r < grid.RowCount(); ++r)
            if (grid.RowText(r).contains(s, Qt::CaseSensitive)) {
                g->SetRow(r);
                found = true;
                break;
            }
    }
    if (!found) {
        for (TGridView *g : {GridTop, GridBottomLeft, GridBottomRight})
            g->SetRow(1);
        SkinKit.ShowInfo(Json.S(QStringLiteral("msg.search")));
    }
}
