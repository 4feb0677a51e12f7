#include "app/ReleaseStamp.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct StampCase {
    const char* name;
    const char* comment;
    bool read;
    const char* version;
    const char* directory;
    std::uint64_t serial;
    QDate expires;
    friend void PrintTo(const StampCase& c, std::ostream* os) { *os << c.name; }
};

class ReleaseStamps : public testing::TestWithParam<StampCase> {};

TEST_P(ReleaseStamps, AreReadInTheirOneFormOnly)
{
    const StampCase& test = GetParam();
    const std::optional<TReleaseStamp> stamp = TReleaseStamp::Parse(QString::fromUtf8(test.comment));
    ASSERT_EQ(stamp.has_value(), test.read);
    if (!stamp)
        return;
    EXPECT_EQ(stamp->Version, QString::fromUtf8(test.version));
    EXPECT_EQ(stamp->Directory, QString::fromUtf8(test.directory));
    EXPECT_EQ(stamp->Serial, test.serial);
    EXPECT_EQ(stamp->Expires, test.expires);
}

INSTANTIATE_TEST_SUITE_P(
    Comments, ReleaseStamps,
    testing::Values(
        StampCase{"Release", "kaplix 12.1 ver121 serial=2026121001 expires=2027-06-30", true, "12.1", "ver121",
                  2026121001u, QDate(2027, 6, 30)},
        StampCase{"OldVersionInItsOddFolder", "kaplix 9.51 ver950 serial=7 expires=2030-01-01", true, "9.51", "ver950",
                  7u, QDate(2030, 1, 1)},
        StampCase{"SerialWithLeadingZeros", "kaplix 12.1 ver121 serial=0042 expires=2027-06-30", true, "12.1", "ver121",
                  42u, QDate(2027, 6, 30)},
        StampCase{"LargestSerial", "kaplix 12.1 ver121 serial=999999999999999999 expires=2027-06-30", true, "12.1",
                  "ver121", 999999999999999999u, QDate(2027, 6, 30)},
        StampCase{"SerialTooLong", "kaplix 12.1 ver121 serial=1000000000000000000 expires=2027-06-30", false, "", "",
                  0, {}},
        StampCase{"MinisignsOwnComment", "timestamp:1781234567\tfile:SHA256SUMS\thashed", false, "", "", 0, {}},
        StampCase{"Empty", "", false, "", "", 0, {}},
        StampCase{"AnotherProduct", "kaplux 12.1 ver121 serial=1 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"ProductInCapitals", "KAPLIX 12.1 ver121 serial=1 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"NoSerial", "kaplix 12.1 ver121 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"NoExpiry", "kaplix 12.1 ver121 serial=1", false, "", "", 0, {}},
        StampCase{"WordsInAnotherOrder", "kaplix 12.1 ver121 expires=2027-06-30 serial=1", false, "", "", 0, {}},
        StampCase{"NegativeSerial", "kaplix 12.1 ver121 serial=-1 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"NoSuchDay", "kaplix 12.1 ver121 serial=1 expires=2027-02-30", false, "", "", 0, {}},
        StampCase{"DateInAnotherForm", "kaplix 12.1 ver121 serial=1 expires=30.06.2027", false, "", "", 0, {}},
        StampCase{"TwoBlanks", "kaplix 12.1  ver121 serial=1 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"TrailingBlank", "kaplix 12.1 ver121 serial=1 expires=2027-06-30 ", false, "", "", 0, {}},
        StampCase{"TrailingLineBreak", "kaplix 12.1 ver121 serial=1 expires=2027-06-30\n", false, "", "", 0, {}},
        StampCase{"MoreWords", "kaplix 12.1 ver121 serial=1 expires=2027-06-30 files=4", false, "", "", 0, {}},
        StampCase{"FolderWithASeparator", "kaplix 12.1 ../ver121 serial=1 expires=2027-06-30", false, "", "", 0, {}},
        StampCase{"VersionThatIsNoNumber", "kaplix latest ver121 serial=1 expires=2027-06-30", false, "", "", 0, {}}),
    caseName);

} // namespace
