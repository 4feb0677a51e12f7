#include "app/InstallFormLayout.h"
#include "app/InstallerRows.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/NginxServer.h"
#include "tests/support/Pixels.h"
#include "tests/support/ScriptedHttpServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/WaitFor.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QPoint>
#include <QRegularExpression>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr int Patience = 30000;
const QString MainTitle = QStringLiteral("KAPLIX install assistant - 1.13");

// Where a button of the main window sits, by its object name. The program runs in another
// process, so its widgets cannot be asked: the places come from the window's own layout table,
// which the window test checks against the real widgets. The window keeps its design size here.
QRect ButtonRect(const char* name)
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
        // program passes TMPDIR over: it never works in the shared /tmp or the real home.
        environment.insert(QStringLiteral("TMPDIR"), m_temp.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_cache.path());
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

    // Presses Return in a window: without a window manager the keyboard follows the pointer.
    void PressReturnIn(const QString& window)
    {
        const QPoint origin = m_display.windowOrigin(window);
        m_display.xdotool({QStringLiteral("mousemove"), QString::number(origin.x() + 10), QString::number(origin.y() + 10)});
        m_display.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
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
    TempDir m_runtime;
    TempDir m_prefix;
    QMap<QString, QString> m_environment; // more for the program, or other values
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
    // The server breaks off everything it sends, the checksum list that comes first too: each
    // click asks for it once and three times more before the box.
    ASSERT_EQ(faulty.requests().size(), 2 * 4);
    for (const ScriptedHttpServer::Request& request : faulty.requests())
        EXPECT_TRUE(request.target.endsWith(QStringLiteral("/download/ver121/SHA256SUMS"))) << request.target.toStdString();
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("SetupKAPLIX")})
        << "no part of the broken download is left";
}

// The mirror's 64-bit setup file and a checksum list of it signed with a release key whose
// public half the program is given; Tamper changes the file after signing.
class SignedMirrorTest : public AssistantTest {
protected:
    void Sign(const QByteArray& listed)
    {
        ASSERT_TRUE(m_key.isValid()) << "minisign is missing: scripts/bootstrap installs it";
        const QByteArray list =
            QCryptographicHash::hash(listed, QCryptographicHash::Sha256).toHex() + "  KXsetup64.exe\n";
        m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS"), list);
        m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS.minisig"), m_key.sign(list));
        m_environment.insert(QStringLiteral("KAPLIX_RELEASE_KEY"), QString::fromLatin1(m_key.publicKey()));
    }

    MinisignKey m_key;
};

TEST_F(SignedMirrorTest, ASignedDownloadIsPlacedThroughTheRealWindow)
{
    Sign(m_mirror.read(QStringLiteral("download/ver121/KXsetup64.exe")));
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download3"); // 64-bit row

    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    EXPECT_TRUE(m_home.read(QStringLiteral("KXsetup64.exe")) == m_mirror.read(QStringLiteral("download/ver121/KXsetup64.exe")));
    PressReturnIn(doneBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Information$")));
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
}

TEST_F(SignedMirrorTest, AFileChangedAfterSigningIsRefusedThroughTheRealWindow)
{
    Sign(m_mirror.read(QStringLiteral("download/ver121/KXsetup64.exe")));
    m_mirror.write(QStringLiteral("download/ver121/KXsetup64.exe"), "MZ" + QByteArray(299998, 'X'));
    m_home.write(QStringLiteral("KXsetup64.exe"), "old");
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download3"); // 64-bit row

    const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
    ASSERT_FALSE(errorBox.isEmpty());
    EXPECT_EQ(m_home.read(QStringLiteral("KXsetup64.exe")), QByteArray("old"));
    PressReturnIn(errorBox);
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Error$")));
    Click(window, "CancelBtn"); // Done
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitCode(), 0);
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("KXsetup64.exe"), QStringLiteral("SetupKAPLIX")}))
        << "nothing of the refused file is left";
}

TEST_F(AssistantTest, ARedirectToTheProgramsOwnNameLeavesTheProgramAlone)
{
    // The mirror sends the request for the 64-bit setup file to a file named like the program.
    m_mirror.write(QStringLiteral("elsewhere/SetupKAPLIX"), "MZ" + QByteArray(199998, 'r'));
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
    EXPECT_EQ(m_home.read(QStringLiteral("KXsetup64.exe")), "MZ" + QByteArray(199998, 'r'));
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
