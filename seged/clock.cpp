#include "seged/clock.h"

namespace {
std::function<QDateTime()>& Clock()
{
    static std::function<QDateTime()> clock;
    return clock;
}
}  // namespace

QDateTime CurrentDateTime()
{
    return Clock() ? Clock()() : QDateTime::currentDateTime();
}

void SetClockForTests(std::function<QDateTime()> clock)
{
    Clock() = std::move(clock);
}

TDateTime DateToDateTime(const QDate& date)
{
    static const QDate epoch(1899, 12, 30);
    return TDateTime{static_cast<double>(epoch.daysTo(date))};
}

TDateTime Today()
{
    return DateToDateTime(CurrentDateTime().date());
}
