#include "platform/desktop/SessionBusOpener.h"

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

// A session bus of its own on a display of its own, made the program's session bus.
class SessionBusOpener : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_display.isRunning());
        ASSERT_TRUE(m_buses.isRunning()) << m_buses.error().toStdString();
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_buses.sessionAddress().toLocal8Bit());
        m_before = ConnectedNames(m_buses.sessionAddress());
    }

    // The connections made since the test began, and the one that asks.
    QStringList NewConnections() const
    {
        QStringList names = ConnectedNames(m_buses.sessionAddress());
        for (const QString& name : m_before)
            names.removeAll(name);
        return names;
    }

    VirtualDisplay m_display;
    AccessibilityBus m_buses{m_display.name()};
    QStringList m_before;
};

// The opener's connection is the program's session bus connection: the one the screen reader
// bridge asks for when the window's first control gets its text finds it open.
TEST_F(SessionBusOpener, OpensTheProgramsSessionBusConnection)
{
    platform::SessionBusOpener opener;
    opener.open();
    opener.open(); // a second call changes nothing
    opener.wait(); // until the connection is open
    const QStringList opened = NewConnections();
    ASSERT_EQ(opened.size(), 2) << "the opener's connection and the one that asked";

    const QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    EXPECT_TRUE(opened.contains(bus.baseService())) << "the program's connection is the one opened ahead";
}

// A program that ends before its application object exists stops the thread without
// touching the bus: no connection is made, and once it has ended, open() changes nothing.
TEST_F(SessionBusOpener, NeverOpenedEndsAtOnce)
{
    {
        platform::SessionBusOpener opener;
    }
    platform::SessionBusOpener stopped;
    stopped.wait();
    stopped.open();
    stopped.wait();

    const QStringList opened = NewConnections();
    EXPECT_EQ(opened.size(), 1) << "only the connection that asked: " << opened.join(u' ').toStdString();
}

} // namespace
