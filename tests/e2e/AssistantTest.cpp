#include "tests/e2e/AssistantFixture.h"
#include "tests/support/AccessibilityBus.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/Pixels.h"
#include "tests/support/ScriptedHttpServer.h"

#include <QCryptographicHash>
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
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("kaplixTest.txt"))));
}

TEST_F(AssistantTest, MissingFileOnTheServerIsExplainedInAnErrorBox)
{
    Start();
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download1"); // upgrade row: not on the mirror

    const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
    ASSERT_FALSE(errorBox.isEmpty());
    EXPECT_FALSE(QFile::exists(m_home.filePath(QStringLiteral("SetupNoDb.exe"))));
    ASSERT_TRUE(Dismiss(errorBox, QStringLiteral("^Error$")));
    LeaveWithDone(window);
}

TEST_F(AssistantTest, BrokenConnectionIsExplainedAndTheWindowStaysUsable)
{
    ScriptedHttpServer faulty;
    ASSERT_TRUE(faulty.isRunning());
    Start(faulty.url(QStringLiteral("/reset/size=300000&at=100000/")));
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());

    // Twice: after the first failure the window still takes a download.
    for (int attempt = 0; attempt < 2; ++attempt) {
        Click(window, "Download3"); // 64-bit row
        const QString errorBox = m_display.waitForWindow(QStringLiteral("^Error$"), Patience);
        ASSERT_FALSE(errorBox.isEmpty()) << "attempt " << attempt + 1;
        ASSERT_TRUE(Dismiss(errorBox, QStringLiteral("^Error$"))) << "attempt " << attempt + 1;
    }
    // The server breaks off everything it sends, the checksum list that comes first too: each
    // click asks for it once and three times more before the box.
    ASSERT_EQ(faulty.requests().size(), 2 * 4);
    for (const ScriptedHttpServer::Request& request : faulty.requests())
        EXPECT_TRUE(request.target.endsWith(QStringLiteral("/download/ver121/SHA256SUMS"))) << request.target.toStdString();
    LeaveWithDone(window);
    EXPECT_EQ(QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("SetupKAPLIX")})
        << "no part of the broken download is left";
}

// The mirror's 64-bit setup file and a checksum list of it signed with a release key whose
// public half the program is given, for version 12.1 and for a year from today.
class SignedMirrorTest : public AssistantTest {
protected:
    void Sign(const QByteArray& listed)
    {
        ASSERT_TRUE(m_key.isValid()) << "minisign is missing: scripts/bootstrap installs it";
        const QByteArray list = QCryptographicHash::hash(listed, QCryptographicHash::Sha256).toHex()
            + "  KXsetup64.exe\n# size " + QByteArray::number(listed.size()) + " KXsetup64.exe\n";
        const QString stamp = QStringLiteral("kaplix 12.1 ver121 serial=1 expires=")
            + QDateTime::currentDateTimeUtc().date().addYears(1).toString(Qt::ISODate);
        m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS"), list);
        m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS.minisig"),
                       m_key.sign(list, MinisignKey::Mode::Prehashed, stamp));
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
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
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
    ASSERT_TRUE(Dismiss(errorBox, QStringLiteral("^Error$")));
    LeaveWithDone(window);
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
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
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
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
    ::chmod(QFile::encodeName(shared.path()).constData(), 0700);
}

// No mouse at all: the start-up box, the choice of version, the download, the done box and
// leaving with Done, with Tab, Shift+Tab, the arrow keys, Space and Return.
TEST_F(AssistantTest, KeyboardAloneDownloadsTheChosenVersionAndLeaves)
{
    m_mirror.write(QStringLiteral("download/ver120/KXsetup64.exe"), "MZ" + QByteArray(249998, 'v'));
    Start();
    const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(startupBox.isEmpty());
    TypeInto(startupBox, {QStringLiteral("Return")});
    const QString window = m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    ASSERT_FALSE(window.isEmpty());

    // The window opens with the log focused: no button shows a focus frame.
    TypeInto(window, {});
    ASSERT_TRUE(WaitForFocusFrame(window, "Download3", false));
    // From the log back over Done to the version group (on 12.1); up to 12.0 and select it;
    // back over the directory group and Download4 (the Install buttons are disabled: no setup
    // file yet) to the 64-bit row's Download button.
    TypeInto(window, {QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"), QStringLiteral("Up"), QStringLiteral("space"),
                      QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab")});
    ASSERT_TRUE(WaitForFocusFrame(window, "Download3", true)) << "the focused button shows its frame";
    TypeInto(window, {QStringLiteral("space")});

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 250000)) << "12.0 was chosen";
    EXPECT_EQ(m_home.read(QStringLiteral("KXsetup64.exe")), "MZ" + QByteArray(249998, 'v'));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    TypeInto(doneBox, {QStringLiteral("Return")});
    ASSERT_TRUE(WaitUntilGone(QStringLiteral("^Information$")));

    // Back in the window the focus is on Download3 again; the Install button just enabled comes
    // next, then Download4, the two groups and Done.
    TypeInto(window, {});
    ASSERT_TRUE(WaitForFocusFrame(window, "Download3", true));
    TypeInto(window, {QStringLiteral("Tab")});
    ASSERT_TRUE(WaitForFocusFrame(window, "Install64Btn", true));
    TypeInto(window, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab")});
    ASSERT_TRUE(WaitForFocusFrame(window, "CancelBtn", true));
    TypeInto(window, {QStringLiteral("space")});
    ASSERT_TRUE(m_assistant.waitForFinished(Patience));
    EXPECT_EQ(m_assistant.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_assistant.exitCode(), 0);
}

// A screen reader's view: the running program read through the real accessibility bus, the
// 64-bit row's Download button found by its name and pressed through its action.
TEST_F(AssistantTest, ScreenReaderFindsAndPressesTheDownloadButtonOverTheAccessibilityBus)
{
    AccessibilityBus bus(m_display.name());
    if (!bus.isRunning())
        GTEST_SKIP() << "the accessibility bus cannot start here: " << bus.error().toStdString();
    StartOnAccessibilityBus(bus);
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());

    QProcess reader;
    StartScreenReader(reader, bus,
                      {QStringLiteral(KX_E2E_SOURCE_DIR "/press_by_name.py"), QStringLiteral("SetupKAPLIX"),
                       QStringLiteral("push button"), QStringLiteral("Download, Install new on 64-bit Windows"),
                       QStringLiteral("30")});
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QString said = QString::fromLocal8Bit(reader.readAll());
    ASSERT_EQ(reader.exitCode(), 0) << said.toStdString();
    EXPECT_TRUE(said.contains(QStringLiteral("description 'Download from KAPLIX web site'"))) << said.toStdString();

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 300000));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
}

// What a screen reader reads of the window: each radio button with the caption of its group
// (the named panel above it, where the reader takes a radio button's group from), the log by
// its name, and an Install button's description with its file's state.
TEST_F(AssistantTest, ScreenReaderReadsTheRadioGroupsWithTheirCaptions)
{
    AccessibilityBus bus(m_display.name());
    if (!bus.isRunning())
        GTEST_SKIP() << "the accessibility bus cannot start here: " << bus.error().toStdString();
    StartOnAccessibilityBus(bus);
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());

    QProcess reader;
    StartScreenReader(reader, bus,
                      {QStringLiteral(KX_E2E_SOURCE_DIR "/read_tree.py"), QStringLiteral("SetupKAPLIX"),
                       QStringLiteral("30"), QStringLiteral("radio button | 12.1")});
    ASSERT_TRUE(reader.waitForFinished(60000));
    const QString tree = QString::fromUtf8(reader.readAll());
    ASSERT_EQ(reader.exitCode(), 0) << tree.toStdString();
    // Role | name | group | description | text, after the path of roles.
    const auto lineOf = [&tree](const QString& role, const QString& name) {
        for (const QString& line : tree.split(u'\n')) {
            const QStringList fields = line.split(QStringLiteral(" | "));
            if (fields.size() >= 6 && fields[1] == role && fields[2] == name)
                return fields;
        }
        return QStringList();
    };
    for (const char* version : {"9.21", "12.0", "12.1"})
        EXPECT_EQ(lineOf(QStringLiteral("radio button"), QLatin1String(version)).value(3),
                  QStringLiteral("Select version to install"))
            << version << "\n" << tree.toStdString();
    for (const char* place : {"Current directory", "System temporary directory"})
        EXPECT_EQ(lineOf(QStringLiteral("radio button"), QLatin1String(place)).value(3),
                  QStringLiteral("Download files to"))
            << place << "\n" << tree.toStdString();
    EXPECT_FALSE(lineOf(QStringLiteral("text"), QStringLiteral("Install information")).isEmpty()) << tree.toStdString();
    EXPECT_EQ(lineOf(QStringLiteral("push button"), QStringLiteral("Install, Install new on 32-bit Windows")).value(4),
              QStringLiteral("Install file is missing"))
        << tree.toStdString();
    LeaveWithDone(window);
}

// A screen reader hears the progress dialog appear: an event on the accessibility bus whose
// source is the dialog, named by its caption, while the download runs (a slow mirror: a
// dialog that is gone again before the reader asks about it is heard as nothing).
TEST_F(AssistantTest, ScreenReaderHearsTheProgressDialogAppear)
{
    m_server = std::make_unique<NginxServer>(m_mirror.path(), QStringLiteral("limit_rate 60k;"));
    ASSERT_TRUE(m_server->isRunning());
    AccessibilityBus bus(m_display.name());
    if (!bus.isRunning())
        GTEST_SKIP() << "the accessibility bus cannot start here: " << bus.error().toStdString();
    StartOnAccessibilityBus(bus);
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());

    QProcess listener;
    StartScreenReader(listener, bus,
                      {QStringLiteral(KX_E2E_SOURCE_DIR "/listen_events.py"), QStringLiteral("SetupKAPLIX"),
                       QStringLiteral("60"), QStringLiteral("| Downloading"), QStringLiteral("window:activate"),
                       QStringLiteral("window:create"), QStringLiteral("object:state-changed:showing")});
    ASSERT_TRUE(waitFor([&] { return listener.peek(64).contains("listening"); }, Patience));
    Click(window, "Download3");
    ASSERT_TRUE(listener.waitForFinished(90000));
    const QString heard = QString::fromUtf8(listener.readAll());
    EXPECT_EQ(listener.exitCode(), 0) << heard.toStdString();

    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), 300000));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));
    LeaveWithDone(window);
}

} // namespace
