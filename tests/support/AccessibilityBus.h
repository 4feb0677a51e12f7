#pragma once

#include <QProcess>
#include <QString>

// A session bus of its own with the accessibility bus behind it, as a desktop session has them:
// a dbus-daemon and at-spi-bus-launcher, started for one test and stopped with the object. A
// program given sessionAddress() (and QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1) shows its widgets to
// screen readers on it.
class AccessibilityBus {
public:
    // displayName: the X display the launcher announces the bus on.
    explicit AccessibilityBus(const QString& displayName);
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    bool isRunning() const { return m_error.isEmpty(); }
    // Why the buses could not be started, when they could not.
    const QString& error() const { return m_error; }
    // DBUS_SESSION_BUS_ADDRESS for the programs that are to use these buses.
    const QString& sessionAddress() const { return m_address; }

private:
    bool startSessionBus();
    bool startLauncher(const QString& displayName);
    static void stop(QProcess& process);

    QProcess m_sessionBus;
    QProcess m_launcher;
    QString m_address;
    QString m_error;
};
