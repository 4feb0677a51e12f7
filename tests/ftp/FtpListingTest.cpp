#include "tests/support/CaseName.h"

#include "platform/network/FtpListing.h"
#include "transfer/DateConversions.h"

#include <QDate>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ListCase {
    const char* name;
    const char16_t* line;
    const char16_t* entry;
    bool directory;
    std::int64_t size;
    const char* date; // yyyy-MM-dd hh:mm, empty for "no time"
    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

class ListLines : public testing::TestWithParam<ListCase> {};

// Listings are read as of 2026-12-10.
TEST_P(ListLines, GiveNameKindSizeAndTime)
{
    const ListCase& c = GetParam();
    const auto entry = platform::parseFtpListLine(QString::fromUtf16(c.line), 2026, 12, 10);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, QString::fromUtf16(c.entry));
    EXPECT_EQ(entry->attributes == platform::FtpFindData::DirectoryAttribute, c.directory);
    EXPECT_EQ(entry->size, c.size);
    const QDateTime expected = QDateTime::fromString(QString::fromLatin1(c.date), QStringLiteral("yyyy-MM-dd hh:mm"));
    EXPECT_DOUBLE_EQ(FileTimeToDate(entry->lastWriteTime), DateTimeFromQDateTime(expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, ListLines, testing::Values(
    ListCase{"UnixFileThisYear", u"-rw-r--r--    1 ftp      ftp          1234 Mar 05 09:07 setup.exe",
             u"setup.exe", false, 1234, "2026-03-05 09:07"},
    ListCase{"UnixFileOlder", u"-rw-r--r--   1 owner group 5000000000 Jan 10  2024 big file.iso\r\n",
             u"big file.iso", false, 5000000000, "2024-01-10 00:00"},
    ListCase{"UnixDirectory", u"drwxr-xr-x   2 user group 4096 Feb  1 12:00 docs",
             u"docs", true, 4096, "2026-02-01 12:00"},
    ListCase{"UnixLinkKeepsItsOwnName", u"lrwxrwxrwx   1 u g 7 Feb  1 12:00 latest -> v2/setup",
             u"latest", false, 7, "2026-02-01 12:00"},
    ListCase{"UnixWithoutGroup", u"-rw-r--r--   1 ftp 42 Jul  4  2021 a",
             u"a", false, 42, "2021-07-04 00:00"},
    ListCase{"UnixNameWithDots", u"-rw-r--r--   1 u g 1 Jul  4  2021 ..",
             u"..", false, 1, "2021-07-04 00:00"},
    ListCase{"DosFile", u"01-10-24  12:34PM              1234 report.pdf",
             u"report.pdf", false, 1234, "2024-01-10 12:34"},
    ListCase{"DosDirectoryAtMidnight", u"11-30-99  12:05AM       <DIR>          old stuff",
             u"old stuff", true, 0, "1999-11-30 00:05"}),
    caseName);

// A listing that shows a time instead of a year, read on a given day of ours.
struct RecentCase {
    const char* name;
    const char* today;  // yyyy-MM-dd
    const char* listed; // as the listing shows it: "Mon DD HH:MM"
    const char* date;   // yyyy-MM-dd hh:mm, empty for "no time"
    friend void PrintTo(const RecentCase& c, std::ostream* os) { *os << c.name; }
};

class RecentDates : public testing::TestWithParam<RecentCase> {};

TEST_P(RecentDates, TakeTheYearThatKeepsThemRecent)
{
    const RecentCase& c = GetParam();
    const QDate today = QDate::fromString(QString::fromLatin1(c.today), Qt::ISODate);
    ASSERT_TRUE(today.isValid());
    const QString line = QStringLiteral("-rw-r--r--   1 owner group 10 ") + QString::fromLatin1(c.listed)
                         + QStringLiteral(" setup.exe");
    const auto entry = platform::parseFtpListLine(line, today.year(), today.month(), today.day());
    ASSERT_TRUE(entry);
    if (*c.date == 0) {
        EXPECT_EQ(entry->lastWriteTime, 0u);
        return;
    }
    const QDateTime expected = QDateTime::fromString(QString::fromLatin1(c.date), QStringLiteral("yyyy-MM-dd hh:mm"));
    ASSERT_TRUE(expected.isValid());
    EXPECT_DOUBLE_EQ(FileTimeToDate(entry->lastWriteTime), DateTimeFromQDateTime(expected));
}

INSTANTIATE_TEST_SUITE_P(ClockOfTheListing, RecentDates, testing::Values(
    RecentCase{"Today", "2026-06-15", "Jun 15 09:30", "2026-06-15 09:30"},
    RecentCase{"AheadByHoursPastMidnight", "2026-06-15", "Jun 16 01:10", "2026-06-16 01:10"},
    RecentCase{"AheadByADay", "2026-06-15", "Jun 17 08:00", "2026-06-17 08:00"},
    RecentCase{"AheadByTwoWeeks", "2026-12-10", "Dec 24 18:00", "2026-12-24 18:00"},
    RecentCase{"AheadByFiveMonths", "2026-06-15", "Nov 15 12:00", "2026-11-15 12:00"},
    RecentCase{"AheadBySevenMonthsIsLastYear", "2026-03-15", "Oct 15 12:00", "2025-10-15 12:00"},
    RecentCase{"FiveMonthsAgo", "2026-06-15", "Jan 15 12:00", "2026-01-15 12:00"},
    RecentCase{"LastDecemberSeenInMarch", "2026-03-01", "Dec 24 18:00", "2025-12-24 18:00"},
    RecentCase{"AheadAcrossNewYear", "2026-12-31", "Jan  1 00:30", "2027-01-01 00:30"},
    RecentCase{"TwoDaysAheadAcrossNewYear", "2026-12-30", "Jan  1 10:00", "2027-01-01 10:00"},
    RecentCase{"BehindAcrossNewYear", "2027-01-01", "Dec 31 23:30", "2026-12-31 23:30"},
    RecentCase{"EarlyJanuarySeenInDecember", "2026-12-10", "Jan  5 10:00", "2026-01-05 10:00"},
    RecentCase{"LeapDayThisYear", "2028-03-01", "Feb 29 12:00", "2028-02-29 12:00"},
    RecentCase{"LeapDayLastYear", "2029-01-10", "Feb 29 12:00", "2028-02-29 12:00"},
    RecentCase{"LeapDayNoYearHas", "2026-03-01", "Feb 29 12:00", ""}),
    caseName);

TEST(ListLines, LinesWithoutAnEntryGiveNothing)
{
    for (const char* line : {"", "total 12", "garbage", "-rw-r--r-- 1 u g notanumber Jan 1 2020 x",
                             "-rw-r--r-- 1 u g 12 Jan 1 2020 ", "01-10-24  12:34PM  <DIR> "})
        EXPECT_FALSE(platform::parseFtpListLine(QString::fromLatin1(line), 2026, 12, 10)) << line;
}

TEST(ListLines, ImpossibleDatesGiveNoTimeButKeepTheEntry)
{
    const auto entry = platform::parseFtpListLine(QStringLiteral("-rw-r--r-- 1 u g 3 Feb 31  2024 x"), 2026, 12, 10);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->lastWriteTime, 0u);
}

} // namespace
