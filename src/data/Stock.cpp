#include "Stock.h"

#include "app/Json.h"
#include "data/BarSeries.h"
#include "data/ImageFile.h"

#include <QFile>
#include <QStringConverter>

#include <cstring>

TStock Stock;

// Opening a GBK converter is costly, so each thread keeps one of each; stateless, they can be reused.
QString FromGbk(const QByteArray &bytes)
{
    thread_local QStringDecoder dec("GBK", QStringConverter::Flag::Stateless);
    return dec.isValid() ? QString(dec.decode(bytes)) : QString::fromLatin1(bytes);
}

QByteArray ToGbk(const QString &s)
{
    thread_local QStringEncoder enc("GBK", QStringConverter::Flag::Stateless);
    return enc.isValid() ? QByteArray(enc.encode(s)) : s.toLatin1();
}

static qsizetype FieldLength(const char *field, int width)
{
    const void *nul = std::memchr(field, 0, size_t(width));
    return nul ? static_cast<const char *>(nul) - field : width;
}

QString GbkField(const char *field, int width)
{
    return FromGbk(QByteArray(field, FieldLength(field, width)));
}

QString StripText(const QString &s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

void TStock::LoadImage(TMemoryStream &image, const QString &fileName, const QString &key) const
{
    const QString path = NativePath(fileName);
    if (fileName.isEmpty() || !QFile::exists(path))
        return;
    // Unscrambled and inflated piece by piece; a damaged file keeps what could be inflated.
    InflateDataFile(path, key, image);
    image.Seek(0);
}

void TStock::LoadAll(const QString &key, const TMVJson &json)
{
    ShDay = json.S(QStringLiteral("data.sh.day"));
    SzDay = json.S(QStringLiteral("data.sz.day"));
    if (Code.Size() == 0)
        LoadImage(Code, json.S(QStringLiteral("data.code")), key);
    if (Finance.Size() == 0) {
        const QString path = NativePath(json.S(QStringLiteral("data.finance")));
        QByteArray bytes;
        if (!path.isEmpty() && QFile::exists(path) && ReadWholeFile(path, bytes))
            Finance = TMemoryStream(std::move(bytes));
    }
    if (Lhb.Size() == 0)
        LoadImage(Lhb, json.S(QStringLiteral("data.lhb")), key);
    if (Yyb.Size() == 0)
        LoadImage(Yyb, json.S(QStringLiteral("data.yyb")), key);
    if (Ggcg.Size() == 0)
        LoadImage(Ggcg, json.S(QStringLiteral("data.ggcg")), key);
}

void TStock::Release()
{
    Code.Clear();
    Finance.Clear();
    Yyb.Clear();
    Lhb.Clear();
    Ggcg.Clear();
}

int TStock::FinanceCount() const
{
    const qint64 body = Finance.Size() - FinanceHeaderSize;
    return body > 0 ? int(body / qint64(sizeof(TFinanceRecord))) : 0;
}

QString TStock::MissingMessage() const
{
    if (CodeCount() == 0)
        return QStringLiteral("缺少代码数据文件！");
    if (YybCount() == 0)
        return QStringLiteral("缺少营业部数据文件！");
    if (LhbCount() == 0)
        return QStringLiteral("缺少龙虎榜数据文件！");
    return QString();
}

TCodeRecord TStock::GetCode(qint32 cId) const
{
    TCodeRecord r;
    std::memset(&r, 0, sizeof r);
    if (cId >= 0 && cId < CodeCount())
        r = CodeRecords()[cId];
    return r;
}

static bool FieldEquals(const char *field, int width, const QByteArray &want)
{
    const qsizetype len = FieldLength(field, width);
    return len == want.size() && std::memcmp(field, want.constData(), size_t(len)) == 0;
}

int TStock::CodeIndex(const QString &code) const
{
    const QByteArray want = ToGbk(code);
    const TCodeRecord *recs = CodeRecords();
    for (int i = 0, n = CodeCount(); i < n; ++i)
        if (FieldEquals(recs[i].Code, 6, want))
            return i;
    return -1;
}

int TStock::YybIndex(const QString &name) const
{
    const QByteArray want = ToGbk(name);
    const TYybRecord *recs = YybRecords();
    for (int i = 0, n = YybCount(); i < n; ++i)
        if (FieldEquals(recs[i].Name, 64, want))
            return i;
    return -1;
}

TFinanceRecord TStock::GetFinance(const QString &code) const
{
    TFinanceRecord r;
    std::memset(&r, 0, sizeof r);
    const QByteArray market = MarketOf(code).toUpper().toLatin1();
    const QByteArray want = ToGbk(code);
    const char *base = Finance.Data.constData() + FinanceHeaderSize;
    for (int i = 0, n = FinanceCount(); i < n; ++i) {
        const char *rec = base + qint64(i) * qint64(sizeof(TFinanceRecord));
        TFinanceRecord f;
        std::memcpy(&f, rec, sizeof f);
        if (FieldLength(f.Market, 2) == market.size() && FieldEquals(f.Code, 6, want)
            && QByteArray(f.Market, market.size()).toUpper() == market) {
            r = f;
            break;
        }
    }
    return r;
}

QString TStock::MarketOf(const QString &code)
{
    const QString c = code.trimmed();
    const QString prefix = c.left(2);
    if (c.size() == 4 && (prefix == u"2A" || prefix == u"2C"))
        return QStringLiteral("sz");
    if (c.size() == 6) {
        if (prefix == u"60" || prefix == u"90" || prefix == u"1A" || prefix == u"1B")
            return QStringLiteral("sh");
        if (prefix == u"00" || prefix == u"20" || prefix == u"30")
            return QStringLiteral("sz");
    }
    return QString();
}

QString TStock::BarFileName(const QString &code) const
{
    const QString c = code.trimmed();
    // A code names a file in its market's folder; one holding a path separator or a drive's colon would
    // lead the read elsewhere, so it names no file (and gives the all-zero bar).
    if (c.contains(u'/') || c.contains(u'\\') || c.contains(u':'))
        return QString();
    const QString market = MarketOf(c);
    const QString dir = market == u"sh" ? ShDay : market == u"sz" ? SzDay : QString();
    return NativePath(dir + c + QStringLiteral(".day"));
}

namespace {

// Reads bars of one file on demand: the size first, then only the bars that are looked at.
class TBarFile
{
public:
    explicit TBarFile(const QString &path) : m_file(path)
    {
        if (m_file.open(QIODevice::ReadOnly))
            m_count = qint32(qMin<qint64>(m_file.size() / qint64(sizeof(TDayBar)), 0x7FFFFFFF));
    }
    qint32 Count() const { return m_count; }
    bool Read(qint32 index, qint32 n, TDayBar *out)
    {
        if (!m_file.seek(qint64(index) * qint64(sizeof(TDayBar))))
            return false;
        const qint64 want = qint64(n) * qint64(sizeof(TDayBar));
        return m_file.read(reinterpret_cast<char *>(out), want) == want;
    }
    // The index of the first bar dated after key, or Count(): a scan from the first bar.
    qint64 FirstAfter(qint32 key)
    {
        if (!m_file.seek(0))
            return m_count;
        TDayBar chunk[256];
        for (qint32 at = 0; at < m_count;) {
            const qint32 n = qMin<qint32>(256, m_count - at);
            const qint64 want = qint64(n) * qint64(sizeof(TDayBar));
            if (m_file.read(reinterpret_cast<char *>(chunk), want) != want)
                return m_count;
            for (qint32 k = 0; k < n; ++k)
                if (chunk[k].Date > key)
                    return at + k;
            at += n;
        }
        return m_count;
    }

private:
    QFile m_file;
    qint32 m_count = 0;
};

TDayBar ZeroBar()
{
    TDayBar b;
    std::memset(&b, 0, sizeof b);
    return b;
}

} // namespace

TDayBar TStock::DayBar(const QString &code, qint32 key, qint32 offset) const
{
    TBarFile file(BarFileName(code));
    const qint32 n = file.Count();
    if (n <= 0)
        return ZeroBar();
    const qint64 i = ResolveBarIndex(n, key, offset, [&file](qint32 k) { return file.FirstAfter(k); });
    TDayBar bar = ZeroBar();
    if (!file.Read(qint32(i), 1, &bar))
        return ZeroBar();
    return bar;
}

void TStock::NewestBars(const QString &code, TDayBar &newest, TDayBar &previous) const
{
    newest = previous = ZeroBar();
    TBarFile file(BarFileName(code));
    const qint32 n = file.Count();
    if (n <= 0)
        return;
    if (n == 1) {
        if (file.Read(0, 1, &newest))
            previous = newest;
        else
            newest = ZeroBar();
        return;
    }
    TDayBar two[2];
    if (file.Read(n - 2, 2, two)) {
        previous = two[0];
        newest = two[1];
    }
}

void TStock::DayBarOfIndex(qint32 cId, qint32 key, qint32 offset, TDayBar &bar) const
{
    if (cId < 0 || cId >= CodeCount())
        return;
    bar = DayBar(GbkField(CodeRecords()[cId].Code, 6), key, offset);
}

QString TStock::CodeText(qint32 cId) const
{
    if (cId < 0 || cId >= CodeCount())
        return QString();
    return StripText(GbkField(CodeRecords()[cId].Code, 6));
}

QString TStock::NameText(qint32 cId) const
{
    if (cId < 0 || cId >= CodeCount())
        return QString();
    return StripText(GbkField(CodeRecords()[cId].Name, 8));
}

QString TStock::YybName(qint32 yId) const
{
    if (yId < 0 || yId >= YybCount())
        return QString();
    return GbkField(YybRecords()[yId].Name, 64);
}
