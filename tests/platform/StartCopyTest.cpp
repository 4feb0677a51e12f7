#include "platform/files/StartCopy.h"

#include "platform/files/PrivateFiles.h"
#include "tests/support/CaseName.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <ctime>
#include <fcntl.h>
#include <functional>
#include <ostream>
#include <sys/stat.h>

namespace {

QString Sha256Hex(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// More than one block of the copy, and not a whole number of them.
const QByteArray Program = "MZ" + QByteArray(3 * 1024 * 1024 + 123, 'p');

QStringList EntriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

// Makes the entry (a link itself, not what it leads to) look last changed that long ago.
void Age(const QString& path, std::time_t seconds)
{
    const struct timespec then[2] = {{std::time(nullptr) - seconds, 0}, {std::time(nullptr) - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), then, AT_SYMLINK_NOFOLLOW), 0);
}

class StartCopyTest : public testing::Test {
protected:
    TempDir m_files;
    TempDir m_private;
};

TEST_F(StartCopyTest, HoldsTheCheckedBytesInAFolderOnlyTheUserMayEnter)
{
    const QString source = m_files.write(QStringLiteral("SETUP.EXE"), Program);
    SetMode(source, 0644);

    const platform::StartCopy copy = platform::makeStartCopy(source, m_private.path(), Sha256Hex(Program));
    ASSERT_TRUE(copy.made()) << copy.problem.toStdString();
    const QFileInfo file(copy.path);
    EXPECT_EQ(file.fileName(), QStringLiteral("SETUP.EXE"));
    EXPECT_EQ(QFileInfo(file.path()).path(), m_private.path());
    EXPECT_TRUE(QFileInfo(file.path()).fileName().startsWith(QStringLiteral("kaplix-start-")));
    EXPECT_EQ(ModeOf(file.path()) & 07777, mode_t(0700));
    EXPECT_EQ(ModeOf(copy.path) & 07077, mode_t(0));
    EXPECT_TRUE(m_files.read(QStringLiteral("SETUP.EXE")) == Program);
    QFile copied(copy.path);
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_TRUE(copied.readAll() == Program);
    EXPECT_EQ(platform::whyUnsafeToRun(copy.path), QString());

    const platform::StartCopy second = platform::makeStartCopy(source, m_private.path(), Sha256Hex(Program));
    ASSERT_TRUE(second.made());
    EXPECT_NE(QFileInfo(second.path).path(), file.path()) << "each copy has a folder of its own";
    platform::removeStartCopy(second.path);
    EXPECT_EQ(EntriesOf(m_private.path()), QStringList{QFileInfo(file.path()).fileName()});
}

TEST_F(StartCopyTest, ChecksumOfAFileIsItsSha256)
{
    const QString source = m_files.write(QStringLiteral("setup.exe"), Program);
    EXPECT_EQ(platform::fileSha256(source), Sha256Hex(Program));
    EXPECT_EQ(platform::fileSha256(m_files.write(QStringLiteral("empty.exe"))), Sha256Hex({}));
    QFile::link(source, m_files.filePath(QStringLiteral("link.exe")));
    EXPECT_EQ(platform::fileSha256(m_files.filePath(QStringLiteral("link.exe"))), QString()) << "not through a link";
    EXPECT_EQ(platform::fileSha256(m_files.filePath(QStringLiteral("missing.exe"))), QString());
}

// What keeps a copy from being made, or kept; nothing of it is left behind.
struct RefusedCase {
    const char* name;
    // Given the source (setup.exe, Program, ours) and the private folder; returns the
    // private folder to copy into and sets the checksum expected.
    std::function<QString(const QString& source, const TempDir& files, const TempDir& own, QString& expected)> prepare;
    platform::StartCopy::Status status;
    // How the problem begins, with the files' folder for {files}.
    const char* problem;
    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class RefusedCopy : public StartCopyTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedCopy, LeavesNothingBehind)
{
    const QString source = m_files.write(QStringLiteral("setup.exe"), Program);
    QString expected = Sha256Hex(Program);
    const QString folder = GetParam().prepare(source, m_files, m_private, expected);

    const platform::StartCopy copy = platform::makeStartCopy(source, folder, expected);
    EXPECT_EQ(copy.status, GetParam().status);
    EXPECT_TRUE(copy.path.isEmpty());
    const QString problem = QString::fromLatin1(GetParam().problem).replace(QStringLiteral("{files}"), m_files.path());
    EXPECT_TRUE(copy.problem.startsWith(problem)) << copy.problem.toStdString();
    if (!folder.isEmpty()) {
        EXPECT_EQ(EntriesOf(folder), QStringList());
    }
    SetMode(m_files.path(), 0700);
}

INSTANTIATE_TEST_SUITE_P(Cases, RefusedCopy, testing::Values(
    RefusedCase{"OtherBytesThanChecked", [](const QString&, const TempDir&, const TempDir& own, QString& expected) {
        expected = Sha256Hex("MZ the checked program");
        return own.path();
    }, platform::StartCopy::Status::Changed, "The file has changed since it was checked"},
    RefusedCase{"NothingChecked", [](const QString&, const TempDir&, const TempDir& own, QString& expected) {
        expected.clear();
        return own.path();
    }, platform::StartCopy::Status::Changed, "The file has changed since it was checked"},
    RefusedCase{"ALinkAtTheName", [](const QString& source, const TempDir& files, const TempDir& own, QString&) {
        QFile::rename(source, files.filePath(QStringLiteral("real.exe")));
        QFile::link(files.filePath(QStringLiteral("real.exe")), source);
        return own.path();
    }, platform::StartCopy::Status::Failed, "The file cannot be read: "},
    RefusedCase{"APipeAtTheName", [](const QString& source, const TempDir&, const TempDir& own, QString&) {
        QFile::remove(source);
        ::mkfifo(QFile::encodeName(source).constData(), 0600);
        return own.path();
    }, platform::StartCopy::Status::Failed, "The file cannot be read: "},
    RefusedCase{"NoPrivateFolder", [](const QString&, const TempDir&, const TempDir&, QString&) {
        return QString();
    }, platform::StartCopy::Status::Failed, "There is no private folder"},
    RefusedCase{"APrivateFolderInOneOthersMayWrite", [](const QString&, const TempDir& files, const TempDir&, QString&) {
        const QString inside = files.filePath(QStringLiteral("private"));
        QDir().mkdir(inside);
        SetMode(inside, 0700);
        SetMode(files.path(), 0777);
        return inside;
    }, platform::StartCopy::Status::Failed,
       "The copy to start cannot be kept private: The folder {files} above the file may be changed by others"}),
    caseName);

TEST_F(StartCopyTest, CopiesNothingHasChangedForLongGoAndOthersStay)
{
    const QString source = m_files.write(QStringLiteral("setup.exe"), "MZ");
    const platform::StartCopy old = platform::makeStartCopy(source, m_private.path(), Sha256Hex("MZ"));
    const platform::StartCopy recent = platform::makeStartCopy(source, m_private.path(), Sha256Hex("MZ"));
    ASSERT_TRUE(old.made() && recent.made());
    const QString oldFolder = QFileInfo(old.path).path();
    // What the setup program left in its working folder goes with it.
    m_private.write(QFileInfo(oldFolder).fileName() + QStringLiteral("/logs/setup-ran.txt"), "done");
    Age(oldFolder, 2 * 24 * 60 * 60);
    const QString notOurs = m_private.write(QStringLiteral("kept/file"));
    Age(QFileInfo(notOurs).path(), 2 * 24 * 60 * 60);
    // A link with the copies' name is not followed: what it leads to stays.
    const QString target = m_files.write(QStringLiteral("elsewhere/precious"), "keep");
    QFile::link(QFileInfo(target).path(), m_private.filePath(QStringLiteral("kaplix-start-link")));
    Age(m_private.filePath(QStringLiteral("kaplix-start-link")), 2 * 24 * 60 * 60);

    EXPECT_EQ(platform::removeStaleStartCopies(m_private.path(), 24 * 60 * 60), 1);
    EXPECT_FALSE(QFileInfo::exists(oldFolder));
    EXPECT_TRUE(QFileInfo::exists(recent.path));
    EXPECT_TRUE(QFileInfo::exists(notOurs));
    EXPECT_EQ(m_files.read(QStringLiteral("elsewhere/precious")), QByteArray("keep"));
    EXPECT_TRUE(QFileInfo(m_private.filePath(QStringLiteral("kaplix-start-link"))).isSymLink());
}

} // namespace
