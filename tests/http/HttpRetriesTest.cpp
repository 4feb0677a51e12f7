#include "tests/support/DownloadFixture.h"

#include "tests/support/CaseName.h"
#include "tests/support/FreePort.h"
#include "tests/support/WaitFor.h"
#include "transfer/DateConversions.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// Downloads from a server that fails on purpose, with the waits the run announces gathered
// from its user's file line while the run goes on.
class HttpRetries : public DownloadFixture {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isRunning());
        QObject::connect(&watch, &QTimer::timeout, [this] {
            const QString& line = ui.fileLine;
            if (!line.startsWith(QStringLiteral("Waiting")))
                return;
            if (waitLines.isEmpty() || waitLines.last() != line) {
                waitLines << line;
                if (onWaitLine)
                    onWaitLine(line);
            }
        });
        watch.start(10);
    }

    TWebTransferItem* addRetriedJob(const QString& path, int retries)
    {
        TWebTransferItem* job = addJob(server.url(path));
        job->Retries = retries;
        return job;
    }

    static QStringList failureEvents(int status)
    {
        return {QStringLiteral("FileStart 0"), QStringLiteral("Error %1").arg(status),
                QStringLiteral("ErrorInfo %1 Returned http error code %1").arg(status), QStringLiteral("FileDone 0"),
                QStringLiteral("CopyDone")};
    }

    ScriptedHttpServer server;
    QTimer watch;
    QStringList waitLines;
    std::function<void(const QString&)> onWaitLine;
};

TEST_F(HttpRetries, TwoBusyAnswersAreWaitedOutAndTheFileArrives)
{
    TWebTransferItem* job = addRetriedJob(QStringLiteral("/flaky/fail=2&size=9000/setup.exe"), 3);
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(9000));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(server.requests().size(), 3);
    // The failures that were waited out are nobody's business but the user's, who saw the waits.
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
    EXPECT_EQ(waitLines, (QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 4: setup.exe"),
                                      QStringLiteral("Waiting 2 s before attempt 3 of 4: setup.exe")}));
}

struct FinalFailureCase {
    const char* name;
    const char* path;
    int retries;
    int status;
    int requests;
};

class HttpRetriesFinalFailure : public HttpRetries, public testing::WithParamInterface<FinalFailureCase> {};

// Whether the failure is permanent, the job has no retries or its attempts ran out, the owner
// hears of the last failure once, exactly as from a job that is never retried.
TEST_P(HttpRetriesFinalFailure, IsReportedOnceAfterTheLastAttempt)
{
    const FinalFailureCase& row = GetParam();
    TWebTransferItem* job = addRetriedJob(QString::fromLatin1(row.path), row.retries);
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_FALSE(job->Cancelled());
    EXPECT_EQ(server.requests().size(), row.requests);
    EXPECT_EQ(events.log, failureEvents(row.status));
    EXPECT_TRUE(targetEntries().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HttpRetriesFinalFailure,
    testing::Values(FinalFailureCase{"NotFoundIsNeverRetried", "/status/code=404/setup.exe", 3, 404, 1},
                    FinalFailureCase{"ForbiddenIsNeverRetried", "/status/code=403/setup.exe", 3, 403, 1},
                    FinalFailureCase{"BusyServerWithoutRetriesIsAskedOnce", "/flaky/fail=9/setup.exe", 0, 503, 1},
                    FinalFailureCase{"BusyServerUntilTheAttemptsRunOut", "/flaky/fail=9&code=502/setup.exe", 1, 502, 2},
                    FinalFailureCase{"BusyForLongerThanAMinuteIsNotWaitedFor", "/flaky/fail=9&after=120/setup.exe", 3,
                                     503, 1}),
    caseName);

TEST_F(HttpRetries, TargetThatCannotBeCreatedIsNotRetried)
{
    target.write(QStringLiteral("setup.exe/inside"));
    TWebTransferItem* job = addRetriedJob(QStringLiteral("/file/setup.exe"), 3);
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(events.only(QStringLiteral("Error")),
              (QStringList{QStringLiteral("Error 3"),
                           QStringLiteral("ErrorInfo 3 Cannot create file ") + target.filePath(QStringLiteral("setup.exe"))}));
}

TEST_F(HttpRetries, RetryAfterReplacesTheBackOff)
{
    TWebTransferItem* job = addRetriedJob(QStringLiteral("/flaky/fail=1&code=429&after=2/setup.exe"), 1);
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 2 s before attempt 2 of 2: setup.exe")});
}

// A broken transfer is tried again from the start, and the new attempt makes its own date
// test: the date the broken one found does not make the file look "not newer".
TEST_F(HttpRetries, BrokenTransferIsTriedAgainWithItsOwnDateTest)
{
    const TDateTime serverDate = DateTimeFromQDateTime(QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC));
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addRetriedJob(QStringLiteral("/flaky/fail=1&code=0&size=8000/setup.exe"), 1);
    job->CopyNewerOnly = true;
    job->FileDate = serverDate - 1;
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_FALSE(job->NoNewVersion());
    EXPECT_DOUBLE_EQ(job->NewFileDate, serverDate);
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(8000));
    EXPECT_EQ(server.requests().size(), 2);
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
}

// While the run waits nothing moves: the rate line says so instead of keeping the broken
// attempt's rate.
TEST_F(HttpRetries, TheRateLineShowsNothingMovingWhileTheRunWaits)
{
    addRetriedJob(QStringLiteral("/flaky/fail=1&code=0&size=300000/setup.exe"), 1);
    QString rateWhileWaiting;
    onWaitLine = [&](const QString&) { rateWhileWaiting = ui.rateLine; };
    run.Execute();
    EXPECT_EQ(rateWhileWaiting, QStringLiteral("Transfer rate : 0 bytes/sec"));
}

// Answers every connection with a small file, as a server that has just come up would.
class LateServer {
public:
    bool listen(quint16 port)
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                auto head = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, head] {
                    *head += socket->readAll();
                    if (!head->contains("\r\n\r\n"))
                        return;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nConnection: close\r\n\r\nhello");
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return m_server.listen(QHostAddress::LocalHost, port);
    }

private:
    QTcpServer m_server;
};

TEST_F(HttpRetries, RefusedConnectionIsTriedAgainOnceTheServerListens)
{
    const quint16 port = freeTcpPort();
    ASSERT_NE(port, 0);
    TWebTransferItem* job = addJob(QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(port));
    job->Retries = 2;
    LateServer late;
    bool listening = false;
    onWaitLine = [&](const QString&) { listening = listening || late.listen(port); };
    run.Execute();
    EXPECT_TRUE(listening);
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("hello"));
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 3: setup.exe")});
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("FileDone 0"),
                                       QStringLiteral("CopyDone")}));
}

TEST_F(HttpRetries, RefusedConnectionToTheEndIsTheUsualUrlNotFound)
{
    const QString url = QStringLiteral("http://127.0.0.1:%1/setup.exe").arg(freeTcpPort());
    TWebTransferItem* job = addJob(url);
    job->Retries = 1;
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 1 s before attempt 2 of 2: setup.exe")});
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("URLNotFound ") + url,
                                       QStringLiteral("FileDone 0"), QStringLiteral("CopyDone")}));
    EXPECT_FALSE(run.LastInternetResult().ok);
}

TEST_F(HttpRetries, CancelDuringTheWaitEndsTheJobAtOnce)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addRetriedJob(QStringLiteral("/flaky/fail=9&after=60/setup.exe"), 2);
    QElapsedTimer sinceCancel;
    onWaitLine = [&](const QString&) {
        sinceCancel.start();
        run.CancelCopy();
    };
    run.Execute();
    ASSERT_TRUE(sinceCancel.isValid()) << "no wait was announced";
    // The same patience every condition wait of the tests has, far below the minute the
    // server asked for.
    EXPECT_LT(sinceCancel.elapsed(), DefaultPatienceMs);
    EXPECT_EQ(waitLines, QStringList{QStringLiteral("Waiting 60 s before attempt 2 of 3: setup.exe")});
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(server.requests().size(), 1);
    EXPECT_EQ(events.log, (QStringList{QStringLiteral("FileStart 0"), QStringLiteral("CopyDone")}));
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
}

} // namespace
