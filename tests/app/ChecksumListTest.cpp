#include "app/ChecksumList.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QByteArray A = "4a5e1e4baab89f3a32518a88c31bc87f618f76673e2cc77ab2127b7afdeda33b";
const QByteArray B = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";

struct ListCase {
    const char* name;
    QByteArray list;
    const char* file;
    QByteArray expected;  // empty: the list does not name the file
    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

class ChecksumListLines : public testing::TestWithParam<ListCase> {};

TEST_P(ChecksumListLines, NameOnlyFilesOfTheirOwnFolderWithOneSum)
{
    const TChecksumList list = TChecksumList::Parse(GetParam().list);
    const QString file = QString::fromUtf8(GetParam().file);
    EXPECT_EQ(list.SHA256Of(file), QString::fromLatin1(GetParam().expected));
    EXPECT_EQ(list.Names(file), !GetParam().expected.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ChecksumListLines,
    testing::Values(
        ListCase{"TextMode", A + "  KXsetup64.exe\n", "KXsetup64.exe", A},
        ListCase{"BinaryMode", A + " *KXsetup64.exe\n", "KXsetup64.exe", A},
        ListCase{"AmongOthersWithoutFinalLineBreak",
                 B + "  SetupNoDb.exe\n" + A + "  KXsetup64.exe\n" + B + "  setup.exe", "setup.exe", B},
        ListCase{"UpperCaseHexIsReadAsLowerCase", A.toUpper() + "  KXsetup64.exe\n", "KXsetup64.exe", A},
        ListCase{"WindowsLineEnds", B + "  SetupNoDb.exe\r\n" + A + "  KXsetup64.exe\r\n", "KXsetup64.exe", A},
        ListCase{"NameWithABlank", A + "  my setup.exe\n", "my setup.exe", A},
        ListCase{"LetterCaseOfTheNameCounts", A + "  kxsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"OtherFileOnly", A + "  KXsetup32.exe\n", "KXsetup64.exe", {}},
        ListCase{"NameInAFolder", A + "  sub/KXsetup64.exe\n", "sub/KXsetup64.exe", {}},
        ListCase{"NameInAFolderIsNotTheFileItself", A + "  ../KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"NameWithBackslashes", A + "  ..\\KXsetup64.exe\n", "..\\KXsetup64.exe", {}},
        ListCase{"DotDot", A + "  ..\n", "..", {}},
        ListCase{"EscapedNameLine", "\\" + A + "  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"SameSumTwice", A + "  KXsetup64.exe\n" + A + " *KXsetup64.exe\n", "KXsetup64.exe", A},
        ListCase{"TwoSumsForOneName", A + "  KXsetup64.exe\n" + B + "  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"TwoSumsThenTheFirstAgain",
                 A + "  KXsetup64.exe\n" + B + "  KXsetup64.exe\n" + A + "  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"HexTooShort", A.left(63) + "  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"HexTooLong", A + "0  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"NotHex", "g" + A.mid(1) + "  KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"OneBlankOnly", A + " KXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"TabInsteadOfBlanks", A + "\tKXsetup64.exe\n", "KXsetup64.exe", {}},
        ListCase{"CarriageReturnInsideTheName", A + "  KXsetup64.exe\rX\n", "KXsetup64.exe\rX", {}},
        ListCase{"NulInsideTheName", A + "  KXsetup64.exe" + QByteArray(1, '\0') + "x\n",
                 "KXsetup64.exe", {}},
        ListCase{"NoName", A + "  \n", "", {}},
        ListCase{"HtmlPage", "<html><body>Please log in</body></html>\n", "KXsetup64.exe", {}},
        ListCase{"BsdStyleLine", "SHA256 (KXsetup64.exe) = " + A + "\n", "KXsetup64.exe", {}},
        ListCase{"Empty", {}, "KXsetup64.exe", {}}),
    caseName);

struct SizeCase {
    const char* name;
    QByteArray list;
    const char* file;
    std::int64_t expected;  // -1: the list gives no size
    friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
};

class ChecksumListSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(ChecksumListSizes, AreReadFromTheirOwnLines)
{
    const TChecksumList list = TChecksumList::Parse(GetParam().list);
    EXPECT_EQ(list.SizeOf(QString::fromUtf8(GetParam().file)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ChecksumListSizes,
    testing::Values(
        SizeCase{"AfterTheSums",
                 A + "  KXsetup64.exe\n" + B + "  setup.exe\n# size 70002 KXsetup64.exe\n# size 9 setup.exe\n",
                 "KXsetup64.exe", 70002},
        SizeCase{"BeforeTheSum", "# size 70002 KXsetup64.exe\n" + A + "  KXsetup64.exe\n", "KXsetup64.exe", 70002},
        SizeCase{"EmptyFile", "# size 0 empty.txt\n", "empty.txt", 0},
        SizeCase{"FiveGibibytes", "# size 5368709120 KXsetup64.exe\n", "KXsetup64.exe", 5368709120},
        SizeCase{"WindowsLineEnd", "# size 70002 KXsetup64.exe\r\n", "KXsetup64.exe", 70002},
        SizeCase{"NameWithABlank", "# size 12 my setup.exe\n", "my setup.exe", 12},
        SizeCase{"OtherFileOnly", "# size 70002 KXsetup32.exe\n", "KXsetup64.exe", -1},
        SizeCase{"SumWithoutSize", A + "  KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"SameSizeTwice", "# size 70002 KXsetup64.exe\n# size 70002 KXsetup64.exe\n", "KXsetup64.exe", 70002},
        SizeCase{"TwoSizesForOneName", "# size 70002 KXsetup64.exe\n# size 70003 KXsetup64.exe\n", "KXsetup64.exe",
                 -1},
        SizeCase{"NegativeSize", "# size -1 KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"SizeTooLongForSixtyFourBits", "# size 1000000000000000000 KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"SizeWithUnit", "# size 70k KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"TwoBlanks", "# size  70002 KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"NoBlankAfterTheHash", "#size 70002 KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"OtherComment", "# built 70002 KXsetup64.exe\n", "KXsetup64.exe", -1},
        SizeCase{"NameInAFolder", "# size 70002 ../KXsetup64.exe\n", "../KXsetup64.exe", -1},
        SizeCase{"ControlCharacterInTheName", "# size 70002 KXsetup64.exe\x1b[2J\n", "KXsetup64.exe\x1b[2J", -1}),
    caseName);

TEST(ChecksumList, AListLargerThanAnyReleaseListNamesNothing)
{
    QByteArray list = A + "  KXsetup64.exe\n";
    while (list.size() <= TChecksumList::MaxSize)
        list += B + "  filler.bin\n";
    EXPECT_FALSE(TChecksumList::Parse(list).Names(QStringLiteral("KXsetup64.exe")));
    EXPECT_TRUE(TChecksumList::Parse(list.left(TChecksumList::MaxSize)).Names(QStringLiteral("KXsetup64.exe")));
}

} // namespace
