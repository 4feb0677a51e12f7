#include "tests/support/CaseName.h"
#include "tests/support/EngineFixture.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/WaitFor.h"

#include <QFileInfo>

#include <algorithm>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Size = 100000;
constexpr int Cut = 60000; // the first answer breaks off here

// A download with Resume on from the scripted server, whose first answer breaks off at 60%.
class Resume : public EngineFixture {
protected:
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TWebTransferItem* addJob(const QString& arguments)
    {
        TWebTransferItem* item = run.Items().Add();
        item->URL = server.url(QStringLiteral("/resume/size=%1&cut=%2%3/setup.exe").arg(Size).arg(Cut).arg(arguments));
        item->TargetDir = target.path();
        item->Resume = true;
        return item;
    }

    // The answers the server has logged, once it has logged count of them.
    QVector<ScriptedHttpServer::Answer> answers(int count) const
    {
        (void)waitFor([&] { return server.answers().size() >= count; });
        return server.answers();
    }

    // The first run: it breaks off and keeps what arrived.
    void interruptedRun(TWebTransferItem* job)
    {
        run.Execute();
        ASSERT_FALSE(job->Success());
        ASSERT_EQ(events.only(QStringLiteral("ErrorInfo")),
                  QStringList{QStringLiteral("ErrorInfo 7 Transfer interrupted ") + target.filePath(QStringLiteral("setup.exe"))});
        ASSERT_EQ(target.read(QStringLiteral(".setup.exe.kxresume")), patternedBytes(Cut));
        events.log.clear();
        events.progress.clear();
    }

    const QStringList KeptFiles{QStringLiteral(".setup.exe.kxresume"), QStringLiteral(".setup.exe.kxresume.info")};
    ScriptedHttpServer server;
};

TEST_F(Resume, InterruptedDownloadKeepsWhatArrivedPrivatelyBesideTheOldFile)
{
    KX_RUN_AS_ORDINARY_USER();
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob({});
    interruptedRun(job);

    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), (QStringList{KeptFiles[0], KeptFiles[1], QStringLiteral("setup.exe")}));
    for (const QString& name : KeptFiles) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(target.filePath(name)).constData(), &info), 0);
        EXPECT_TRUE(S_ISREG(info.st_mode)) << name.toStdString();
        EXPECT_EQ(info.st_mode & 0777, 0600u) << name.toStdString();
        EXPECT_EQ(info.st_uid, ::geteuid());
    }
    // The record names the address by a digest only: an address may carry a password.
    EXPECT_FALSE(target.read(KeptFiles[1]).contains("127.0.0.1"));
}

TEST_F(Resume, NextRunFetchesOnlyTheRestAndTheWholeFileIsVerified)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob({});
    interruptedRun(job);

    const QByteArray whole = patternedBytes(Size);
    job->ExpectedSHA256 = sha256Of(whole);
    job->ExpectedStart = whole.left(4);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), whole);
    EXPECT_EQ(job->SHA256(), sha256Of(whole));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});

    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("range")));
    EXPECT_EQ(requests[1].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(Cut));
    EXPECT_EQ(requests[1].headers.value(QStringLiteral("if-range")), QStringLiteral("\"v1\""));
    const QVector<ScriptedHttpServer::Answer> sent = answers(2);
    ASSERT_EQ(sent.size(), 2);
    EXPECT_EQ(sent[1].status, 206);
    EXPECT_EQ(sent[1].sent, Size - Cut);

    // Progress goes on from what was kept, towards the whole file.
    ASSERT_FALSE(events.progress.empty());
    EXPECT_GT(events.progress.front().size, Cut);
    EXPECT_EQ(events.progress.front().total, Size);
    EXPECT_EQ(events.progress.back().size, Size);
}

TEST_F(Resume, LastModifiedServesAsTheValidatorWithoutAnETag)
{
    const QString date = QStringLiteral("Wed, 21 Oct 2015 07:28:00 GMT");
    TWebTransferItem* job = addJob(QStringLiteral("&noetag=1&lastmod=") + QString(date).replace(u' ', QStringLiteral("%20")));
    interruptedRun(job);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(Size));
    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[1].headers.value(QStringLiteral("if-range")), date);
}

struct StartOver {
    const char* name;
    const char* arguments;
    QVector<int> secondRunStatuses; // what the server answered in the second run
    friend void PrintTo(const StartOver& c, std::ostream* out) { *out << c.name; }
};

const StartOver StartOvers[] = {
    // The file changed on the server: it honours If-Range by sending all of it.
    {"ChangedValidator", "&etags=\"v1\",\"v2\"", {200}},
    {"RangesNotServed", "&ranges=0", {200}},
    // A 206 that is not the rest asked for is never appended: the whole file is asked for again.
    {"WrongContentRangeStart", "&shift=1", {206, 200}},
    {"WrongContentRangeTotal", "&total=100001", {206, 200}},
};

class ResumeStartsOver : public Resume, public testing::WithParamInterface<StartOver> {};

TEST_P(ResumeStartsOver, WholeFileIsFetchedAgainAndNothingOfTheKeptBytesRemains)
{
    TWebTransferItem* job = addJob(QString::fromLatin1(GetParam().arguments));
    job->ComputeSHA256 = true;
    interruptedRun(job);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(Size));
    EXPECT_EQ(job->SHA256(), sha256Of(patternedBytes(Size)));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});

    // An answer is logged once it has been sent: one the engine dropped may end after the
    // next one, so the answers of the second run are compared in any order.
    QVector<int> expected = GetParam().secondRunStatuses;
    const QVector<ScriptedHttpServer::Answer> sent = answers(1 + static_cast<int>(expected.size()));
    ASSERT_EQ(sent.size(), 1 + expected.size());
    QVector<int> statuses;
    for (qsizetype i = 1; i < sent.size(); ++i)
        statuses.append(sent[i].status);
    std::sort(statuses.begin(), statuses.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(statuses, expected);
    EXPECT_TRUE(std::any_of(sent.cbegin() + 1, sent.cend(),
                            [](const ScriptedHttpServer::Answer& answer) { return answer.status == 200 && answer.sent == Size; }))
        << "the whole file is sent, without a range";
    // The second run asked for the rest; when the answer was not the whole file, it asked
    // again, for the whole file, without a range.
    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 1 + expected.size());
    EXPECT_TRUE(requests[1].headers.contains(QStringLiteral("range")));
    if (expected.size() > 1) {
        EXPECT_FALSE(requests.last().headers.contains(QStringLiteral("range")));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ResumeStartsOver, testing::ValuesIn(StartOvers), caseName);

// A server (or a cache before it) that sends the rest of a file that has changed meanwhile,
// whatever If-Range said: the 206 carries the new validator and the new file's bytes.
struct ChangedFile {
    const char* name;
    const char* arguments;
    friend void PrintTo(const ChangedFile& c, std::ostream* out) { *out << c.name; }
};

const ChangedFile ChangedFiles[] = {
    {"ETag", "&ifrange=0&vary=1&etags=\"v1\",\"v2\""},
    {"LastModified",
     "&ifrange=0&vary=1&noetag=1&lastmods=Wed,%2021%20Oct%202015%2007:28:00%20GMT|Thu,%2022%20Oct%202015%2007:28:00%20GMT"},
};

class ResumeOfAChangedFile : public Resume, public testing::WithParamInterface<ChangedFile> {};

TEST_P(ResumeOfAChangedFile, IsNotAppendedAndTheNewFileArrivesWhole)
{
    TWebTransferItem* job = addJob(QString::fromLatin1(GetParam().arguments));
    interruptedRun(job);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
    // The new file, never the old one's first part with the new one's rest.
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(Size, {.offset = 1}));
    EXPECT_EQ(job->ResumedBytes(), 0);
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_TRUE(requests[1].headers.contains(QStringLiteral("range")));
    EXPECT_FALSE(requests[2].headers.contains(QStringLiteral("range")));
}

INSTANTIATE_TEST_SUITE_P(Validators, ResumeOfAChangedFile, testing::ValuesIn(ChangedFiles), caseName);

// However a download breaks off (the connection reset, the server silent, too slow, or the
// head of the next attempt too slow), what arrived stays for the next run, which goes on
// from there.
struct BreakOff {
    const char* name;
    const char* acts;        // what the server does with each request, in turn
    int failedRuns;          // runs that fail before the one that completes the file
    std::int32_t timeout;    // run.Timeout, seconds; 0 for the default
    std::int32_t headTimeout;
    std::int32_t lowSpeedLimit;
    friend void PrintTo(const BreakOff& c, std::ostream* out) { *out << c.name; }
};

const BreakOff BreakOffs[] = {
    {"ConnectionReset", "reset,whole", 1, 0, 0, 0},
    {"ServerGoesSilent", "stall,whole", 1, 1, 0, 0},
    {"BodyBelowTheSpeedFloor", "trickle,whole", 1, 0, 0, 1024},
    {"HeadOfTheNextAttemptTooSlow", "cut,slowhead,whole", 2, 0, 1000, 0},
};

class ResumeAfterABreak : public Resume, public testing::WithParamInterface<BreakOff> {};

TEST_P(ResumeAfterABreak, KeepsWhatArrivedForTheNextRun)
{
    const BreakOff& row = GetParam();
    run.Timeout = row.timeout;
    run.ResponseHeadTimeout = row.headTimeout;
    run.LowSpeedLimit = row.lowSpeedLimit;
    run.LowSpeedTime = row.lowSpeedLimit > 0 ? 1 : 0;
    TWebTransferItem* job = addJob(QStringLiteral("&acts=") + QString::fromLatin1(row.acts));
    const QByteArray whole = patternedBytes(Size);
    job->ExpectedSHA256 = sha256Of(whole);

    QByteArray kept;
    for (int failed = 0; failed < row.failedRuns; ++failed) {
        run.Execute();
        ASSERT_FALSE(job->Success());
        kept = target.read(QStringLiteral(".setup.exe.kxresume"));
        ASSERT_GE(kept.size(), Cut) << "after run " << failed;
        EXPECT_EQ(kept, whole.left(kept.size()));
    }
    run.Execute();

    EXPECT_TRUE(job->Success()) << events.log.join(u'|').toStdString();
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), whole);
    EXPECT_EQ(job->ResumedBytes(), kept.size());
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(server.requests().last().headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(kept.size()));
}

INSTANTIATE_TEST_SUITE_P(Breaks, ResumeAfterABreak, testing::ValuesIn(BreakOffs), caseName);

// A part that one server's interrupted download kept goes on from another server that has
// the same file, the whole file's checksum deciding, when the job lets any address resume it.
struct OtherServer {
    const char* name;
    const char* firstArguments;  // server A's, whose answer breaks off
    const char* secondArguments; // server B's
    bool anySource;
    bool arrives;                // else the checksum refuses the file
    int resumedBytes;
    friend void PrintTo(const OtherServer& c, std::ostream* out) { *out << c.name; }
};

const OtherServer OtherServers[] = {
    {"SameFile", "", "&etags=\"b1\"", true, true, Cut},
    {"SameFileWithoutAValidatorAnywhere", "&noetag=1", "&noetag=1", true, true, Cut},
    {"AnotherFileOfTheSameSize", "", "&seed=7", true, false, Cut},
    // Without it a part belongs to its address alone, as always.
    {"OnlyTheSameAddress", "", "", false, true, 0},
};

class ResumeFromAnotherServer : public Resume, public testing::WithParamInterface<OtherServer> {
protected:
    void SetUp() override
    {
        Resume::SetUp();
        ASSERT_TRUE(other.isRunning());
    }

    ScriptedHttpServer other;
};

TEST_P(ResumeFromAnotherServer, GoesOnFromThePartAndTheChecksumDecides)
{
    const OtherServer& row = GetParam();
    const QByteArray whole = patternedBytes(Size);
    TWebTransferItem* job = addJob(QString::fromLatin1(row.firstArguments));
    job->ExpectedSHA256 = sha256Of(whole);
    job->ResumeFromAnySource = row.anySource;
    run.Execute();
    ASSERT_FALSE(job->Success());
    ASSERT_EQ(target.read(QStringLiteral(".setup.exe.kxresume")), whole.left(Cut))
        << "the part stays, with or without a validator";
    target.write(QStringLiteral("setup.exe"), "old");
    events.log.clear();

    job->URL = other.url(QStringLiteral("/resume/size=%1&cuts=0%2/setup.exe").arg(Size).arg(QString::fromLatin1(row.secondArguments)));
    run.Execute();

    EXPECT_EQ(job->Success(), row.arrives);
    EXPECT_EQ(job->ResumedBytes(), row.resumedBytes) << "the caller learns that the file was not fetched whole";
    const QVector<ScriptedHttpServer::Request> requests = other.requests();
    ASSERT_EQ(requests.size(), 1);
    if (row.resumedBytes > 0) {
        EXPECT_EQ(requests[0].headers.value(QStringLiteral("range")), QStringLiteral("bytes=%1-").arg(Cut));
        // Server A's validator means nothing to server B.
        EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("if-range")));
    } else {
        EXPECT_FALSE(requests[0].headers.contains(QStringLiteral("range")));
    }
    if (row.arrives) {
        EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), whole);
    } else {
        EXPECT_EQ(events.only(QStringLiteral("Error")),
                  (QStringList{QStringLiteral("Error 8"),
                               QStringLiteral("ErrorInfo 8 Checksum mismatch ") + target.filePath(QStringLiteral("setup.exe"))}));
        EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    }
    // Nothing of a refused file is kept to be resumed once more.
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

INSTANTIATE_TEST_SUITE_P(Servers, ResumeFromAnotherServer, testing::ValuesIn(OtherServers), caseName);

// After a mismatch that came from a resumed part, the caller asks again and gets the whole
// file, with no part left to resume.
TEST_F(Resume, NextRunAfterAMismatchOfAResumedFileFetchesItWhole)
{
    ScriptedHttpServer other;
    ASSERT_TRUE(other.isRunning());
    const QByteArray whole = patternedBytes(Size);
    TWebTransferItem* job = addJob({});
    job->ExpectedSHA256 = sha256Of(whole);
    job->ResumeFromAnySource = true;
    run.Execute();
    job->URL = other.url(QStringLiteral("/resume/size=%1&cuts=0&seed=7/setup.exe").arg(Size));
    run.Execute();
    ASSERT_EQ(job->ResumedBytes(), Cut);

    job->URL = server.url(QStringLiteral("/resume/size=%1&cuts=0/setup.exe").arg(Size));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(job->ResumedBytes(), 0);
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), whole);
    EXPECT_FALSE(server.requests().last().headers.contains(QStringLiteral("range")));
}

TEST_F(Resume, CancelLeavesNoPartialFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob({});
    interruptedRun(job);

    run.OnCopyProgress = [](TTransferRun* sender, int, std::int64_t, std::int64_t) { sender->CancelCopy(); };
    run.Execute();
    EXPECT_TRUE(job->Cancelled());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(Resume, CompletedDownloadWithoutAnInterruptionLeavesNoPartialFile)
{
    TWebTransferItem* job = addJob(QStringLiteral("&cuts=0"));
    run.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(Resume, ResumeOffKeepsNothing)
{
    TWebTransferItem* job = addJob({});
    job->Resume = false;
    run.Execute();
    EXPECT_FALSE(job->Success());
    EXPECT_TRUE(targetEntries().isEmpty());
}

// What another local user (or a damaged earlier run) could leave under the kept names is never
// trusted: the next run fetches the whole file and writes nothing through a link.
struct Tampering {
    const char* name;
    void (*tamper)(const TempDir& target);
    friend void PrintTo(const Tampering& c, std::ostream* out) { *out << c.name; }
};

const Tampering Tamperings[] = {
    {"PartialIsALink",
     [](const TempDir& target) {
         QFile::remove(target.filePath(QStringLiteral(".setup.exe.kxresume")));
         QFile::link(target.filePath(QStringLiteral("victim")), target.filePath(QStringLiteral(".setup.exe.kxresume")));
     }},
    {"PartialOthersMayWrite",
     [](const TempDir& target) {
         ::chmod(QFile::encodeName(target.filePath(QStringLiteral(".setup.exe.kxresume"))).constData(), 0666);
     }},
    {"PartialHasASecondName",
     [](const TempDir& target) {
         ::link(QFile::encodeName(target.filePath(QStringLiteral(".setup.exe.kxresume"))).constData(),
                QFile::encodeName(target.filePath(QStringLiteral("victim2"))).constData());
     }},
    {"RecordForAnotherAddress",
     [](const TempDir& target) {
         QFile info(target.filePath(QStringLiteral(".setup.exe.kxresume.info")));
         ASSERT_TRUE(info.open(QIODevice::ReadWrite));
         QByteArray record = info.readAll();
         record[record.indexOf("url ") + 4] = record[record.indexOf("url ") + 4] == 'a' ? 'b' : 'a';
         info.seek(0);
         info.write(record);
     }},
    {"RecordWithALineBreakInTheValidator",
     [](const TempDir& target) {
         QFile info(target.filePath(QStringLiteral(".setup.exe.kxresume.info")));
         ASSERT_TRUE(info.open(QIODevice::ReadWrite));
         QByteArray record = info.readAll().replace("validator \"v1\"", "validator \"v1\"\rX-Evil: 1");
         info.resize(0);
         info.write(record);
     }},
};

class ResumeDistrusts : public Resume, public testing::WithParamInterface<Tampering> {};

TEST_P(ResumeDistrusts, TamperedKeptFilesAreNotResumed)
{
    KX_RUN_AS_ORDINARY_USER();
    target.write(QStringLiteral("victim"), "victim's file");
    TWebTransferItem* job = addJob({});
    interruptedRun(job);
    GetParam().tamper(target);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(Size));
    EXPECT_EQ(target.read(QStringLiteral("victim")), QByteArray("victim's file"));
    const QVector<ScriptedHttpServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[1].headers.contains(QStringLiteral("range")));
    EXPECT_FALSE(requests[1].head.contains(QStringLiteral("X-Evil")));
}

INSTANTIATE_TEST_SUITE_P(Tamperings, ResumeDistrusts, testing::ValuesIn(Tamperings), caseName);

// A kept file that another user owns, in a folder both may write, is neither resumed nor
// removed: it is not ours.
TEST_F(Resume, PartialOfAnotherUserIsLeftAlone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    TWebTransferItem* job = addJob({});
    interruptedRun(job);
    const QByteArray part = QFile::encodeName(target.filePath(KeptFiles[0]));
    ASSERT_EQ(::chown(part.constData(), 65534, 65534), 0);
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), patternedBytes(Size));
    EXPECT_FALSE(server.requests().last().headers.contains(QStringLiteral("range")));
    struct stat info {};
    ASSERT_EQ(::lstat(part.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
}

} // namespace
