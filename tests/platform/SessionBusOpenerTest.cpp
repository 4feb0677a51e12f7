#include "platform/SessionBusOpener.h"

#include "tests/support/AccessibilityBus.h"
#include "tests/support/VirtualDisplay.h"

#include <QDBusConnection>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// The names connected to the bus, asked of the bus by another program.
QStringList ConnectedNames(const QString& address)
{
    QProcess ask;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    ask.setProcessEnvironment(environment);
    ask.start(QStringLiteral("dbus-send"), {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                            QStringLiteral("--dest=org.freedesktop.DBus"), QStringLiteral("/"),
                                            QStringLiteral("org.freedesktop.DBus.ListNames")});
    ask.waitForFinished(10000);
    QStringList names;
    for (const QString& line : QString::fromLocal8Bit(ask.readAllStandardOutput()).split(u'\n')) {
        const QString name = line.trimmed().remove(QStringLiteral("string ")).remove(u'"');
        if (name.startsWith(u':'))
            names << name;
    }
    return names;
}

// The opener's connection is the program's session bus connection: the one the screen reader
// bridge asks for when the window's first control gets its text finds it open.
TEST(SessionBusOpener, OpensTheProgramsSessionBusConnection)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.isRunning());
    AccessibilityBus buses(display.name());
    ASSERT_TRUE(buses.isRunning()) << buses.error().toStdString();
    qputenv("DBUS_SESSION_BUS_ADDRESS", buses.sessionAddress().toLocal8Bit());
    const QStringList before = ConnectedNames(buses.sessionAddress());

    platform::SessionBusOpener opener;
    opener.open();
    opener.open(); // a second call changes nothing
    opener.wait(); // until the connection is open
    QStringList opened = ConnectedNames(buses.sessionAddress());
    for (const QString& name : before)
        opened.removeAll(name);
    ASSERT_EQ(opened.size(), 2) << "the opener's connection and the one that asked";

    const QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    EXPECT_TRUE(opened.contains(bus.baseService())) << "the program's connection is the one opened ahead";
}

// A program that ends before its application object exists stops the thread without
// touching the bus: no connection is made, and once it has ended, open() changes nothing.
TEST(SessionBusOpener, NeverOpenedEndsAtOnce)
{
    VirtualDisplay display;
    ASSERT_TRUE(display.isRunning());
    AccessibilityBus buses(display.name());
    ASSERT_TRUE(buses.isRunning()) << buses.error().toStdString();
    qputenv("DBUS_SESSION_BUS_ADDRESS", buses.sessionAddress().toLocal8Bit());
    const QStringList before = ConnectedNames(buses.sessionAddress());

    {
        platform::SessionBusOpener opener;
    }
    platform::SessionBusOpener stopped;
    stopped.wait();
    stopped.open();
    stopped.wait();

    QStringList after = ConnectedNames(buses.sessionAddress());
    for (const QString& name : before)
        after.removeAll(name);
    EXPECT_EQ(after.size(), 1) << "only the connection that asked: " << after.join(u' ').toStdString();
}

} // namespace
