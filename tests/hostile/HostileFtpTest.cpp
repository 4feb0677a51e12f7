#include "HostileFixture.h"

#include "tests/support/FtpServer.h"

#include <QTimer>

#include <ostream>
#include <utility>
#include <vector>

namespace {

QByteArray listingLine(const QByteArray& name)
{
    return QByteArray("-rw-r--r--   1 owner    group           5 Jan 01  2020 ") + name;
}

class HostileFtp : public HostileFixture {
protected:
    HostileFtp() { engine.ShowDialog = false; }

    TWebTransferItem* addJob(TWebTransferProtocol protocol, const QString& url, const FtpServer& on)
    {
        TWebTransferItem* item = engine.Items().Add();
        item->Protocol = protocol;
        item->URL = url;
        item->TargetDir = inside();
        item->FTPHost = QStringLiteral("127.0.0.1");
        item->FTPPort = on.port();
        item->FTPUserID = QString::fromLatin1(FtpServer::User);
        item->FTPPassword = QString::fromLatin1(FtpServer::Password);
        return item;
    }

    static void writeRemote(const FtpServer& on, const QString& path, const QByteArray& data)
    {
        const QString full = on.rootDir() + u'/' + path;
        QDir().mkpath(full.left(full.lastIndexOf(u'/')));
        QFile file(full);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(data);
    }
};

TEST_F(HostileFtp, ListedNamesThatCouldEscapeAreRefusedOneByOne)
{
    const QByteArray longName(10000, 'n');
    FtpServer::Options options;
    options.extraListing = {listingLine(".."),
                            listingLine("."),
                            listingLine("../../evil"),
                            listingLine("sub\\..\\..\\evil"),
                            listingLine("/etc/evil"),
                            listingLine(QByteArray("nul\0name", 8)),
                            listingLine(longName)};
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/good.txt"), "good");
    outer.write(QStringLiteral("evil"), "mine");
    writeInside(QStringLiteral("good.txt"), "old");

    TWebTransferItem* job = addJob(wpMultiFtp, QStringLiteral("/pub/*"), server);
    QStringList done;
    engine.OnMultiFTPFileDone = [&](TWebTransfer*, const QString& name) { done << name; };
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    EXPECT_TRUE(job->Success());
    QStringList refused;
    for (const char* name : {"..", ".", "../../evil", "sub\\..\\..\\evil", "/etc/evil"})
        refused << QStringLiteral("ErrorInfo 3 Cannot create target file ") + insideFile(QString::fromLatin1(name));
    refused << QStringLiteral("ErrorInfo 3 Cannot create target file ") + insideFile(QStringLiteral("nul") + QChar(0)
                                                                                       + QStringLiteral("name"));
    EXPECT_EQ(events.only(QStringLiteral("ErrorInfo")), refused);
    // The server itself cannot serve a name that long; it is asked for and reported missing.
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")),
              QStringList{QStringLiteral("URLNotFound ") + QString::fromLatin1(longName)});
    EXPECT_EQ(done.size(), 8);
    EXPECT_EQ(readInside(QStringLiteral("good.txt")), QByteArray("good"));
    EXPECT_EQ(outer.read(QStringLiteral("evil")), QByteArray("mine"));
    EXPECT_EQ(entriesOf(outer.path()), (QStringList{QStringLiteral("evil"), QStringLiteral("inside")}));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("good.txt")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

TEST_F(HostileFtp, SlowServerKeepsTheWindowServedUntilCancel)
{
    FtpServer::Options options;
    options.throttle = 64 * 1024;
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/setup.exe"), bodyOf(4 * 1024 * 1024));
    writeInside(QStringLiteral("setup.exe"), "old");
    engine.Timeout = 5;
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("/pub/setup.exe"), server);
    int ticks = 0;
    int ticksAtFirstData = -1;
    bool cancelled = false;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        ++ticks;
        // Cancel once the window has kept ticking for a while after the first data.
        if (!cancelled && ticksAtFirstData >= 0 && ticks - ticksAtFirstData >= 20) {
            cancelled = true;
            engine.CancelCopy();
        }
    });
    ticker.start(10);
    auto original = engine.OnCopyProgress;
    engine.OnCopyProgress = [&](TWebTransfer* sender, int fileidx, std::int64_t size, std::int64_t total) {
        original(sender, fileidx, size, total);
        if (ticksAtFirstData < 0 && size > 0)
            ticksAtFirstData = ticks;
    };
    engine.Execute();
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(job->Cancelled());
    EXPECT_FALSE(job->Success());
    EXPECT_LT(events.progress.back().size, 4 * 1024 * 1024);
    EXPECT_TRUE(events.only(QStringLiteral("Error")).isEmpty()) << events.log.join(u'|').toStdString();
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
}

TEST_F(HostileFtp, EndlessListingKeepsMemoryBounded)
{
    FtpServer::Options options;
    options.endlessListing = true;
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/setup.exe"), bodyOf(5000));
    writeInside(QStringLiteral("setup.exe"), "old");
    engine.Timeout = 2;
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("/pub/setup.exe"), server);

    const qint64 before = residentKiB();
    ASSERT_GT(before, 0);
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";
    const qint64 after = residentKiB();
    EXPECT_LT(after - before, 64 * 1024) << before << " KiB before, " << after << " KiB after";
    EXPECT_FALSE(job->Success());
    EXPECT_EQ(events.only(QStringLiteral("URLNotFound")), QStringList{QStringLiteral("URLNotFound /pub/setup.exe")});
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), QByteArray("old"));
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

// Large enough that a reset inside it comes before its end.
constexpr int RemoteSize = 300000;
constexpr const char* NotFound = "URLNotFound /pub/setup.exe";
constexpr const char* Interrupted = "Error 7|ErrorInfo 7 Transfer interrupted %FILE%";

// A server that answers a command unexpectedly, or breaks off the data it sends.
struct ReplyCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> replies; // command, the reply it gets
    // The event the job ends with; none when the download still succeeds.
    const char* event;
    bool passive = false;
    // The byte after which the server resets the data connection; -1 for never.
    qint64 resetAt = -1;
    friend void PrintTo(const ReplyCase& c, std::ostream* os) { *os << c.name; }
};

class HostileFtpReply : public HostileFtp, public testing::WithParamInterface<ReplyCase> {};

TEST_P(HostileFtpReply, UnexpectedAnswerEndsTheJobWithoutDamage)
{
    FtpServer::Options options;
    for (const auto& [command, reply] : GetParam().replies)
        options.replies.insert(QString::fromLatin1(command), QString::fromLatin1(reply));
    options.resetAt = GetParam().resetAt;
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/setup.exe"), bodyOf(RemoteSize));
    writeInside(QStringLiteral("setup.exe"), "old");
    engine.Timeout = 2;
    engine.FTPPassive = GetParam().passive;

    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("/pub/setup.exe"), server);
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    const char* event = GetParam().event;
    EXPECT_EQ(failures().join(u'|'), QString::fromLatin1(event ? event : "")
                                         .replace(QStringLiteral("%FILE%"), insideFile(QStringLiteral("setup.exe"))))
        << events.log.join(u'|').toStdString();
    EXPECT_EQ(job->Success(), event == nullptr);
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), event ? QByteArray("old") : bodyOf(RemoteSize));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(entriesOf(outer.path()), QStringList{QStringLiteral("inside")});
    ASSERT_FALSE(events.log.isEmpty());
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, HostileFtpReply,
    testing::Values(ReplyCase{"PasswordAnsweredWithPlainOk", {{"PASS", "200 whatever"}}, NotFound},
                    ReplyCase{"CodeOutOfRange", {{"CWD", "999 what"}}, NotFound},
                    ReplyCase{"TypeRefused", {{"TYPE", "504 no such type"}}, NotFound},
                    ReplyCase{"SizeWithASuccessCodeOfAnotherKind", {{"SIZE", "250 fine"}}, nullptr},
                    ReplyCase{"SizeNotANumber", {{"SIZE", "213 lots"}}, nullptr},
                    ReplyCase{"SizeLargerThanTheFile", {{"SIZE", "213 999999"}}, Interrupted},
                    ReplyCase{"SizeSmallerThanTheFile", {{"SIZE", "213 100"}}, Interrupted},
                    ReplyCase{"ExtendedPassiveRefused", {{"EPSV", "500 no"}}, nullptr, true},
                    ReplyCase{"PassiveAddressGarbage",
                              {{"EPSV", "500 no"}, {"PASV", "227 Entering Passive Mode (999,1,1,1,1,1)"}},
                              NotFound, true},
                    ReplyCase{"ActiveModeRefused", {{"EPRT", "500 no"}, {"PORT", "500 no"}}, NotFound},
                    ReplyCase{"RetrDoneWithoutData", {{"RETR", "226 done"}}, NotFound},
                    ReplyCase{"RetrWithoutACode", {{"RETR", "hello"}}, NotFound},
                    ReplyCase{"ListRefused", {{"LIST", "550 no"}}, NotFound},
                    // A reset makes the receiver drop what it had not read: before the first
                    // byte nothing arrived, so the file counts as never opened.
                    ReplyCase{"ResetBeforeTheFirstByte", {}, NotFound, true, 0},
                    ReplyCase{"ResetMidFilePassive", {}, Interrupted, true, 100000},
                    ReplyCase{"ResetMidFileActive", {}, Interrupted, false, 100000}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
