#pragma once
// Byte layouts of the data files' records (little-endian, packed).

#include <QtGlobal>

#pragma pack(push, 1)

struct TCodeRecord
{
    char Reserved[2];
    char Code[6];
    char Name[8];
};

struct TYybRecord
{
    char Name[64];
};

struct TLhbRecord
{
    qint32 cId;
    qint32 yId;
    double Buy;
    double Sell;
    qint32 Date;
};

struct TFinanceRecord
{
    char Market[2];
    char Reserved1[2];
    char Code[6];
    char Reserved2[32];
    float ShareBase;
    char Reserved3[120];
};

struct TDayBar
{
    qint32 Date;
    qint32 Open;
    char Reserved1[8];
    qint32 Close;
    qint32 Amount;
    qint32 Volume;
    char Reserved2[12];
};

#pragma pack(pop)

static_assert(sizeof(TCodeRecord) == 16, "code.dat record");
static_assert(sizeof(TYybRecord) == 64, "yyb.dat record");
static_assert(sizeof(TLhbRecord) == 28, "lhb.dat record");
static_assert(sizeof(TFinanceRecord) == 166, "finance.dat record");
static_assert(sizeof(TDayBar) == 40, "bar record");

constexpr int FinanceHeaderSize = 8;
