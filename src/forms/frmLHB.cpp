#include "frmLHB.h"

#include "app/Json.h"
#include "data/Dates.h"
#include "data/Stock.h"
#include "forms/frmLHB_Filter.h"
#include "kit/GridView.h"
#include "kit/Skin.h"
#include "views/ActiveStocks.h"
#include "views/DailyList.h"
#include "views/DetailDays.h"
#include "views/Intention.h"
#include "views/LeadingSeats.h"
#include "views/LhbSettings.h"
#include "views/NetBuying.h"
#include "views/SeatFilter.h"
#include "views/WatchedSeats.h"

#include <QCollator>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace {

struct TMode
{
    int tag;
    const char16_t *caption;
};

// The mode buttons in their order on the tool bar.
const TMode Modes[] = {
    {1, u"Morvane"}, {2, u"龙头席位"}, {3, u"活跃股票"}, {7, u"资金净买"},
    {4, u"关注席位"}, {5, u"买卖意愿分析"}, {6, u"席位筛选器"},
};

const QColor Idle(138, 138, 138);
const QColor Active(238, 238, 238);

TProgress Gauge()
{
    return TProgress([](int min, int max, int pos) { SkinKit.SetProgress(min, max, pos); });
}

bool In(int mode, std::initializer_list<int> modes)
{
    return std::find(modes.begin(), modes.end(), mode) != modes.end();
}

} // namespace

TFormLHB::TFormLHB(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormLHB"));
    setProperty("mdiChild", true);
    SetLhbDefaults(Json);
    PanelScale = 0.6;
    setWindowTitle(QStringLiteral("龙虎榜"));
    SkinKit.ApplyFormSkin(this);
    ToolBar = SkinKit.CreateToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));

    for (const TMode &m : Modes) {
        QToolButton *b = SkinKit.CreateToolButton(ToolBar, QString::fromUtf16(m.caption), TAlign::Left);
        b->setObjectName(QStringLiteral("ModeButton%1").arg(m.tag));
        b->setProperty("tag", m.tag);
        b->setStyleSheet(QStringLiteral("color: %1;").arg(Idle.name()));
        connect(b, &QToolButton::clicked, this, [this, b]() { ToolButtonClick(b); });
    }
    SkinKit.CreateDivider(ToolBar, TAlign::Left)->setFixedWidth(10);
    ComboChoice = SkinKit.CreateComboBox(ToolBar, TAlign::Left, QString(), 0, 0);
    ComboChoice->setObjectName(QStringLiteral("ComboChoice"));
    ComboChoice->setToolTip(QStringLiteral("类型选择"));
    ComboChoice->setStatusTip(QStringLiteral("类型选择"));
    EditDate = SkinKit.CreateDateEdit(ToolBar, TAlign::Left);
    EditDate->setObjectName(QStringLiteral("EditDate"));
    EditDate->setToolTip(QStringLiteral("时段截止日期"));
    EditDate->setStatusTip(QStringLiteral("时段截止日期"));
    EditDay = static_cast<QSpinBox *>(SkinKit.CreateSpinEdit(ToolBar, false, 0, 99999, 7, TAlign::Left, 0, 0, 0, 0));
    EditDay->setObjectName(QStringLiteral("EditDay"));
    EditDay->setToolTip(QStringLiteral("时段截止日期前计算的天数"));
    EditDay->setStatusTip(QStringLiteral("时段截止日期前计算的天数"));
    ButtonOk = SkinKit.CreateToolButton(ToolBar, QStringLiteral(" 计算 "), TAlign::Left);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    ButtonOk->setProperty("tag", 10);
    connect(ButtonOk, &QToolButton::clicked, this, [this]() { ToolButtonClick(ButtonOk); });

    SkinKit.CreateDivider(ToolBar, TAlign::Right)->setFixedWidth(10);
    ButtonAttention = SkinKit.CreateToolButton(ToolBar, QStringLiteral("添加关注席位"), TAlign::Right);
    ButtonAttention->setObjectName(QStringLiteral("ButtonAttention"));
    ButtonAttention->hide();
    connect(ButtonAttention, &QToolButton::clicked, this, [this]() { ToolButtonClick(ButtonAttention); });
    ButtonFilter = SkinKit.CreateToolButton(ToolBar, QStringLiteral("编辑席位方案"), TAlign::Right);
    ButtonFilter->setObjectName(QStringLiteral("ButtonFilter"));
    connect(ButtonFilter, &QToolButton::clicked, this, [this]() { ToolButtonClick(ButtonFilter); });

    PanelLeft = SkinKit.CreatePanel(this, TAlign::Left);
    PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
    m_splitter = SkinKit.CreateSplitter(this, TAlign::Left);
    connect(m_splitter, &TSkinSplitter::Moved, this, &TFormLHB::PanelResize);
    PanelRight = SkinKit.CreatePanel(this, TAlign::Client);
    PanelRight->setObjectName(QStringLiteral("PanelRight"));
    PanelTop = SkinKit.CreatePanel(PanelRight, TAlign::Top);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelBottom = SkinKit.CreatePanel(PanelRight, TAlign::Client);
    PanelBottom->setObjectName(QStringLiteral("PanelBottom"));

    GridLeft = SkinKit.CreateGrid(PanelLeft);
    GridLeft->setObjectName(QStringLiteral("GridLeft"));
    GridTop = SkinKit.CreateGrid(PanelTop);
    GridTop->setObjectName(QStringLiteral("GridTop"));
    GridBottom = SkinKit.CreateGrid(PanelBottom);
    GridBottom->setObjectName(QStringLiteral("GridBottom"));
    for (TGridView *g : {GridLeft, GridTop, GridBottom})
        connect(g, &TGridView::RowClicked, this, [this, g]() { GridClick(g); });

    CheckListAttention = SkinKit.CreateCheckList(PanelLeft);
    CheckListAttention->setObjectName(QStringLiteral("CheckListAttention"));
    CheckListAttention->Caption->setText(QStringLiteral("关注席位"));
    TAlignLayout::Of(PanelLeft)->AddAligned(CheckListAttention, TAlign::Left, 240);
    CheckListAttention->hide();
    connect(CheckListAttention->List, &QListWidget::itemChanged, this, &TFormLHB::ListClickCheck);
}

QToolButton *TFormLHB::ModeButton(int tag) const
{
    for (QToolButton *b : ToolBar->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
        if (b->property("tag").toInt() == tag)
            return b;
    return nullptr;
}

void TFormLHB::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    FormResize();
    if (ToolTag == 0)
        if (QToolButton *first = ModeButton(1))
            first->click();
}

void TFormLHB::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (isVisible())
        FormResize();
}

void TFormLHB::FormResize()
{
    auto *layout = TAlignLayout::Of(this);
    layout->SetExtent(PanelLeft, int(width() * PanelScale));
    TAlignLayout::Of(PanelRight)->SetExtent(PanelTop, PanelRight->height() / 2);
}

void TFormLHB::PanelResize()
{
    if (width() > 0)
        PanelScale = double(TAlignLayout::Of(this)->Extent(PanelLeft)) / width();
}

TViewParams TFormLHB::Params() const
{
    return TViewParams{EditDate->date(), EditDay->value()};
}

int TFormLHB::DetailDayCount() const
{
    return DetailDays(ToolTag, EditDay->value(), Json.O(QStringLiteral("run.lhb.filter")));
}

void TFormLHB::ToolButtonClick(QToolButton *sender)
{
    // A click that arrives while a view computes is not started inside it.
    if (m_busy || !sender)
        return;
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    const QString missing = Stock.MissingMessage();
    if (!missing.isEmpty()) {
        SkinKit.ShowStatus(missing);
        return;
    }
    const int tag = sender->property("tag").toInt();
    if ((tag >= 1 && tag <= 7) || tag == 10) {
        m_busy = true;
        RunMode(sender);
        m_busy = false;
    } else if (sender == ButtonAttention) {
        if (CheckListAttention->List->count() == 0)
            ShowListAttention();
        CheckListAttention->setVisible(!CheckListAttention->isVisible());
    } else if (sender == ButtonFilter) {
        if (!FormFilter) {
            FormFilter = new TFormLHB_Filter(window());
            connect(FormFilter, &TFormLHB_Filter::SchemeStored, this, [this]() {
                if (QToolButton *b = ModeButton(6))
                    b->click();
            });
        }
        FormFilter->exec();
    }
}

void TFormLHB::RunMode(QToolButton *sender)
{
    const int tag = sender->property("tag").toInt();
    if (tag != 10) {
        ToolTag = tag;
        SkinKit.SetToolButtonColor(sender, Active, Idle);
        for (TGridView *g : {GridLeft, GridTop, GridBottom}) {
            ClearGrid(g->Grid, 1, 0);
            g->Refresh();
        }
        if (isVisible())
            GridLeft->setFocus();
    } else {
        // A recomputation starts from empty rows, so that no stale rows stay under a new header;
        // the columns keep their widths.
        for (TGridView *g : {GridLeft, GridTop, GridBottom}) {
            ClearGrid(g->Grid, 0, 0);
            g->Refresh();
        }
    }
    GridTop->SetFillColumn(ToolTag == 1 ? 1 : -1);
    GridBottom->SetFillColumn(ToolTag == 1 ? 1 : -1);

    const TViewParams p = Params();
    switch (ToolTag) {
    case 1:
        ShowGrid1(Stock, p, GridLeft->Grid, Gauge());
        break;
    case 2:
        if (sender == ModeButton(2))
            SkinKit.FillComboBox(ComboChoice, QStringLiteral("活跃席位,强势活跃席位,避险活跃席位"));
        ShowGrid2(Stock, p, ComboChoice->currentIndex(), GridLeft->Grid, Gauge());
        break;
    case 3:
        ShowGrid3(Stock, p, GridLeft->Grid, Gauge());
        break;
    case 4:
        ShowGrid4(Stock, p, AttentionList(Json.O(QStringLiteral("run.lhb.attention"))), GridLeft->Grid, Gauge());
        break;
    case 5:
        ShowGrid5(Stock, p, GridLeft->Grid, GridBottom->Grid);
        break;
    case 6: {
        SkinKit.FillComboBox(ComboChoice, QString());
        const JsonValue *scheme = Json.O(QStringLiteral("run.lhb.filter"));
        ShowGrid6(Stock, scheme ? *scheme : JsonValue::object(), AttentionList(Json.O(QStringLiteral("run.lhb.attention"))),
                  QDate::currentDate(), GridLeft->Grid, Gauge());
        break;
    }
    case 7:
        ShowGrid7(Stock, p, GridLeft->Grid, Gauge());
        break;
    }
    GridLeft->Refresh();
    if (ToolTag == 5)
        GridBottom->Refresh();
    else
        GridClick(GridLeft);

    // Which controls the mode shows; the visible ones keep their order at the end of the left group.
    ComboChoice->setVisible(ToolTag == 2);
    EditDate->setVisible(In(ToolTag, {1, 2, 3, 4, 5, 7}));
    EditDay->setVisible(In(ToolTag, {1, 2, 3, 4, 7}));
    ButtonOk->setVisible(In(ToolTag, {1, 2, 3, 4, 5, 7}));
    ButtonAttention->setVisible(ToolTag == 4);
    ButtonFilter->setVisible(ToolTag == 6);
    for (QWidget *w : std::initializer_list<QWidget *>{ComboChoice, EditDate, EditDay, ButtonOk})
        if (!w->isHidden())
            ToolBar->MoveToLeftEnd(w);
    if (ToolTag != 4)
        CheckListAttention->hide();
    PanelTop->setVisible(ToolTag != 5);
    TAlignLayout::Of(this)->SetExtent(PanelLeft, int(width() * (ToolTag == 5 ? 0.5 : PanelScale)));
}

int TFormLHB::CodeOf(const TGridView *grid) const
{
    const int row = grid->Row();
    const int col = IndexOfComma(grid->Grid.RowText(0), QStringLiteral("代码"));
    if (row < 1 || col < 0)
        return -1;
    return Stock.CodeIndex(grid->Grid.Cell(col, row));
}

int TFormLHB::SeatOf(const TGridView *grid) const
{
    const int row = grid->Row();
    const int col = IndexOfComma(grid->Grid.RowText(0), QStringLiteral("席位名称"));
    if (row < 1 || col < 0)
        return -1;
    const QString name = grid->Grid.Cell(col, row);
    const int yId = Stock.YybIndex(name);
    if (yId >= 0 || name.isEmpty())
        return yId;
    // The lists show seat names stripped of blanks: such a name still finds its seat.
    const QString stripped = StripText(name);
    for (int y = 0; y < Stock.YybCount(); ++y)
        if (StripText(Stock.YybName(y)) == stripped)
            return y;
    return -1;
}

void TFormLHB::GridClick(TGridView *sender)
{
    const TViewParams p = Params();
    const int cDay = DetailDayCount();
    if (sender == GridLeft) {
        if (ToolTag != 5) {
            ClearGrid(GridTop->Grid, 0, 0);
            ClearGrid(GridBottom->Grid, 0, 0);
        }
        switch (ToolTag) {
        case 1:
            ShowGrid11(Stock, p, CodeOf(GridLeft), GridTop->Grid, GridBottom->Grid);
            GridTop->Refresh();
            GridBottom->Refresh();
            break;
        case 2:
        case 4:
        case 6: {
            const int yId = SeatOf(GridLeft);
            ShowGrid21(Stock, p, yId, cDay, GridTop->Grid);
            GridTop->Refresh();
            if (yId >= 0)
                GridClick(GridTop);
            else
                GridBottom->Refresh();
            if (ToolTag == 4)
                SelectSeatInList();
            break;
        }
        case 3:
        case 7:
            ShowGrid31(Stock, p, CodeOf(GridLeft), GridTop->Grid);
            GridTop->Refresh();
            GridClick(GridTop);
            break;
        default:
            break;
        }
    } else if (sender == GridTop) {
        if (In(ToolTag, {2, 4, 6})) {
            ClearGrid(GridBottom->Grid, 0, 0);
            ShowGrid211(Stock, p, CodeOf(GridTop), SeatOf(GridLeft), cDay, GridBottom->Grid);
            GridBottom->Refresh();
        } else if (In(ToolTag, {3, 7})) {
            ClearGrid(GridBottom->Grid, 0, 0);
            ShowGrid211(Stock, p, CodeOf(GridLeft), SeatOf(GridTop), cDay, GridBottom->Grid);
            GridBottom->Refresh();
        }
    }
}

void TFormLHB::SelectSeatInList()
{
    if (!CheckListAttention->isVisible() || CheckListAttention->List->hasFocus())
        return;
    const QString name = GridLeft->CurrentText(QStringLiteral("席位名称"));
    QListWidget *list = CheckListAttention->List;
    list->setCurrentItem(nullptr);
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name) {
            list->setCurrentRow(i);
            break;
        }
}

void TFormLHB::Search(const QString &text)
{
    const QString s = text.trimmed();
    if (s.isEmpty())
        return;
    std::vector<int> columns;
    if (ToolTag == 1)
        columns = {2, 3};
    else if (In(ToolTag, {2, 4, 6}))
        columns = {1};
    else if (In(ToolTag, {3, 5, 7}))
        columns = {1, 2};
    const TStringGrid &g = GridLeft->Grid;
    for (int col : columns)
        for (int r = 1; r < g.RowCount(); ++r)
            if (g.Cell(col, r).contains(s, Qt::CaseSensitive)) {
                GridLeft->SetRow(r);
                return;
            }
    SkinKit.ShowInfo(Json.S(QStringLiteral("msg.search")));
}

void TFormLHB::ShowListAttention()
{
    QListWidget *list = CheckListAttention->List;
    const QSignalBlocker block(list);
    list->clear();
    struct TEntry
    {
        QString name;
        int yId;
        bool checked;
    };
    std::vector<TEntry> entries;
    for (int y = 0; y < Stock.YybCount(); ++y)
        entries.push_back({Stock.YybName(y), y, false});
    for (int y : AttentionList(Json.O(QStringLiteral("run.lhb.attention"))))
        if (y >= 0 && y < int(entries.size()))
            entries[size_t(y)].checked = true;
    // Alphabetical without regard to case: names in Latin letters first, then Chinese names in pinyin order.
    QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto latin = [](const QString &s) { return !s.isEmpty() && s.at(0).unicode() < 128; };
    std::stable_sort(entries.begin(), entries.end(), [&](const TEntry &a, const TEntry &b) {
        if (latin(a.name) != latin(b.name))
            return latin(a.name);
        return collator.compare(a.name, b.name) < 0;
    });
    for (const TEntry &e : entries) {
        auto *item = new QListWidgetItem(e.name, list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(e.checked ? Qt::Checked : Qt::Unchecked);
        item->setData(Qt::UserRole, e.yId);
    }
}

void TFormLHB::ListClickCheck(QListWidgetItem *item)
{
    if (!item)
        return;
    CheckListAttention->List->setCurrentItem(item);
    const int yId = item->data(Qt::UserRole).toInt();
    if (yId < 0 || yId >= Stock.YybCount())
        return;
    JsonValue list = JsonValue::array();
    bool removed = false;
    if (const JsonValue *stored = Json.O(QStringLiteral("run.lhb.attention")); stored && stored->is_array())
        for (const JsonValue &v : *stored) {
            if (!removed && v.is_number() && JsonPath::ValueInt(v) == yId) {
                removed = true;
                continue;
            }
            list.push_back(v);
        }
    if (item->checkState() == Qt::Checked)
        list.push_back(yId);
    Json.Put(QStringLiteral("run.lhb.attention"), list);

    ClearGrid(GridLeft->Grid, 0, 0);
    ShowGrid4(Stock, Params(), AttentionList(Json.O(QStringLiteral("run.lhb.attention"))), GridLeft->Grid, Gauge());
    GridLeft->Refresh();
    const int col = IndexOfComma(GridLeft->Grid.RowText(0), QStringLiteral("席位名称"));
    const QString name = item->text();
    int found = 0;
    for (int r = 1; col >= 0 && r < GridLeft->Grid.RowCount() && !found; ++r)
        if (GridLeft->Grid.Cell(col, r).compare(name, Qt::CaseInsensitive) == 0)
            found = r;
    if (found > 1)
        GridLeft->SetRow(found);
    else
        GridClick(GridLeft);
}
