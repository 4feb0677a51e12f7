#include "tests/support/IntegrityFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FileSizeLimit.h"

#include <QLocale>
#include <QProcess>

#include <unistd.h>

namespace {

QString roomText(const QString& path, qint64 needed, qint64 free)
{
    const QLocale c = QLocale::c();
    return QStringLiteral("ErrorInfo 5 Error writing to destination file %1: not enough room, %2 needed, %3 free")
        .arg(path, c.formattedDataSize(needed, 1), c.formattedDataSize(free, 1));
}

class DiskRoom : public IntegrityFixture, public testing::WithParamInterface<DownloadKind> {};

// The file-size limit stands in for a small disk: the size is known before the first byte,
// so the job fails at once, says what it needs, and writes nothing.
TEST_P(DiskRoom, FileLargerThanTheRoomIsRefusedBeforeAnythingIsWritten)
{
    constexpr qint64 Limit = 50000;
    const QByteArray data = patternedBytes(200000, PrimePattern);
    target.write(QStringLiteral("setup.bin"), "old");
    TWebTransferItem* job = addJob(GetParam(), QStringLiteral("setup.bin"), data);
    int progressEvents = 0;
    run.OnCopyProgress = [&](TTransferRun*, int, std::int64_t, std::int64_t) { ++progressEvents; };
    {
        const FileSizeLimit limit(Limit);
        run.Execute();
    }
    // A multi-file job succeeds as a listing does; each file's failure is its own event.
    EXPECT_EQ(job->Success(), GetParam().protocol == wpMultiFtp);
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 5"), roomText(target.filePath(QStringLiteral("setup.bin")), 200000, Limit)}));
    EXPECT_EQ(progressEvents, 0) << "bytes were moved before the room was checked";
    EXPECT_EQ(target.read(QStringLiteral("setup.bin")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.bin")});
}

TEST_P(DiskRoom, FileWithinTheRoomArrives)
{
    const QByteArray data = patternedBytes(40000, PrimePattern);
    TWebTransferItem* job = addJob(GetParam(), QStringLiteral("setup.bin"), data);
    {
        const FileSizeLimit limit(40000);
        run.Execute();
    }
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.bin")), data);
}

INSTANTIATE_TEST_SUITE_P(Kinds, DiskRoom, testing::ValuesIn(DownloadKinds), caseName);

// A real small file system: a tmpfs of 2 MiB, mounted when the tests run as root and the
// machine lets them mount.
class SmallDisk : public IntegrityFixture {
protected:
    void SetUp() override
    {
        IntegrityFixture::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small tmpfs needs root; the file-size limit cases cover the check";
        mountPoint = target.filePath(QStringLiteral("small"));
        QDir().mkpath(mountPoint);
        QProcess mount;
        mount.start(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=2m,mode=0700"), QStringLiteral("kxsmall"), mountPoint});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit || mount.exitCode() != 0)
            GTEST_SKIP() << "this machine does not let the tests mount a tmpfs: "
                         << mount.readAllStandardError().trimmed().toStdString();
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {mountPoint});
    }

    QString mountPoint;
    bool mounted = false;
};

TEST_F(SmallDisk, DownloadLargerThanTheDiskIsRefusedBeforeAnythingIsWritten)
{
    const QByteArray data = patternedBytes(3 * 1024 * 1024, PrimePattern);
    TWebTransferItem* job = addJob(DownloadKinds[0], QStringLiteral("setup.bin"), data);
    job->TargetDir = mountPoint;
    run.Execute();

    EXPECT_FALSE(job->Success());
    const QStringList info = events.only(QStringLiteral("ErrorInfo"));
    ASSERT_EQ(info.size(), 1);
    EXPECT_TRUE(info[0].startsWith(QStringLiteral("ErrorInfo 5 Error writing to destination file ") + mountPoint
                                   + QStringLiteral("/setup.bin: not enough room, 4.0 MiB (3.0 MiB and 1.0 MiB to spare) needed, ")))
        << info[0].toStdString();
    EXPECT_TRUE(QDir(mountPoint).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

} // namespace
