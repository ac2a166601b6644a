#include "DemoData.h"

#include "app/Config.h"
#include "app/Json.h"
#include "app/MV_Pub.h"
#include "data/Dates.h"
#include "data/Stock.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <set>

QByteArray PackDataFile(const QByteArray &plain, const QString &key)
{
    TMemoryStream src(plain), dst;
    Pub.Compress(src, dst);
    if (!key.isEmpty())
        Pub.Scramble(dst, key);
    return dst.Data;
}

bool WriteBytes(const QString &nativePath, const QByteArray &bytes)
{
    const QFileInfo info(nativePath);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile f(nativePath);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return false;
    return f.commit();
}

static void PutField(char *field, int width, const QString &text)
{
    std::memset(field, 0, size_t(width));
    const QByteArray b = ToGbk(text);
    std::memcpy(field, b.constData(), size_t(qMin<qsizetype>(b.size(), width)));
}

TCodeRecord MakeCode(const QString &code, const QString &name)
{
    TCodeRecord r;
    std::memset(&r, 0, sizeof r);
    PutField(r.Code, 6, code);
    PutField(r.Name, 8, name);
    return r;
}

TYybRecord MakeYyb(const QString &name)
{
    TYybRecord r;
    PutField(r.Name, 64, name);
    return r;
}

TFinanceRecord MakeFinance(const QString &market, const QString &code, float shareBase)
{
    TFinanceRecord r;
    std::memset(&r, 0, sizeof r);
    PutField(r.Market, 2, market);
    PutField(r.Code, 6, code);
    r.ShareBase = shareBase;
    return r;
}

TDayBar MakeBar(qint32 date, qint32 open, qint32 close, qint32 amount, qint32 volume)
{
    TDayBar b;
    std::memset(&b, 0, sizeof b);
    b.Date = date;
    b.Open = open;
    b.Close = close;
    b.Amount = amount;
    b.Volume = volume;
    return b;
}

namespace {

// Deterministic for a seed on every platform: only the raw 64-bit engine output is used.
class TRandom
{
public:
    explicit TRandom(quint64 seed) : m_engine(seed) {}
    quint64 Next() { return m_engine(); }
    double Unit() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    int Int(int lo, int hi) { return lo + int(Next() % quint64(hi - lo + 1)); } // lo..hi
    bool Chance(double p) { return Unit() < p; }
    double Normal()
    {
        const double u1 = std::max(Unit(), 1e-300), u2 = Unit();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }
    template <typename T>
    const T &Pick(const std::vector<T> &v) { return v[size_t(Next() % v.size())]; }

private:
    std::mt19937_64 m_engine;
};

const std::vector<QString> NameHeads = {
    QStringLiteral("平安"), QStringLiteral("万科"), QStringLiteral("浦发"), QStringLiteral("招商"), QStringLiteral("中信"),
    QStringLiteral("华夏"), QStringLiteral("东方"), QStringLiteral("长江"), QStringLiteral("国电"), QStringLiteral("宝钢"),
    QStringLiteral("海螺"), QStringLiteral("恒瑞"), QStringLiteral("格力"), QStringLiteral("美的"), QStringLiteral("五粮"),
    QStringLiteral("紫金"), QStringLiteral("三一"), QStringLiteral("福耀"), QStringLiteral("华润"), QStringLiteral("金山"),
    QStringLiteral("天齐"), QStringLiteral("赣锋"), QStringLiteral("北方"), QStringLiteral("南方"), QStringLiteral("西部"),
    QStringLiteral("中科"), QStringLiteral("海康"), QStringLiteral("大华"), QStringLiteral("浙江"), QStringLiteral("江苏"),
    QStringLiteral("山东"), QStringLiteral("四川"), QStringLiteral("湖南"), QStringLiteral("广东"), QStringLiteral("重庆"),
    QStringLiteral("新华"), QStringLiteral("光明"), QStringLiteral("永辉"), QStringLiteral("东华"), QStringLiteral("中天"),
};
const std::vector<QString> NameTails = {
    QStringLiteral("银行"), QStringLiteral("科技"), QStringLiteral("股份"), QStringLiteral("电子"), QStringLiteral("药业"),
    QStringLiteral("能源"), QStringLiteral("地产"), QStringLiteral("证券"), QStringLiteral("实业"), QStringLiteral("控股"),
    QStringLiteral("电气"), QStringLiteral("材料"), QStringLiteral("化工"), QStringLiteral("机械"), QStringLiteral("传媒"),
    QStringLiteral("汽车"), QStringLiteral("通信"), QStringLiteral("医疗"), QStringLiteral("食品"), QStringLiteral("环保"),
    QStringLiteral("重工"), QStringLiteral("矿业"), QStringLiteral("航空"), QStringLiteral("物流"), QStringLiteral("软件"),
};
const std::vector<QString> Brokers = {
    QStringLiteral("中信证券"), QStringLiteral("国泰君安证券"), QStringLiteral("华泰证券"), QStringLiteral("招商证券"),
    QStringLiteral("光大证券"), QStringLiteral("中国银河证券"), QStringLiteral("海通证券"), QStringLiteral("申万宏源证券"),
    QStringLiteral("东方财富证券"), QStringLiteral("广发证券"), QStringLiteral("国信证券"), QStringLiteral("平安证券"),
    QStringLiteral("兴业证券"), QStringLiteral("财通证券"), QStringLiteral("中国中金财富证券"), QStringLiteral("方正证券"),
    QStringLiteral("长江证券"), QStringLiteral("安信证券"), QStringLiteral("东吴证券"), QStringLiteral("华鑫证券"),
    QStringLiteral("浙商证券"), QStringLiteral("国金证券"), QStringLiteral("湘财证券"), QStringLiteral("开源证券"),
};
const std::vector<QString> Cities = {
    QStringLiteral("上海"), QStringLiteral("深圳"), QStringLiteral("北京"), QStringLiteral("杭州"), QStringLiteral("宁波"),
    QStringLiteral("南京"), QStringLiteral("成都"), QStringLiteral("武汉"), QStringLiteral("西安"), QStringLiteral("厦门"),
    QStringLiteral("福州"), QStringLiteral("温州"), QStringLiteral("绍兴"), QStringLiteral("佛山"), QStringLiteral("广州"),
    QStringLiteral("长沙"), QStringLiteral("重庆"), QStringLiteral("天津"), QStringLiteral("拉萨"), QStringLiteral("苏州"),
};
const std::vector<QString> Roads = {
    QStringLiteral("溧阳路"), QStringLiteral("淮海中路"), QStringLiteral("金田路"), QStringLiteral("建国门外大街"),
    QStringLiteral("解放南路"), QStringLiteral("人民中路"), QStringLiteral("深南大道"), QStringLiteral("益田路"),
    QStringLiteral("体育西路"), QStringLiteral("中山北路"), QStringLiteral("江东北路"), QStringLiteral("延安西路"),
    QStringLiteral("团结路"), QStringLiteral("东环路"), QStringLiteral("北京西路"), QStringLiteral("新华路"),
    QStringLiteral("长江路"), QStringLiteral("黄河路"), QStringLiteral("湖滨路"), QStringLiteral("滨江大道"),
    QStringLiteral("世纪大道"), QStringLiteral("天府大道"), QStringLiteral("五一路"), QStringLiteral("曙光路"),
    QStringLiteral("环市东路"), QStringLiteral("文三路"), QStringLiteral("庆春路"), QStringLiteral("中华路"),
    QStringLiteral("南京东路"), QStringLiteral("福华一路"),
};

const QString Institution = QStringLiteral("机构专用");

// The executives' holding changes reach back this many trading days from the end date.
constexpr int HoldingDays = 120;

struct TDemoStock
{
    QString code, name, market;
    bool index = false;   // an index code: bars, never listed
    bool hasBars = true;  // some stocks have no bar file
    int startDay = 0;     // first trading day of the stock
    double shares = 0.0;  // circulating shares
    std::vector<qint32> recentCloses; // closes of the last HoldingDays trading days, 0 before the start
};

struct TListing
{
    int stock;
    int day;
    int dir;               // +1 up, -1 down
    double turnover = 0.0; // yuan, filled from the bars
};

std::vector<qint32> TradingDays(const QDate &end, int count)
{
    std::vector<qint32> days;
    QDate d = end;
    while (int(days.size()) < count) {
        if (d.dayOfWeek() <= 5)
            days.push_back(DateToInt(d));
        d = d.addDays(-1);
    }
    std::reverse(days.begin(), days.end());
    return days;
}

std::vector<TDemoStock> MakeStocks(TRandom &rnd, int count, int dayCount)
{
    std::vector<TDemoStock> stocks;
    std::set<QString> codes, names;
    auto add = [&](const QString &code, const QString &name, bool index) {
        TDemoStock s;
        s.code = code;
        s.name = name;
        s.market = TStock::MarketOf(code);
        s.index = index;
        codes.insert(code);
        names.insert(name);
        stocks.push_back(s);
    };
    add(QStringLiteral("1A0001"), QStringLiteral("上证指数"), true);
    add(QStringLiteral("1A0002"), QStringLiteral("Ａ股指数"), true);
    add(QStringLiteral("2A01"), QStringLiteral("深证成指"), true);
    const std::vector<QString> shHeads = {QStringLiteral("600"), QStringLiteral("601"), QStringLiteral("603")};
    const std::vector<QString> szHeads = {QStringLiteral("000"), QStringLiteral("002"), QStringLiteral("300")};
    const std::vector<QString> otherHeads = {QStringLiteral("688"), QStringLiteral("830")};
    while (int(stocks.size()) < count) {
        const double u = rnd.Unit();
        const std::vector<QString> &heads = u < 0.47 ? shHeads : u < 0.97 ? szHeads : otherHeads;
        const QString code = rnd.Pick(heads) + QStringLiteral("%1").arg(rnd.Int(0, 999), 3, 10, QChar(u'0'));
        if (codes.count(code))
            continue;
        // Names are drawn until one is new; a few are shorter or carry the *ST mark of a troubled stock.
        QString name;
        for (int tries = 0; tries < 50 && (name.isEmpty() || names.count(name)); ++tries) {
            const double kind = rnd.Unit();
            name = kind < 0.02 ? QStringLiteral("*ST") + rnd.Pick(NameHeads)
                : kind < 0.12  ? rnd.Pick(NameHeads).left(1) + rnd.Pick(NameTails)
                               : rnd.Pick(NameHeads) + rnd.Pick(NameTails);
        }
        add(code, name, false);
        TDemoStock &s = stocks.back();
        s.hasBars = !rnd.Chance(0.015);
        s.startDay = rnd.Chance(0.1) ? rnd.Int(1, std::max(1, dayCount - 20)) : 0;
    }
    // A listed stock whose name has a trailing blank and one whose code is neither market's is kept as drawn.
    stocks[3].name += QStringLiteral(" ");
    return stocks;
}

std::vector<QString> MakeSeats(TRandom &rnd, int count)
{
    std::vector<QString> seats;
    std::set<QString> seen;
    auto add = [&](const QString &s) {
        if (seen.insert(s).second)
            seats.push_back(s);
    };
    while (int(seats.size()) < count) {
        if (seats.size() == 3)
            add(Institution);
        if (seats.size() == 11) {
            // One name that fills the whole 64-byte field, without a closing NUL.
            add(QStringLiteral("中国国际金融股份有限公司上海分公司黄浦区中山东二路第一证券营业部"));
            continue;
        }
        const QString broker = rnd.Pick(Brokers);
        const QString company = rnd.Chance(0.5) ? QStringLiteral("股份有限公司") : QStringLiteral("有限责任公司");
        QString name = broker + company + rnd.Pick(Cities) + rnd.Pick(Roads) + QStringLiteral("证券营业部");
        if (rnd.Chance(0.01))
            name += QStringLiteral("  ");
        add(name);
    }
    return seats;
}

const std::vector<QString> Surnames = {
    QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("张"), QStringLiteral("刘"), QStringLiteral("陈"),
    QStringLiteral("杨"), QStringLiteral("黄"), QStringLiteral("赵"), QStringLiteral("吴"), QStringLiteral("周"),
    QStringLiteral("徐"), QStringLiteral("孙"), QStringLiteral("马"), QStringLiteral("朱"), QStringLiteral("胡"),
    QStringLiteral("郭"), QStringLiteral("何"), QStringLiteral("高"), QStringLiteral("林"), QStringLiteral("罗"),
    QStringLiteral("郑"), QStringLiteral("梁"), QStringLiteral("谢"), QStringLiteral("宋"), QStringLiteral("唐"),
    QStringLiteral("许"), QStringLiteral("韩"), QStringLiteral("冯"), QStringLiteral("邓"), QStringLiteral("曹"),
    QStringLiteral("彭"), QStringLiteral("曾"), QStringLiteral("肖"), QStringLiteral("田"), QStringLiteral("董"),
    QStringLiteral("潘"), QStringLiteral("蒋"), QStringLiteral("蔡"), QStringLiteral("叶"), QStringLiteral("欧阳"),
};
const std::vector<QString> GivenNames = {
    QStringLiteral("伟"), QStringLiteral("芳"), QStringLiteral("敏"), QStringLiteral("静"), QStringLiteral("强"),
    QStringLiteral("磊"), QStringLiteral("军"), QStringLiteral("勇"), QStringLiteral("杰"), QStringLiteral("涛"),
    QStringLiteral("建华"), QStringLiteral("志强"), QStringLiteral("海燕"), QStringLiteral("晓东"), QStringLiteral("国庆"),
    QStringLiteral("立新"), QStringLiteral("红梅"), QStringLiteral("文博"), QStringLiteral("永刚"), QStringLiteral("秀英"),
    QStringLiteral("玉兰"), QStringLiteral("振华"), QStringLiteral("德明"), QStringLiteral("丽华"), QStringLiteral("建国"),
    QStringLiteral("卫东"), QStringLiteral("春生"), QStringLiteral("思远"), QStringLiteral("子涵"), QStringLiteral("雨欣"),
};
const std::vector<QString> Positions = {
    QStringLiteral("董事长"), QStringLiteral("总经理"), QStringLiteral("副总经理"), QStringLiteral("董事"),
    QStringLiteral("监事"), QStringLiteral("监事会主席"), QStringLiteral("财务总监"), QStringLiteral("董事会秘书"),
    QStringLiteral("职工监事"), QStringLiteral("副董事长"), QStringLiteral("董事,总经理"),
};

QString PersonName(TRandom &rnd, const QString &surname)
{
    return surname + rnd.Pick(GivenNames);
}

struct TExecutive
{
    QString name, position;
    qint64 held = 0;
};

struct THoldingStock
{
    size_t stock;           // index into the demo stocks
    double buyBias;         // chance that a market trade is a purchase
    std::vector<TExecutive> executives;
};

// Realistic changes of the executives' holdings of some demo stocks, with the latest quote of each,
// as the gateway's holdings data file (JSON). Deterministic for the seed.
QByteArray MakeHoldings(const std::vector<TDemoStock> &stocks, const std::vector<qint32> &days, quint64 seed,
                        int count, int &written)
{
    TRandom rnd(seed * 0x9E3779B97F4A7C15ull + 0x6767);
    const int window = std::min(HoldingDays, int(days.size()));
    std::vector<size_t> eligible;
    for (size_t s = 0; s < stocks.size(); ++s) {
        const TDemoStock &st = stocks[s];
        if (!st.index && st.hasBars && !st.market.isEmpty() && !st.recentCloses.empty() && st.recentCloses.front() > 0)
            eligible.push_back(s);
    }
    written = 0;
    if (eligible.empty())
        return QByteArray();
    for (size_t i = eligible.size(); i > 1; --i)
        std::swap(eligible[i - 1], eligible[size_t(rnd.Next() % i)]);
    eligible.resize(std::min(eligible.size(), size_t(std::max(1, count / 3))));

    std::vector<THoldingStock> chosen;
    for (size_t s : eligible) {
        THoldingStock h{s, rnd.Pick(std::vector<double>{0.15, 0.5, 0.85}), {}};
        const int n = rnd.Int(1, 4);
        for (int k = 0; k < n; ++k) {
            TExecutive e;
            e.name = PersonName(rnd, rnd.Pick(Surnames));
            e.position = k == 0 ? Positions[size_t(rnd.Int(0, 1))] : rnd.Pick(Positions);
            e.held = qint64(std::exp(std::log(2e4) + rnd.Unit() * std::log(2000.0))) / 100 * 100;
            h.executives.push_back(e);
        }
        chosen.push_back(h);
    }

    // Who changed a holding on which day; the shares follow in date order, so holdings never go negative.
    struct TEvent
    {
        int day;
        size_t stock, executive;
        QString person, relation, reason;
        qint64 *held;
    };
    std::map<std::pair<size_t, QString>, qint64> relativesHeld;
    std::vector<TEvent> events;
    for (int i = 0; i < count; ++i) {
        const size_t hs = size_t(std::pow(rnd.Unit(), 1.6) * double(chosen.size())); // some stocks change often
        THoldingStock &h = chosen[hs];
        const size_t ex = size_t(rnd.Int(0, int(h.executives.size()) - 1));
        TExecutive &e = h.executives[ex];
        TEvent ev{window - 1 - int(std::pow(rnd.Unit(), 1.3) * window), hs, ex, e.name, QStringLiteral("本人"), {}, &e.held};
        if (rnd.Chance(0.18)) {
            static const std::vector<QString> relations = {QStringLiteral("配偶"), QStringLiteral("父母"),
                                                           QStringLiteral("子女"), QStringLiteral("兄弟姐妹")};
            ev.relation = rnd.Pick(relations);
            const QString surname = e.name.startsWith(QStringLiteral("欧阳")) ? QStringLiteral("欧阳") : e.name.left(1);
            ev.person = PersonName(rnd, ev.relation == u"配偶" ? rnd.Pick(Surnames) : surname);
            qint64 &held = relativesHeld[{hs, ev.person}];
            if (held == 0)
                held = qint64(std::exp(std::log(5e3) + rnd.Unit() * std::log(200.0))) / 100 * 100;
            ev.held = &held;
        }
        const double u = rnd.Unit();
        ev.reason = u < 0.55 ? QStringLiteral("二级市场买卖") : u < 0.75 ? QStringLiteral("竞价交易")
            : u < 0.85 ? QStringLiteral("大宗交易") : u < 0.95 ? QStringLiteral("股权激励") : QStringLiteral("协议转让");
        if (ev.relation != u"本人" && ev.reason == u"股权激励")
            ev.reason = QStringLiteral("二级市场买卖"); // incentives go to the executives themselves
        events.push_back(ev);
    }
    std::stable_sort(events.begin(), events.end(), [](const TEvent &a, const TEvent &b) { return a.day < b.day; });

    QJsonArray changes;
    for (const TEvent &ev : events) {
        const THoldingStock &h = chosen[ev.stock];
        const TDemoStock &st = stocks[h.stock];
        const qint32 close = st.recentCloses[size_t(ev.day)];
        if (close <= 0)
            continue;
        bool buy = ev.reason == u"股权激励" ? true : ev.reason == u"协议转让" ? false : rnd.Chance(h.buyBias);
        qint64 size = qint64(std::exp(std::log(1e3) + rnd.Unit() * std::log(500.0))) / 100 * 100 + 100;
        if (!buy && *ev.held < 200)
            buy = ev.reason != u"协议转让";
        if (!buy)
            size = std::max<qint64>(100, std::min(size, *ev.held / 4 / 100 * 100));
        if (!buy && size > *ev.held)
            continue;
        const double market = close / 1000.0;
        const double factor = ev.reason == u"股权激励" ? 0.45 + rnd.Unit() * 0.1
            : ev.reason == u"大宗交易" ? 0.9 + rnd.Unit() * 0.08 : 1.0 + rnd.Normal() * 0.01;
        const double price = std::max(0.01, std::round(market * factor * 100.0) / 100.0);
        const qint64 shares = buy ? size : -size;
        *ev.held += shares;
        const TExecutive &e = h.executives[ev.executive];
        QJsonObject c;
        c.insert(QStringLiteral("date"), IntToDate(days[days.size() - size_t(window) + size_t(ev.day)]).toString(QStringLiteral("yyyy-MM-dd")));
        c.insert(QStringLiteral("code"), st.code);
        c.insert(QStringLiteral("name"), st.name.trimmed());
        c.insert(QStringLiteral("person"), ev.person);
        c.insert(QStringLiteral("shares"), double(shares));
        c.insert(QStringLiteral("price"), price);
        c.insert(QStringLiteral("amount"), std::round(double(shares) * price * 100.0) / 100.0);
        c.insert(QStringLiteral("reason"), ev.reason);
        c.insert(QStringLiteral("ratio"), std::round(double(shares) / st.shares * 1000.0 * 10000.0) / 10000.0);
        c.insert(QStringLiteral("after"), double(*ev.held));
        c.insert(QStringLiteral("kind"), ev.reason == u"股权激励" ? QStringLiteral("限售股") : QStringLiteral("A股"));
        c.insert(QStringLiteral("executive"), e.name);
        c.insert(QStringLiteral("position"), e.position);
        c.insert(QStringLiteral("relation"), ev.relation);
        changes.append(c);
    }
    written = int(changes.size());

    QJsonArray quotes;
    for (const THoldingStock &h : chosen) {
        const TDemoStock &st = stocks[h.stock];
        const qint32 last = st.recentCloses.back(), prev = st.recentCloses[st.recentCloses.size() - 2];
        QJsonObject q;
        q.insert(QStringLiteral("code"), st.code);
        q.insert(QStringLiteral("name"), st.name.trimmed());
        q.insert(QStringLiteral("price"), last / 1000.0);
        q.insert(QStringLiteral("change"), prev > 0 ? std::round((double(last) / prev - 1.0) * 10000.0) / 100.0 : 0.0);
        quotes.append(q);
    }
    QJsonObject root;
    root.insert(QStringLiteral("format"), QStringLiteral("morvane-ggcg"));
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("end"), IntToDate(days.back()).toString(QStringLiteral("yyyy-MM-dd")));
    root.insert(QStringLiteral("stocks"), quotes);
    root.insert(QStringLiteral("changes"), changes);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

} // namespace

bool WriteDemo(const TDemoOptions &opt, TDemoSummary &summary, QString &error)
{
    TRandom rnd(opt.Seed);
    const int dayCount = opt.Full ? 2500 : 520;
    const int stockCount = opt.Full ? 5000 : 1500;
    const int seatCount = opt.Full ? 8000 : 1200;
    const int perDayLo = opt.Full ? 95 : 40, perDayHi = opt.Full ? 125 : 100;

    TMVJson json;
    BuildDefaultTree(json);
    const QString key = json.S(QStringLiteral("app.pass"));
    const QDir out(opt.OutDir);
    auto path = [&](const QString &configPath) { return out.filePath(NativePath(configPath)); };

    const std::vector<qint32> days = TradingDays(opt.End, dayCount);
    std::vector<TDemoStock> stocks = MakeStocks(rnd, stockCount, dayCount);
    const std::vector<QString> seats = MakeSeats(rnd, seatCount);

    // Which stocks are listed on which day, and in which direction they moved.
    std::vector<TListing> listings;
    std::vector<std::vector<int>> listingsOf(stocks.size());
    std::vector<int> pool;
    for (int d = 0; d < dayCount; ++d) {
        pool.clear();
        for (int s = 0; s < int(stocks.size()); ++s)
            if (!stocks[size_t(s)].index && stocks[size_t(s)].startDay <= d)
                pool.push_back(s);
        const int want = std::min(int(pool.size()), rnd.Int(perDayLo, perDayHi));
        for (int k = 0; k < want; ++k) {
            const int pick = k + int(rnd.Next() % quint64(pool.size() - size_t(k)));
            std::swap(pool[size_t(k)], pool[size_t(pick)]);
            const int s = pool[size_t(k)];
            listingsOf[size_t(s)].push_back(int(listings.size()));
            listings.push_back({s, d, rnd.Chance(0.55) ? 1 : -1});
        }
    }

    // Bars: a random walk per stock, with the big moves of its listing days.
    std::vector<TFinanceRecord> finance;
    for (size_t s = 0; s < stocks.size(); ++s) {
        TDemoStock &st = stocks[s];
        double price = st.index ? rnd.Int(2000, 4000) : 3.0 + rnd.Unit() * 60.0;
        const double shares = std::exp(std::log(2e8) + rnd.Unit() * std::log(50.0)); // circulating shares
        std::vector<TDayBar> bars;
        bars.reserve(size_t(dayCount - st.startDay));
        size_t next = 0;
        const std::vector<int> &mine = listingsOf[s];
        st.shares = shares;
        st.recentCloses.assign(size_t(std::min(HoldingDays, dayCount)), 0);
        for (int d = st.startDay; d < dayCount; ++d) {
            double ret = rnd.Normal() * 0.02 - 0.0006; // a slight drift offsets the listings' rises
            double activity = 0.6 + rnd.Unit() * 0.8;
            int listing = -1;
            if (next < mine.size() && listings[size_t(mine[next])].day == d) {
                listing = mine[next++];
                ret = listings[size_t(listing)].dir * (0.07 + rnd.Unit() * 0.03);
                activity *= 3.0 + rnd.Unit() * 3.0;
            }
            ret = std::clamp(ret, -0.1, 0.1);
            const double open = price;
            price = std::max(0.5, price * (1.0 + ret));
            const double volumeShares = shares * 0.01 * activity;
            const double turnover = volumeShares * price; // yuan
            bars.push_back(MakeBar(days[size_t(d)], qint32(std::lround(open * 1000)), qint32(std::lround(price * 1000)),
                                   qint32(std::min(turnover / 1000.0, 2.0e9)), qint32(std::min(volumeShares / 100.0, 2.0e9))));
            if (listing >= 0)
                listings[size_t(listing)].turnover = turnover;
            if (const int back = dayCount - 1 - d; back < int(st.recentCloses.size()))
                st.recentCloses[st.recentCloses.size() - 1 - size_t(back)] = bars.back().Close;
        }
        if (st.hasBars) {
            const QString dir = st.market == u"sh" ? json.S(QStringLiteral("data.sh.day"))
                : st.market == u"sz" ? json.S(QStringLiteral("data.sz.day")) : QString();
            if (!WriteBytes(path(dir + st.code + QStringLiteral(".day")), RecordBytes(bars))) {
                error = QStringLiteral("cannot write the bar file of %1").arg(st.code);
                return false;
            }
        }
        if (!st.index && !st.market.isEmpty() && rnd.Chance(0.92)) {
            const QString m = rnd.Chance(0.1) ? st.market : st.market.toUpper();
            finance.push_back(MakeFinance(m, st.code, float(shares / 1000.0)));
        }
    }

    // Seats are drawn with a strong bias: a few hot seats appear every week, most rarely.
    std::vector<int> seatOrder(seats.size());
    for (size_t i = 0; i < seatOrder.size(); ++i)
        seatOrder[i] = int(i);
    for (size_t i = seatOrder.size(); i > 1; --i)
        std::swap(seatOrder[i - 1], seatOrder[size_t(rnd.Next() % i)]);
    const int institution = 3;
    auto drawSeat = [&]() {
        if (rnd.Chance(0.18))
            return institution;
        return seatOrder[size_t(std::pow(rnd.Unit(), 2.2) * double(seatOrder.size()))];
    };

    std::vector<TLhbRecord> records;
    records.reserve(listings.size() * 9);
    auto amount = [](double v) { return std::round(v * 100.0) / 100.0; };
    for (const TListing &l : listings) {
        const double turnover = l.turnover > 0 ? l.turnover : 1e8;
        struct TEntry { int seat; double buy, sell; };
        std::vector<TEntry> entries;
        auto find = [&](int seat) -> TEntry * {
            if (seat == institution)
                return nullptr; // several institutional rows may stand in one list
            for (TEntry &e : entries)
                if (e.seat == seat)
                    return &e;
            return nullptr;
        };
        double share = 0.02 + rnd.Unit() * 0.06;
        for (int k = 0; k < 5; ++k, share *= 0.6 + rnd.Unit() * 0.3) {
            const int seat = drawSeat();
            TEntry *e = find(seat);
            if (!e) {
                entries.push_back({seat, 0.0, 0.0});
                e = &entries.back();
            }
            e->buy += amount(turnover * share);
            if (rnd.Chance(0.05))
                e->sell += amount(turnover * share * rnd.Unit() * 0.2);
        }
        share = 0.015 + rnd.Unit() * 0.05;
        for (int k = 0; k < 5; ++k, share *= 0.6 + rnd.Unit() * 0.3) {
            // A seller is sometimes one of the buyers: the seat then stands on both sides.
            const int seat = rnd.Chance(0.08) && !entries.empty() ? entries[size_t(rnd.Int(0, int(entries.size()) - 1))].seat
                                                                 : drawSeat();
            TEntry *e = find(seat);
            if (!e) {
                entries.push_back({seat, 0.0, 0.0});
                e = &entries.back();
            }
            e->sell += amount(turnover * share);
        }
        for (TEntry &e : entries) {
            if (rnd.Chance(0.02))
                e.sell = e.buy > 0 ? e.buy : e.sell; // equal amounts on both sides
            TLhbRecord r;
            r.cId = l.stock;
            r.yId = e.seat;
            r.Buy = e.buy;
            r.Sell = e.sell;
            r.Date = days[size_t(l.day)];
            records.push_back(r);
        }
    }

    std::vector<TCodeRecord> codeRecs;
    for (const TDemoStock &s : stocks)
        codeRecs.push_back(MakeCode(s.code, s.name));
    std::vector<TYybRecord> yybRecs;
    for (const QString &s : seats)
        yybRecs.push_back(MakeYyb(s));
    QByteArray financeBytes("MVFI\0\0\0\0", 8);
    qToLittleEndian<quint32>(quint32(finance.size()), financeBytes.data() + 4);
    financeBytes += RecordBytes(finance);

    const bool ok = WriteBytes(path(json.S(QStringLiteral("data.code"))), PackDataFile(RecordBytes(codeRecs), key))
        && WriteBytes(path(json.S(QStringLiteral("data.yyb"))), PackDataFile(RecordBytes(yybRecs), key))
        && WriteBytes(path(json.S(QStringLiteral("data.lhb"))), PackDataFile(RecordBytes(records), key))
        && WriteBytes(path(json.S(QStringLiteral("data.finance"))), financeBytes);
    // The service gateway's holdings data: the client never reads it, the gateway serves it.
    int holdings = 0;
    const QByteArray holdingsBytes = MakeHoldings(stocks, days, opt.Seed, opt.Full ? 900 : 320, holdings);
    const bool holdingsOk = WriteBytes(path(json.S(QStringLiteral("data.path")) + QStringLiteral("ggcg.json")), holdingsBytes);
    if (!ok || !holdingsOk) {
        error = QStringLiteral("cannot write the data files under %1").arg(opt.OutDir);
        return false;
    }
    summary.Holdings = holdings;
    summary.Stocks = int(stocks.size());
    summary.Seats = int(seats.size());
    summary.Days = dayCount;
    summary.Records = qint64(records.size());
    summary.FirstDate = days.front();
    summary.LastDate = days.back();
    return true;
}
