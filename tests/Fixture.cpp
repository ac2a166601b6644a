#include "Fixture.h"

#include "DemoData.h"
#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/Dates.h"
#include "data/Stock.h"

#include <QDir>

TFixture::TFixture() : m_oldCwd(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    Pub.Init();
    BuildDefaultTree(Json);
    Json.Run["run"] = JsonValue::object();
    Stock.Release();
}

TFixture::~TFixture()
{
    Stock.Release();
    QDir::setCurrent(m_oldCwd);
}

QString TFixture::Key() const
{
    return Json.S(QStringLiteral("app.pass"));
}

int TFixture::AddStock(const QString &code, const QString &name)
{
    Codes.push_back(MakeCode(code, name));
    return int(Codes.size()) - 1;
}

int TFixture::AddSeat(const QString &name)
{
    Seats.push_back(MakeYyb(name));
    return int(Seats.size()) - 1;
}

void TFixture::AddRecord(int cId, int yId, double buy, double sell, qint32 date)
{
    Records.push_back(TLhbRecord{cId, yId, buy, sell, date});
}

void TFixture::WriteBars(const QString &code, const std::vector<TDayBar> &bars)
{
    const QString market = TStock::MarketOf(code);
    const QString dir = market == u"sh" ? Json.S(QStringLiteral("data.sh.day"))
        : market == u"sz" ? Json.S(QStringLiteral("data.sz.day")) : QString();
    WriteBytes(NativePath(dir + code.trimmed() + QStringLiteral(".day")), RecordBytes(bars));
}

void TFixture::WriteTables()
{
    WriteBytes(NativePath(Json.S(QStringLiteral("data.code"))), PackDataFile(RecordBytes(Codes), Key()));
    WriteBytes(NativePath(Json.S(QStringLiteral("data.yyb"))), PackDataFile(RecordBytes(Seats), Key()));
    WriteBytes(NativePath(Json.S(QStringLiteral("data.lhb"))), PackDataFile(RecordBytes(Records), Key()));
    if (!Finance.empty())
        WriteBytes(NativePath(Json.S(QStringLiteral("data.finance"))), QByteArray(8, '\0') + RecordBytes(Finance));
}

void TFixture::Load()
{
    WriteTables();
    Stock.Release();
    Stock.LoadAll(Key(), Json);
}

std::vector<TDayBar> BarsFrom(const QDate &first, const std::vector<qint32> &closes)
{
    std::vector<TDayBar> bars;
    QDate d = first;
    for (qint32 c : closes) {
        while (d.dayOfWeek() > 5)
            d = d.addDays(1);
        bars.push_back(MakeBar(DateToInt(d), c, c, c / 10, c * 3));
        d = d.addDays(1);
    }
    return bars;
}

qint32 Ymd(int y, int m, int d)
{
    return y * 10000 + m * 100 + d;
}
