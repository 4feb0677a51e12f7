#include "tests/support/FtpServer.h"

#include <QFile>
#include <QTcpSocket>

#include <gtest/gtest.h>

namespace {

QByteArray reply(QTcpSocket& socket)
{
    QByteArray line;
    while (!line.endsWith('\n') && socket.waitForReadyRead(5000))
        line += socket.readAll();
    return line;
}

// The fixture itself: later FTP tests rely on it answering a real login.
TEST(FtpServerFixture, AcceptsItsUserAndServesItsRoot)
{
    FtpServer server;
    ASSERT_TRUE(server.isRunning()) << server.error().toStdString();
    QFile(server.rootDir() + QStringLiteral("/hello.txt")).open(QIODevice::WriteOnly);

    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(server.port()));
    ASSERT_TRUE(socket.waitForConnected(5000));
    EXPECT_TRUE(reply(socket).startsWith("220"));
    socket.write(QByteArray("USER ") + FtpServer::User + "\r\n");
    EXPECT_TRUE(reply(socket).startsWith("331"));
    socket.write(QByteArray("PASS ") + FtpServer::Password + "\r\n");
    EXPECT_TRUE(reply(socket).startsWith("230"));
    socket.write("TYPE I\r\n");
    EXPECT_TRUE(reply(socket).startsWith("200"));
    socket.write("SIZE hello.txt\r\n");
    EXPECT_TRUE(reply(socket).startsWith("213 0"));
}

} // namespace
