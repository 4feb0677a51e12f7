// Start-up of the assistant under Xvfb, from exec to its main window being mapped, and its
// peak memory, against a minimal Qt Widgets window started the same way in the same run.
//
//   build/bin/bench_startup [rounds, default 7] [--desktop-session]
//
// Rounds alternate between the two programs; medians count. The assistant runs from an
// empty directory with a Wine prefix where KAPLIX is installed, so no message box comes
// before its window. The last line is "ratio R",
// R being the assistant's time divided by the minimal window's.
//
// By default the programs find no session bus, and Qt's screen reader bridge, which every
// widget program starts, has the bus library try to launch one: the minimal window does that
// after its window is mapped, the assistant when its first control gets its text. With
// --desktop-session both run with a session bus and an accessibility bus of their own, as
// in a desktop session.

#include "tests/support/AccessibilityBus.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualDisplay.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// How long the program runs after its window is mapped before its peak memory is read: its
// first paint happens in that time.
constexpr auto Settle = std::chrono::milliseconds(300);

struct Start {
    double msToMapped = -1;
    double peakMiB = -1;
};

double peakMiBOf(pid_t pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

class MapWatcher {
public:
    explicit MapWatcher(const QString& display)
    {
        m_connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_ok = true;
    }
    ~MapWatcher() { xcb_disconnect(m_connection); }

    bool ok() const { return m_ok; }

    // Drops what is queued (windows of an earlier round going away).
    void drain()
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    // Waits for a top-level window (not an override-redirect one) whose title holds title
    // to be mapped.
    bool waitForMap(const QByteArray& title, Clock::time_point deadline)
    {
        const int fd = xcb_get_file_descriptor(m_connection);
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                xcb_window_t window = XCB_NONE;
                if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                    const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                    if (!map->override_redirect)
                        window = map->window;
                }
                std::free(event);
                if (window != XCB_NONE && titleOf(window).contains(title))
                    return true;
            }
            pollfd waiting{fd, POLLIN, 0};
            ::poll(&waiting, 1, 50);
        }
        return false;
    }

private:
    QByteArray titleOf(xcb_window_t window)
    {
        const xcb_get_property_cookie_t cookie =
            xcb_get_property(m_connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(m_connection, cookie, nullptr);
        if (!reply)
            return {};
        const QByteArray title(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
        std::free(reply);
        return title;
    }

    xcb_connection_t* m_connection = nullptr;
    bool m_ok = false;
};

struct Program {
    QString path;
    QByteArray title; // part of its main window's title
};

Start startOnce(const Program& program, const QString& display, const QString& tempDir, MapWatcher& watcher,
                const QString& sessionBus)
{
    watcher.drain();
    std::vector<QByteArray> environment;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray line(*entry);
        if (!line.startsWith("DISPLAY=") && !line.startsWith("QT_QPA_PLATFORM=") && !line.startsWith("TMPDIR=")
            && !line.startsWith("WAYLAND_DISPLAY=") && !line.startsWith("XDG_RUNTIME_DIR=")
            && !line.startsWith("WINEPREFIX=") && !line.startsWith("DBUS_SESSION_BUS_ADDRESS=")
            && !line.startsWith("AT_SPI_BUS_ADDRESS="))
            environment.push_back(line);
    }
    environment.push_back("DISPLAY=" + display.toLocal8Bit());
    if (!sessionBus.isEmpty())
        environment.push_back("DBUS_SESSION_BUS_ADDRESS=" + sessionBus.toLocal8Bit());
    environment.push_back("QT_QPA_PLATFORM=xcb");
    environment.push_back("TMPDIR=" + QFile::encodeName(tempDir));
    environment.push_back("XDG_RUNTIME_DIR=" + QFile::encodeName(tempDir));
    environment.push_back("WINEPREFIX=" + QFile::encodeName(tempDir + QStringLiteral("/prefix")));
    std::vector<char*> envp;
    for (QByteArray& line : environment)
        envp.push_back(line.data());
    envp.push_back(nullptr);
    QByteArray path = QFile::encodeName(program.path);
    char* argv[] = {path.data(), nullptr};

    Start result;
    pid_t pid = 0;
    const auto started = Clock::now();
    if (posix_spawn(&pid, path.constData(), nullptr, nullptr, argv, envp.data()) != 0)
        return result;
    if (watcher.waitForMap(program.title, started + std::chrono::seconds(20))) {
        result.msToMapped = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        const auto settled = Clock::now() + Settle;
        while (Clock::now() < settled)
            ::usleep(10000);
        result.peakMiB = peakMiBOf(pid);
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    int rounds = 7;
    bool desktopSession = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--desktop-session") == 0)
            desktopSession = true;
        else
            rounds = std::max(1, std::atoi(argv[i]));
    }
    const QString here = QCoreApplication::applicationDirPath();

    // The assistant looks for setup files beside itself: it runs from an empty directory.
    TempDir empty;
    const Program ours{empty.filePath(QStringLiteral("SetupKAPLIX")), "KAPLIX install assistant"};
    if (!QFile::copy(QDir(here).filePath(QStringLiteral("SetupKAPLIX")), ours.path)) {
        std::fprintf(stderr, "cannot copy SetupKAPLIX from %s\n", qPrintable(here));
        return 1;
    }
    QFile::setPermissions(ours.path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const Program minimal{QDir(here).filePath(QStringLiteral("bench_minimal_window")), "Minimal"};
    TempDir temp;
    QFile::setPermissions(temp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // A Wine prefix where KAPLIX is installed: the assistant opens its window without first
    // stopping at the box that says it found none.
    temp.write(QStringLiteral("prefix/drive_c/Program Files/kaplix/bin/kaplix3.exe"), "MZ");

    VirtualDisplay display;
    if (!display.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    std::optional<AccessibilityBus> buses;
    QString sessionBus;
    if (desktopSession) {
        buses.emplace(display.name());
        if (!buses->isRunning()) {
            std::fprintf(stderr, "%s\n", qPrintable(buses->error()));
            return 1;
        }
        sessionBus = buses->sessionAddress();
    }
    MapWatcher watcher(display.name());
    if (!watcher.ok()) {
        std::fprintf(stderr, "cannot watch the display\n");
        return 1;
    }

    // One start of each first, not counted: both find the libraries and fonts in the page cache.
    startOnce(minimal, display.name(), temp.path(), watcher, sessionBus);
    startOnce(ours, display.name(), temp.path(), watcher, sessionBus);

    std::vector<double> ourTimes, minimalTimes, ourPeaks, minimalPeaks;
    for (int round = 0; round < rounds; ++round) {
        const Start small = startOnce(minimal, display.name(), temp.path(), watcher, sessionBus);
        const Start big = startOnce(ours, display.name(), temp.path(), watcher, sessionBus);
        if (small.msToMapped < 0 || big.msToMapped < 0) {
            std::fprintf(stderr, "a window did not appear\n");
            return 1;
        }
        minimalTimes.push_back(small.msToMapped);
        ourTimes.push_back(big.msToMapped);
        minimalPeaks.push_back(small.peakMiB);
        ourPeaks.push_back(big.peakMiB);
        std::printf("round %d: minimal %.1f ms %.1f MiB, SetupKAPLIX %.1f ms %.1f MiB\n", round + 1, small.msToMapped,
                    small.peakMiB, big.msToMapped, big.peakMiB);
        std::fflush(stdout);
    }
    std::printf("median of %d rounds, exec to window mapped; peak memory %lld ms after mapping; %s\n", rounds,
                static_cast<long long>(Settle.count()),
                desktopSession ? "with a session bus" : "no session bus");
    std::printf("minimal Qt Widgets window: %.1f ms, peak %.1f MiB\n", median(minimalTimes), median(minimalPeaks));
    std::printf("SetupKAPLIX (empty directory): %.1f ms, peak %.1f MiB (memory ratio %.2f)\n", median(ourTimes),
                median(ourPeaks), median(ourPeaks) / median(minimalPeaks));
    std::printf("ratio %.2f\n", median(ourTimes) / median(minimalTimes));
    return 0;
}
