#pragma once

#include "app/InstallFormLayout.h"
#include "app/InstallerRows.h"
#include "tests/support/AccessibilityBus.h"
#include "tests/support/NginxServer.h"
#include "tests/support/Pixels.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/WaitFor.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

inline constexpr int Patience = 30000;
inline const QString MainTitle = QStringLiteral("KAPLIX install assistant - 1.13");

// Where a button of the main window sits, by its object name. The program runs in another
// process, so its widgets cannot be asked: the places come from the window's own layout table,
// which the window test checks against the real widgets. The window keeps its design size here.
inline QRect ButtonRect(const char* name)
{
    for (const TInstallerRow& row : InstallerRows) {
        if (qstrcmp(row.Download.Name, name) == 0)
            return DownloadButtonRect(row);
        if (qstrcmp(row.Install.Name, name) == 0)
            return InstallButtonRect(row);
    }
    return qstrcmp(name, "CancelBtn") == 0 ? InstallFormLayout::CancelBtnRect : QRect();
}

// The assistant copied into a directory of its own (it downloads next to itself), started on
// the virtual display against the test's mirror, with a drive C: and a temporary directory
// of its own.
class AssistantTest : public testing::Test {
protected:
    AssistantTest() = default;
    // On a screen of that size.
    explicit AssistantTest(QSize screen)
        : m_display(screen)
    {
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_display.isRunning());
        m_mirror.write(QStringLiteral("download/ver121/KXsetup64.exe"), "MZ" + QByteArray(299998, 'k'));
        m_server = std::make_unique<NginxServer>(m_mirror.path());
        ASSERT_TRUE(m_server->isRunning());
        m_program = m_home.filePath(QStringLiteral("SetupKAPLIX"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KX_ASSISTANT_PATH), m_program));
    }

    void TearDown() override
    {
        if (m_assistant.state() != QProcess::NotRunning) {
            m_assistant.kill();
            m_assistant.waitForFinished(5000);
        }
        QFile::setPermissions(m_home.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void Start() { Start(m_server->url(QString())); }

    void Start(const QString& mirror)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display.name());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("KAPLIX_DOWNLOAD_URL"), mirror);
        environment.insert(QStringLiteral("WINEPREFIX"), m_prefix.path());
        // A private temporary directory, and a cache folder of the test's own for when the
        // program passes TMPDIR over: it never works in the shared /tmp or the real home. What
        // it remembers between runs goes to a configuration folder of the test's own too.
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        for (auto it = m_environment.cbegin(); it != m_environment.cend(); ++it)
            environment.insert(it.key(), it.value());
        // Libraries of the window system keep allocations until exit; the test judges the
        // program's behaviour, its own unit tests judge its memory.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_assistant.setProcessEnvironment(environment);
        m_assistant.setProcessChannelMode(QProcess::ForwardedChannels);
        m_assistant.start(m_program, {});
        ASSERT_TRUE(m_assistant.waitForStarted());
    }

    // Starts the program on an accessibility bus of its own, as a desktop session with a screen
    // reader runs it.
    void StartOnAccessibilityBus(const AccessibilityBus& bus)
    {
        m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.sessionAddress());
        m_environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        m_environment.insert(QStringLiteral("QT_ACCESSIBILITY"), QStringLiteral("1"));
        Start();
    }

    // Starts a screen reader's stand-in on that bus: one of this folder's Python scripts with
    // its arguments (the script first).
    void StartScreenReader(QProcess& reader, const AccessibilityBus& bus, const QStringList& script) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.sessionAddress());
        environment.insert(QStringLiteral("DISPLAY"), m_display.name());
        environment.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
        reader.setProcessEnvironment(environment);
        reader.setProcessChannelMode(QProcess::MergedChannels);
        reader.start(QStringLiteral("/usr/bin/python3"), script);
    }

    // Presses Return in a box that closes with it: without a window manager the keyboard
    // follows the pointer. A box that the program moved just after it appeared may have left
    // the pointer behind: while it stays open, the pointer goes to where it is now, and Return
    // is pressed again.
    void PressReturnIn(const QString& box)
    {
        for (int attempt = 0; attempt < 5; ++attempt) {
            const QPoint origin = m_display.windowOrigin(box);
            m_display.xdotool(
                {QStringLiteral("mousemove"), QString::number(origin.x() + 10), QString::number(origin.y() + 10)});
            m_display.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
            if (waitFor([&] { return !IsShown(box); }, 3000))
                return;
        }
    }

    bool IsShown(const QString& window) const
    {
        const QString shown = m_display.xdotool(
            {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral(".")});
        return shown.split(u'\n', Qt::SkipEmptyParts).contains(window);
    }

    // Gives a window the keyboard, as a window manager does on Alt+Tab (there is none here), and
    // types the keys (xdotool's names) into it.
    void TypeInto(const QString& window, const QStringList& keys)
    {
        m_display.xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        if (!keys.isEmpty())
            m_display.xdotool(QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("40")} + keys);
    }

    // True once the focus frame of the default look (BorderColorFocused, one pixel inside the
    // border) shows, or no longer shows, at the top of the button on the screen.
    bool WaitForFocusFrame(const QString& window, const char* button, bool shown)
    {
        const QString shot = m_home.filePath(QStringLiteral("focus.png"));
        const QRect place = ButtonRect(button);
        const QPoint at = m_display.windowOrigin(window) + QPoint(place.center().x(), place.top() + 1);
        return waitFor(
            [&] {
                if (!m_display.screenshot(shot))
                    return false;
                const QColor pixel = pixelAt(QImage(shot), at);
                const bool frame = qAbs(pixel.red() - 137) <= 12 && qAbs(pixel.green() - 173) <= 12
                    && qAbs(pixel.blue() - 228) <= 12;
                return frame == shown;
            },
            Patience);
    }

    // Clicks the middle of a button of the main window.
    void Click(const QString& window, const char* button)
    {
        const QRect place = ButtonRect(button);
        ASSERT_TRUE(place.isValid()) << button;
        const QPoint point = m_display.windowOrigin(window) + place.center();
        m_display.xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
                           QStringLiteral("click"), QStringLiteral("1")});
    }

    static bool WaitForFile(const QString& path, qint64 size)
    {
        return waitFor([&] { return QFileInfo(path).size() == size; }, Patience);
    }

    // True once no visible window's title matches the pattern.
    bool WaitUntilGone(const QString& titlePattern) const
    {
        return waitFor(
            [&] {
                return m_display.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                          titlePattern}).isEmpty();
            },
            Patience);
    }

    // Answers a box with Return; true once no visible window's title matches its pattern.
    [[nodiscard]] bool Dismiss(const QString& box, const QString& titlePattern)
    {
        PressReturnIn(box);
        return WaitUntilGone(titlePattern);
    }

    // Leaves with the Done button: the program ends of itself, with exit code 0.
    void LeaveWithDone(const QString& window)
    {
        Click(window, "CancelBtn");
        ASSERT_TRUE(m_assistant.waitForFinished(Patience));
        EXPECT_EQ(m_assistant.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_assistant.exitCode(), 0);
    }

    // Answers the start-up box and returns the main window's id.
    QString OpenMainWindow()
    {
        const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
        if (startupBox.isEmpty())
            return {};
        PressReturnIn(startupBox);
        return m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    }

    VirtualDisplay m_display;
    TempDir m_mirror;
    TempDir m_home;
    TempDir m_temp;
    TempDir m_cache;
    TempDir m_config;
    TempDir m_runtime;
    TempDir m_prefix;
    QMap<QString, QString> m_environment; // more for the program, or other values
    std::unique_ptr<NginxServer> m_server;
    QString m_program;
    QProcess m_assistant;
};
