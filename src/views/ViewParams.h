#pragma once
// What every view reads from the seat window's controls.

#include <QDate>

struct TViewParams
{
    QDate EndDate = QDate::currentDate(); // EditDate
    int Days = 7;                         // EditDay, truncated
};
