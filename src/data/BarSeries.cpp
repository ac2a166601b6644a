#include "BarSeries.h"

#include "data/Stock.h"

#include <QFile>

#include <algorithm>
#include <cstring>

void TBarSeries::Load(const TStock &stock, int cId)
{
    m_bars.clear();
    m_reach.clear();
    if (cId < 0 || cId >= stock.CodeCount())
        return;
    QFile f(stock.BarFileName(stock.CodeText(cId)));
    if (!f.open(QIODevice::ReadOnly))
        return;
    const qint64 n = f.size() / qint64(sizeof(TDayBar));
    m_bars.resize(size_t(n));
    const qint64 want = n * qint64(sizeof(TDayBar));
    if (f.read(reinterpret_cast<char *>(m_bars.data()), want) != want) {
        m_bars.clear();
        return;
    }
    m_reach.resize(m_bars.size());
    for (size_t i = 0; i < m_bars.size(); ++i)
        m_reach[i] = i == 0 ? m_bars[0].Date : qMax(m_reach[i - 1], m_bars[i].Date);
}

TDayBar TBarSeries::At(qint32 key, qint32 offset) const
{
    TDayBar b;
    std::memset(&b, 0, sizeof b);
    const qint32 n = qint32(m_bars.size());
    if (n <= 0)
        return b;
    const auto firstAfter = [this](qint32 k) {
        return qint64(std::upper_bound(m_reach.begin(), m_reach.end(), k) - m_reach.begin());
    };
    return m_bars[size_t(ResolveBarIndex(n, key, offset, firstAfter))];
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
