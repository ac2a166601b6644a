#include "BarSeries.h"

#include "data/Stock.h"

#include <QFile>

#include <algorithm>
#include <cstring>

void TBarSeries::Load(const TStock &stock, int cId)
{
    m_bars.clear();
    if (cId < 0 || cId >= stock.CodeCount())
        return;
    QFile f(stock.BarFileName(stock.CodeText(cId)));
    if (!f.open(QIODevice::ReadOnly))
        return;
    const qint64 n = f.size() / qint64(sizeof(TDayBar));
    m_bars.resize(size_t(n));
    const qint64 want = n * qint64(sizeof(TDayBar));
    if (f.read(reinterpret_cast<char *>(m_bars.data()), want) != want)
        m_bars.clear();
}

TDayBar TBarSeries::At(qint32 key, qint32 offset) const
{
    TDayBar b;
    std::memset(&b, 0, sizeof b);
    const qint32 n = qint32(m_bars.size());
    if (n <= 0)
        return b;
    return m_bars[size_t(ResolveBarIndex(n, key, offset, [this](qint32 i) { return m_bars[size_t(i)].Date; }))];
}

std::vector<TFollowUp> FollowUps(const TStock &stock, const std::vector<int> &recordIndexes)
{
    std::vector<TFollowUp> out(recordIndexes.size());
    const TLhbRecord *recs = stock.LhbRecords();
    // Visit the records stock by stock so that each bar file is read once and released after.
    std::vector<int> order(recordIndexes.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        return recs[recordIndexes[size_t(a)]].cId < recs[recordIndexes[size_t(b)]].cId;
    });
    TBarSeries series;
    int loaded = -1;
    for (int k : order) {
        const TLhbRecord &r = recs[recordIndexes[size_t(k)]];
        if (r.cId != loaded) {
            series.Load(stock, r.cId);
            loaded = r.cId;
        }
        out[size_t(k)].c0 = series.At(r.Date, 0).Close;
        out[size_t(k)].c5 = series.At(r.Date, 5).Close;
    }
    return out;
}
