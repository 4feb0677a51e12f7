#include "tests/support/DownloadFixture.h"

namespace {

// Connections of one run: kept between its jobs, never between runs, and never carrying one
// job's credentials into another's request.
class HttpConnections : public DownloadFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TWebTransferItem* addNamedJob(const QString& path, const QString& name)
    {
        TWebTransferItem* job = addJob(server.url(path));
        job->TargetFilename = name;
        return job;
    }

    ScriptedHttpServer server;
};

TEST_F(HttpConnections, JobsOfOneRunShareOneConnectionEachWithItsOwnCredentials)
{
    TWebTransferItem* alice = addNamedJob(QStringLiteral("/auth/a.exe?user=alice&pass=secret&size=3000"),
                                          QStringLiteral("a.exe"));
    alice->HTTPUserID = QStringLiteral("alice");
    alice->HTTPPassword = QStringLiteral("secret");
    TWebTransferItem* anonymous = addNamedJob(QStringLiteral("/file/b.exe?size=2000"), QStringLiteral("b.exe"));
    TWebTransferItem* bob = addNamedJob(QStringLiteral("/auth/c.exe?user=bob&pass=other&size=1000"),
                                        QStringLiteral("c.exe"));
    bob->HTTPUserID = QStringLiteral("bob");
    bob->HTTPPassword = QStringLiteral("other");

    run.Execute();

    EXPECT_TRUE(alice->Success());
    EXPECT_TRUE(anonymous->Success());
    EXPECT_TRUE(bob->Success());
    EXPECT_EQ(server.connections(), 1);
    EXPECT_EQ(server.authorizations(), (QStringList{basic("alice:secret"), QStringLiteral("none"), basic("bob:other")}));
    EXPECT_EQ(target.read(QStringLiteral("b.exe")), patternedBytes(2000));
    EXPECT_EQ(target.read(QStringLiteral("c.exe")), patternedBytes(1000));
}

TEST_F(HttpConnections, ARefusedLoginLeavesNoCredentialsForTheNextJob)
{
    TWebTransferItem* refused = addNamedJob(QStringLiteral("/auth/a.exe?user=alice&pass=secret"), QStringLiteral("a.exe"));
    refused->Authenticate = waNever;
    refused->HTTPUserID = QStringLiteral("alice");
    refused->HTTPPassword = QStringLiteral("wrong");
    TWebTransferItem* next = addNamedJob(QStringLiteral("/auth/b.exe?user=&pass="), QStringLiteral("b.exe"));
    next->Authenticate = waNever;

    run.Execute();

    EXPECT_FALSE(refused->Success());
    // The server wants no credentials at all here ("Basic " of ":"): the job sent none.
    EXPECT_FALSE(next->Success());
    EXPECT_EQ(server.authorizations(), (QStringList{basic("alice:wrong"), QStringLiteral("none")}));
}

TEST_F(HttpConnections, EachRunOpensItsOwnConnection)
{
    TWebTransferItem* job = addNamedJob(QStringLiteral("/file/a.exe?size=500"), QStringLiteral("a.exe"));
    run.Execute();
    ASSERT_TRUE(job->Success());
    ASSERT_TRUE(QFile::remove(target.filePath(QStringLiteral("a.exe"))));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(server.connections(), 2) << "a connection outlived its run";
}

} // namespace
