#include "platform/network/FtpConnection.h"
#include "platform/network/InternetSession.h"
#include "tests/support/CaseName.h"
#include "tests/support/FtpServer.h"
#include "tests/support/PatternedBytes.h"
#include "tests/support/SuiteServer.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

using platform::FtpConnection;
using platform::InternetResult;
using platform::InternetSession;

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray readAll(platform::InternetRequest& request)
{
    QByteArray result;
    char block[4096];
    std::int64_t count = 1;
    while (count > 0) {
        if (!request.read(block, sizeof block, count).ok)
            return "<failed>";
        result.append(block, static_cast<qsizetype>(count));
    }
    return result;
}

class FtpConnectionTest : public SuiteServer<FtpServer, testing::TestWithParam<bool>> {
protected:
    std::unique_ptr<FtpConnection> connect(const QString& user = QString::fromLatin1(FtpServer::User),
                                           const QString& password = QString::fromLatin1(FtpServer::Password),
                                           InternetResult* result = nullptr)
    {
        auto opened = session.connectFtp(QStringLiteral("127.0.0.1"), server->port(), user, password, GetParam());
        if (result)
            *result = opened.result;
        return std::move(opened.handle);
    }

    InternetSession session{QStringLiteral("test")};
};

TEST_P(FtpConnectionTest, ReadsAndWritesFilesBlockByBlock)
{
    const QByteArray data = patternedBytes(100000, PrimePattern);
    writeFile(server->rootDir() + QStringLiteral("/pub/data.bin"), data);
    auto connection = connect();
    ASSERT_TRUE(connection);
    ASSERT_TRUE(connection->setCurrentDirectory(QStringLiteral("pub")).ok);
    EXPECT_EQ(connection->currentDirectory(), QStringLiteral("/pub"));

    auto reader = connection->openForReading(QStringLiteral("data.bin"), false).handle;
    ASSERT_TRUE(reader);
    EXPECT_EQ(connection->lastOpenedSize(), data.size());
    EXPECT_EQ(readAll(*reader), data);
    reader.reset();

    auto writer = connection->openForWriting(QStringLiteral("copy.bin"), false).handle;
    ASSERT_TRUE(writer);
    for (qsizetype at = 0; at < data.size(); at += 4096)
        ASSERT_TRUE(writer->write(data.constData() + at, std::min<qsizetype>(4096, data.size() - at)).ok);
    ASSERT_TRUE(writer->finish().ok);
    EXPECT_EQ(readFile(server->rootDir() + QStringLiteral("/pub/copy.bin")), data);
}

TEST_P(FtpConnectionTest, AsciiTypeTurnsLineEndsIntoTheLocalForm)
{
    writeFile(server->rootDir() + QStringLiteral("/text.txt"), "one\r\ntwo\r\n");
    auto connection = connect();
    ASSERT_TRUE(connection);
    auto reader = connection->openForReading(QStringLiteral("/text.txt"), true).handle;
    ASSERT_TRUE(reader);
    EXPECT_EQ(readAll(*reader), QByteArray("one\ntwo\n"));
}

TEST_P(FtpConnectionTest, DirectoryCommandsReportRealSuccessAndFailure)
{
    const QString made = GetParam() ? QStringLiteral("made-passive") : QStringLiteral("made-active");
    const qsizetype logins = server->logins().size();
    auto connection = connect();
    ASSERT_TRUE(connection);
    const QString start = connection->currentDirectory();
    EXPECT_EQ(start, QStringLiteral("/"));
    EXPECT_FALSE(connection->setCurrentDirectory(QStringLiteral("no-such-dir")).ok);
    EXPECT_EQ(connection->currentDirectory(), start);
    ASSERT_TRUE(connection->createDirectory(made).ok);
    EXPECT_TRUE(QDir(server->rootDir() + u'/' + made).exists());
    EXPECT_FALSE(connection->createDirectory(made).ok);
    ASSERT_TRUE(connection->setCurrentDirectory(made).ok);
    writeFile(server->rootDir() + u'/' + made + QStringLiteral("/gone.txt"), "x");
    EXPECT_TRUE(connection->deleteFile(QStringLiteral("gone.txt")).ok);
    EXPECT_FALSE(QFile::exists(server->rootDir() + u'/' + made + QStringLiteral("/gone.txt")));
    EXPECT_FALSE(connection->deleteFile(QStringLiteral("gone.txt")).ok);
    ASSERT_TRUE(connection->setCurrentDirectory(QStringLiteral("/")).ok);
    EXPECT_EQ(connection->currentDirectory(), QStringLiteral("/"));
    EXPECT_EQ(server->logins().size(), logins + 1) << "a refused command keeps the connection";
}

TEST_P(FtpConnectionTest, ListingMatchesThePatternWithSizesAndTimes)
{
    writeFile(server->rootDir() + QStringLiteral("/list/a.zip"), "12345");
    writeFile(server->rootDir() + QStringLiteral("/list/b.txt"), "1");
    QDir().mkpath(server->rootDir() + QStringLiteral("/list/sub.zip"));
    auto connection = connect();
    ASSERT_TRUE(connection);
    std::vector<platform::FtpFindData> entries;
    ASSERT_TRUE(connection->findFiles(QStringLiteral("/list/*.zip"), entries).ok);
    ASSERT_EQ(entries.size(), 2u);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    EXPECT_EQ(entries[0].name, QStringLiteral("a.zip"));
    EXPECT_EQ(entries[0].size, 5);
    EXPECT_NE(entries[0].lastWriteTime, 0u);
    EXPECT_EQ(entries[1].attributes & platform::FtpFindData::DirectoryAttribute,
              platform::FtpFindData::DirectoryAttribute);
    ASSERT_TRUE(connection->findFiles(QStringLiteral("/list/*.exe"), entries).ok);
    EXPECT_TRUE(entries.empty());
    EXPECT_FALSE(connection->findFiles(QStringLiteral("/nowhere/*"), entries).ok);
}

TEST_P(FtpConnectionTest, WrongPasswordIsRefusedAndMissingOnesLogInAnonymously)
{
    InternetResult result;
    EXPECT_FALSE(connect(QString::fromLatin1(FtpServer::User), QStringLiteral("wrong"), &result));
    EXPECT_FALSE(result.ok);
    const qsizetype before = server->logins().size();
    EXPECT_TRUE(connect(QString::fromLatin1(FtpServer::User), QString()));
    ASSERT_EQ(server->logins().size(), before + 1);
    EXPECT_EQ(server->logins().last(), QStringLiteral("anonymous"));
}

INSTANTIATE_TEST_SUITE_P(Modes, FtpConnectionTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Passive" : "Active";
                         });


// Whoever asks, the layer sends no command line that a CR, LF or NUL would split in two.
struct CommandLineCase {
    const char* name;
    // Makes the call, on the logged-in connection or with a new login, with text that carries
    // a second command; true when the call succeeded.
    std::function<bool(InternetSession&, int port, FtpConnection&, const QString& text)> call;
    friend void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }
};

std::unique_ptr<FtpConnection> ftpLogin(InternetSession& session, int port,
                                        const QString& user = QString::fromLatin1(FtpServer::User),
                                        const QString& password = QString::fromLatin1(FtpServer::Password))
{
    return session.connectFtp(QStringLiteral("127.0.0.1"), port, user, password, false).handle;
}

class FtpCommandLines : public SuiteServer<FtpServer, testing::TestWithParam<CommandLineCase>> {
protected:
    InternetSession session{QStringLiteral("test")};
};

TEST_P(FtpCommandLines, TextWithALineBreakIsRefusedBeforeItIsSent)
{
    writeFile(server->rootDir() + QStringLiteral("/victim"), "keep me");
    auto connection = ftpLogin(session, server->port());
    ASSERT_TRUE(connection);
    const qsizetype before = server->commands().size();
    const QStringList breakers{QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r"), QString(QChar(0))};
    for (const QString& breaker : breakers) {
        const QString text = QStringLiteral("x") + breaker + QStringLiteral("DELE victim");
        EXPECT_FALSE(GetParam().call(session, server->port(), *connection, text))
            << breaker.toUtf8().toHex().toStdString();
    }
    EXPECT_EQ(server->commands().mid(before).filter(QStringLiteral("victim")), QStringList());
    EXPECT_EQ(readFile(server->rootDir() + QStringLiteral("/victim")), QByteArray("keep me"));
}

INSTANTIATE_TEST_SUITE_P(
    Calls, FtpCommandLines,
    testing::Values(
        CommandLineCase{"User",
                        [](InternetSession& session, int port, FtpConnection&, const QString& text) {
                            return ftpLogin(session, port, text, QStringLiteral("pw")) != nullptr;
                        }},
        CommandLineCase{"Password",
                        [](InternetSession& session, int port, FtpConnection&, const QString& text) {
                            return ftpLogin(session, port, QString::fromLatin1(FtpServer::User), text) != nullptr;
                        }},
        CommandLineCase{"SetCurrentDirectory",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            return connection.setCurrentDirectory(text).ok;
                        }},
        CommandLineCase{"CreateDirectory",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            return connection.createDirectory(text).ok;
                        }},
        CommandLineCase{"DeleteFile",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            return connection.deleteFile(text).ok;
                        }},
        CommandLineCase{"FindFilesInADirectory",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            std::vector<platform::FtpFindData> entries;
                            return connection.findFiles(text + u'/', entries).ok;
                        }},
        CommandLineCase{"OpenForReading",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            return connection.openForReading(text, false).handle != nullptr;
                        }},
        CommandLineCase{"OpenForWriting",
                        [](InternetSession&, int, FtpConnection& connection, const QString& text) {
                            return connection.openForWriting(text, false).handle != nullptr;
                        }}),
    caseName);

} // namespace
