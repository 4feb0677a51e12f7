#include "transfer/TransferRun.h"

#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FtpServer.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <ostream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Should an upload open the pipe after all, it would wait for a writer for good. After a
// while this opens the writing end once and closes it, so the reader sees an empty pipe and
// the test fails instead of hanging.
class PipeUnblocker {
public:
    explicit PipeUnblocker(const QString& fifo)
        : m_fifo(QFile::encodeName(fifo))
        , m_thread([this] { Run(); })
    {
    }
    ~PipeUnblocker()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    void Run()
    {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, std::chrono::seconds(30), [this] { return m_stop; }))
            return;
        while (!m_stop) {
            const int fd = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            m_wake.wait_for(lock, std::chrono::milliseconds(50), [this] { return m_stop; });
        }
    }

    QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};

class PipeOrDeviceFixture : public testing::Test {
protected:
    PipeOrDeviceFixture() : m_events(m_run)
    {
        // A device read for good would send without end: stop such a run.
        m_run.OnCopyProgress = [this](TTransferRun* sender, int, std::int64_t size, std::int64_t) {
            if (size > 1024 * 1024) {
                m_endless = true;
                sender->CancelCopy();
            }
        };
    }

    static void SetUpTestSuite() { s_ftp = new FtpServer; }
    static void TearDownTestSuite()
    {
        delete s_ftp;
        s_ftp = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(s_ftp->isRunning()) << s_ftp->error().toStdString();
        ASSERT_TRUE(m_http.isRunning());
        m_fifo = m_dir.filePath(QStringLiteral("pipe.bin"));
        ASSERT_EQ(::mkfifo(QFile::encodeName(m_fifo).constData(), 0600), 0);
    }

    TWebTransferItem& AddFtp(TWebTransferProtocol protocol, const QString& url, const QString& remoteDir)
    {
        TWebTransferItem& job = *m_run.Items().Add();
        job.Protocol = protocol;
        job.URL = url;
        job.TargetDir = remoteDir;
        job.FTPHost = QStringLiteral("127.0.0.1");
        job.FTPPort = s_ftp->port();
        job.FTPUserID = QString::fromLatin1(FtpServer::User);
        job.FTPPassword = QString::fromLatin1(FtpServer::Password);
        return job;
    }

    TWebTransferItem& AddHttp(const QString& dir, const QString& name)
    {
        TWebTransferItem& job = *m_run.Items().Add();
        job.Protocol = wpHttpUpload;
        job.URL = m_http.url(QStringLiteral("/upload/") + name);
        job.TargetDir = dir;
        job.TargetFilename = name;
        return job;
    }

    static QString Remote(const QString& path) { return s_ftp->rootDir() + u'/' + path; }

    inline static FtpServer* s_ftp = nullptr;
    ScriptedHttpServer m_http;
    TempDir m_dir;
    QString m_fifo;
    TTransferRun m_run;
    EngineEvents m_events;
    bool m_endless = false;
};

struct SourceCase {
    const char* name;
    TWebTransferProtocol protocol;
    bool device; // /dev/zero, else a named pipe nobody writes to
    friend void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }
};

class PipeOrDeviceSource : public PipeOrDeviceFixture, public testing::WithParamInterface<SourceCase> {};

TEST_P(PipeOrDeviceSource, IsRefusedUnopenedWithError2AndTheRunGoesOn)
{
    const SourceCase& c = GetParam();
    const QString dir = c.device ? QStringLiteral("/dev") : m_dir.path();
    const QString name = c.device ? QStringLiteral("zero") : QStringLiteral("pipe.bin");
    const QString path = dir + u'/' + name;
    const QString remoteDir = QStringLiteral("device-") + QString::fromLatin1(c.name);
    const QString plain = m_dir.write(QStringLiteral("plain.txt"), "plain");
    if (c.protocol == wpHttpUpload) {
        AddHttp(dir, name);
        AddHttp(m_dir.path(), QStringLiteral("plain.txt"));
    } else {
        AddFtp(wpFtpUpload, path, remoteDir);
        AddFtp(wpFtpUpload, plain, remoteDir);
    }
    {
        PipeUnblocker unblocker(m_fifo);
        m_run.Execute();
    }

    EXPECT_FALSE(m_endless) << "the device was read";
    EXPECT_FALSE(m_run.Items()[0]->Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 2"), QStringLiteral("ErrorInfo 2 Cannot open source file ") + path}));
    EXPECT_TRUE(m_run.Items()[1]->Success()) << m_events.log.join(u'\n').toStdString();
    if (c.protocol == wpHttpUpload) {
        const auto requests = m_http.requests();
        ASSERT_EQ(requests.size(), 1);
        EXPECT_EQ(requests[0].target, QStringLiteral("/upload/plain.txt"));
    } else {
        EXPECT_EQ(QDir(Remote(remoteDir)).entryList(QDir::Files), QStringList{QStringLiteral("plain.txt")});
    }
}

INSTANTIATE_TEST_SUITE_P(Uploads, PipeOrDeviceSource,
                         testing::Values(SourceCase{"FtpPipe", wpFtpUpload, false},
                                         SourceCase{"FtpDevice", wpFtpUpload, true},
                                         SourceCase{"HttpPipe", wpHttpUpload, false},
                                         SourceCase{"HttpDevice", wpHttpUpload, true}),
                         caseName);

TEST_F(PipeOrDeviceFixture, MultiFileUploadPassesOverPipesAndDevices)
{
    m_dir.write(QStringLiteral("plain.bin"), "plain");
    const QString zero = m_dir.filePath(QStringLiteral("zero.bin"));
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(zero).constData()), 0);
    AddFtp(wpMultiFtpUpload, m_dir.filePath(QStringLiteral("*.bin")), QStringLiteral("special-multi"));
    QStringList done;
    m_run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
    {
        PipeUnblocker unblocker(m_fifo);
        m_run.Execute();
    }

    EXPECT_FALSE(m_endless) << "the device was read";
    EXPECT_TRUE(m_run.Items()[0]->Success());
    EXPECT_EQ(done, QStringList{QStringLiteral("plain.bin")});
    EXPECT_TRUE(m_events.only(QStringLiteral("Error")).isEmpty()) << m_events.log.join(u'\n').toStdString();
    EXPECT_EQ(QDir(Remote(QStringLiteral("special-multi"))).entryList(QDir::Files), QStringList{QStringLiteral("plain.bin")});
}

} // namespace
