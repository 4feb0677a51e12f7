#include "app/SetupFiles.h"

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

TEST(SetupFiles, PresenceTextsBeginWithABlank)
{
    EXPECT_EQ(PresenceText(true), QStringLiteral(" present"));
    EXPECT_EQ(PresenceText(false), QStringLiteral(" missing"));
}

} // namespace
