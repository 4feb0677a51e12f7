#include "platform/system/SystemProbes.h"

#include "tests/support/TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

TEST(FindPathIgnoringCase, MatchesEveryComponentWithoutRegardToCase)
{
    TempDir dir;
    const QString setup = dir.write(QStringLiteral("setup.exe"));
    const QString manual = dir.write(QStringLiteral("Documents/KAPLIX.pdf"));
    EXPECT_EQ(platform::findPathIgnoringCase(dir.path(), QStringLiteral("Setup.exe")), setup);
    EXPECT_EQ(platform::findPathIgnoringCase(dir.path(), QStringLiteral("documents\\kaplix.pdf")), manual);
    EXPECT_TRUE(platform::fileExistsIgnoringCase(dir.path(), QStringLiteral("SETUP.EXE")));
    EXPECT_TRUE(platform::findPathIgnoringCase(dir.path(), QStringLiteral("missing.exe")).isEmpty());
    EXPECT_TRUE(platform::findPathIgnoringCase(dir.path(), QString()).isEmpty());
    EXPECT_TRUE(platform::findPathIgnoringCase(dir.path(), QStringLiteral("../x")).isEmpty());
}

TEST(FindPathIgnoringCase, ExactNameWinsAndDirectoriesAreNotFiles)
{
    TempDir dir;
    dir.write(QStringLiteral("SETUP.EXE"));
    const QString exact = dir.write(QStringLiteral("Setup.exe"));
    EXPECT_EQ(platform::findPathIgnoringCase(dir.path(), QStringLiteral("Setup.exe")), exact);

    QDir().mkdir(dir.filePath(QStringLiteral("kxsetup32.EXE")));
    EXPECT_FALSE(platform::fileExistsIgnoringCase(dir.path(), QStringLiteral("KXsetup32.exe")));
}

TEST(FolderEntries, FindsNamesInAnyCaseFromOneListing)
{
    TempDir dir;
    dir.write(QStringLiteral("SETUP.EXE"));
    const QString exact = dir.write(QStringLiteral("Setup.exe"));
    const QString other = dir.write(QStringLiteral("KXsetup64.EXE"));
    const QString manual = dir.write(QStringLiteral("Documents/KAPLIX.pdf"));
    QDir().mkdir(dir.filePath(QStringLiteral("kxsetup32.exe")));
    const platform::FolderEntries entries(dir.path());
    EXPECT_EQ(entries.pathOf(QStringLiteral("Setup.exe")), exact);
    EXPECT_EQ(entries.pathOf(QStringLiteral("kxsetup64.exe")), other);
    EXPECT_EQ(entries.pathOf(QStringLiteral("documents\\kaplix.pdf")), manual);
    EXPECT_TRUE(entries.holdsFile(QStringLiteral("kxSETUP64.exe")));
    EXPECT_FALSE(entries.holdsFile(QStringLiteral("KXsetup32.exe"))) << "a directory is not a setup file";
    for (const QString& name : {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../Setup.exe"),
                                QStringLiteral("x/Setup.exe"), QStringLiteral("missing.exe")})
        EXPECT_TRUE(entries.pathOf(name).isEmpty()) << name.toStdString();

    // The listing is what the folder held when it was made: a refresh makes a new one.
    dir.write(QStringLiteral("late.exe"));
    EXPECT_FALSE(entries.holdsFile(QStringLiteral("late.exe")));
    EXPECT_TRUE(platform::FolderEntries(dir.path()).holdsFile(QStringLiteral("LATE.exe")));
    EXPECT_FALSE(platform::FolderEntries(dir.filePath(QStringLiteral("gone"))).holdsFile(QStringLiteral("x")));
}

TEST(WindowsPaths, DriveCLivesInTheCompatibilityPrefix)
{
    qputenv("WINEPREFIX", "/opt/prefix");
    EXPECT_EQ(platform::localPathOf(QStringLiteral("C:\\kaplix\\bin\\kaplix3.exe")),
              QStringLiteral("/opt/prefix/drive_c/kaplix/bin/kaplix3.exe"));
    EXPECT_EQ(platform::specialFolder(38), QStringLiteral("/opt/prefix/drive_c/Program Files"));
    EXPECT_TRUE(platform::specialFolder(5).isEmpty());
    qunsetenv("WINEPREFIX");
    EXPECT_EQ(platform::driveC(), QDir::homePath() + QStringLiteral("/.wine/drive_c"));
}

TEST(FileAttributes, TellMissingDirectoryAndReadOnly)
{
    TempDir dir;
    EXPECT_FALSE(platform::fileAttributes(dir.filePath(QStringLiteral("absent"))).readable);
    const platform::FileAttributes folder = platform::fileAttributes(dir.path());
    EXPECT_TRUE(folder.readable);
    EXPECT_TRUE(folder.directory);
    EXPECT_FALSE(folder.readOnly);
    const QString file = dir.write(QStringLiteral("ro.txt"));
    QFile::setPermissions(file, QFile::ReadOwner);
    EXPECT_TRUE(platform::fileAttributes(file).readOnly);
    EXPECT_FALSE(platform::fileAttributes(file).directory);
}

} // namespace
