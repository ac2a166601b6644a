#pragma once
// The views the report command can run. Each view family registers its entries from its own file.

#include "app/Json.h"
#include "kit/Grid.h"
#include "views/ViewParams.h"

#include <QStringList>

#include <functional>

struct TReportContext
{
    TViewParams Params; // --end, --days
    int Type = 0;       // --type: the flavour of the leading seats
    QStringList Args;   // the view's arguments (CODE, SEAT)
    // --attention 3,17,42: the watch list instead of the settings file's run.lhb.attention.
    bool HasAttention = false;
    std::vector<int> Attention;
    // --scheme JSON: the seat scheme (an object) instead of the settings file's run.lhb.filter.
    bool HasScheme = false;
    JsonValue Scheme;
};

struct TReportGrids
{
    TStringGrid Left, Top, Bottom;
};

struct TReportView
{
    QString Name;      // "1", "11", ...
    QStringList Args;  // names of the arguments, for the usage text: {"CODE"}
    QString Summary;   // one line for the usage text
    // Runs the view; returns the argument that was not found, or empty text.
    std::function<QString(const TReportContext &, TReportGrids &)> Run;
};

bool RegisterReportView(TReportView view);
const std::vector<TReportView> &ReportViews();
