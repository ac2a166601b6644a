#pragma once
// Writes a demo data set in the exact byte formats the client reads: code, seat, disclosure and
// finance tables and one bar file per stock, and the service gateway's holdings data Data/ggcg.json.
// Also the small writers that tests use for fixtures.

#include "data/Records.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

struct TDemoOptions
{
    QString OutDir = QStringLiteral(".");
    quint64 Seed = 1;
    QDate End = QDate::currentDate();
    bool Full = false;
};

struct TDemoSummary
{
    int Stocks = 0, Seats = 0, Days = 0;
    qint64 Records = 0;
    int Holdings = 0; // executives' holding changes in Data/ggcg.json
    qint32 FirstDate = 0, LastDate = 0;
};

// Returns false and an error text when a file cannot be written.
bool WriteDemo(const TDemoOptions &options, TDemoSummary &summary, QString &error);

// Fixture writers: a file compressed and scrambled with key, as the data files are stored.
QByteArray PackDataFile(const QByteArray &plain, const QString &key);
bool WriteBytes(const QString &nativePath, const QByteArray &bytes);
TCodeRecord MakeCode(const QString &code, const QString &name);
TYybRecord MakeYyb(const QString &name);
TFinanceRecord MakeFinance(const QString &market, const QString &code, float shareBase);
TDayBar MakeBar(qint32 date, qint32 open, qint32 close, qint32 amount, qint32 volume);

template <typename T>
QByteArray RecordBytes(const std::vector<T> &records)
{
    return QByteArray(reinterpret_cast<const char *>(records.data()), qsizetype(records.size() * sizeof(T)));
}
