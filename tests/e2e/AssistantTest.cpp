#include "tests/support/NginxServer.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPoint>
#include <QRegularExpression>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

constexpr int Patience = 30000;
const QString MainTitle = QStringLiteral("KAPLIX install assistant - 1.13");

// The assistant copied into a directory of its own (it downloads next to itself), started on
// the virtual display against the test's mirror, with a drive C: and a temporary directory
// of its own.
class AssistantTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_display.isRunning());
        m_mirror.write(QStringLiteral("download/ver121/KXsetup64.exe"), QByteArray(300000, 'k'));
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
    }

    void Start() { Start(m_server->url(QString())); }

    void Start(const QString& mirror)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display.name());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("KAPLIX_DOWNLOAD_URL"), mirror);
        environment.insert(QStringLiteral("WINEPREFIX"), m_prefix.path());
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        // Libraries of the window system keep allocations until exit; the test judges the
        // program's behaviour, its own unit tests judge its memory.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_assistant.setProcessEnvironment(environment);
        m_assistant.setProcessChannelMode(QProcess::ForwardedChannels);
        m_assistant.start(m_program, {});
        ASSERT_TRUE(m_assistant.waitForStarted());
    }

    QPoint Origin(const QString& window) const
    {
        const QString shell = m_display.xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        QPoint origin;
        for (const QString& line : shell.split(u'\n')) {
            if (line.startsWith(QStringLiteral("X=")))
                origin.setX(line.mid(2).toInt());
            if (line.startsWith(QStringLiteral("Y=")))
                origin.setY(line.mid(2).toInt());
        }
        return origin;
    }

    // Presses Return in a window: without a window manager the keyboard follows the pointer.
    void PressReturnIn(const QString& window)
    {
        const QPoint origin = Origin(window);
        m_display.xdotool({QStringLiteral("mousemove"), QString::number(origin.x() + 10), QString::number(origin.y() + 10)});
        m_display.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    }

    void Click(const QString& window, int x, int y)
    {
        const QPoint origin = Origin(window);
        m_display.xdotool({QStringLiteral("mousemove"), QString::number(origin.x() + x), QString::number(origin.y() + y),
                           QStringLiteral("click"), QStringLiteral("1")});
    }

    bool WaitForFile(const QString& path, qint64 size) const
    {
        const QDeadlineTimer deadline(Patience);
        while (!deadline.hasExpired()) {
            if (QFileInfo(path).size() == size)
                return true;
            QThread::msleep(100);
        }
        return false;
    }

    VirtualDisplay m_display;
    TempDir m_mirror;
    TempDir m_home;
    TempDir m_temp;
    TempDir m_prefix;
    std::unique_ptr<NginxServer> m_server;
    QString m_program;
    QProcess m_assistant;
};

TEST_F(AssistantTest, DownloadThroughTheRealWindowAndLeaveWithDone)
{
    Start();
    // No installation on this drive C:: the start-up box comes before the window.
    const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(startupBox.isEmpty());
    EXPECT_TRUE(m_display.waitForWindow(QStringLiteral("^") + QRegularExpression::escape(MainTitle), 500).isEmpty());
    PressReturnIn(startupBox);

    const QString window = m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    ASSERT_FALSE(window.isEmpty());
    Click(window, 120 + 48, 399 + 14); // Download, 64-bit row

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 300000));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    const QString shot = m_home.filePath(QStringLiteral("screen.png"));
    ASSERT_TRUE(m_display.screenshot(shot));
    EXPECT_FALSE(QImage(shot).isNull());
    PressReturnIn(doneBox);

    QThread::msleep(300);
    Click(window, 711 + 56, 528 + 20); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_assistant.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("kaplixTest.txt"))));
}

TEST_F(AssistantTest, MissingFileOnTheServerIsExplainedInAnErrorBox)
{
    Start();
    const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(startupBox.isEmpty());
    PressReturnIn(startupBox);
    const QString window = m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    ASSERT_FALSE(window.isEmpty());
    Click(window, 120 + 48, 258 + 14); // Download, upgrade row: not on the mirror

    const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
    ASSERT_FALSE(errorBox.isEmpty());
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("SetupNoDb.exe"))));
    PressReturnIn(errorBox);
    Click(window, 711 + 56, 528 + 20);
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
}

TEST_F(AssistantTest, BrokenConnectionIsExplainedAndTheWindowStaysUsable)
{
    ScriptedHttpServer faulty;
    ASSERT_TRUE(faulty.isRunning());
    Start(faulty.url(QStringLiteral("/reset/size=300000&at=100000/")));
    const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(startupBox.isEmpty());
    PressReturnIn(startupBox);
    const QString window = m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    ASSERT_FALSE(window.isEmpty());

    // Twice: after the first failure the window still takes a download.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Click(window, 120 + 48, 399 + 14); // Download, 64-bit row
        const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
        ASSERT_FALSE(errorBox.isEmpty()) << "attempt " << attempt + 1;
        PressReturnIn(errorBox);
        QThread::msleep(300);
    }
    EXPECT_EQ(faulty.requests().size(), 2);
    Click(window, 711 + 56, 528 + 20); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("SetupKAPLIX")})
        << "no part of the broken download is left";
}

} // namespace
