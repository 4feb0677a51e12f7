#include "tests/support/HostileFixture.h"

#include "platform/network/InternetErrors.h"
#include "tests/support/CaseName.h"
#include "tests/support/ScriptedHttpServer.h"

#include <QElapsedTimer>
#include <QTcpServer>

#include <ostream>

namespace {

constexpr int TimeoutSeconds = 2;
// Well below twice the time-out, well above it: room for a slow, sanitised build.
constexpr qint64 GenerousBoundMs = 3500;

enum class Kind { HttpDownload, HttpUpload, FtpDownload };

struct SilentCase {
    const char* name;
    Kind kind;
    // The first failure event the job ends with.
    const char* failure;
    friend void PrintTo(const SilentCase& c, std::ostream* os) { *os << c.name; }
};

// Servers that take a connection or a request and then say nothing at all.
class SilentServer : public HostileFixture, public testing::WithParamInterface<SilentCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(http.isRunning());
        // Connections are taken (by the kernel, then by the server) but never greeted.
        ASSERT_TRUE(ftp.listen(QHostAddress::LocalHost, 0));
        run.Timeout = TimeoutSeconds;
    }

    TWebTransferItem* addJob(Kind kind)
    {
        TWebTransferItem* job = run.Items().Add();
        switch (kind) {
        case Kind::HttpDownload:
            job->URL = http.url(QStringLiteral("/silent/setup.exe"));
            job->TargetDir = inside();
            break;
        case Kind::HttpUpload:
            writeInside(QStringLiteral("data.bin"), patternedBytes(1000));
            job->Protocol = wpHttpUpload;
            job->URL = http.url(QStringLiteral("/silent/data.bin"));
            job->TargetDir = inside();
            break;
        case Kind::FtpDownload:
            job->Protocol = wpFtp;
            job->URL = QStringLiteral("/pub/setup.exe");
            job->TargetDir = inside();
            job->FTPHost = QStringLiteral("127.0.0.1");
            job->FTPPort = ftp.serverPort();
            break;
        }
        return job;
    }

    ScriptedHttpServer http;
    QTcpServer ftp;
};

TEST_P(SilentServer, GivesUpAfterTheTimeoutNotTwiceIt)
{
    TWebTransferItem* job = addJob(GetParam().kind);
    QElapsedTimer clock;
    clock.start();
    run.Execute();
    const qint64 elapsed = clock.elapsed();

    EXPECT_FALSE(job->Success());
    const QString expected = QString::fromLatin1(GetParam().failure)
                                 .replace(QStringLiteral("%URL%"), job->URL)
                                 .replace(QStringLiteral("%TIMEDOUT%"),
                                          QString::number(platform::internetErrorNumber(28))); // CURLE_OPERATION_TIMEDOUT
    ASSERT_FALSE(failures().isEmpty());
    EXPECT_EQ(failures().first(), expected) << events.log.join(u'|').toStdString();
    EXPECT_GE(elapsed, TimeoutSeconds * 1000);
    EXPECT_LT(elapsed, GenerousBoundMs);
}

INSTANTIATE_TEST_SUITE_P(Waits, SilentServer,
                         testing::Values(SilentCase{"HttpDownload", Kind::HttpDownload, "URLNotFound %URL%"},
                                         SilentCase{"HttpUpload", Kind::HttpUpload, "Error %TIMEDOUT%"},
                                         SilentCase{"FtpDownload", Kind::FtpDownload, "Error 6"}),
                         caseName);

} // namespace
