#include "app/SetupFiles.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupFiles, DownloadNamesByTag)
{
    EXPECT_EQ(DownloadFileName(1), QStringLiteral("SetupNoDb.exe"));
    EXPECT_EQ(DownloadFileName(2), QStringLiteral("KXsetup32.exe"));
    EXPECT_EQ(DownloadFileName(3), QStringLiteral("KXsetup64.exe"));
    EXPECT_EQ(DownloadFileName(4), QStringLiteral("setup.exe"));
    for (int other : {0, 5, -1, 1000})
        EXPECT_TRUE(DownloadFileName(other).isEmpty()) << other;
}

TEST(SetupFiles, InstallNamesByTag)
{
    EXPECT_EQ(InstallFileName(0), QStringLiteral("SetupNoDb.exe"));
    EXPECT_EQ(InstallFileName(1), QStringLiteral("KXsetup32.exe"));
    EXPECT_EQ(InstallFileName(2), QStringLiteral("KXsetup64.exe"));
    EXPECT_EQ(InstallFileName(3), QStringLiteral("Setup.exe"));
    for (int other : {-1, 4})
        EXPECT_TRUE(InstallFileName(other).isEmpty()) << other;
}

TEST(SetupFiles, VersionPathsIncludingTheOddOne)
{
    const char* expected[] = {"ver921", "ver950", "ver100", "ver101", "ver102", "ver103", "ver110", "ver120", "ver121"};
    for (int item = 0; item < 9; ++item)
        EXPECT_EQ(VersionPath(item), QStringLiteral("/download/%1/").arg(QLatin1String(expected[item])));
    EXPECT_TRUE(VersionPath(-1).isEmpty());
    EXPECT_TRUE(VersionPath(9).isEmpty());
}

TEST(SetupFiles, MirrorReplacesTheBaseAddress)
{
    qputenv("KAPLIX_DOWNLOAD_URL", "http://127.0.0.1:8080/");
    EXPECT_EQ(DownloadBaseURL(), QStringLiteral("http://127.0.0.1:8080"));
    qunsetenv("KAPLIX_DOWNLOAD_URL");
    EXPECT_TRUE(DownloadBaseURL().startsWith(QStringLiteral("http://")));
    EXPECT_FALSE(DownloadBaseURL().endsWith(u'/'));
}

struct MirrorCase {
    const char* name;
    const char* variable;  // nullptr: not set
    QStringList expected;  // empty: the built-in host alone
};

class MirrorList : public testing::TestWithParam<MirrorCase> {
protected:
    void TearDown() override { qunsetenv("KAPLIX_DOWNLOAD_URL"); }
};

TEST_P(MirrorList, IsTheVariablesAddressesInOrder)
{
    if (GetParam().variable)
        qputenv("KAPLIX_DOWNLOAD_URL", GetParam().variable);
    else
        qunsetenv("KAPLIX_DOWNLOAD_URL");
    const QStringList bases = DownloadBaseURLs();
    if (GetParam().expected.isEmpty()) {
        ASSERT_EQ(bases.size(), 1);
        EXPECT_TRUE(bases[0].startsWith(QStringLiteral("http://")));
        EXPECT_FALSE(bases[0].endsWith(u'/'));
    } else {
        EXPECT_EQ(bases, GetParam().expected);
    }
    EXPECT_EQ(DownloadBaseURL(), bases.value(0));
}

INSTANTIATE_TEST_SUITE_P(
    Variables, MirrorList,
    testing::Values(
        MirrorCase{"Unset", nullptr, {}},
        MirrorCase{"Empty", "", {}},
        MirrorCase{"OnlyBlanks", " \t \n", {}},
        MirrorCase{"One", "http://127.0.0.1:8080", {QStringLiteral("http://127.0.0.1:8080")}},
        MirrorCase{"SeveralWithBlanksTabsAndSlashes", "  http://a.example/ \thttp://b.example:81//\n https://c.example/k ",
                   {QStringLiteral("http://a.example"), QStringLiteral("http://b.example:81"),
                    QStringLiteral("https://c.example/k")}},
        MirrorCase{"SlashAloneIsNoAddress", "/ http://a.example", {QStringLiteral("http://a.example")}}),
    caseName);

TEST(SetupFiles, VersionCaptionsMatchTheirPaths)
{
    const QStringList captions = VersionCaptions();
    ASSERT_EQ(captions.size(), 9);
    EXPECT_EQ(captions.first(), QStringLiteral("9.21"));
    EXPECT_EQ(VersionCaption(1), QStringLiteral("9.51"));
    EXPECT_EQ(captions.last(), QStringLiteral("12.1"));
    EXPECT_TRUE(VersionCaption(9).isEmpty());
    EXPECT_TRUE(VersionCaption(-1).isEmpty());
}

TEST(SetupFiles, PresenceTextsBeginWithABlank)
{
    EXPECT_EQ(PresenceText(true), QStringLiteral(" present"));
    EXPECT_EQ(PresenceText(false), QStringLiteral(" missing"));
}

} // namespace
