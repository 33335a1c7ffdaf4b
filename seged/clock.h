#pragma once

#include "table/values.h"

#include <QDateTime>

#include <functional>

// The one clock of the program, so that "today" can be fixed in tests.
QDateTime CurrentDateTime();
// Today at 00:00 as a table date-time.
TDateTime Today();
// Replaces the clock (tests); an empty function restores the system clock.
void SetClockForTests(std::function<QDateTime()> clock);

// Whole days since 30 December 1899.
TDateTime DateToDateTime(const QDate& date);
