#include "tests/support/HostileFixture.h"

#include "tests/support/CaseName.h"
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
    TWebTransferItem* addJob(TWebTransferProtocol protocol, const QString& url, const FtpServer& on)
    {
        return addFtpJob(protocol, url, inside(), on);
    }

    static QByteArray readRemote(const FtpServer& on, const QString& path) { return readFile(on.rootDir() + u'/' + path); }

    static void writeRemote(const FtpServer& on, const QString& path, const QByteArray& data)
    {
        writeFile(on.rootDir() + u'/' + path, data);
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
    run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
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

TEST_F(HostileFtp, SlowServerKeepsTheEventLoopServedUntilCancel)
{
    FtpServer::Options options;
    options.throttle = 64 * 1024;
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/setup.exe"), patternedBytes(4 * 1024 * 1024));
    writeInside(QStringLiteral("setup.exe"), "old");
    run.Timeout = 5;
    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("/pub/setup.exe"), server);
    EXPECT_TRUE(executeCancellingAfterFirstData());
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
    writeRemote(server, QStringLiteral("pub/setup.exe"), patternedBytes(5000));
    writeInside(QStringLiteral("setup.exe"), "old");
    run.Timeout = 2;
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
    writeRemote(server, QStringLiteral("pub/setup.exe"), patternedBytes(RemoteSize));
    writeInside(QStringLiteral("setup.exe"), "old");
    run.Timeout = 2;
    run.FTPPassive = GetParam().passive;

    TWebTransferItem* job = addJob(wpFtp, QStringLiteral("/pub/setup.exe"), server);
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    const char* event = GetParam().event;
    EXPECT_EQ(failures().join(u'|'), QString::fromLatin1(event ? event : "")
                                         .replace(QStringLiteral("%FILE%"), insideFile(QStringLiteral("setup.exe"))))
        << events.log.join(u'|').toStdString();
    EXPECT_EQ(job->Success(), event == nullptr);
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), event ? QByteArray("old") : patternedBytes(RemoteSize));
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
    caseName);


// What an injected command would do if it reached the server.
const QString Injected = QStringLiteral("DELE victim");

// A job field that carries a line break (or a NUL) followed by a command of its own.
struct InjectionCase {
    std::string name;
    TWebTransferProtocol protocol;
    QString field;
    QString breaker;
    int code;
    // The error text; %HOST%, %INSIDE% and %INJECTED% (the field's own addition) filled in.
    QString info;
    friend void PrintTo(const InjectionCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<InjectionCase> InjectionCases()
{
    const std::vector<std::pair<const char*, TWebTransferProtocol>> kinds{
        {"Ftp", wpFtp},           {"FtpUpload", wpFtpUpload}, {"MultiFtp", wpMultiFtp},
        {"MultiFtpUpload", wpMultiFtpUpload}, {"FtpDelete", wpFtpDelete}, {"FtpList", wpFtpList},
        {"FtpTest", wpFtpTest}};
    const std::vector<std::pair<const char*, QString>> breakers{{"CrLf", QStringLiteral("\r\n")},
                                                                {"Cr", QStringLiteral("\r")},
                                                                {"Lf", QStringLiteral("\n")},
                                                                {"Nul", QString(QChar(0))}};
    std::vector<InjectionCase> cases;
    std::size_t turn = 0;
    auto add = [&](const char* kind, TWebTransferProtocol protocol, const char* field, int code, const char* info) {
        const auto& [breakerName, breaker] = breakers[turn++ % breakers.size()];
        cases.push_back({std::string(kind) + "_" + field + "_" + breakerName, protocol, QString::fromLatin1(field),
                         breaker, code, QString::fromLatin1(info)});
    };
    // The server and the login go into the first commands of every kind of job.
    for (const auto& [kind, protocol] : kinds) {
        for (const char* field : {"FTPUserID", "FTPPassword"})
            add(kind, protocol, field, 6, "Cannot connect to FTP server 127.0.0.1");
        add(kind, protocol, "FTPHost", 6, "Cannot connect to FTP server 127.0.0.1%INJECTED%");
    }
    // Remote names, directories, patterns and paths, each where its job kind sends it.
    add("Ftp", wpFtp, "URL", 3, "Cannot create target file %INSIDE%/a.txt%INJECTED%");
    add("FtpUpload", wpFtpUpload, "TargetDir", 3, "Cannot create target file in%INJECTED%/up.txt");
    add("FtpUpload", wpFtpUpload, "TargetFilename", 3, "Cannot create target file in/up.txt%INJECTED%");
    add("FtpUpload", wpFtpUpload, "URL", 3, "Cannot create target file in/up.txt%INJECTED%");
    add("MultiFtp", wpMultiFtp, "URL", 3, "Cannot create target file %INSIDE%/*.txt%INJECTED%");
    add("MultiFtpUpload", wpMultiFtpUpload, "TargetDir", 3, "Cannot create target file in%INJECTED%/*.txt");
    add("FtpDelete", wpFtpDelete, "TargetDir", 3, "Cannot create target file pub%INJECTED%/a.txt");
    add("FtpDelete", wpFtpDelete, "TargetFilename", 3, "Cannot create target file pub/a.txt%INJECTED%");
    add("FtpDelete", wpFtpDelete, "URL", 3, "Cannot create target file pub/a.txt%INJECTED%");
    add("FtpList", wpFtpList, "URL", 3, "Cannot create target file /pub/*.txt%INJECTED%");
    return cases;
}

class FtpInjection : public HostileFtp, public testing::WithParamInterface<InjectionCase> {
protected:
    // A job of the kind that would do its work on the server if nothing were injected.
    TWebTransferItem* plainJob(const FtpServer& on)
    {
        const QString source = outer.write(QStringLiteral("up.txt"), "upload");
        switch (GetParam().protocol) {
        case wpFtpUpload: {
            TWebTransferItem* job = addJob(wpFtpUpload, source, on);
            job->TargetDir = QStringLiteral("in");
            return job;
        }
        case wpMultiFtpUpload: {
            TWebTransferItem* job = addJob(wpMultiFtpUpload, outer.filePath(QStringLiteral("*.txt")), on);
            job->TargetDir = QStringLiteral("in");
            return job;
        }
        case wpFtpDelete: {
            TWebTransferItem* job = addJob(wpFtpDelete, QString(), on);
            job->TargetDir = QStringLiteral("pub");
            job->TargetFilename = QStringLiteral("a.txt");
            return job;
        }
        case wpMultiFtp:
        case wpFtpList:
            return addJob(GetParam().protocol, QStringLiteral("/pub/*.txt"), on);
        default:
            return addJob(GetParam().protocol, QStringLiteral("/pub/a.txt"), on);
        }
    }
};

TEST_P(FtpInjection, LineBreakInAFieldFailsTheJobBeforeAnythingIsSent)
{
    const InjectionCase& param = GetParam();
    FtpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    for (const char* victim : {"victim", "pub/victim", "in/victim"})
        writeRemote(server, QString::fromLatin1(victim), "keep me");
    writeRemote(server, QStringLiteral("pub/a.txt"), "remote a");

    TWebTransferItem* job = plainJob(server);
    const QString injected = param.breaker + Injected;
    if (param.field == u"FTPUserID")
        job->FTPUserID += injected;
    else if (param.field == u"FTPPassword")
        job->FTPPassword += injected;
    else if (param.field == u"FTPHost")
        job->FTPHost += injected;
    else if (param.field == u"URL" && param.protocol == wpFtpDelete) {
        // The name comes from the address only when no target name is given.
        job->URL = QStringLiteral("a.txt") + injected;
        job->TargetFilename.clear();
    } else if (param.field == u"URL")
        job->URL += injected;
    else if (param.field == u"TargetDir")
        job->TargetDir += injected;
    else if (param.field == u"TargetFilename" && job->TargetFilename.isEmpty())
        job->TargetFilename = QStringLiteral("up.txt") + injected;
    else if (param.field == u"TargetFilename")
        job->TargetFilename += injected;
    run.Execute();

    EXPECT_FALSE(job->Success());
    QString info = param.info;
    info.replace(QStringLiteral("%INSIDE%"), inside()).replace(QStringLiteral("%INJECTED%"), injected);
    EXPECT_EQ(failures(), (QStringList{QStringLiteral("Error %1").arg(param.code),
                                       QStringLiteral("ErrorInfo %1 ").arg(param.code) + info}));
    EXPECT_EQ(server.commands(), QStringList()) << "the server was reached";
    for (const char* victim : {"victim", "pub/victim", "in/victim", "pub/a.txt"})
        EXPECT_TRUE(QFile::exists(server.rootDir() + u'/' + QString::fromLatin1(victim))) << victim;
    EXPECT_FALSE(QFile::exists(server.rootDir() + QStringLiteral("/in/up.txt")));
    EXPECT_EQ(entriesOf(inside()), QStringList());
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(Fields, FtpInjection, testing::ValuesIn(InjectionCases()),
                         caseName);

// A multi-file upload finds a local file whose name holds a line break: that file is refused
// before any command for it goes out, the others are uploaded.
struct LocalNameCase {
    const char* name;
    const char* breaker;
    friend void PrintTo(const LocalNameCase& c, std::ostream* os) { *os << c.name; }
};

class FtpLocalNameInjection : public HostileFtp, public testing::WithParamInterface<LocalNameCase> {};

TEST_P(FtpLocalNameInjection, NameWithALineBreakIsRefusedAndTheOthersGo)
{
    FtpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("victim"), "keep me");
    writeRemote(server, QStringLiteral("in/victim"), "keep me");
    const QString bad =
        QStringLiteral("bad") + QString::fromLatin1(GetParam().breaker) + Injected + QStringLiteral(".txt");
    outer.write(QStringLiteral("out/good.txt"), "good");
    outer.write(QStringLiteral("out/") + bad, "bad");
    TWebTransferItem* job = addJob(wpMultiFtpUpload, outer.filePath(QStringLiteral("out/*.txt")), server);
    job->TargetDir = QStringLiteral("in");
    QStringList done;
    run.OnMultiFTPFileDone = [&](TTransferRun*, const QString& name) { done << name; };
    run.Execute();

    EXPECT_TRUE(job->Success());
    EXPECT_EQ(failures(), (QStringList{QStringLiteral("Error 3"),
                                       QStringLiteral("ErrorInfo 3 Cannot create target file in/") + bad}));
    done.sort();
    EXPECT_EQ(done, (QStringList{bad, QStringLiteral("good.txt")}));
    EXPECT_EQ(readRemote(server, QStringLiteral("in/good.txt")), QByteArray("good"));
    EXPECT_EQ(entriesOf(server.rootDir() + QStringLiteral("/in")),
              (QStringList{QStringLiteral("good.txt"), QStringLiteral("victim")}));
    const QStringList commands = server.commands();
    EXPECT_TRUE(commands.contains(QStringLiteral("STOR /in/good.txt"))) << commands.join(u'|').toStdString();
    EXPECT_EQ(commands.filter(QStringLiteral("DELE")), QStringList());
    EXPECT_EQ(commands.filter(QStringLiteral("bad")), QStringList());
    EXPECT_EQ(readRemote(server, QStringLiteral("victim")), QByteArray("keep me"));
    EXPECT_EQ(readRemote(server, QStringLiteral("in/victim")), QByteArray("keep me"));
}

INSTANTIATE_TEST_SUITE_P(Names, FtpLocalNameInjection,
                         testing::Values(LocalNameCase{"CrLf", "\r\n"}, LocalNameCase{"Lf", "\n"},
                                         LocalNameCase{"Cr", "\r"}),
                         caseName);


// In active mode the server connects back to us for every transfer; here that connection
// comes from another address than the server's for the commands named.
struct ForeignDataCase {
    const char* name;
    TWebTransferProtocol protocol;
    QStringList foreignData;
    bool passive;
    // The failure events; %FILE% stands for the local target. None when the job succeeds.
    const char* failures;
    friend void PrintTo(const ForeignDataCase& c, std::ostream* os) { *os << c.name; }
};

class FtpForeignData : public HostileFtp, public testing::WithParamInterface<ForeignDataCase> {};

TEST_P(FtpForeignData, DataOnlyFromTheServersOwnAddress)
{
    const ForeignDataCase& param = GetParam();
    FtpServer::Options options;
    options.foreignData = param.foreignData;
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    writeRemote(server, QStringLiteral("pub/setup.exe"), patternedBytes(RemoteSize));
    writeInside(QStringLiteral("setup.exe"), "old");
    run.Timeout = 5;
    run.FTPPassive = param.passive;
    TWebTransferItem* job = addJob(param.protocol,
                                   param.protocol == wpMultiFtp ? QStringLiteral("/pub/*.exe")
                                                                : QStringLiteral("/pub/setup.exe"),
                                   server);
    EXPECT_TRUE(executeServingTheLoop()) << "no event was handled during the run";

    const QString expected = QString::fromLatin1(param.failures ? param.failures : "")
                                 .replace(QStringLiteral("%FILE%"), insideFile(QStringLiteral("setup.exe")));
    EXPECT_EQ(failures().join(u'|'), expected) << events.log.join(u'|').toStdString();
    // A multi-file job succeeds whatever became of its files.
    EXPECT_EQ(job->Success(), param.failures == nullptr || param.protocol == wpMultiFtp);
    EXPECT_EQ(readInside(QStringLiteral("setup.exe")), param.failures ? QByteArray("old") : patternedBytes(RemoteSize));
    EXPECT_EQ(entriesOf(inside()), QStringList{QStringLiteral("setup.exe")});
    EXPECT_EQ(entriesOf(outer.path()), QStringList{QStringLiteral("inside")});
    EXPECT_EQ(events.log.last(), QStringLiteral("CopyDone"));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, FtpForeignData,
    testing::Values(
        ForeignDataCase{"DownloadFromAnotherAddress", wpFtp, {QStringLiteral("RETR")}, false, Interrupted},
        ForeignDataCase{"MultiDownloadFromAnotherAddress", wpMultiFtp, {QStringLiteral("RETR")}, false, Interrupted},
        // The file cannot be looked up, so it counts as missing.
        ForeignDataCase{"ListingFromAnotherAddress", wpFtp, {QStringLiteral("LIST")}, false, NotFound},
        // The server connects only when the transfer begins, from its own address: accepted.
        ForeignDataCase{"LateConnectionFromTheServer", wpFtp, {QStringLiteral("STOR")}, false, nullptr},
        // In passive mode we connect to the server; where it would connect from plays no role.
        ForeignDataCase{"PassiveModeConnectsToTheServer", wpFtp, {QStringLiteral("RETR")}, true, nullptr}),
    caseName);

// An upload whose data connection comes from elsewhere sends nothing there: it breaks off.
TEST_F(HostileFtp, UploadDataGoesOnlyToTheServersOwnAddress)
{
    FtpServer::Options options;
    options.foreignData = {QStringLiteral("STOR")};
    FtpServer server(options);
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    run.Timeout = 5;
    const QString source = outer.write(QStringLiteral("up.bin"), patternedBytes(RemoteSize));
    TWebTransferItem* job = addJob(wpFtpUpload, source, server);
    job->TargetDir = QStringLiteral("in");
    run.Execute();

    EXPECT_FALSE(job->Success());
    EXPECT_EQ(failures(),
              (QStringList{QStringLiteral("Error 7"), QStringLiteral("ErrorInfo 7 Transfer interrupted up.bin")}))
        << events.log.join(u'|').toStdString();
    EXPECT_TRUE(readRemote(server, QStringLiteral("in/up.bin")).isEmpty()
                || readRemote(server, QStringLiteral("in/up.bin")) == "<missing>");
}


// Two jobs in a row whose server or login differ only where a joined key would blur them.
struct LoginJob {
    int server; // 0 or 1
    const char* user;
    const char* password;
    TWebTransferProtocol protocol;
};

struct CredentialsCase {
    const char* name;
    LoginJob first;
    LoginJob second;
    friend void PrintTo(const CredentialsCase& c, std::ostream* os) { *os << c.name; }
};

class FtpCredentials : public HostileFtp, public testing::WithParamInterface<CredentialsCase> {};

TEST_P(FtpCredentials, EachJobReachesItsOwnServerWithItsOwnLogin)
{
    FtpServer::Options options;
    options.extraUsers = {{QStringLiteral("ab"), QStringLiteral("c")}, {QStringLiteral("a"), QStringLiteral("bc")}};
    FtpServer first(options);
    FtpServer second(options);
    ASSERT_TRUE(first.isRunning()) << first.error().toStdString();
    ASSERT_TRUE(second.isRunning()) << second.error().toStdString();
    const FtpServer* servers[] = {&first, &second};
    writeRemote(first, QStringLiteral("pub/file.txt"), "from the first server");
    writeRemote(second, QStringLiteral("pub/file.txt"), "from the second server");
    const QString source = outer.write(QStringLiteral("up.txt"), "uploaded");

    // A login of its own for each job, unless it follows a job of the very same login.
    QStringList expectedLogins[2];
    const LoginJob* previous = nullptr;
    int index = 0;
    for (const LoginJob& login : {GetParam().first, GetParam().second}) {
        const FtpServer& on = *servers[login.server];
        const bool upload = login.protocol == wpFtpUpload;
        TWebTransferItem* job = addJob(login.protocol, upload ? source : QStringLiteral("/pub/file.txt"), on);
        job->FTPUserID = QString::fromLatin1(login.user);
        job->FTPPassword = QString::fromLatin1(login.password);
        job->TargetDir = upload ? QStringLiteral("in") : inside();
        job->TargetFilename = QStringLiteral("job%1.txt").arg(index++);
        if (!previous || previous->server != login.server || qstrcmp(previous->user, login.user) != 0
            || qstrcmp(previous->password, login.password) != 0)
            expectedLogins[login.server] << job->FTPUserID;
        previous = &login;
    }
    run.Execute();

    EXPECT_EQ(failures(), QStringList());
    EXPECT_TRUE(run.Items()[0]->Success());
    EXPECT_TRUE(run.Items()[1]->Success());
    EXPECT_EQ(first.logins(), expectedLogins[0]);
    EXPECT_EQ(second.logins(), expectedLogins[1]);
    index = 0;
    for (const LoginJob& login : {GetParam().first, GetParam().second}) {
        const QString name = QStringLiteral("job%1.txt").arg(index++);
        if (login.protocol == wpFtpUpload) {
            EXPECT_EQ(readRemote(*servers[login.server], QStringLiteral("in/") + name), QByteArray("uploaded"));
            EXPECT_FALSE(QFile::exists(servers[1 - login.server]->rootDir() + QStringLiteral("/in/") + name));
        } else {
            EXPECT_EQ(readInside(name),
                      login.server == 0 ? QByteArray("from the first server") : QByteArray("from the second server"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, FtpCredentials,
    testing::Values(
        CredentialsCase{"SameLoginOnTwoPorts", {0, FtpServer::User, FtpServer::Password, wpFtp},
                        {1, FtpServer::User, FtpServer::Password, wpFtp}},
        CredentialsCase{"UploadAfterADownloadFromAnotherPort", {0, FtpServer::User, FtpServer::Password, wpFtp},
                        {1, FtpServer::User, FtpServer::Password, wpFtpUpload}},
        // Joined without separators both logins read "abc".
        CredentialsCase{"LoginsThatJoinAlike", {0, "ab", "c", wpFtp}, {0, "a", "bc", wpFtp}},
        // The control case: the very same login on the very same server needs one.
        CredentialsCase{"SameLoginOnTheSameServer", {0, "ab", "c", wpFtp}, {0, "ab", "c", wpFtp}}),
    caseName);

} // namespace
