// The demo data set: written in the formats the store reads, deterministic, and as varied as real data.
#include "DemoData.h"
#include "Fixture.h"

#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/Dates.h"
#include "data/Stock.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QTest>

#include <set>

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readsBackAsADataSet();
    void sameSeedSameBytes();

private:
    TFixture *m_fx = nullptr;
    TDemoSummary m_summary;
    static QByteArray Digest(const QString &dir)
    {
        QCryptographicHash h(QCryptographicHash::Sha1);
        QStringList files;
        QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString &f : files) {
            QByteArray bytes;
            ReadWholeFile(f, bytes);
            h.addData(f.mid(dir.size()).toUtf8());
            h.addData(bytes);
        }
        return h.result();
    }
};

void TestDemo::initTestCase()
{
    m_fx = new TFixture; // the demo is written into the fixture's working directory
    TDemoOptions opt;
    opt.OutDir = m_fx->Dir();
    opt.End = QDate(2024, 3, 16); // a Saturday: the last trading day is Friday the 15th
    opt.Seed = 7;
    QString error;
    QVERIFY2(WriteDemo(opt, m_summary, error), qPrintable(error));
}

void TestDemo::readsBackAsADataSet()
{
    Stock.LoadAll(Json.S(QStringLiteral("app.pass")), Json);
    QCOMPARE(Stock.MissingMessage(), QString());
    QCOMPARE(Stock.CodeCount(), m_summary.Stocks);
    QCOMPARE(Stock.YybCount(), m_summary.Seats);
    QCOMPARE(qint64(Stock.LhbCount()), m_summary.Records);
    QCOMPARE(m_summary.LastDate, Ymd(2024, 3, 15));
    QVERIFY(Stock.CodeCount() >= 1500 && Stock.YybCount() >= 1200);

    // Records: valid indexes, weekday dates up to the end, 40 to 100 stocks a day, both-sided and equal ones.
    std::map<qint32, std::set<int>> stocksOfDay;
    int equal = 0, bothSides = 0;
    const int institution = Stock.YybIndex(QStringLiteral("机构专用"));
    QVERIFY(institution >= 0);
    int institutional = 0;
    for (int i = 0; i < Stock.LhbCount(); ++i) {
        const TLhbRecord &r = Stock.LhbRecords()[i];
        QVERIFY(Stock.ValidRecord(r));
        QVERIFY(r.Buy >= 0 && r.Sell >= 0 && r.Buy + r.Sell > 0);
        QVERIFY(TDayWindow::IsValidYmd(r.Date) && r.Date <= m_summary.LastDate);
        QVERIFY(IntToDate(r.Date).dayOfWeek() <= 5);
        stocksOfDay[r.Date].insert(r.cId);
        equal += r.Buy == r.Sell;
        bothSides += r.Buy > 0 && r.Sell > 0;
        institutional += r.yId == institution;
    }
    for (const auto &day : stocksOfDay)
        QVERIFY(day.second.size() >= 40 && day.second.size() <= 100);
    QVERIFY(equal > 0);
    QVERIFY(bothSides > 0);
    QVERIFY(institutional > Stock.LhbCount() / 20);

    // Codes of both markets and of neither, bar files where the market rule looks, some without one.
    int sh = 0, sz = 0, neither = 0, withoutBars = 0, withFinance = 0;
    for (int c = 0; c < Stock.CodeCount(); ++c) {
        const QString code = Stock.CodeText(c);
        const QString market = TStock::MarketOf(code);
        (market == u"sh" ? sh : market == u"sz" ? sz : neither)++;
        const TDayBar bar = Stock.DayBar(code, 0, 0);
        withoutBars += bar.Date == 0;
        withFinance += Stock.GetFinance(code).ShareBase > 0;
        QVERIFY(!Stock.NameText(c).isEmpty());
    }
    QVERIFY(sh > 100 && sz > 100 && neither > 0);
    QVERIFY(withoutBars > 0 && withoutBars < Stock.CodeCount() / 10);
    QVERIFY(withFinance > Stock.CodeCount() * 3 / 4);

    // Seat names: unique, some with trailing blanks, all within the field.
    std::set<QString> names;
    int trailing = 0;
    for (int y = 0; y < Stock.YybCount(); ++y) {
        const QString n = Stock.YybName(y);
        QVERIFY(names.insert(n).second);
        trailing += n.endsWith(u' ');
        QCOMPARE(Stock.YybIndex(n), y);
    }
    QVERIFY(trailing > 0);

    // A listed stock's bars: ascending dates, the listing day's bar present and its turnover above the seats'.
    const TLhbRecord &first = Stock.LhbRecords()[Stock.LhbCount() - 1];
    {
        const QString code = Stock.CodeText(first.cId);
        const TDayBar bar = Stock.DayBar(code, first.Date, 0);
        if (bar.Date != 0) {
            QCOMPARE(bar.Date, first.Date);
            QVERIFY(double(bar.Amount) * 1000.0 > first.Buy);
            QVERIFY(Stock.DayBar(code, 1, 0).Date < Stock.DayBar(code, 0, 0).Date);
        }
    }
}

void TestDemo::sameSeedSameBytes()
{
    QTemporaryDir a, b;
    TDemoSummary s;
    QString error;
    TDemoOptions opt;
    opt.End = QDate(2024, 3, 16);
    opt.Seed = 11;
    opt.OutDir = a.path();
    QVERIFY(WriteDemo(opt, s, error));
    opt.OutDir = b.path();
    QVERIFY(WriteDemo(opt, s, error));
    QCOMPARE(Digest(a.path()), Digest(b.path()));
    delete m_fx;
    m_fx = nullptr;
}

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
