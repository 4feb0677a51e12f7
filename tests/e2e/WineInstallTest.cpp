#include "app/InstallEnvironment.h"
#include "app/InstallForm.h"
#include "app/Memo.h"
#include "tests/e2e/AssistantFixture.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/ReleaseList.h"
#include "tests/support/ModalAnswerer.h"
#include "tests/support/WinePrefix.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Wine starts a program in a few seconds, longer on a busy machine.
constexpr int WinePatience = 120000;

// The real program, a real Windows setup program built here, and Wine with a prefix of the
// test's own. CTest runs each test in a process of its own, and the prefix takes its
// initialisation time once per test: the whole road is therefore one test.
class WineInstallTest : public AssistantTest {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("KX_SKIP_WINE") == QStringLiteral("1"))
            GTEST_SKIP() << "KX_SKIP_WINE=1: the tests that run Windows programs with Wine are skipped";
        const QString missing = missingWindowsTools();
        ASSERT_TRUE(missing.isEmpty()) << missing.toStdString();
        AssistantTest::SetUp();
        if (HasFatalFailure())
            return;
        const QString built = buildWindowsProgram(QStringLiteral(KX_MARKER_SETUP_SOURCE), m_setup.filePath(QStringLiteral("setup.exe")));
        ASSERT_TRUE(built.isEmpty()) << built.toStdString();
        m_wine = std::make_unique<WinePrefix>(m_display.name());
        ASSERT_TRUE(m_wine->isReady()) << m_wine->problem().toStdString();
        // The program starts Wine in the same environment it runs in.
        const QProcessEnvironment wine = m_wine->environment();
        for (const QString& name : {QStringLiteral("WINEPREFIX"), QStringLiteral("HOME"), QStringLiteral("WINEDLLOVERRIDES")})
            m_environment.insert(name, wine.value(name));
    }

    void TearDown() override
    {
        qunsetenv("WINEPREFIX");
        AssistantTest::TearDown();
        // Stops whatever still runs in the prefix while the display is still there.
        m_wine.reset();
    }

    QString DriveC(const QString& path) const { return m_wine->path() + QStringLiteral("/drive_c/") + path; }

    TempDir m_setup;
    std::unique_ptr<WinePrefix> m_wine;
};

TEST_F(WineInstallTest, ADownloadedSetupProgramRunsInTheProbedPrefixAndTheReportFindsWhatItInstalled)
{
    const QByteArray setup = m_setup.read(QStringLiteral("setup.exe"));
    m_mirror.write(QStringLiteral("download/ver121/KXsetup64.exe"), setup);
    // Signed with the release key, so the download is verified and Install asks nothing.
    const MinisignKey key;
    ASSERT_TRUE(key.isValid()) << "minisign is missing: scripts/bootstrap installs it";
    const QByteArray list = releaseListLine(setup, QStringLiteral("KXsetup64.exe"));
    m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS"), list);
    m_mirror.write(QStringLiteral("download/ver121/SHA256SUMS.minisig"),
                   key.sign(list, MinisignKey::Mode::Prehashed, releaseStamp()));
    m_environment.insert(QStringLiteral("KAPLIX_RELEASE_KEY"), QString::fromLatin1(key.publicKey()));
    Start();
    // Nothing is installed in the fresh prefix yet: the start-up report says so in its box.
    const QString window = OpenMainWindow();
    ASSERT_FALSE(window.isEmpty());
    Click(window, "Download3"); // 64-bit row
    ASSERT_TRUE(WaitForFile(m_home.filePath(QStringLiteral("KXsetup64.exe")), setup.size()));
    const QString doneBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(doneBox.isEmpty());
    ASSERT_TRUE(Dismiss(doneBox, QStringLiteral("^Information$")));

    Click(window, "Install64Btn");
    // The setup program runs from a private copy in the temporary directory, in the copy's
    // folder, and leaves its marker there once done.
    QString marker;
    ASSERT_TRUE(waitFor(
        [&] {
            const QFileInfoList copies = QDir(m_temp.path()).entryInfoList({QStringLiteral("kaplix-start-*")}, QDir::Dirs);
            for (const QFileInfo& copy : copies) {
                if (QFileInfo::exists(copy.filePath() + QStringLiteral("/setup-ran.txt")))
                    marker = copy.filePath() + QStringLiteral("/setup-ran.txt");
            }
            return !marker.isEmpty();
        },
        WinePatience))
        << "the setup program never left its marker in a copy's folder in " << m_temp.path().toStdString();
    QFile markerFile(marker);
    ASSERT_TRUE(markerFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(markerFile.readAll(), QByteArray("installed"));
    EXPECT_FALSE(QFileInfo::exists(m_home.filePath(QStringLiteral("setup-ran.txt")))) << "the original did not run";
    EXPECT_TRUE(QFileInfo(DriveC(QStringLiteral("Program Files/kaplix/bin/kaplix3.exe"))).isFile())
        << "the setup program installed into the prefix the window was given";
    EXPECT_TRUE(m_display.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                   QStringLiteral("^Error$")}).isEmpty())
        << "no error box";
    EXPECT_TRUE(m_display.xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                   QStringLiteral("^Warning$")}).isEmpty())
        << "no question: the file was verified";
    // The window went on working while Wine ran: it still closes with Done.
    LeaveWithDone(window);

    // The start-up probes read the drive C: that Wine really uses: they find the installation
    // the setup program made there through the Windows shell's program-files folder.
    qputenv("WINEPREFIX", m_wine->path().toLocal8Bit());
    TInstallEnvironment environment = TInstallEnvironment::FromPlatform();
    EXPECT_EQ(environment.ProgramFilesFolder, DriveC(QStringLiteral("Program Files")));
    environment.ExecutableDir = m_temp.path();
    environment.TempDir = m_temp.path();
    ModalAnswerer answerer({{{}, QStringLiteral("OK")}});
    TInstallForm form(environment);
    form.show();
    EXPECT_EQ(answerer.answered(), 0) << "no box saying KAPLIX could not be located";
    EXPECT_EQ(form.Memo->toPlainText().split(u'\n'),
              QStringList({QString(), QStringLiteral("Current directory:"), m_temp.path() + u'/',
                           QStringLiteral("  KAPLIX is found in \"Program files\" location"),
                           QStringLiteral("  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)"),
                           QStringLiteral("  Windows version is determined to be 64-bit")}));
}

} // namespace
