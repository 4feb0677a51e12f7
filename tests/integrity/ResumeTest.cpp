#include "tests/support/CaseName.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitFor.h"
#include "transfer/WebTransfer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Size = 100000;
constexpr int Cut = 60000; // the first answer breaks off here

QByteArray bodyOf(int size)
{
    QByteArray result(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        result[i] = static_cast<char>(i % 256); // what the scripted server sends
    return result;
}

QString sha256Of(const QByteArray& data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// A download with Resume on from the scripted server, whose first answer breaks off at 60%.
class Resume : public testing::Test {
protected:
    Resume() : events(engine) { engine.ShowDialog = false; }
    void SetUp() override { ASSERT_TRUE(server.isRunning()); }

    TWebTransferItem* addJob(const QString& arguments)
    {
        TWebTransferItem* item = engine.Items().Add();
        item->URL = server.url(QStringLiteral("/resume/size=%1&cut=%2%3/setup.exe").arg(Size).arg(Cut).arg(arguments));
        item->TargetDir = target.path();
        item->Resume = true;
        return item;
    }

    QStringList targetEntries() const
    {
        QStringList names = QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        names.sort();
        return names;
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
        engine.Execute();
        ASSERT_FALSE(job->Success());
        ASSERT_EQ(events.only(QStringLiteral("ErrorInfo")),
                  QStringList{QStringLiteral("ErrorInfo 7 Transfer interrupted ") + target.filePath(QStringLiteral("setup.exe"))});
        ASSERT_EQ(target.read(QStringLiteral(".setup.exe.kxresume")), bodyOf(Cut));
        events.log.clear();
        events.progress.clear();
    }

    const QStringList KeptFiles{QStringLiteral(".setup.exe.kxresume"), QStringLiteral(".setup.exe.kxresume.info")};
    ScriptedHttpServer server;
    TempDir target;
    TWebTransfer engine;
    EngineEvents events;
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

    const QByteArray whole = bodyOf(Size);
    job->ExpectedSHA256 = sha256Of(whole);
    job->ExpectedStart = whole.left(4);
    engine.Execute();

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
    engine.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), bodyOf(Size));
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
    engine.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("Error")), QStringList{});
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), bodyOf(Size));
    EXPECT_EQ(job->SHA256(), sha256Of(bodyOf(Size)));
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

TEST_F(Resume, CancelLeavesNoPartialFile)
{
    target.write(QStringLiteral("setup.exe"), "old");
    TWebTransferItem* job = addJob({});
    interruptedRun(job);

    engine.OnCopyProgress = [](TWebTransfer* sender, int, std::int64_t, std::int64_t) { sender->CancelCopy(); };
    engine.Execute();
    EXPECT_TRUE(job->Cancelled());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(Resume, CompletedDownloadWithoutAnInterruptionLeavesNoPartialFile)
{
    TWebTransferItem* job = addJob(QStringLiteral("&cuts=0"));
    engine.Execute();
    EXPECT_TRUE(job->Success());
    EXPECT_EQ(targetEntries(), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(Resume, ResumeOffKeepsNothing)
{
    TWebTransferItem* job = addJob({});
    job->Resume = false;
    engine.Execute();
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
    engine.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), bodyOf(Size));
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
    engine.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(target.read(QStringLiteral("setup.exe")), bodyOf(Size));
    EXPECT_FALSE(server.requests().last().headers.contains(QStringLiteral("range")));
    struct stat info {};
    ASSERT_EQ(::lstat(part.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
}

} // namespace
