#include "tests/e2e/AssistantFixture.h"
#include "tests/support/Pixels.h"
#include "tests/support/ScriptedHttpServer.h"

#include <QDateTime>
#include <QDir>
#include <QImage>

#include <sys/stat.h>

namespace {

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
    Click(window, "Download3"); // 64-bit row

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 300000));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    const QString shot = m_home.filePath(QStringLiteral("screen.png"));
    ASSERT_TRUE(m_display.screenshot(shot));
    // The main window is on the screen: its top left corner shows the back panel's light grey.
    const QColor corner = pixelAt(QImage(shot), m_display.windowOrigin(window) + QPoint(5, 5));
    EXPECT_TRUE(corner.red() == corner.green() && corner.green() == corner.blue() && corner.red() >= 235)
        << "the window's corner is " << corner.name().toStdString();
    PressReturnIn(doneBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Information$")));
    Click(window, "CancelBtn"); // Done
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
    Click(window, "Download1"); // upgrade row: not on the mirror

    const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
    ASSERT_FALSE(errorBox.isEmpty());
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("SetupNoDb.exe"))));
    PressReturnIn(errorBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Error$")));
    Click(window, "CancelBtn"); // Done
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
        Click(window, "Download3"); // 64-bit row
        const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
        ASSERT_FALSE(errorBox.isEmpty()) << "attempt " << attempt + 1;
        PressReturnIn(errorBox);
        ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Error$"))) << "attempt " << attempt + 1;
    }
    EXPECT_EQ(faulty.requests().size(), 2);
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("SetupKAPLIX")})
        << "no part of the broken download is left";
}

TEST_F(AssistantTest, ARedirectToTheProgramsOwnNameLeavesTheProgramAlone)
{
    // The mirror sends the request for the 64-bit setup file to a file named like the program.
    m_mirror.write(QStringLiteral("elsewhere/SetupKAPLIX"), QByteArray(200000, 'r'));
    m_server = std::make_unique<NginxServer>(
        m_mirror.path(), QStringLiteral("location = /download/ver121/KXsetup64.exe { return 302 /elsewhere/SetupKAPLIX; }"));
    ASSERT_TRUE(m_server->isRunning());
    const QByteArray program = m_home.read(QStringLiteral("SetupKAPLIX"));
    const QDateTime programTime = QFileInfo(m_program).lastModified();
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download3"); // 64-bit row

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 200000));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    EXPECT_EQ(m_home.read(QStringLiteral("KXsetup64.exe")), QByteArray(200000, 'r'));
    EXPECT_TRUE(m_home.read(QStringLiteral("SetupKAPLIX")) == program) << "the program's bytes are unchanged";
    EXPECT_EQ(QFileInfo(m_program).lastModified(), programTime);
    PressReturnIn(doneBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Information$")));
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
}

TEST_F(AssistantTest, ASharedTmpdirIsPassedOverForAPrivateFolder)
{
    // TMPDIR is a folder like /tmp that anybody may write; the start-up directory cannot be
    // written, so the program downloads to its temporary directory.
    TempDir shared;
    ASSERT_EQ(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
    m_environment.insert(QStringLiteral("TMPDIR"), shared.path());
    ASSERT_TRUE(QFile::setPermissions(m_home.path(), QFile::ReadOwner | QFile::ExeOwner));
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download3"); // 64-bit row

    const QString privateDir = m_cache.filePath(QStringLiteral("kaplix-setup"));
    ASSERT_TRUE(WaitForFile(privateDir + QStringLiteral("/KXsetup64.exe"), 300000));
    EXPECT_EQ(QFileInfo(privateDir).permissions() & (QFile::WriteGroup | QFile::WriteOther | QFile::ReadOther), 0);
    EXPECT_TRUE(QDir(shared.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        << "nothing in the shared folder";
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    PressReturnIn(doneBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Information$")));
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
    ::chmod(QFile::encodeName(shared.path()).constData(), 0700);
}

} // namespace
