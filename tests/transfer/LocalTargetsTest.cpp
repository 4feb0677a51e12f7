#include "transfer/LocalTargets.h"

#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct PathCase {
    const char* name;
    const char16_t* first;
    const char16_t* second;
    const char16_t* expected;
    friend void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }
};

class Joining : public testing::TestWithParam<PathCase> {};

TEST_P(Joining, AddsExactlyOneSeparator)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(JoinPath(QString::fromUtf16(c.first), QString::fromUtf16(c.second)), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, Joining, testing::Values(
    PathCase{"EmptyDir", u"", u"a.txt", u"a.txt"},
    PathCase{"DirWithoutSeparator", u"/dl", u"a.txt", u"/dl/a.txt"},
    PathCase{"DirWithSeparator", u"/dl/", u"a.txt", u"/dl/a.txt"},
    PathCase{"EmptyName", u"/dl", u"", u"/dl/"}),
    caseName);

class Extension : public testing::TestWithParam<PathCase> {};

TEST_P(Extension, IsStrippedFromTheLastComponentOnly)
{
    EXPECT_EQ(StripExt(QString::fromUtf16(GetParam().first)), QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, Extension, testing::Values(
    PathCase{"Simple", u"/dl/setup.exe", u"", u"/dl/setup"},
    PathCase{"LastDotCounts", u"/dl/a.tar.gz", u"", u"/dl/a.tar"},
    PathCase{"NoExtension", u"README", u"", u"README"},
    PathCase{"DotInDirectoryOnly", u"/dl.d/setup", u"", u"/dl.d/setup"},
    PathCase{"Empty", u"", u"", u""}),
    caseName);

TEST(IsPlainFileName, RefusesEveryNameThatLeadsElsewhere)
{
    for (const char16_t* name : {u"setup.exe", u"my file.txt", u"..x", u"x..", u".hidden"})
        EXPECT_TRUE(IsPlainFileName(QString::fromUtf16(name)));
    for (const char16_t* name : {u"", u".", u"..", u"../x", u"a/b", u"a\\b", u"/abs"})
        EXPECT_FALSE(IsPlainFileName(QString::fromUtf16(name)));
    EXPECT_FALSE(IsPlainFileName(QStringLiteral("x") + QChar(0) + QStringLiteral("y")));
}

TEST(DirectoryPart, IsTheTextBeforeTheLastSeparator)
{
    EXPECT_EQ(DirectoryPart(QStringLiteral("/dl/sub/a.txt")), QStringLiteral("/dl/sub"));
    EXPECT_EQ(DirectoryPart(QStringLiteral("C:\\data\\a.txt")), QStringLiteral("C:\\data"));
    EXPECT_EQ(DirectoryPart(QStringLiteral("a.txt")), QString());
    EXPECT_EQ(DirectoryPart(QStringLiteral("/a.txt")), QString());
}

TEST(UniqueFileName, SkipsEveryExistingVariant)
{
    TempDir dir;
    const QString target = dir.write(QStringLiteral("setup.exe"));
    EXPECT_EQ(UniqueFileName(target), dir.filePath(QStringLiteral("setup(1).exe")));

    dir.write(QStringLiteral("setup(1).exe"));
    dir.write(QStringLiteral("setup(2).exe"));
    EXPECT_EQ(UniqueFileName(target), dir.filePath(QStringLiteral("setup(3).exe")));
}

TEST(UniqueFileName, NeverReturnsTheGivenPathAndCountsDirectoriesAsTaken)
{
    TempDir dir;
    const QString missing = dir.filePath(QStringLiteral("README"));
    EXPECT_EQ(UniqueFileName(missing), dir.filePath(QStringLiteral("README(1)")));

    QDir().mkdir(dir.filePath(QStringLiteral("README(1)")));
    EXPECT_EQ(UniqueFileName(missing), dir.filePath(QStringLiteral("README(2)")));
}

TEST(ForceDirs, CreatesEveryMissingParent)
{
    TempDir dir;
    const QString deep = dir.filePath(QStringLiteral("new/deep/"));
    EXPECT_TRUE(ForceDirs(deep));
    EXPECT_TRUE(DirExists(dir.filePath(QStringLiteral("new"))));
    EXPECT_TRUE(DirExists(dir.filePath(QStringLiteral("new/deep"))));
    EXPECT_TRUE(ForceDirs(deep)) << "an existing directory is success";
}

TEST(ForceDirs, TrivialDirectoriesSucceedWithoutTouchingTheDisk)
{
    EXPECT_TRUE(ForceDirs(QString()));
    EXPECT_TRUE(ForceDirs(QStringLiteral("/")));
}

TEST(ForceDirs, FailsBelowAFile)
{
    TempDir dir;
    dir.write(QStringLiteral("file"));
    EXPECT_FALSE(ForceDirs(dir.filePath(QStringLiteral("file/sub"))));
    EXPECT_FALSE(DirExists(dir.filePath(QStringLiteral("file"))));
}

TEST(LocalFileSize, IsTheSizeOrMinusOne)
{
    TempDir dir;
    EXPECT_EQ(LocalFileSize(dir.write(QStringLiteral("five"), "12345")), 5);
    EXPECT_EQ(LocalFileSize(dir.filePath(QStringLiteral("absent"))), -1);
    EXPECT_EQ(LocalFileSize(QString()), -1);
}

TEST(LocalFileSize, ReachesBeyondFourGigabytes)
{
    TempDir dir;
    QFile file(dir.filePath(QStringLiteral("sparse")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const qint64 size = (qint64(1) << 32) + 7;
    ASSERT_TRUE(file.resize(size)); // sparse: takes no disk space
    file.close();
    EXPECT_EQ(LocalFileSize(file.fileName()), size);
}

} // namespace
