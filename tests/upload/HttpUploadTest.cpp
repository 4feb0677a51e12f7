#include "transfer/TransferRun.h"

#include "platform/network/InternetErrors.h"
#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/FreePort.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QCryptographicHash>

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <ostream>

namespace {

class HttpUploadTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_server.isRunning()); }

    TWebTransferItem& AddUpload(const QString& url, const QString& fileName, const QByteArray& content,
                                TWebTransferHTTPCommand command = hcPost)
    {
        m_dir.write(fileName, content);
        TWebTransferItem& job = *m_run.Items().Add();
        job.Protocol = wpHttpUpload;
        job.URL = url;
        job.TargetDir = m_dir.path();
        job.HTTPCommand = command;
        return job;
    }

    std::vector<std::int64_t> ProgressSizes() const
    {
        std::vector<std::int64_t> sizes;
        for (const auto& p : m_events.progress)
            sizes.push_back(p.size);
        return sizes;
    }

    ScriptedHttpServer m_server;
    TempDir m_dir;
    TTransferRun m_run;
    EngineEvents m_events{m_run};
};

struct SizeCase {
    const char* name;
    int size;
    std::vector<std::int64_t> progress;
    friend void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.name; }
};

class UploadSizes : public HttpUploadTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(UploadSizes, StreamTheRawFileInBlocks)
{
    const SizeCase& c = GetParam();
    const QByteArray content = patternedBytes(c.size, PrimePattern);
    TWebTransferItem& job = AddUpload(m_server.url(QStringLiteral("/upload/data.bin?id=7")), QStringLiteral("data.bin?id=7"),
                                      content);
    job.TargetFilename = QStringLiteral("local.bin");
    m_dir.write(QStringLiteral("local.bin"), content);
    m_run.Execute();

    EXPECT_TRUE(job.Success());
    EXPECT_EQ(ProgressSizes(), c.progress);
    const auto requests = m_server.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, QStringLiteral("POST"));
    EXPECT_EQ(requests[0].target, QStringLiteral("/upload/data.bin?id=7"));
    EXPECT_EQ(requests[0].bodyLength, c.size);
    EXPECT_EQ(requests[0].bodyMd5, QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex()));
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("content-length")), QString::number(c.size));
    EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("content-type"))) << "the raw file, nothing more";
    EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("authorization")));
}

INSTANTIATE_TEST_SUITE_P(Files, UploadSizes, testing::Values(
    SizeCase{"ThreeBlocks", 10000, {4096, 8192, 10000}},
    SizeCase{"WholeBlocksEndWithAnEmptyOne", 8192, {4096, 8192, 8192}},
    SizeCase{"Empty", 0, {0}}),
    caseName);

TEST_F(HttpUploadTest, PutSendsPutAndTheLocalNameComesFromTheUrl)
{
    TWebTransferItem& job = AddUpload(m_server.url(QStringLiteral("/upload/report.pdf")), QStringLiteral("report.pdf"),
                                      "pdf", hcPut);
    m_run.Execute();
    EXPECT_TRUE(job.Success());
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].method, QStringLiteral("PUT"));
    EXPECT_EQ(m_server.requests()[0].bodyLength, 3);
}

TEST_F(HttpUploadTest, AddressWithABlankIsSentEscapedAndTheLocalNameKeepsTheBlank)
{
    TWebTransferItem& job = AddUpload(m_server.url(QStringLiteral("/upload/my file|1.txt")), QStringLiteral("my file|1.txt"),
                                      "spaced");
    m_run.Execute();
    EXPECT_TRUE(job.Success());
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].target, QStringLiteral("/upload/my%20file%7C1.txt"));
    EXPECT_EQ(m_server.requests()[0].bodyLength, 6);
}

TEST_F(HttpUploadTest, MissingLocalFileFailsQuietly)
{
    TWebTransferItem& job = *m_run.Items().Add();
    job.Protocol = wpHttpUpload;
    job.URL = m_server.url(QStringLiteral("/upload/none.bin"));
    job.TargetDir = m_dir.path();
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    EXPECT_TRUE(m_events.only(QStringLiteral("Error")).isEmpty());
    EXPECT_TRUE(m_server.requests().isEmpty());
}

TEST_F(HttpUploadTest, RefusalByTheServerIsAnError)
{
    TWebTransferItem& job = AddUpload(m_server.url(QStringLiteral("/status/a.bin?code=500")), QStringLiteral("a.bin?code=500"),
                                      patternedBytes(5000, PrimePattern));
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error")),
              QStringList({QStringLiteral("Error 500"), QStringLiteral("ErrorInfo 500 Returned http error code 500")}));
}

TEST_F(HttpUploadTest, UnreachableServerGivesTheLayersErrorAndText)
{
    const quint16 port = freeTcpPort();
    TWebTransferItem& job = AddUpload(QStringLiteral("http://127.0.0.1:%1/upload/a.bin").arg(port), QStringLiteral("a.bin"),
                                      "x");
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    const int code = platform::internetErrorNumber(CURLE_COULDNT_CONNECT);
    ASSERT_EQ(m_events.only(QStringLiteral("Error ")), QStringList({QStringLiteral("Error %1").arg(code)}));
    EXPECT_TRUE(m_events.only(QStringLiteral("ErrorInfo %1 ").arg(code)).size() == 1);
    EXPECT_EQ(m_events.log.last(), QStringLiteral("CopyDone"));
}

TEST_F(HttpUploadTest, AddressThatNamesNoHttpServerCannotConnect)
{
    TWebTransferItem& job = AddUpload(QStringLiteral("ftp://127.0.0.1/a.bin"), QStringLiteral("a.bin"), "x");
    m_run.Execute();
    EXPECT_FALSE(job.Success());
    EXPECT_EQ(m_events.only(QStringLiteral("Error")),
              QStringList({QStringLiteral("Error 6"), QStringLiteral("ErrorInfo 6 Cannot connect to server 127.0.0.1")}));
}

TEST_F(HttpUploadTest, CancelStopsTheUploadAndTheRun)
{
    TWebTransferItem& job = AddUpload(m_server.url(QStringLiteral("/slowread/big.bin")), QStringLiteral("big.bin"),
                                      patternedBytes(400000, PrimePattern));
    AddUpload(m_server.url(QStringLiteral("/upload/next.bin")), QStringLiteral("next.bin"), "x");
    m_run.OnCopyProgress = [](TTransferRun* sender, int, std::int64_t size, std::int64_t) {
        if (size >= 16384)
            sender->CancelCopy();
    };
    m_run.Execute();
    EXPECT_TRUE(job.Cancelled());
    EXPECT_FALSE(job.Success());
    EXPECT_FALSE(m_run.Items()[1]->Success());
    EXPECT_EQ(m_events.log.last(), QStringLiteral("CopyDone"));
    for (const auto& request : m_server.requests())
        EXPECT_NE(request.target, QStringLiteral("/upload/next.bin"));
}

TEST_F(HttpUploadTest, FilesBeyondFourGigabytesArriveWhole)
{
    const qint64 size = (qint64(1) << 32) + 3 * 4096 + 5;
    QFile file(m_dir.filePath(QStringLiteral("huge.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size)); // sparse: no disk space taken
    file.close();
    TWebTransferItem& job = *m_run.Items().Add();
    job.Protocol = wpHttpUpload;
    job.URL = m_server.url(QStringLiteral("/discard/huge.bin"));
    job.TargetDir = m_dir.path();
    m_run.Execute();
    EXPECT_TRUE(job.Success());
    EXPECT_EQ(m_events.progress.back().size, size);
    EXPECT_EQ(m_events.progress.back().total, size);
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(m_server.requests()[0].bodyLength, size);
    EXPECT_EQ(m_server.requests()[0].headers.value(QStringLiteral("content-length")), QString::number(size));
}

} // namespace
