#include "platform/network/ShareConnection.h"

#include "tests/support/SambaServer.h"
#include "tests/support/SuiteServer.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpServer>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

// One smbd serves every test of this file: starting one takes a few seconds.
class ShareConnectionTest : public SuiteServer<SambaServer> {
protected:

    static QString user() { return QString::fromLatin1(SambaServer::User); }
    static QString password() { return QString::fromLatin1(SambaServer::Password); }
    static void put(const QString& name, const QByteArray& content)
    {
        QFile file(server->shareDir() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

};

TEST_F(ShareConnectionTest, ReadsAFileWithTheRightCredentials)
{
    put(QStringLiteral("a file.txt"), "hello share");
    platform::ShareConnection share;
    ASSERT_TRUE(share.connect(server->shareName(), user(), password()).ok);
    auto [file, opened] = share.openRead(QStringLiteral("a file.txt"));
    ASSERT_TRUE(file) << opened.message.toStdString();
    EXPECT_EQ(file->size(), 11);
    EXPECT_TRUE(file->lastWriteTime().isValid());
    char data[64];
    EXPECT_EQ(file->read(data, sizeof data), 11);
    EXPECT_EQ(QByteArray(data, 11), QByteArray("hello share"));
    EXPECT_EQ(file->read(data, sizeof data), 0);
    EXPECT_TRUE(share.disconnect().ok);
    EXPECT_FALSE(share.disconnect().ok) << "nothing left to disconnect";
}

TEST_F(ShareConnectionTest, ForwardSlashesNameTheSameShare)
{
    QString name = server->shareName();
    name.replace(u'\\', u'/');
    platform::ShareConnection share;
    EXPECT_TRUE(share.connect(name, user(), password()).ok);
}

TEST_F(ShareConnectionTest, WrongPasswordAndMissingShareAreRefused)
{
    platform::ShareConnection share;
    const platform::InternetResult wrong = share.connect(server->shareName(), user(), QStringLiteral("nope"));
    EXPECT_FALSE(wrong.ok);
    EXPECT_EQ(wrong.code, EACCES);
    EXPECT_FALSE(share.isConnected());

    QString missing = server->shareName();
    missing.replace(QStringLiteral("\\data"), QStringLiteral("\\nosuch"));
    EXPECT_FALSE(share.connect(missing, user(), password()).ok);
}

TEST_F(ShareConnectionTest, MissingFileIsReported)
{
    platform::ShareConnection share;
    ASSERT_TRUE(share.connect(server->shareName(), user(), password()).ok);
    const auto [file, opened] = share.openRead(QStringLiteral("absent.bin"));
    EXPECT_EQ(file, nullptr);
    EXPECT_FALSE(opened.ok);
    EXPECT_EQ(opened.code, ENOENT);
}

TEST_F(ShareConnectionTest, OpenFileOutlivesTheConnectionSafely)
{
    put(QStringLiteral("b.txt"), "x");
    platform::ShareConnection share;
    ASSERT_TRUE(share.connect(server->shareName(), user(), password()).ok);
    auto file = share.openRead(QStringLiteral("b.txt")).handle;
    ASSERT_TRUE(file);
    EXPECT_TRUE(share.disconnect().ok);
    file.reset();
}

TEST(ShareNames, OnlyServerAndShareAreAShare)
{
    for (const char* name : {"\\\\server\\share", "//server/share", "\\\\10.0.0.1:445\\data\\"})
        EXPECT_TRUE(platform::ShareConnection::isShareName(QString::fromLatin1(name))) << name;
    for (const char* name : {"", "server\\share", "\\\\server", "\\\\server\\share\\dir", "ftp.example.com", "//"})
        EXPECT_FALSE(platform::ShareConnection::isShareName(QString::fromLatin1(name))) << name;
}

TEST(ShareNames, SilentServerGivesUpAfterTheTimeout)
{
    // The kernel accepts connections into the backlog, but nobody ever answers them.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const QString name = QStringLiteral("\\\\127.0.0.1:%1\\data").arg(silent.serverPort());
    platform::ShareConnection share;
    EXPECT_FALSE(share.connect(name, QStringLiteral("u"), QStringLiteral("p"), 1000).ok);
    EXPECT_FALSE(share.isConnected());
}

TEST(ShareNames, NobodyListeningIsRefused)
{
    platform::ShareConnection share;
    EXPECT_FALSE(share.connect(QStringLiteral("\\\\127.0.0.1:1\\data"), QStringLiteral("u"), QStringLiteral("p"), 1000).ok);
}

} // namespace
