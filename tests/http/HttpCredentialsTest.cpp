#include "tests/support/DownloadFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FreePort.h"

#include <QUrl>

namespace {

class HttpCredentials : public DownloadFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TWebTransferItem* addAuthJob(TWebTransferAuthentication policy, const QString& user, const QString& password)
    {
        TWebTransferItem* job = addJob(server.url(QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=3000")));
        job->TargetFilename = QStringLiteral("setup.exe");
        job->Authenticate = policy;
        job->HTTPUserID = user;
        job->HTTPPassword = password;
        return job;
    }

    ScriptedHttpServer server;
};

struct PolicyCase {
    const char* name;
    TWebTransferAuthentication policy;
};

class HttpStoredCredentials : public HttpCredentials, public testing::WithParamInterface<PolicyCase> {};

TEST_P(HttpStoredCredentials, CompleteStoredCredentialsGoWithTheFirstRequest)
{
    TWebTransferItem* job = addAuthJob(GetParam().policy, QStringLiteral("alice"), QStringLiteral("secret"));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(ui.loginCaptions, QStringList{}) << "nobody was asked";
    EXPECT_EQ(server.authorizations(), QStringList{basic("alice:secret")});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(3000));
}

INSTANTIATE_TEST_SUITE_P(Policies, HttpStoredCredentials,
                         testing::Values(PolicyCase{"Never", waNever}, PolicyCase{"Auto", waAuto},
                                         PolicyCase{"Always", waAlways}),
                         caseName);

TEST_F(HttpCredentials, NoCredentialsSendNoHeaderAndNeverReports401)
{
    TWebTransferItem* job = addAuthJob(waNever, {}, {});
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(server.authorizations(), QStringList{QStringLiteral("none")});
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 401 Returned http error code 401")});
}

TEST_F(HttpCredentials, UserWithEmptyPasswordStillSendsTheHeader)
{
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/auth/setup.exe?user=alice&pass=&size=10")));
    job->Authenticate = waAuto;
    job->HTTPUserID = QStringLiteral("alice");
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(server.authorizations(), QStringList{basic("alice:")});
}

TEST_F(HttpCredentials, AlwaysAsksBeforeTheFirstRequestWhenTheJobLacksAPassword)
{
    ui.answerLogins({{QStringLiteral("alice"), QStringLiteral("secret")}});
    TWebTransferItem* job = addAuthJob(waAlways, QStringLiteral("alice"), {});
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(ui.loginCaptions, QStringList{QStringLiteral("Connect to 127.0.0.1:%1").arg(server.port())});
    EXPECT_EQ(server.authorizations(), QStringList{basic("alice:secret")});
    EXPECT_TRUE(job->HTTPPassword.isEmpty()) << "answers are not stored in the job";
}

TEST_F(HttpCredentials, AutoAsksAfterEach401UntilTheServerAccepts)
{
    ui.answerLogins({{QStringLiteral("bob"), QStringLiteral("wrong")}, {QStringLiteral("alice"), QStringLiteral("secret")}});
    TWebTransferItem* job = addAuthJob(waAuto, {}, {});
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(ui.loginCaptions.size(), 2);
    EXPECT_EQ(server.authorizations(), (QStringList{QStringLiteral("none"), basic("bob:wrong"), basic("alice:secret")}));
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
}

TEST_F(HttpCredentials, CancelledLoginEndsTheJobSilently)
{
    ui.answerLogins({});
    TWebTransferItem* job = addAuthJob(waAlways, {}, {});
    run.Execute();
    EXPECT_EQ(ui.loginCaptions.size(), 1);
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
}

TEST_F(HttpCredentials, BasicCredentialsAreNotSentToAnotherHostAfterARedirect)
{
    const QString elsewhere = server.urlAsLocalhost(QStringLiteral("/file/setup.exe?size=100"));
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/redirect/setup.exe?to="))
                                   + QString::fromLatin1(QUrl::toPercentEncoding(elsewhere)));
    job->TargetFilename = QStringLiteral("setup.exe");
    job->HTTPUserID = QStringLiteral("alice");
    job->HTTPPassword = QStringLiteral("secret");
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(server.authorizations(), (QStringList{basic("alice:secret"), QStringLiteral("none")}));
}

TEST_F(HttpCredentials, ProxyCredentialsGoToTheProxyOnly)
{
    run.Proxy = QStringLiteral("127.0.0.1:%1").arg(server.port());
    run.ProxyUserID = QStringLiteral("puser");
    run.ProxyPassword = QStringLiteral("ppass");
    const QString url = QStringLiteral("http://origin.invalid/setup.exe");
    TWebTransferItem* job = addJob(url);
    QString fileLine;
    run.OnFileDone = [&](TTransferRun*, int) { fileLine = ui.fileLine; };
    run.Execute();
    EXPECT_TRUE(job->Success());
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].target, url);
    EXPECT_EQ(requests[0].headers.value(QStringLiteral("proxy-authorization")), basic("puser:ppass"));
    EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("authorization")));
    EXPECT_FALSE(fileLine.contains(QStringLiteral("ppass")));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("proxied"));
}

TEST_F(HttpCredentials, ProxyPasswordNeverAppearsInAnEventText)
{
    // No proxy listens there: the address is reported as not found.
    run.Proxy = QStringLiteral("127.0.0.1:%1").arg(freeTcpPort());
    run.ProxyUserID = QStringLiteral("puser");
    run.ProxyPassword = QStringLiteral("ppass");
    const QString url = QStringLiteral("http://origin.invalid/setup.exe");
    addJob(url);
    run.Execute();
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")), QStringList{QStringLiteral("URLNotFound ") + url});
    EXPECT_FALSE(events.log.join(u'|').contains(QStringLiteral("ppass")));
}

} // namespace
