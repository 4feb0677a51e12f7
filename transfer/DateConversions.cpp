#include "transfer/DateConversions.h"

#include <QDate>
#include <QTime>

namespace {

constexpr double MsPerDay = 86400000.0;
const QDate DateZero(1899, 12, 30);

// Date values before day zero keep the time of day as a positive fraction below the
// (negative) day number: 1899-12-29 06:00 is -1.25.
TDateTime EncodeDateTime(std::int64_t DayNumber, std::int64_t MsOfDay)
{
    const double fraction = MsOfDay / MsPerDay;
    return DayNumber >= 0 ? DayNumber + fraction : DayNumber - fraction;
}

} // namespace

TDateTime FileTimeToDate(std::uint64_t FileTime)
{
    // Days from 1601-01-01 to 1899-12-30.
    constexpr std::int64_t EpochOffsetDays = 109205;
    const std::uint64_t ms = FileTime / 10000;
    const std::int64_t days = static_cast<std::int64_t>(ms / 86400000);
    const std::int64_t msOfDay = static_cast<std::int64_t>(ms % 86400000);
    return EncodeDateTime(days - EpochOffsetDays, msOfDay);
}

TDateTime SystemTimeToDate(const TSystemTime& Time)
{
    const QDate date(Time.wYear, Time.wMonth, Time.wDay);
    const QTime time(Time.wHour, Time.wMinute, Time.wSecond, Time.wMilliseconds);
    if ((Time.wYear == 0 && Time.wMonth == 0) || !date.isValid() || !time.isValid())
        return DateTimeFromQDateTime(QDateTime::currentDateTime());
    return EncodeDateTime(DateZero.daysTo(date), time.msecsSinceStartOfDay());
}

TDateTime DateTimeFromQDateTime(const QDateTime& Value)
{
    if (!Value.isValid())
        return 0;
    return EncodeDateTime(DateZero.daysTo(Value.date()), Value.time().msecsSinceStartOfDay());
}
