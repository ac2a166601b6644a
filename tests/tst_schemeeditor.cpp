// The seat scheme editor: its controls and their keys, loading and storing the scheme at
// run.lhb.filter, and what closing it does.
#include "Fixture.h"
#include "GuiTestMain.h"

#include "app/Json.h"
#include "data/Dates.h"
#include "forms/frmLHB_Filter.h"
#include "views/LhbSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>

#include <memory>
#include <set>

namespace {

// An editor opened on the stored scheme, as the seat window opens it; deleted at the end of the
// test unless it has deleted itself by closing.
class TEditor
{
public:
    TEditor() : Dialog(new TFormLHB_Filter)
    {
        Dialog->show();
    }
    ~TEditor() { delete Dialog.data(); }
    TFormLHB_Filter *operator->() const { return Dialog; }
    QWidget *At(int member, int key) const { return Dialog->Control(member, key); }
    // Lets the deferred deletion of a closed dialog happen.
    bool Gone() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return Dialog.isNull();
    }

    QPointer<TFormLHB_Filter> Dialog;
};

// A control's state in the type the scheme stores it: checked, yyyymmdd, item index, value.
QVariant StateOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->isChecked();
    if (auto *d = qobject_cast<QDateEdit *>(w))
        return DateToInt(d->date());
    if (auto *c = qobject_cast<QComboBox *>(w))
        return c->currentIndex();
    if (auto *s = qobject_cast<QSpinBox *>(w))
        return double(s->value());
    if (auto *f = qobject_cast<QDoubleSpinBox *>(w))
        return f->value();
    return QVariant();
}

QString KindOf(QWidget *w)
{
    if (qobject_cast<QRadioButton *>(w))
        return QStringLiteral("radio");
    if (qobject_cast<QCheckBox *>(w))
        return QStringLiteral("check");
    if (qobject_cast<QDateEdit *>(w))
        return QStringLiteral("date");
    if (qobject_cast<QComboBox *>(w))
        return QStringLiteral("combo");
    if (qobject_cast<QSpinBox *>(w))
        return QStringLiteral("int");
    if (qobject_cast<QDoubleSpinBox *>(w))
        return QStringLiteral("real");
    if (qobject_cast<QLabel *>(w))
        return QStringLiteral("label");
    return QString();
}

QString CaptionOf(QWidget *w)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *l = qobject_cast<QLabel *>(w))
        return l->text();
    return QString();
}

double MaximumOf(QWidget *w)
{
    if (auto *s = qobject_cast<QSpinBox *>(w))
        return s->maximum();
    if (auto *f = qobject_cast<QDoubleSpinBox *>(w))
        return f->maximum();
    return 0;
}

// What is stored under the scheme at a dotted key ("" for the scheme itself); null when nothing is.
JsonValue Stored(const QString &key = QString())
{
    return JsonPath::Probe(Json.Run, key.isEmpty() ? QStringLiteral("run.lhb.filter")
                                                   : QStringLiteral("run.lhb.filter.") + key);
}

void StoreScheme(const QString &path, const char *text)
{
    Json.Put(path, JsonValue::parse(text));
}

std::set<std::string> KeysOf(const JsonValue &member)
{
    std::set<std::string> keys;
    if (!member.is_object())
        return keys;
    for (auto it = member.begin(); it != member.end(); ++it)
        keys.insert(it.key());
    return keys;
}

std::set<std::string> KeyRange(int first, int last)
{
    std::set<std::string> keys;
    for (int k = first; k <= last; ++k)
        keys.insert(std::to_string(k));
    return keys;
}

// The value types the editor writes: member "1" six booleans and two dates, "2" five booleans, "3"
// check boxes as booleans, operators as integers and thresholds as reals.
void VerifyStoredTypes()
{
    QVERIFY(Stored().is_object());
    for (int k = 0; k <= 5; ++k)
        QVERIFY2(Stored(QStringLiteral("1.%1").arg(k)).is_boolean(), QByteArray::number(k));
    for (int k : {6, 7}) {
        const JsonValue v = Stored(QStringLiteral("1.%1").arg(k));
        QVERIFY(v.is_number_integer());
        QVERIFY(TDayWindow::IsValidYmd(v.get<qint32>()));
    }
    for (int k = 0; k <= 4; ++k)
        QVERIFY(Stored(QStringLiteral("2.%1").arg(k)).is_boolean());
    const std::set<int> checks{0, 3, 6, 8, 10, 12, 15, 18, 21, 24};
    const std::set<int> combos{1, 4, 13, 16, 19, 22, 25};
    for (int k = 0; k <= 26; ++k) {
        const JsonValue v = Stored(QStringLiteral("3.%1").arg(k));
        const QByteArray where = QByteArray("3.") + QByteArray::number(k);
        if (checks.count(k))
            QVERIFY2(v.is_boolean(), where);
        else if (combos.count(k))
            QVERIFY2(v.is_number_integer(), where);
        else
            QVERIFY2(v.is_number_float(), where);
    }
}

} // namespace

class TestSchemeEditor : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsAndKeys_data();
    void controlsAndKeys();
    void dialogGeometry();
    void opensOnTheDefaultScheme();
    void okStoresEveryKeyWithItsType();
    void thresholdReadsAsWholeYuan_data();
    void thresholdReadsAsWholeYuan();
    void loadsTheStoredScheme_data();
    void loadsTheStoredScheme();
    void closingWithoutOkStoresNothing_data();
    void closingWithoutOkStoresNothing();
    void malformedSchemeLoads_data();
    void malformedSchemeLoads();
    void radioGroups();
    void modalUseAsTheSeatWindowDoes();
    void screenshot();

private:
    std::unique_ptr<TFixture> m_fx;
};

void TestSchemeEditor::init()
{
    m_fx = std::make_unique<TFixture>();
    SetLhbDefaults(Json);
}

void TestSchemeEditor::cleanup()
{
    m_fx.reset();
}

void TestSchemeEditor::controlsAndKeys_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<double>("maximum");

    QTest::newRow("1.0") << 1 << 0 << "radio" << "近一周" << QPoint(10, 30) << 0.0;
    QTest::newRow("1.4") << 1 << 4 << "radio" << "近一年" << QPoint(270, 30) << 0.0;
    QTest::newRow("1.5 custom") << 1 << 5 << "radio" << "" << QPoint(10, 60) << 0.0;
    QTest::newRow("1.6 start") << 1 << 6 << "date" << "" << QPoint(35, 62) << 0.0;
    QTest::newRow("1.7 end") << 1 << 7 << "date" << "" << QPoint(145, 62) << 0.0;
    QTest::newRow("1.8") << 1 << 8 << "label" << "至" << QPoint(125, 65) << 0.0;
    QTest::newRow("1.9") << 1 << 9 << "label" << "自定义日期不能选择系统类席位" << QPoint(35, 90) << 0.0;
    QTest::newRow("2.1") << 2 << 1 << "radio" << "我的关注席位" << QPoint(90, 30) << 0.0;
    QTest::newRow("2.4") << 2 << 4 << "radio" << "避险活跃席位" << QPoint(195, 85) << 0.0;
    QTest::newRow("2.5") << 2 << 5 << "label" << "系统类席位：" << QPoint(15, 65) << 0.0;
    QTest::newRow("3.0") << 3 << 0 << "check" << "累计买入额" << QPoint(10, 25) << 0.0;
    QTest::newRow("3.1") << 3 << 1 << "combo" << "" << QPoint(95, 27) << 0.0;
    QTest::newRow("3.2") << 3 << 2 << "real" << "" << QPoint(135, 27) << 1e15;
    QTest::newRow("3.6") << 3 << 6 << "check" << "最后上榜日期在" << QPoint(10, 75) << 0.0;
    QTest::newRow("3.7") << 3 << 7 << "int" << "" << QPoint(120, 77) << 999999999.0;
    QTest::newRow("3.11") << 3 << 11 << "int" << "" << QPoint(120, 127) << 999999999.0;
    QTest::newRow("3.12 right column") << 3 << 12 << "check" << "上榜次数" << QPoint(345, 25) << 0.0;
    QTest::newRow("3.13") << 3 << 13 << "combo" << "" << QPoint(445, 27) << 0.0;
    QTest::newRow("3.14") << 3 << 14 << "int" << "" << QPoint(485, 27) << 999999999.0;
    QTest::newRow("3.20 rate") << 3 << 20 << "real" << "" << QPoint(485, 77) << 999999999.0;
    QTest::newRow("3.26") << 3 << 26 << "real" << "" << QPoint(485, 127) << 999999999.0;
    QTest::newRow("3.27 first unit") << 3 << 27 << "label" << "元" << QPoint(290, 30) << 0.0;
    QTest::newRow("3.29") << 3 << 29 << "label" << "交易日之内" << QPoint(245, 80) << 0.0;
    QTest::newRow("3.36 last unit") << 3 << 36 << "label" << "%" << QPoint(625, 130) << 0.0;
}

void TestSchemeEditor::controlsAndKeys()
{
    QFETCH(int, member);
    QFETCH(int, key);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(QPoint, pos);
    QFETCH(double, maximum);

    TEditor e;
    QCOMPARE(e->ControlCount(1), 10);
    QCOMPARE(e->ControlCount(2), 6);
    QCOMPARE(e->ControlCount(3), 37);
    QWidget *w = e.At(member, key);
    QVERIFY(w);
    QCOMPARE(w->parentWidget(), member == 1 ? e->Group1 : member == 2 ? e->Group2 : e->Group3);
    QCOMPARE(KindOf(w), kind);
    QCOMPARE(CaptionOf(w), caption);
    QCOMPARE(w->pos(), pos);
    QCOMPARE(MaximumOf(w), maximum);
    if (auto *c = qobject_cast<QComboBox *>(w)) {
        QCOMPARE(c->count(), 4);
        QCOMPARE(c->itemText(1), QStringLiteral(">="));
        QCOMPARE(c->itemText(3), QStringLiteral("<="));
    }
}

void TestSchemeEditor::dialogGeometry()
{
    TEditor e;
    QCOMPARE(e->windowTitle(), QStringLiteral("编辑席位方案"));
    QCOMPARE(e->Group1->geometry(), QRect(10, 10, 350, 120));
    QCOMPARE(e->Group2->geometry(), QRect(370, 10, 310, 120));
    QCOMPARE(e->Group3->geometry(), QRect(10, 140, 670, 160));
    QCOMPARE(e->ButtonOk->text(), QStringLiteral("\u3000确 定\u3000"));
    QCOMPARE(e->ButtonOk->geometry().right(), e->Group3->geometry().right());
    QCOMPARE(e->ButtonOk->y(), 310);
    QCOMPARE(e->size(), QSize(690, 120 + 160 + e->ButtonOk->height() + 40));
    // Every control lies inside its group box and no two controls of a group overlap.
    for (int m = 1; m <= 3; ++m)
        for (int i = 0; i < e->ControlCount(m); ++i) {
            const QRect r = e.At(m, i)->geometry();
            QVERIFY2(e.At(m, i)->parentWidget()->rect().contains(r), qPrintable(e.At(m, i)->objectName()));
            for (int j = i + 1; j < e->ControlCount(m); ++j)
                QVERIFY2(!r.intersects(e.At(m, j)->geometry()),
                         qPrintable(e.At(m, i)->objectName() + u' ' + e.At(m, j)->objectName()));
        }
}

void TestSchemeEditor::opensOnTheDefaultScheme()
{
    TEditor e;
    const int today = DateToInt(QDate::currentDate());
    const std::set<std::pair<int, int>> checked{{1, 0}, {2, 0}, {2, 2}};
    for (int m = 1; m <= 3; ++m)
        for (int k = 0; k < e->ControlCount(m); ++k) {
            QWidget *w = e.At(m, k);
            const QString kind = KindOf(w);
            const QVariant state = StateOf(w);
            const QByteArray where = w->objectName().toLatin1();
            if (kind == u"radio" || kind == u"check")
                QVERIFY2(state.toBool() == (checked.count({m, k}) == 1), where);
            else if (kind == u"date")
                QVERIFY2(state.toInt() == today, where);
            else if (kind == u"combo")
                QVERIFY2(state.toInt() == 0, where);
            else if (kind == u"int" || kind == u"real")
                QVERIFY2(state.toDouble() == 0.0, where);
        }
    QCOMPARE(e->focusWidget(), e->ButtonOk);
}

void TestSchemeEditor::okStoresEveryKeyWithItsType()
{
    // Keys the editor does not own stay as they are, a label's key included.
    StoreScheme(QStringLiteral("run.lhb.filter.1.9"), R"("note")");
    StoreScheme(QStringLiteral("run.lhb.filter.3.99"), "7");
    StoreScheme(QStringLiteral("run.lhb.filter.4"), R"({"x":1})");

    TEditor e;
    QSignalSpy stored(e.Dialog.data(), &TFormLHB_Filter::SchemeStored);
    static_cast<QCheckBox *>(e.At(3, 12))->setChecked(true);
    static_cast<QComboBox *>(e.At(3, 13))->setCurrentIndex(1);
    static_cast<QSpinBox *>(e.At(3, 14))->setValue(3);
    e->ButtonOk->click();

    QCOMPARE(stored.count(), 1);
    QCOMPARE(e->result(), int(QDialog::Accepted));
    QVERIFY(!e->isVisible());
    QVERIFY(e.Gone());

    auto keys1 = KeyRange(0, 7);
    keys1.insert("9");
    QCOMPARE(KeysOf(Stored("1")), keys1);
    QCOMPARE(KeysOf(Stored("2")), KeyRange(0, 4));
    auto keys3 = KeyRange(0, 26);
    keys3.insert("99");
    QCOMPARE(KeysOf(Stored("3")), keys3);
    VerifyStoredTypes();

    QCOMPARE(Stored("1.9").dump(), std::string(R"("note")"));
    QCOMPARE(Stored("3.99").dump(), std::string("7"));
    QCOMPARE(Stored("4").dump(), std::string(R"({"x":1})"));
    QCOMPARE(Stored("1.0").dump(), std::string("true"));
    QCOMPARE(Stored("1.5").dump(), std::string("false"));
    QCOMPARE(Stored("1.6").dump(), std::to_string(DateToInt(QDate::currentDate())));
    QCOMPARE(Stored("2.2").dump(), std::string("true"));
    QCOMPARE(Stored("3.12").dump(), std::string("true"));
    QCOMPARE(Stored("3.13").dump(), std::string("1"));
    QCOMPARE(Stored("3.14").dump(), std::string("3.0"));
}

void TestSchemeEditor::thresholdReadsAsWholeYuan_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("whole");
    QTest::newRow("1234.5 to even below") << 1234.5 << qint64(1234);
    QTest::newRow("1235.5 to even above") << 1235.5 << qint64(1236);
    QTest::newRow("1234.75 up") << 1234.75 << qint64(1235);
}

void TestSchemeEditor::thresholdReadsAsWholeYuan()
{
    QFETCH(double, value);
    QFETCH(qint64, whole);
    TEditor e;
    static_cast<QDoubleSpinBox *>(e.At(3, 2))->setValue(value);
    e->ButtonOk->click();
    const JsonValue v = Stored("3.2");
    QVERIFY(v.is_number_float());
    QCOMPARE(v.get<double>(), value);
    QCOMPARE(JsonPath::Int(Json.Run, QStringLiteral("run.lhb.filter.3.2")), whole);
}

void TestSchemeEditor::loadsTheStoredScheme_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<int>("member");
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("state");

    const QString custom = QStringLiteral(R"({"1":{"5":true,"6":20240110,"7":20240112},"2":{"0":true,"2":true}})");
    QTest::newRow("custom range chosen") << custom << 1 << 5 << QVariant(true);
    QTest::newRow("week not chosen") << custom << 1 << 0 << QVariant(false);
    QTest::newRow("start date") << custom << 1 << 6 << QVariant(20240110);
    QTest::newRow("end date") << custom << 1 << 7 << QVariant(20240112);
    const QString noDates = QStringLiteral(R"({"1":{"1":true}})");
    QTest::newRow("absent date is today") << noDates << 1 << 7 << QVariant(DateToInt(QDate::currentDate()));
    QTest::newRow("month") << noDates << 1 << 1 << QVariant(true);

    const QString watched = QStringLiteral(R"({"1":{"0":true},"2":{"1":true,"3":true}})");
    QTest::newRow("watched seats") << watched << 2 << 1 << QVariant(true);
    QTest::newRow("all seats off") << watched << 2 << 0 << QVariant(false);
    QTest::newRow("strong seats") << watched << 2 << 3 << QVariant(true);
    QTest::newRow("active seats off") << watched << 2 << 2 << QVariant(false);

    const QString conditions = QStringLiteral(
        R"({"3":{"0":true,"1":3,"2":1500000.25,"7":2.5,"9":3.5,"12":true,"13":1,"14":3.0,"20":2.5}})");
    QTest::newRow("buy sum on") << conditions << 3 << 0 << QVariant(true);
    QTest::newRow("buy sum <=") << conditions << 3 << 1 << QVariant(3);
    QTest::newRow("buy sum threshold") << conditions << 3 << 2 << QVariant(1500000.25);
    QTest::newRow("sell sum off") << conditions << 3 << 3 << QVariant(false);
    QTest::newRow("sell sum >") << conditions << 3 << 4 << QVariant(0);
    QTest::newRow("days, half to even below") << conditions << 3 << 7 << QVariant(2.0);
    QTest::newRow("days, half to even above") << conditions << 3 << 9 << QVariant(4.0);
    QTest::newRow("listings on") << conditions << 3 << 12 << QVariant(true);
    QTest::newRow("listings >=") << conditions << 3 << 13 << QVariant(1);
    QTest::newRow("listings value") << conditions << 3 << 14 << QVariant(3.0);
    QTest::newRow("buy rate") << conditions << 3 << 20 << QVariant(2.5);
}

void TestSchemeEditor::loadsTheStoredScheme()
{
    QFETCH(QString, scheme);
    QFETCH(int, member);
    QFETCH(int, key);
    QFETCH(QVariant, state);
    StoreScheme(QStringLiteral("run.lhb.filter"), scheme.toUtf8().constData());
    TEditor e;
    QCOMPARE(StateOf(e.At(member, key)), state);
}

void TestSchemeEditor::closingWithoutOkStoresNothing_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("close button") << false;
    QTest::newRow("escape key") << true;
}

void TestSchemeEditor::closingWithoutOkStoresNothing()
{
    QFETCH(bool, escape);
    const std::string before = Stored().dump();
    TEditor e;
    QSignalSpy stored(e.Dialog.data(), &TFormLHB_Filter::SchemeStored);
    static_cast<QRadioButton *>(e.At(1, 3))->click();
    static_cast<QCheckBox *>(e.At(3, 0))->setChecked(true);
    static_cast<QDoubleSpinBox *>(e.At(3, 2))->setValue(5);
    if (escape)
        QTest::keyClick(e.Dialog.data(), Qt::Key_Escape);
    else
        e->close();
    QVERIFY(e.Gone());
    QCOMPARE(stored.count(), 0);
    QCOMPARE(Stored().dump(), before);

    // The next editor opens on the stored scheme, not on the discarded edits.
    TEditor next;
    QCOMPARE(StateOf(next.At(1, 0)), QVariant(true));
    QCOMPARE(StateOf(next.At(1, 3)), QVariant(false));
    QCOMPARE(StateOf(next.At(3, 0)), QVariant(false));
}

void TestSchemeEditor::malformedSchemeLoads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("member");
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("state");

    const QString filter = QStringLiteral("run.lhb.filter");
    const int today = DateToInt(QDate::currentDate());
    QTest::newRow("scheme is an array") << filter << "[true,true]" << 1 << 0 << QVariant(false);
    QTest::newRow("scheme is text") << filter << R"("1.0")" << 1 << 0 << QVariant(false);
    QTest::newRow("seat settings are a number") << QStringLiteral("run.lhb") << "7" << 2 << 0 << QVariant(false);
    QTest::newRow("members are no objects") << filter << R"({"1":5,"2":[true,true],"3":"x"})" << 2 << 0 << QVariant(false);
    QTest::newRow("member 3 is null") << filter << R"({"3":null})" << 3 << 1 << QVariant(0);

    const QString wrong = QStringLiteral(
        R"({"1":{"0":"yes","6":"abc","7":1e300},)"
        R"("3":{"1":99,"2":"12.5","4":-1,"7":1e300,"9":-5,"11":null,"12":{"a":1},"13":4294967296,"14":[1],"5":1e300}})");
    QTest::newRow("text as a boolean") << filter << wrong << 1 << 0 << QVariant(true);
    QTest::newRow("text as a date") << filter << wrong << 1 << 6 << QVariant(today);
    QTest::newRow("huge date") << filter << wrong << 1 << 7 << QVariant(today);
    QTest::newRow("operator beyond the list") << filter << wrong << 3 << 1 << QVariant(-1);
    QTest::newRow("negative operator") << filter << wrong << 3 << 4 << QVariant(-1);
    QTest::newRow("operator beyond 32 bits") << filter << wrong << 3 << 13 << QVariant(-1);
    QTest::newRow("text as a threshold") << filter << wrong << 3 << 2 << QVariant(12.5);
    QTest::newRow("real threshold above its range") << filter << wrong << 3 << 5 << QVariant(1e15);
    QTest::newRow("days above the range") << filter << wrong << 3 << 7 << QVariant(999999999.0);
    QTest::newRow("days below the range") << filter << wrong << 3 << 9 << QVariant(0.0);
    QTest::newRow("null days") << filter << wrong << 3 << 11 << QVariant(0.0);
    QTest::newRow("object as a check") << filter << wrong << 3 << 12 << QVariant(true);
    QTest::newRow("array as a count") << filter << wrong << 3 << 14 << QVariant(0.0);
}

void TestSchemeEditor::malformedSchemeLoads()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(int, member);
    QFETCH(int, key);
    QFETCH(QVariant, state);
    StoreScheme(path, text.toUtf8().constData());
    TEditor e;
    QCOMPARE(StateOf(e.At(member, key)), state);
    // Storing then writes a whole, well-typed scheme over it.
    e->ButtonOk->click();
    VerifyStoredTypes();
}

void TestSchemeEditor::radioGroups()
{
    TEditor e;
    auto radio = [&](int m, int k) { return static_cast<QRadioButton *>(e.At(m, k)); };

    radio(2, 1)->click();
    QVERIFY(!radio(2, 0)->isChecked());
    QVERIFY(radio(2, 2)->isChecked()); // group 22 is not touched by group 21
    radio(2, 4)->click();
    QVERIFY(!radio(2, 2)->isChecked());
    QVERIFY(radio(2, 1)->isChecked());
    radio(2, 4)->click(); // clicking the chosen one keeps it chosen
    QVERIFY(radio(2, 4)->isChecked());
    radio(1, 5)->click();
    QVERIFY(!radio(1, 0)->isChecked());

    // Loading again replaces the edits, unchecking what the stored scheme leaves false.
    e->FormShow();
    QVERIFY(radio(1, 0)->isChecked());
    QVERIFY(!radio(1, 5)->isChecked());
    QVERIFY(radio(2, 0)->isChecked());
    QVERIFY(!radio(2, 1)->isChecked());
    QVERIFY(radio(2, 2)->isChecked());
    QVERIFY(!radio(2, 4)->isChecked());

    // A scheme with no period chosen shows none of step 1 checked.
    StoreScheme(QStringLiteral("run.lhb.filter.1"), "{}");
    e->FormShow();
    for (int k = 0; k <= 5; ++k)
        QVERIFY(!radio(1, k)->isChecked());
}

void TestSchemeEditor::modalUseAsTheSeatWindowDoes()
{
    QPointer<TFormLHB_Filter> dialog = new TFormLHB_Filter;
    int reruns = 0;
    QObject::connect(dialog, &TFormLHB_Filter::SchemeStored, [&]() { ++reruns; });
    QTimer::singleShot(0, dialog, [&]() {
        static_cast<QRadioButton *>(dialog->Control(1, 2))->click();
        dialog->ButtonOk->click();
    });
    QCOMPARE(dialog->exec(), int(QDialog::Accepted));
    QVERIFY(dialog.isNull()); // freed as it closed: the next press makes a fresh one
    QCOMPARE(reruns, 1);
    QCOMPARE(Stored("1.2").dump(), std::string("true"));
    QCOMPARE(Stored("1.0").dump(), std::string("false"));
}

void TestSchemeEditor::screenshot()
{
    StoreScheme(QStringLiteral("run.lhb.filter"),
                R"({"1":{"5":true,"6":20240110,"7":20240112},"2":{"1":true,"3":true},)"
                R"("3":{"0":true,"1":1,"2":1000000,"7":10,"12":true,"13":1,"14":3,"18":true,"20":62.5}})");
    TEditor e;
    QVERIFY(QTest::qWaitForWindowExposed(e.Dialog.data()));
    QVERIFY(QDir().mkpath(QStringLiteral(MV_BUILD_DIR "/screenshots")));
    QVERIFY(e->grab().save(QStringLiteral(MV_BUILD_DIR "/screenshots/scheme-editor.png")));
}

MV_GUI_TEST_MAIN(TestSchemeEditor)
#include "tst_schemeeditor.moc"
