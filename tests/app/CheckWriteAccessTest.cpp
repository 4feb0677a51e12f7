#include "app/CheckWriteAccess.h"

#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString TestFileName = QStringLiteral("kaplixTest.txt");

TEST(CheckWriteAccess, WritableDirectoryIsLeftWithoutTestFile)
{
    TempDir dir;
    EXPECT_EQ(CheckWriteAccess(dir.path()), waWritable);
    EXPECT_EQ(CheckWriteAccess(dir.path() + u'/'), waWritable);
    EXPECT_FALSE(QFile::exists(dir.filePath(TestFileName)));
}

TEST(CheckWriteAccess, LeftoverTestFileIsDeletedAndTheTestGoesOn)
{
    TempDir dir;
    dir.write(TestFileName, "old");
    EXPECT_EQ(CheckWriteAccess(dir.path()), waWritable);
    EXPECT_FALSE(QFile::exists(dir.filePath(TestFileName)));
}

TEST(CheckWriteAccess, MissingOrReadOnlyDirectoryNeedsNoFileAccess)
{
    TempDir dir;
    EXPECT_EQ(CheckWriteAccess(dir.filePath(QStringLiteral("absent"))), waReadOnlyOrMissing);
    EXPECT_EQ(CheckWriteAccess(QString()), waReadOnlyOrMissing);

    const QString readOnly = dir.filePath(QStringLiteral("ro"));
    QDir().mkdir(readOnly);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(CheckWriteAccess(readOnly), waReadOnlyOrMissing);
    EXPECT_FALSE(QFile::exists(readOnly + u'/' + TestFileName));
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(CheckWriteAccess, FileIsNotADirectory)
{
    TempDir dir;
    EXPECT_EQ(CheckWriteAccess(dir.write(QStringLiteral("plain.txt"))), waNotADirectory);
}

TEST(CheckWriteAccess, UndeletableTestFileIsReportedWithoutWriting)
{
    TempDir dir;
    // A non-empty directory of that name cannot be deleted as a file.
    dir.write(TestFileName + QStringLiteral("/inside"), "keep");
    EXPECT_EQ(CheckWriteAccess(dir.path()), waTestFileStuck);
    EXPECT_EQ(dir.read(TestFileName + QStringLiteral("/inside")), QByteArray("keep"));
}

// Writes fail while the process may create no file larger than zero bytes.
class NoFileSpace {
public:
    NoFileSpace()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileSpace()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }

private:
    rlimit m_saved{};
    void (*m_previousHandler)(int) = nullptr;
};

TEST(CheckWriteAccess, FailedWriteIsReportedAndLeavesNoFile)
{
    TempDir dir;
    int result = 0;
    {
        NoFileSpace full;
        result = CheckWriteAccess(dir.path());
    }
    EXPECT_EQ(result, waWriteFailed);
    EXPECT_FALSE(QFile::exists(dir.filePath(TestFileName)));
}

} // namespace
