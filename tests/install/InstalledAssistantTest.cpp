#include "tests/install/InstallRun.h"

#include "tests/support/FileOwnership.h"
#include "tests/support/NginxServer.h"
#include "tests/support/VirtualDisplay.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int Patience = 30000;
const QString MainTitle = QStringLiteral("KAPLIX install assistant - 1.13");
constexpr qint64 SetupSize = 300000;

// Why others cannot run the program at path: a folder on the way they may not enter, or the
// file itself. Empty when they can.
std::string UnreachableByOthers(const QString& path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    if ((ModeOf(current) & 05) != 05)
        return current.toStdString() + " is not readable and executable by others";
    while (current != QStringLiteral("/")) {
        current = QFileInfo(current).path();
        if (!(ModeOf(current) & S_IXOTH))
            return current.toStdString() + " may not be entered by others (chmod o+x it)";
    }
    return {};
}

// The installed program started by a user who may not write where it was installed (root's
// /usr/bin to anybody else), on a display of its own, against a mirror with one setup file.
class InstalledAssistant : public InstalledTree {
protected:
    void SetUp() override
    {
        InstalledTree::SetUp();
        ASSERT_TRUE(m_display.isRunning());
        m_mirror.write(QStringLiteral("download/ver121/KXsetup64.exe"), "MZ" + QByteArray(SetupSize - 2, 'k'));
        m_server = std::make_unique<NginxServer>(m_mirror.path());
        ASSERT_TRUE(m_server->isRunning());
    }

    void TearDown() override
    {
        if (m_assistant.state() != QProcess::NotRunning) {
            m_assistant.kill();
            m_assistant.waitForFinished(5000);
        }
        if (!IsRoot())
            ::chmod(QFile::encodeName(Installed(QStringLiteral("usr/bin"))).constData(), 0755);
    }

    void Start(const QStringList& launcher)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_display.name());
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("KAPLIX_DOWNLOAD_URL"), m_server->url(QString()));
        for (const char* name : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR"})
            environment.insert(QString::fromLatin1(name), m_home.path());
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), m_home.filePath(QStringLiteral(".cache")));
        environment.insert(QStringLiteral("WINEPREFIX"), m_home.filePath(QStringLiteral("wine")));
        // Libraries of the window system keep allocations until exit; this test judges where
        // the program saves, not its memory.
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_assistant.setProcessEnvironment(environment);
        m_assistant.setProcessChannelMode(QProcess::ForwardedChannels);
        const QStringList command = launcher + QStringList{Installed(QStringLiteral("usr/bin/SetupKAPLIX"))};
        m_assistant.start(command.first(), command.mid(1));
        ASSERT_TRUE(m_assistant.waitForStarted());
    }

    // Without a window manager the keyboard follows the pointer.
    void Click(const QString& window, int x, int y, const QStringList& then = {QStringLiteral("click"), QStringLiteral("1")})
    {
        const QPoint origin = m_display.windowOrigin(window);
        m_display.xdotool(QStringList{QStringLiteral("mousemove"), QString::number(origin.x() + x),
                                      QString::number(origin.y() + y)}
                          + then);
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
    std::unique_ptr<NginxServer> m_server;
    TempDir m_home; // the user's home, temporary and runtime folder: theirs alone
    QProcess m_assistant;
};

TEST_F(InstalledAssistant, AnOrdinaryUserGetsTheSetupFileInTheirPrivateFolder)
{
    const QString bin = Installed(QStringLiteral("usr/bin"));
    QStringList launcher;
    uint user = ::geteuid();
    if (IsRoot()) {
        const passwd* nobody = ::getpwnam("nobody");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (!nobody || setpriv.isEmpty())
            GTEST_SKIP() << "runs the program as nobody with setpriv (util-linux); one of them is missing";
        SetMode(m_destdir.path(), 0755);
        if (const std::string why = UnreachableByOthers(bin + QStringLiteral("/SetupKAPLIX")); !why.empty())
            GTEST_SKIP() << "nobody cannot run the installed program: " << why;
        GiveToNobody(m_home.path());
        user = nobody->pw_uid;
        launcher = {setpriv, QStringLiteral("--reuid=%1").arg(nobody->pw_uid), QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                    QStringLiteral("--clear-groups"), QStringLiteral("--")};
    } else {
        // The tree is this user's own here: take away what a system folder would not give them.
        SetMode(bin, 0555);
    }
    Start(launcher);

    // No installation on this drive C: the start-up box says so, and it is the first box: a
    // missing place to save would have come first as an error.
    const QString startupBox = m_display.waitForWindow(QStringLiteral("^Information$"), Patience);
    ASSERT_FALSE(startupBox.isEmpty());
    EXPECT_TRUE(m_display.waitForWindow(QStringLiteral("^Error$"), 200).isEmpty()) << "no write-access error";
    Click(startupBox, 10, 10, {QStringLiteral("key"), QStringLiteral("Return")});
    const QString window = m_display.waitForWindow(QRegularExpression::escape(MainTitle), Patience);
    ASSERT_FALSE(window.isEmpty());

    Click(window, 120 + 48, 399 + 14); // Download, 64-bit row
    const QString saved = m_home.filePath(QStringLiteral("KXsetup64.exe"));
    ASSERT_TRUE(WaitForFile(saved, SetupSize))
        << "downloaded to the private temporary folder, the option the program chose for itself";
    EXPECT_EQ(QFileInfo(saved).ownerId(), user);
    EXPECT_FALSE(QFileInfo::exists(bin + QStringLiteral("/KXsetup64.exe")));
    EXPECT_FALSE(QFileInfo::exists(bin + QStringLiteral("/kaplixTest.txt")));
}

} // namespace
