#include "frmLHB_Filter.h"

#include "app/Json.h"
#include "data/Dates.h"
#include "kit/Skin.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>

#include <cmath>
#include <limits>

namespace {

struct TRadioRow
{
    const char16_t *caption;
    int group;
    int left, top;
};

const TRadioRow Step1Radios[] = {
    {u"近一周", 11, 10, 30}, {u"近一月", 11, 75, 30},  {u"近三月", 11, 140, 30},
    {u"近半年", 11, 205, 30}, {u"近一年", 11, 270, 30}, {u"", 11, 10, 60},
};

const TRadioRow Step2Radios[] = {
    {u"全部席位", 21, 10, 30},     {u"我的关注席位", 21, 90, 30}, {u"活跃席位", 22, 10, 85},
    {u"强势活跃席位", 22, 90, 85}, {u"避险活跃席位", 22, 195, 85},
};

// One condition of step 3: a check box, an operator combo box where it has one, a threshold spin edit
// and a unit label. Rows of the right column add X (half the group box's width) to every left.
struct TConditionRow
{
    const char16_t *caption;
    bool hasCombo;
    bool real;
    double maximum;
    int checkLeft, checkTop;
    int comboLeft, comboTop;
    int spinLeft, spinTop, spinWidth;
    const char16_t *unit;
    int unitLeft, unitTop;
    bool right;
};

constexpr double AmountMax = 1e15;
constexpr double CountMax = 999999999;

const TConditionRow Step3Rows[] = {
    {u"累计买入额", true, true, AmountMax, 10, 25, 95, 27, 135, 27, 150, u"元", 290, 30, false},
    {u"累计卖出额", true, true, AmountMax, 10, 50, 95, 52, 135, 52, 150, u"元", 290, 55, false},
    {u"最后上榜日期在", false, false, CountMax, 10, 75, 0, 0, 120, 77, 120, u"交易日之内", 245, 80, false},
    {u"最后买入日期在", false, false, CountMax, 10, 100, 0, 0, 120, 102, 120, u"交易日之内", 245, 105, false},
    {u"最后卖出日期在", false, false, CountMax, 10, 125, 0, 0, 120, 127, 120, u"交易日之内", 245, 130, false},
    {u"上榜次数", true, false, CountMax, 10, 25, 110, 27, 150, 27, 135, u"次", 290, 30, true},
    {u"买入成功次数", true, false, CountMax, 10, 50, 110, 52, 150, 52, 135, u"次", 290, 55, true},
    {u"买入成功率", true, true, CountMax, 10, 75, 110, 77, 150, 77, 135, u"%", 290, 80, true},
    {u"卖出成功次数", true, false, CountMax, 10, 100, 110, 102, 150, 102, 135, u"次", 290, 105, true},
    {u"卖出成功率", true, true, CountMax, 10, 125, 110, 127, 150, 127, 135, u"%", 290, 130, true},
};

const QString Operators = QStringLiteral(">,>=,<,<=");

// Controls the kit leaves at the default widget height would overlap the next row: they take the
// height their style asks for.
void FitHeight(QWidget *w)
{
    w->ensurePolished();
    w->resize(w->width(), w->sizeHint().height());
}

// A member object of the stored scheme, or nothing when the scheme or the member is no object.
const JsonValue *SchemeMember(int member)
{
    const JsonValue *scheme = JsonPath::Find(Json.Run, QStringLiteral("run.lhb.filter"));
    if (!scheme || !scheme->is_object())
        return nullptr;
    const auto it = scheme->find(std::to_string(member));
    return it != scheme->end() && it->is_object() ? &*it : nullptr;
}

const JsonValue *KeyValue(const JsonValue *member, int key)
{
    if (!member)
        return nullptr;
    const auto it = member->find(std::to_string(key));
    return it != member->end() ? &*it : nullptr;
}

// A stored date; anything that is not a yyyymmdd number in the 32-bit range gives today.
QDate StoredDate(const JsonValue *v)
{
    if (!v)
        return QDate::currentDate();
    const qint64 n = JsonPath::ValueInt(*v);
    if (n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return QDate::currentDate();
    return IntToDate(qint32(n));
}

bool StoredBool(const JsonValue *member, int key)
{
    return member && JsonPath::Bool(*member, QString::number(key));
}

double StoredReal(const JsonValue *member, int key)
{
    const double d = member ? JsonPath::Float(*member, QString::number(key)) : 0.0;
    return std::isfinite(d) ? d : 0.0;
}

} // namespace

TFormLHB_Filter::TFormLHB_Filter(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormLHB_Filter"));
    setWindowTitle(QStringLiteral("编辑席位方案"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose);

    Group1 = SkinKit.CreateGroupBox(this, QStringLiteral("第一步：选择席位的上榜日期（必选）"));
    Group1->setObjectName(QStringLiteral("Group1"));
    Group1->setGeometry(10, 10, 350, 120);
    for (const TRadioRow &r : Step1Radios)
        Add(1, SkinKit.CreateRadioButton(Group1, QString::fromUtf16(r.caption), r.group, r.left, r.top));
    for (int left : {35, 145}) {
        QDateEdit *date = SkinKit.CreateDateEdit(Group1, TAlign::None);
        date->move(left, 62);
        FitHeight(date);
        Add(1, date);
    }
    Add(1, SkinKit.CreateStdLabel(Group1, QStringLiteral("至"), TAlign::None, 125, 65, 0));
    Add(1, SkinKit.CreateStdLabel(Group1, QStringLiteral("自定义日期不能选择系统类席位"), TAlign::None, 35, 90, 0));

    Group2 = SkinKit.CreateGroupBox(this, QStringLiteral("第二步：选择席位的范围（必选）"));
    Group2->setObjectName(QStringLiteral("Group2"));
    Group2->setGeometry(370, 10, 310, 120);
    for (const TRadioRow &r : Step2Radios)
        Add(2, SkinKit.CreateRadioButton(Group2, QString::fromUtf16(r.caption), r.group, r.left, r.top));
    Add(2, SkinKit.CreateStdLabel(Group2, QStringLiteral("系统类席位："), TAlign::None, 15, 65, 0));

    Group3 = SkinKit.CreateGroupBox(this, QStringLiteral("第三步：设置席位的参数（可选）"));
    Group3->setObjectName(QStringLiteral("Group3"));
    Group3->setGeometry(10, Group1->y() + Group1->height() + 10, Group1->width() + Group2->width() + 10, 160);
    const int x = Group3->rect().width() / 2;
    for (const TConditionRow &r : Step3Rows) {
        const int dx = r.right ? x : 0;
        Add(3, SkinKit.CreateCheckBox(Group3, QString::fromUtf16(r.caption), 0, dx + r.checkLeft, r.checkTop));
        if (r.hasCombo) {
            QComboBox *combo = SkinKit.CreateComboBox(Group3, TAlign::None, Operators, dx + r.comboLeft, r.comboTop);
            // The measured width can run a pixel or two into the threshold edit beside it.
            combo->setFixedWidth(qMin(combo->width(), r.spinLeft - r.comboLeft));
            FitHeight(combo);
            Add(3, combo);
        }
        QAbstractSpinBox *spin = SkinKit.CreateSpinEdit(Group3, r.real, 0, r.maximum, 0, TAlign::None,
                                                        dx + r.spinLeft, r.spinTop, r.spinWidth, 0);
        FitHeight(spin);
        Add(3, spin);
    }
    for (const TConditionRow &r : Step3Rows)
        Add(3, SkinKit.CreateStdLabel(Group3, QString::fromUtf16(r.unit), TAlign::None,
                                      (r.right ? x : 0) + r.unitLeft, r.unitTop, 0));

    ButtonOk = SkinKit.CreateButton(this, QStringLiteral("　确 定　"), TAlign::None);
    ButtonOk->setObjectName(QStringLiteral("ButtonOk"));
    FitHeight(ButtonOk);
    ButtonOk->move(Group3->x() + Group3->width() - ButtonOk->width(), Group3->y() + Group3->height() + 10);
    connect(ButtonOk, &QPushButton::clicked, this, &TFormLHB_Filter::ButtonOkClick);

    setFixedSize(Group1->width() + Group2->width() + 30, Group1->height() + Group3->height() + ButtonOk->height() + 40);
    // Skinned once its size is known, so that it is centred on the main window with that size.
    SkinKit.ApplyFormSkin(this);
}

QWidget *TFormLHB_Filter::Add(int member, QWidget *control)
{
    QList<QWidget *> &list = m_controls[member - 1];
    control->setObjectName(QStringLiteral("Key%1_%2").arg(member).arg(list.size()));
    list.append(control);
    return control;
}

QWidget *TFormLHB_Filter::Control(int member, int key) const
{
    if (member < 1 || member > 3 || key < 0 || key >= m_controls[member - 1].size())
        return nullptr;
    return m_controls[member - 1].at(key);
}

int TFormLHB_Filter::ControlCount(int member) const
{
    return member >= 1 && member <= 3 ? int(m_controls[member - 1].size()) : 0;
}

void TFormLHB_Filter::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TFormLHB_Filter::FormShow()
{
    // An exclusive group keeps its checked button checked: the groups are cleared before loading,
    // so that a key stored false (or absent) unchecks its button.
    for (const QList<QWidget *> &list : m_controls)
        for (QWidget *w : list)
            if (auto *r = qobject_cast<QRadioButton *>(w)) {
                QButtonGroup *g = r->group();
                const bool exclusive = g && g->exclusive();
                if (g)
                    g->setExclusive(false);
                r->setChecked(false);
                if (g)
                    g->setExclusive(exclusive);
            }

    for (int m = 1; m <= 3; ++m) {
        const JsonValue *member = SchemeMember(m);
        const QList<QWidget *> &list = m_controls[m - 1];
        for (int p = 0; p < list.size(); ++p) {
            QWidget *w = list.at(p);
            if (auto *b = qobject_cast<QAbstractButton *>(w)) {
                b->setChecked(StoredBool(member, p));
            } else if (auto *d = qobject_cast<QDateEdit *>(w)) {
                d->setDate(StoredDate(KeyValue(member, p)));
            } else if (auto *c = qobject_cast<QComboBox *>(w)) {
                // An index that names no operator selects nothing, rather than wrapping onto one.
                const qint64 i = member ? JsonPath::Int(*member, QString::number(p)) : 0;
                c->setCurrentIndex(i >= 0 && i < c->count() ? int(i) : -1);
            } else if (auto *s = qobject_cast<QSpinBox *>(w)) {
                // Bounded before the conversion; halves round to even, as the seat filter reads the key.
                const double d = qBound(double(s->minimum()), StoredReal(member, p), double(s->maximum()));
                s->setValue(int(std::nearbyint(d)));
            } else if (auto *f = qobject_cast<QDoubleSpinBox *>(w)) {
                f->setValue(StoredReal(member, p));
            }
        }
    }
    ButtonOk->setFocus();
}

void TFormLHB_Filter::ButtonOkClick()
{
    for (int m = 1; m <= 3; ++m) {
        const QList<QWidget *> &list = m_controls[m - 1];
        for (int p = 0; p < list.size(); ++p) {
            QWidget *w = list.at(p);
            JsonValue value;
            if (auto *b = qobject_cast<QAbstractButton *>(w))
                value = b->isChecked();
            else if (auto *d = qobject_cast<QDateEdit *>(w))
                value = DateToInt(d->date());
            else if (auto *c = qobject_cast<QComboBox *>(w))
                value = c->currentIndex();
            else if (auto *s = qobject_cast<QSpinBox *>(w))
                value = double(s->value());
            else if (auto *f = qobject_cast<QDoubleSpinBox *>(w))
                value = f->value();
            else
                continue; // labels store nothing
            Json.Put(QStringLiteral("run.lhb.filter.%1.%2").arg(m).arg(p), std::move(value));
        }
    }
    accept();
    emit SchemeStored();
}
