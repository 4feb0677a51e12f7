#include "platform/FtpListing.h"
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
    ListCase{"UnixDateAheadIsLastYear", u"-rw-r--r--   1 u g 10 Dec 24 18:00 gift.txt",
             u"gift.txt", false, 10, "2025-12-24 18:00"},
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
    [](const testing::TestParamInfo<ListCase>& info) { return std::string(info.param.name); });

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
