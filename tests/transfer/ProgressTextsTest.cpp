#include "tests/support/CaseName.h"

#include "transfer/ProgressTexts.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>

namespace {

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour)
{
    const std::pair<double, std::int64_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {0.5, 0}, {1.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
        {2.4999, 2}, {2.5001, 3}, {0.0, 0}, {-0.4, 0},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(RoundHalfEven, IsTotalForHugeAndNonNumbers)
{
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(RoundHalfEven(1e300), max);
    EXPECT_EQ(RoundHalfEven(-1e300), min);
    EXPECT_EQ(RoundHalfEven(INFINITY), max);
    EXPECT_EQ(RoundHalfEven(NAN), 0);
}

struct SizeCase {
    const char* name;
    std::int64_t value;
    const char* size;
    const char* rate;
    friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
};

class Sizes : public testing::TestWithParam<SizeCase> {};

TEST_P(Sizes, UseDecimalUnits)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(SizeText(GetParam().value), QString::fromLatin1(GetParam().size));
    EXPECT_EQ(RateText(GetParam().value), QString::fromLatin1(GetParam().rate));
}

INSTANTIATE_TEST_SUITE_P(Examples, Sizes, testing::Values(
    SizeCase{"Zero", 0, "0 bytes", "0 bytes/sec"},
    SizeCase{"Negative", -1, "-1 bytes", "-1 bytes/sec"},
    SizeCase{"JustBelowKilo", 999, "999 bytes", "999 bytes/sec"},
    SizeCase{"Kilo", 1000, "1.00 Kb", "1.00 Kb/sec"},
    SizeCase{"JustBelowMega", 999999, "1000.00 Kb", "1000.00 Kb/sec"},
    SizeCase{"Mega", 1500000, "1.50 Mb", "1.50 Mb/sec"},
    SizeCase{"FiveGigabytes", 5000000000, "5000.00 Mb", "5000.00 Mb/sec"},
    SizeCase{"Largest", std::numeric_limits<std::int64_t>::max(), "9223372036854.78 Mb", "9223372036854.78 Mb/sec"},
    SizeCase{"Smallest", std::numeric_limits<std::int64_t>::min(), "-9223372036854775808 bytes", "-9223372036854775808 bytes/sec"}),
    caseName);

TEST(Sizes, UseTheLocaleDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(SizeText(1000), QStringLiteral("1,00 Kb"));
    EXPECT_EQ(SizeText(1234567), QStringLiteral("1,23 Mb")) << "no group separator";
    QLocale::setDefault(QLocale::c());
}

struct TimeCase {
    const char* name;
    std::uint32_t elapsedMs;
    std::int64_t total;
    std::int64_t done;
    const char* expected;
    friend void PrintTo(const TimeCase& c, std::ostream* os) { *os << c.name; }
};

class Times : public testing::TestWithParam<TimeCase> {};

TEST_P(Times, ReadAsTheDialogShowsThem)
{
    const TimeCase& c = GetParam();
    EXPECT_EQ(TimeText(c.elapsedMs, QStringLiteral("sec"), QStringLiteral("minutes"), c.total, c.done),
              QString::fromLatin1(c.expected));
}

constexpr std::uint32_t Minute = 60000;

INSTANTIATE_TEST_SUITE_P(Elapsed, Times, testing::Values(
    TimeCase{"TieGoesToEven", 2500, 0, 0, "2 sec."},
    TimeCase{"ThirtySeconds", 30000, 0, 0, "30 sec."},
    TimeCase{"ThirtyOneSeconds", 31000, 0, 0, "1 minutes."},
    TimeCase{"NinetySeconds", 90000, 0, 0, "2 minutes."},
    TimeCase{"ThirtyMinutes", 30 * Minute, 0, 0, "30 minutes."},
    TimeCase{"ThirtyOneMinutesIsHourForm", 31 * Minute, 0, 0, "0h 31"},
    TimeCase{"FortyFiveMinutes", 45 * Minute, 0, 0, "0h 45"},
    TimeCase{"HundredFiftyMinutes", 150 * Minute, 0, 0, "2h 30"},
    TimeCase{"Zero", 0, 0, 0, "0 sec."},
    TimeCase{"LargestTick", 0xFFFFFFFFu, 0, 0, "1193h 3"},
    TimeCase{"DoneZeroIsElapsed", 10000, 100, 0, "10 sec."},
    TimeCase{"TotalUnknownIsElapsed", 10000, 0, 50, "10 sec."},
    TimeCase{"DoneBeyondTotalIsElapsed", 10000, 50, 100, "10 sec."}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Left, Times, testing::Values(
    TimeCase{"HalfDoneTakesAsLongAgain", 20000, 1000, 500, "20 sec."},
    TimeCase{"QuarterDone", 20000, 1000, 250, "1 minutes."},
    TimeCase{"FiveGigabyteTotal", 1000, 5000000000, 1000000000, "4 sec."},
    TimeCase{"WrapsLikeTheTickCounter", 1, (std::int64_t(1) << 32) + 5001, 1, "5 sec."},
    TimeCase{"HugeEstimateStaysDefined", 1, std::numeric_limits<std::int64_t>::max(), 1, "1193h 3"}),
    caseName);

} // namespace
