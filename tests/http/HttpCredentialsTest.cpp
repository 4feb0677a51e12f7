#include "DownloadFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FreePort.h"
#include "tests/support/ModalAnswerer.h"

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

    QStringList authorizations() const { return authorizationsSeenBy(server); }

    ScriptedHttpServer server;
};

struct PolicyCase {
    const char* name;
    TWebTransferAuthentication policy;
};

class HttpStoredCredentials : public HttpCredentials, public testing::WithParamInterface<PolicyCase> {};

TEST_P(HttpStoredCredentials, CompleteStoredCredentialsGoWithTheFirstRequest)
{
    ModalAnswerer answerer({});
    TWebTransferItem* job = addAuthJob(GetParam().policy, QStringLiteral("alice"), QStringLiteral("secret"));
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(answerer.answered(), 0);
    EXPECT_EQ(authorizations(), QStringList{basic("alice:secret")});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), bodyOf(3000));
}

INSTANTIATE_TEST_SUITE_P(Policies, HttpStoredCredentials,
                         testing::Values(PolicyCase{"Never", waNever}, PolicyCase{"Auto", waAuto},
                                         PolicyCase{"Always", waAlways}),
                         caseName);

TEST_F(HttpCredentials, NoCredentialsSendNoHeaderAndNeverReports401)
{
    TWebTransferItem* job = addAuthJob(waNever, {}, {});
    engine.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(authorizations(), QStringList{QStringLiteral("none")});
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")),
              QStringList{QStringLiteral("ErrorInfo 401 Returned http error code 401")});
}

TEST_F(HttpCredentials, UserWithEmptyPasswordStillSendsTheHeader)
{
    TWebTransferItem* job = addJob(server.url(QStringLiteral("/auth/setup.exe?user=alice&pass=&size=10")));
    job->Authenticate = waAuto;
    job->HTTPUserID = QStringLiteral("alice");
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(authorizations(), QStringList{basic("alice:")});
}

TEST_F(HttpCredentials, AlwaysAsksBeforeTheFirstRequestWhenTheJobLacksAPassword)
{
    ModalAnswerer answerer({{{QStringLiteral("alice"), QStringLiteral("secret")}, QStringLiteral("OK")}});
    TWebTransferItem* job = addAuthJob(waAlways, QStringLiteral("alice"), {});
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(answerer.captions(), QStringList{QStringLiteral("Connect to 127.0.0.1:%1").arg(server.port())});
    EXPECT_EQ(authorizations(), QStringList{basic("alice:secret")});
    EXPECT_TRUE(job->HTTPPassword.isEmpty()) << "answers are not stored in the job";
}

TEST_F(HttpCredentials, AutoAsksAfterEach401UntilTheServerAccepts)
{
    ModalAnswerer answerer({{{QStringLiteral("bob"), QStringLiteral("wrong")}, QStringLiteral("OK")},
                            {{QStringLiteral("alice"), QStringLiteral("secret")}, QStringLiteral("OK")}});
    TWebTransferItem* job = addAuthJob(waAuto, {}, {});
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(answerer.answered(), 2);
    EXPECT_EQ(authorizations(), (QStringList{QStringLiteral("none"), basic("bob:wrong"), basic("alice:secret")}));
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty());
}

TEST_F(HttpCredentials, CancelledLoginEndsTheJobSilently)
{
    ModalAnswerer answerer({{{}, QStringLiteral("Cancel")}});
    TWebTransferItem* job = addAuthJob(waAlways, {}, {});
    engine.Execute();
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
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(authorizations(), (QStringList{basic("alice:secret"), QStringLiteral("none")}));
}

TEST_F(HttpCredentials, ProxyCredentialsGoToTheProxyOnly)
{
    engine.Proxy = QStringLiteral("127.0.0.1:%1").arg(server.port());
    engine.ProxyUserID = QStringLiteral("puser");
    engine.ProxyPassword = QStringLiteral("ppass");
    const QString url = QStringLiteral("http://origin.invalid/setup.exe");
    TWebTransferItem* job = addJob(url);
    QString fileLine;
    engine.OnFileDone = [&](TWebTransfer*, int) { fileLine = engine.ProgressFileLabel()->text(); };
    engine.Execute();
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
    engine.Proxy = QStringLiteral("127.0.0.1:%1").arg(freeTcpPort());
    engine.ProxyUserID = QStringLiteral("puser");
    engine.ProxyPassword = QStringLiteral("ppass");
    const QString url = QStringLiteral("http://origin.invalid/setup.exe");
    addJob(url);
    engine.Execute();
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")), QStringList{QStringLiteral("URLNotFound ") + url});
    EXPECT_FALSE(events.log.join(u'|').contains(QStringLiteral("ppass")));
}

} // namespace
