#include "platform/network/InternetErrors.h"
#include "platform/network/InternetSession.h"
#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

using platform::InternetRequest;
using platform::InternetResult;
using platform::InternetSession;
using platform::OpenFlag;

QByteArray readAll(InternetRequest& request, int& reads)
{
    QByteArray body;
    char block[4096];
    for (;;) {
        std::int64_t count = 0;
        const InternetResult result = request.read(block, sizeof block, count);
        EXPECT_TRUE(result.ok) << result.message.toStdString();
        if (!result.ok || count == 0)
            return body;
        EXPECT_LE(count, 4096);
        ++reads;
        body.append(block, static_cast<qsizetype>(count));
    }
}

TEST(InternetSession, FollowsRedirectsAndReportsTheFinalAnswer)
{
    TempDir served;
    QByteArray content(100000, 'k');
    served.write(QStringLiteral("files/a.bin"), content);
    QFile file(served.filePath(QStringLiteral("files/a.bin")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2021, 6, 15), QTime(12, 30, 45), Qt::UTC),
                                 QFileDevice::FileModificationTime));
    NginxServer nginx(served.path(), QStringLiteral("location = /go { return 301 /files/a.bin; }"));
    ASSERT_TRUE(nginx.isRunning());

    InternetSession session(QStringLiteral("Agent"));
    auto [request, result] = session.openUrl(nginx.url(QStringLiteral("/go")), {}, OpenFlag::Reload);
    ASSERT_TRUE(request) << result.message.toStdString();
    EXPECT_EQ(request->statusCode(), 200);
    EXPECT_EQ(request->finalUrl(), nginx.url(QStringLiteral("/files/a.bin")));
    EXPECT_EQ(request->contentLength(), 100000);
    const platform::CalendarTime date = request->lastModified();
    EXPECT_EQ(date.year, 2021);
    EXPECT_EQ(date.month, 6);
    EXPECT_EQ(date.day, 15);
    EXPECT_EQ(date.dayOfWeek, 2); // a Tuesday
    EXPECT_EQ(date.hour, 12);
    EXPECT_EQ(date.minute, 30);
    EXPECT_EQ(date.second, 45);
    int reads = 0;
    EXPECT_EQ(readAll(*request, reads), content);
    EXPECT_GE(reads, 25);
}

TEST(InternetSession, SendsAgentAndExtraHeadersAndReportsAMissingDateAsZero)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.isRunning());
    InternetSession session(QStringLiteral("KaplixAgent"));
    auto request = session.openUrl(server.url(QStringLiteral("/file/x?size=10")),
                                   QStringLiteral("X-One: 1\r\nX-Two: 2\r\n\r\n"), OpenFlag::Reload)
                       .handle;
    ASSERT_TRUE(request);
    EXPECT_TRUE(request->lastModified().isNull());
    EXPECT_EQ(request->contentLength(), 10);
    int reads = 0;
    EXPECT_EQ(readAll(*request, reads).size(), 10);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("user-agent")), QStringLiteral("KaplixAgent"));
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("x-one")), QStringLiteral("1"));
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("x-two")), QStringLiteral("2"));
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("cache-control")), QStringLiteral("no-cache"));
}

TEST(InternetSession, IdleCallbackRunsDuringAWaitAndCanAbortIt)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.isRunning());
    InternetSession session(QStringLiteral("Agent"));
    int calls = 0;
    session.setIdleCallback([&] { return ++calls < 3; });
    auto [request, result] = session.openUrl(server.url(QStringLiteral("/silent")), {}, {});
    EXPECT_FALSE(request);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.code, platform::internetErrorNumber(42)); // CURLE_ABORTED_BY_CALLBACK
}

TEST(InternetSession, ZeroTimeoutsFallBackToTheDefault)
{
    InternetSession session(QStringLiteral("Agent"));
    session.setConnectTimeout(0);
    session.setReceiveTimeout(-5);
    EXPECT_EQ(session.connectTimeout(), InternetSession::DefaultTimeoutMs);
    EXPECT_EQ(session.receiveTimeout(), InternetSession::DefaultTimeoutMs);
    session.setSendTimeout(1500);
    EXPECT_EQ(session.sendTimeout(), 1500);
}

TEST(InternetSession, SilenceLimitIsTheLargestTimeoutNotTheirSum)
{
    InternetSession session(QStringLiteral("Agent"));
    EXPECT_EQ(session.silenceLimit(), InternetSession::DefaultTimeoutMs);
    session.setConnectTimeout(2000);
    session.setSendTimeout(2000);
    session.setReceiveTimeout(2000);
    EXPECT_EQ(session.silenceLimit(), 2000);
    session.setSendTimeout(3000);
    EXPECT_EQ(session.silenceLimit(), 3000);
    session.setConnectTimeout(0); // back to the default, now the largest
    EXPECT_EQ(session.silenceLimit(), InternetSession::DefaultTimeoutMs);
}

TEST(InternetSession, FailedTlsHandshakeIsAnError)
{
    ScriptedHttpServer server; // speaks plain HTTP, so the handshake fails
    ASSERT_TRUE(server.isRunning());
    InternetSession session(QStringLiteral("Agent"));
    auto [request, result] = session.openUrl(QStringLiteral("https://127.0.0.1:%1/file/x").arg(server.port()), {}, {});
    EXPECT_FALSE(request);
    EXPECT_FALSE(result.ok);
    EXPECT_GT(result.code, platform::InternetErrorBase);
}

// A server certificate for 127.0.0.1, made for the test and trusted by nobody else.
class TlsServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QProcess::execute(QStringLiteral("openssl"),
                                    {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                                     QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                                     QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                                     QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1"),
                                     QStringLiteral("-keyout"), key, QStringLiteral("-out"), certificate}),
                  0);
        dir.write(QStringLiteral("www/x.bin"), "secret");
    }

    TempDir dir;
    const QString certificate = dir.filePath(QStringLiteral("cert.pem"));
    const QString key = dir.filePath(QStringLiteral("key.pem"));
};

TEST_F(TlsServerTest, CertificateOfAnUntrustedIssuerIsRefused)
{
    NginxServer nginx(dir.filePath(QStringLiteral("www")), {}, {certificate, key});
    ASSERT_TRUE(nginx.isRunning());
    ASSERT_TRUE(nginx.url({}).startsWith(QStringLiteral("https://")));

    InternetSession session(QStringLiteral("Agent"));
    auto [request, result] = session.openUrl(nginx.url(QStringLiteral("/x.bin")), {}, {});
    EXPECT_FALSE(request);
    EXPECT_EQ(result.code, platform::internetErrorNumber(60)) << result.message.toStdString(); // CURLE_PEER_FAILED_VERIFICATION
}

TEST_F(TlsServerTest, TrustedCertificateGivesTheBodyOverHttps)
{
    NginxServer nginx(dir.filePath(QStringLiteral("www")), {}, {certificate, key});
    ASSERT_TRUE(nginx.isRunning());
    InternetSession session(QStringLiteral("Agent"));
    session.setCertificateAuthorities(certificate);
    auto [request, result] = session.openUrl(nginx.url(QStringLiteral("/x.bin")), {}, {});
    ASSERT_TRUE(request) << result.message.toStdString();
    EXPECT_EQ(request->statusCode(), 200);
    char data[16];
    std::int64_t read = 0;
    ASSERT_TRUE(request->read(data, sizeof data, read).ok);
    EXPECT_EQ(QByteArray(data, int(read)), QByteArray("secret"));
}

TEST_F(TlsServerTest, AConnectionIsNotReusedOnceOtherAuthoritiesAreTrusted)
{
    NginxServer nginx(dir.filePath(QStringLiteral("www")), {}, {certificate, key});
    ASSERT_TRUE(nginx.isRunning());
    TempDir other;
    ASSERT_EQ(QProcess::execute(QStringLiteral("openssl"),
                                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                                 QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                                 QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                                 QStringLiteral("-keyout"), other.filePath(QStringLiteral("key.pem")),
                                 QStringLiteral("-out"), other.filePath(QStringLiteral("cert.pem"))}),
              0);
    InternetSession session(QStringLiteral("Agent"));
    session.setCertificateAuthorities(certificate);
    {
        auto [request, result] = session.openUrl(nginx.url(QStringLiteral("/x.bin")), {}, {});
        ASSERT_TRUE(request) << result.message.toStdString();
        int reads = 0;
        EXPECT_EQ(readAll(*request, reads), QByteArray("secret"));
    }
    // The finished request left its connection (and TLS session) to the session; neither may
    // carry a verification made against authorities no longer trusted.
    session.setCertificateAuthorities(other.filePath(QStringLiteral("cert.pem")));
    auto [request, result] = session.openUrl(nginx.url(QStringLiteral("/x.bin")), {}, {});
    EXPECT_FALSE(request);
    EXPECT_EQ(result.code, platform::internetErrorNumber(60)) << result.message.toStdString(); // CURLE_PEER_FAILED_VERIFICATION
}

} // namespace
