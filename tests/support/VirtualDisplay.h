#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

// An Xvfb display of its own for a test that drives a real program's real window, with
// xdotool to press keys and click and ImageMagick to take screenshots. Gone with the object.
class VirtualDisplay {
public:
    explicit VirtualDisplay(QSize screen = QSize(1280, 1024));
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool isRunning() const { return !m_name.isEmpty(); }
    // ":N", for DISPLAY.
    const QString& name() const { return m_name; }

    // Runs xdotool with the arguments on this display; its output, trimmed.
    QString xdotool(const QStringList& arguments) const;
    // The id of a visible window whose title matches the pattern, once one appears within
    // timeoutMs; empty when none did.
    QString waitForWindow(const QString& titlePattern, int timeoutMs) const;
    // Where the top-left corner of a window (an id from waitForWindow) is on the screen.
    QPoint windowOrigin(const QString& window) const;
    // Where a window is on the screen and how large, in the screen's pixels.
    QRect windowGeometry(const QString& window) const;
    // Tells programs that only this part of the screen is theirs, as a desktop whose panel takes
    // the rest does (the _NET_WORKAREA a window manager publishes). Needs xprop.
    bool setWorkArea(const QRect& area) const;
    // Saves the whole screen as a PNG file.
    bool screenshot(const QString& path) const;

private:
    // One try at starting the server on display number; sets m_name when it runs.
    void start(int number, QSize screen);
    // Runs an X client with the arguments on this display; its standard output, trimmed.
    QString run(const QString& program, const QStringList& arguments, bool* ok = nullptr) const;

    QProcess m_server;
    QString m_name;
};
