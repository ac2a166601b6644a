#pragma once
// A small data set written in a temporary working directory, in the exact formats the client reads.
// The fixture makes that directory the current one while it lives, as the client resolves every path there.

#include "DemoData.h"
#include "data/Records.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <vector>

class TFixture
{
public:
    TFixture();
    ~TFixture();

    std::vector<TCodeRecord> Codes;
    std::vector<TYybRecord> Seats;
    std::vector<TLhbRecord> Records;
    std::vector<TFinanceRecord> Finance;

    int AddStock(const QString &code, const QString &name);
    int AddSeat(const QString &name);
    void AddRecord(int cId, int yId, double buy, double sell, qint32 date);
    // Writes a bar file for the code at the place the market rule gives.
    void WriteBars(const QString &code, const std::vector<TDayBar> &bars);
    // Writes code.dat, yyb.dat, lhb.dat (scrambled and compressed) and finance.dat when it has records.
    void WriteTables();
    // Writes the tables and loads them into the global store, as the seat window does.
    void Load();

    QString Dir() const { return m_dir.path(); }
    QString Key() const;

private:
    QTemporaryDir m_dir;
    QString m_oldCwd;
};

// Bars on consecutive weekdays from a start date, with the given closes (thousandths of a yuan).
std::vector<TDayBar> BarsFrom(const QDate &first, const std::vector<qint32> &closes);
qint32 Ymd(int y, int m, int d);
