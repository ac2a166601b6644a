#pragma once
// The report command: runs one view of the seat analysis window on the data set in the working
// directory and prints the grids it fills.

#include <QStringList>
#include <QTextStream>

class TStringGrid;

// Returns the exit code: 0 done, 1 code or seat not found, 2 bad arguments or missing data files.
int RunReport(const QStringList &args, QTextStream &out, QTextStream &err);

// Prints one grid as the report shows it: shown texts (or stored ones with raw), tab-separated or CSV.
void PrintGrid(const TStringGrid &grid, QTextStream &out, bool raw, bool csv);
