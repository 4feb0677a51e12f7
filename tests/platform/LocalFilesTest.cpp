#include "platform/files/LocalFiles.h"

#include "tests/support/CaseName.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <ostream>
#include <sys/stat.h>

namespace {

struct NamingCase {
    const char* name;
    platform::PendingFile::Naming naming;
    friend void PrintTo(const NamingCase& c, std::ostream* os) { *os << c.name; }
};

class PendingFileTest : public testing::TestWithParam<NamingCase> {
protected:
    QStringList Entries() const
    {
        QStringList names = QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        names.sort();
        return names;
    }

    static int Mode(const QString& path)
    {
        struct stat info {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
    }

    TempDir m_dir;
};

TEST_P(PendingFileTest, ReplacesTheTargetOnlyOnCommitAndKeepsItsRights)
{
    const QString target = m_dir.write(QStringLiteral("setup.exe"), "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    platform::PendingFile file;
    ASSERT_TRUE(file.create(target, GetParam().naming));
    ASSERT_TRUE(file.write("new contents", 12));

    const QStringList during = Entries();
    if (GetParam().naming == platform::PendingFile::Naming::Named) {
        ASSERT_EQ(during.size(), 2);
        EXPECT_TRUE(platform::isPendingFileName(during[0])) << during[0].toStdString();
        EXPECT_EQ(file.namedPath(), m_dir.filePath(during[0]));
    } else {
        EXPECT_EQ(during, QStringList{QStringLiteral("setup.exe")}) << "an unnamed file shows in no directory";
    }
    EXPECT_EQ(m_dir.read(QStringLiteral("setup.exe")), QByteArray("old"));

    ASSERT_TRUE(file.commit());
    EXPECT_EQ(m_dir.read(QStringLiteral("setup.exe")), QByteArray("new contents"));
    EXPECT_EQ(Mode(target), 0600);
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_P(PendingFileTest, NewFileGetsTheRightsOfAnyNewFile)
{
    const mode_t previous = ::umask(027);
    platform::PendingFile file;
    const bool made = file.create(m_dir.filePath(QStringLiteral("new.bin")), GetParam().naming);
    const bool committed = made && file.write("x", 1) && file.commit();
    ::umask(previous);
    ASSERT_TRUE(committed);
    EXPECT_EQ(Mode(m_dir.filePath(QStringLiteral("new.bin"))), 0640);
}

TEST_P(PendingFileTest, DiscardLeavesTheOldFileAndNothingElse)
{
    const QString target = m_dir.write(QStringLiteral("setup.exe"), "old");
    {
        platform::PendingFile file;
        ASSERT_TRUE(file.create(target, GetParam().naming));
        ASSERT_TRUE(file.write("partial", 7));
    } // dropped unfinished
    EXPECT_EQ(m_dir.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(Entries(), QStringList{QStringLiteral("setup.exe")});
}

INSTANTIATE_TEST_SUITE_P(Namings, PendingFileTest,
                         testing::Values(NamingCase{"Unnamed", platform::PendingFile::Naming::Unnamed},
                                         NamingCase{"Named", platform::PendingFile::Naming::Named}),
                         caseName);

TEST(PendingFileName, HiddenNameWithSixLowerCaseLettersOrDigitsAndOurEnding)
{
    EXPECT_TRUE(platform::isPendingFileName(QStringLiteral(".setup.exe.a1b2c3.kxpart")));
    EXPECT_TRUE(platform::isPendingFileName(QStringLiteral(".my file.000000.kxpart")));
    for (const char* name : {"setup.exe.a1b2c3.kxpart", "..a1b2c3.kxpart", ".setup.exe.A1B2C3.kxpart",
                             ".setup.exe.a1b2c.kxpart", ".setup.exe.a1b2c3d.kxpart", ".setup.exe.a1b2c3.kxpart~",
                             ".setup.exe.a1b2c3", ".bashrc.backup"})
        EXPECT_FALSE(platform::isPendingFileName(QString::fromUtf8(name))) << name;
}

} // namespace
