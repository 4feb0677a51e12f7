#include "transfer/DateConversions.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// 100-nanosecond intervals per day, and from 1601-01-01 to 1970-01-01.
constexpr std::uint64_t TicksPerDay = 864000000000ull;
constexpr std::uint64_t UnixEpochTicks = 116444736000000000ull;

TEST(FileTimeToDate, CountsDaysFromDayZero)
{
    const std::pair<std::uint64_t, double> cases[] = {
        {UnixEpochTicks, 25569.0},                                 // 1970-01-01 00:00
        {UnixEpochTicks + TicksPerDay / 2, 25569.5},               // noon
        {UnixEpochTicks - 25569 * TicksPerDay, 0.0},               // 1899-12-30
        {UnixEpochTicks - 25570 * TicksPerDay + TicksPerDay / 4, -1.25}, // 1899-12-29 06:00
        {0, -109205.0},                                            // 1601-01-01
    };
    for (const auto& [ticks, expected] : cases)
        EXPECT_DOUBLE_EQ(FileTimeToDate(ticks), expected) << ticks;
}

TEST(FileTimeToDate, IsTotalForTheLargestTime)
{
    EXPECT_TRUE(std::isfinite(FileTimeToDate(~std::uint64_t(0))));
}

TEST(SystemTimeToDate, EncodesCalendarFields)
{
    TSystemTime t;
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 10;
    t.wHour = 18;
    EXPECT_DOUBLE_EQ(SystemTimeToDate(t), 46366.75);
}

TEST(SystemTimeToDate, EmptyOrImpossibleRecordIsNow)
{
    const double before = DateTimeFromQDateTime(QDateTime::currentDateTime());
    TSystemTime empty;
    TSystemTime impossible;
    impossible.wYear = 2026;
    impossible.wMonth = 13;
    impossible.wDay = 40;
    for (const TSystemTime& t : {empty, impossible}) {
        const double now = SystemTimeToDate(t);
        EXPECT_GE(now, before);
        EXPECT_LT(now - before, 1.0 / 24) << "within the hour, not 1899-12-30";
    }
}

} // namespace
