#include "tests/support/DownloadFixture.h"

#include "platform/network/InternetSession.h"
#include "tests/support/CaseName.h"

namespace {

// With keep-alive authentication the credentials asked for after a 401 go over the connection
// the 401 came over, as servers that tie a login to its connection need. Whether the 401's page
// has fully arrived when its request is closed is a matter of timing, so each case runs many
// rounds.
constexpr int Rounds = 50;

struct KeepAliveCase {
    const char* name;
    bool keepAlive;
    // The 401's page: empty for the server's short one, else its page argument.
    const char* page;
    // 1: the credentials must come over the 401's connection; 2: over a new one; 0: either.
    int connectionsPerRound;
    friend void PrintTo(const KeepAliveCase& c, std::ostream* os) { *os << c.name; }
};

class HttpKeepAlive : public DownloadFixture, public testing::WithParamInterface<KeepAliveCase> {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    QString authUrl() const
    {
        QString path = QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=3000");
        if (*GetParam().page)
            path += QStringLiteral("&page=") + QString::fromLatin1(GetParam().page);
        return server.url(path);
    }

    ScriptedHttpServer server;
};

TEST_P(HttpKeepAlive, CredentialsAskedForAfterA401ReachTheServer)
{
    run.HTTPKeepAliveAuthentication = GetParam().keepAlive;
    TWebTransferItem* job = addJob(authUrl());
    job->TargetFilename = QStringLiteral("setup.exe");
    job->Authenticate = waAuto;

    for (int round = 0; round < Rounds; ++round) {
        ui.answerLogins({{QStringLiteral("alice"), QStringLiteral("secret")}});
        ui.loginCaptions.clear();
        run.Execute();
        ASSERT_TRUE(job->Success()) << "round " << round;
        ASSERT_EQ(ui.loginCaptions.size(), 1) << "round " << round;
    }
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(3000));

    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2 * Rounds);
    for (int round = 0; round < Rounds; ++round) {
        const ScriptedHttpServer::Request& challenged = requests[2 * round];
        const ScriptedHttpServer::Request& answered = requests[2 * round + 1];
        EXPECT_FALSE(challenged.headers.contains(QStringLiteral("authorization"))) << "round " << round;
        EXPECT_EQ(answered.headers.value(QStringLiteral("authorization")), basic("alice:secret")) << "round " << round;
        if (GetParam().connectionsPerRound == 1) {
            EXPECT_EQ(answered.connection, challenged.connection) << "round " << round;
        } else if (GetParam().connectionsPerRound == 2) {
            EXPECT_NE(answered.connection, challenged.connection) << "round " << round;
        }
    }
    // No connection outlives its run.
    if (GetParam().connectionsPerRound > 0) {
        EXPECT_EQ(server.connections(), GetParam().connectionsPerRound * Rounds);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HttpKeepAlive,
    testing::Values(KeepAliveCase{"KeptShortPage", true, "", 1},
                    KeepAliveCase{"KeptLongerPage", true, "20000", 1},
                    // A page that never ends cannot be read past: the 401's connection goes.
                    KeepAliveCase{"EndlessPageNotWaitedFor", true, "endless", 2},
                    KeepAliveCase{"NotAsked", false, "", 0}),
    caseName);

using HttpKeepAliveSession = DownloadFixture;

// The 401's page, taken in so the connection stays, is still there for a reader.
TEST_F(HttpKeepAliveSession, TheChallengePageStaysReadable)
{
    ScriptedHttpServer server;
    ASSERT_TRUE(server.isRunning());
    const QString url = server.url(QStringLiteral("/auth/setup.exe?user=alice&pass=secret&size=100&page=20000"));
    const platform::OpenFlags flags = platform::OpenFlag::Reload | platform::OpenFlag::KeepConnection;
    platform::InternetSession session(QStringLiteral("Agent"));

    auto [challenge, opened] = session.openUrl(url, {}, flags);
    ASSERT_TRUE(challenge) << opened.message.toStdString();
    EXPECT_EQ(challenge->statusCode(), 401);
    QByteArray page;
    char block[4096];
    for (std::int64_t count = 1; count > 0;) {
        const platform::InternetResult read = challenge->read(block, sizeof block, count);
        ASSERT_TRUE(read.ok) << read.message.toStdString();
        page.append(block, static_cast<qsizetype>(count));
    }
    challenge.reset();
    EXPECT_EQ(page, patternedBytes(20000));

    auto [answer, reopened] = session.openUrl(url, QStringLiteral("Authorization: ") + basic("alice:secret"), flags);
    ASSERT_TRUE(answer) << reopened.message.toStdString();
    EXPECT_EQ(answer->statusCode(), 200);
    EXPECT_EQ(server.connections(), 1);
}

} // namespace
