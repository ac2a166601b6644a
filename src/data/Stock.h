#pragma once
// The data store: the in-memory images of the data files, their loading, and the lookups over them.

#include "app/MV_Pub.h"
#include "data/Records.h"

#include <QString>

#include <cmath>

class TMVJson;

class TStock
{
public:
    TMemoryStream Code, Finance, Yyb, Lhb, Ggcg;

    // Loads every image that is still empty; the file names come from the configuration tree.
    void LoadAll(const QString &key, const TMVJson &json);
    void LoadImage(TMemoryStream &image, const QString &fileName, const QString &key) const;
    void Release();

    int CodeCount() const { return int(Code.Size() / qint64(sizeof(TCodeRecord))); }
    int YybCount() const { return int(Yyb.Size() / qint64(sizeof(TYybRecord))); }
    int LhbCount() const { return int(Lhb.Size() / qint64(sizeof(TLhbRecord))); }
    int FinanceCount() const;

    const TCodeRecord *CodeRecords() const { return reinterpret_cast<const TCodeRecord *>(Code.Data.constData()); }
    const TYybRecord *YybRecords() const { return reinterpret_cast<const TYybRecord *>(Yyb.Data.constData()); }
    const TLhbRecord *LhbRecords() const { return reinterpret_cast<const TLhbRecord *>(Lhb.Data.constData()); }
    // True when a record's stock and seat lie inside the code and seat tables and both its amounts are
    // numbers: a damaged amount (NaN, infinite) would otherwise turn every sum it enters into one.
    bool ValidRecord(const TLhbRecord &r) const
    {
        return r.cId >= 0 && r.cId < CodeCount() && r.yId >= 0 && r.yId < YybCount()
            && std::isfinite(r.Buy) && std::isfinite(r.Sell);
    }

    // The first missing-file message that applies (code, seat, disclosure), or empty text.
    QString MissingMessage() const;

    TCodeRecord GetCode(qint32 cId) const;
    int CodeIndex(const QString &code) const;
    int YybIndex(const QString &name) const;
    TFinanceRecord GetFinance(const QString &code) const;
    static QString MarketOf(const QString &code);

    // Folders of the two markets' bar files; LoadAll takes them from the configuration tree.
    QString ShDay, SzDay;
    QString BarFileName(const QString &code) const;
    TDayBar DayBar(const QString &code, qint32 key, qint32 offset) const;
    void DayBarOfIndex(qint32 cId, qint32 key, qint32 offset, TDayBar &bar) const;
    // The newest bar and the one before it, read with one file access (same bars as keys 0 and 1).
    void NewestBars(const QString &code, TDayBar &newest, TDayBar &previous) const;

    // Display texts of the records' GBK fields: up to the first NUL, blanks and control characters stripped.
    QString CodeText(qint32 cId) const;
    QString NameText(qint32 cId) const;
    // The seat name as read, not stripped.
    QString YybName(qint32 yId) const;
};

extern TStock Stock;

// GBK text helpers shared by the store, the grid and the demo writer.
QString GbkField(const char *field, int width);
QString StripText(const QString &s);
QByteArray ToGbk(const QString &s);
QString FromGbk(const QByteArray &bytes);
