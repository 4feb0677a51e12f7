#include "tests/app/InstallFormFixture.h"

#include "controls/GlowButton.h"
#include "controls/OfficeRadioGroup.h"
#include "platform/desktop/Shell.h"
#include "tests/support/CaseName.h"
#include "tests/support/NginxServer.h"
#include "tests/support/FileOwnership.h"
#include "tests/support/MinisignKey.h"
#include "tests/support/ReleaseList.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedEnvironment.h"
#include "tests/support/WinePrefix.h"
#include "transfer/WebTransfer.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A setup file that somebody else could have put or changed is not started.
struct UnsafeCase {
    const char* name;
    // Spoils the 64-bit setup file in the start-up directory; returns false to skip (not root).
    std::function<bool(const QString& setup, const TempDir& elsewhere)> spoil;
    const char* reason;
    friend void PrintTo(const UnsafeCase& c, std::ostream* os) { *os << c.name; }
};

class UnsafeSetupFile : public InstallFormTest, public testing::WithParamInterface<UnsafeCase> {
protected:
    TempDir m_elsewhere;
};

TEST_P(UnsafeSetupFile, IsNotStartedAndTheBoxSaysWhy)
{
    const QString setup = m_startup.write(QStringLiteral("KXsetup64.exe"), "MZ");
    SetMode(setup, 0644);
    if (!GetParam().spoil(setup, m_elsewhere))
        GTEST_SKIP() << "giving a file to another user needs root; run the tests as root";
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    ASSERT_TRUE(form->Install64Btn->isEnabled());
    const QStringList report = MemoLines(*form);

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.captions()[1], QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages()[1],
              QStringLiteral("Install file not started.\n") + setup + u'\n' + QString::fromLatin1(GetParam().reason));
    EXPECT_TRUE(m_opened.isEmpty()) << "nothing was handed to the shell";
    EXPECT_EQ(MemoLines(*form), report) << "nothing was logged";
    SetMode(m_startup.path(), 0700);
}

INSTANTIATE_TEST_SUITE_P(Files, UnsafeSetupFile, testing::Values(
    UnsafeCase{"OfAnotherUser", [](const QString& setup, const TempDir&) {
        if (!IsRoot())
            return false;
        GiveToNobody(setup);
        return true;
    }, "The file belongs to another user"},
    UnsafeCase{"GroupMayWrite", [](const QString& setup, const TempDir&) {
        SetMode(setup, 0664);
        return true;
    }, "The file may be changed by others"},
    UnsafeCase{"OthersMayWrite", [](const QString& setup, const TempDir&) {
        SetMode(setup, 0646);
        return true;
    }, "The file may be changed by others"},
    UnsafeCase{"LinkToAFileElsewhere", [](const QString& setup, const TempDir& elsewhere) {
        QFile::remove(setup);
        QFile::link(elsewhere.write(QStringLiteral("payload.exe"), "MZ"), setup);
        return true;
    }, "The file is a link"},
    UnsafeCase{"FolderOthersMayWrite", [](const QString& setup, const TempDir&) {
        SetMode(QFileInfo(setup).path(), 0777);
        return true;
    }, "The folder of the file may be changed by others"}),
    caseName);

// Without a temporary directory of the user's own the window says so at start, and never
// falls back to the root folder it would otherwise use.
struct StartupCase {
    const char* name;
    bool writable;
};

class NoPrivateTemporaryDirectory : public InstallFormTest, public testing::WithParamInterface<StartupCase> {};

TEST_P(NoPrivateTemporaryDirectory, IsReportedAsAWriteAccessProblem)
{
    const bool startupWritable = GetParam().writable;
    if (!startupWritable)
        SetMode(m_startup.path(), 0500);
    TInstallEnvironment environment = Environment();
    environment.TempDir.clear();
    environment.TempDirProblem = QStringLiteral("The temporary directory /x/kaplix-setup may be changed by others");
    ModalAnswerer answerer({Ok, Ok});
    TInstallForm form(environment);
    form.show();
    SetMode(m_startup.path(), 0700);

    ASSERT_GE(answerer.answered(), 1);
    EXPECT_EQ(answerer.captions()[0], QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages()[0], QStringLiteral("Problems with write access rights\n"
                                                     "The temporary directory /x/kaplix-setup may be changed by others\n"
                                                     "You should contact your system administrator"));
    EXPECT_EQ(answerer.captions().count(QStringLiteral("Error")), 1);
    EXPECT_EQ(form.InstallToGrp->ItemIndex(), 0);
    EXPECT_EQ(form.saveDir, QStringLiteral("/"));
}

INSTANTIATE_TEST_SUITE_P(StartupDirectory, NoPrivateTemporaryDirectory,
                         testing::Values(StartupCase{"Writable", true}, StartupCase{"ReadOnly", false}),
                         caseName);

// The environment the program itself reads at start, with TMPDIR the shared kind of folder.
class SharedTmpdir : public InstallFormTest {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        SetMode(m_shared.path(), 01777);
        m_saved = {qgetenv("TMPDIR"), qgetenv("XDG_CACHE_HOME")};
        qputenv("TMPDIR", m_shared.path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", m_cache.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qputenv("TMPDIR", m_saved.first);
        qputenv("XDG_CACHE_HOME", m_saved.second);
        SetMode(m_shared.path(), 0700);
        InstallFormTest::TearDown();
    }

    TInstallEnvironment FromPlatform()
    {
        TInstallEnvironment environment = TInstallEnvironment::FromPlatform();
        environment.ExecutableDir = m_startup.path();
        environment.ShellOpen = Environment().ShellOpen;
        return environment;
    }

    TempDir m_shared;
    TempDir m_cache;
    std::pair<QByteArray, QByteArray> m_saved;
};

TEST_F(SharedTmpdir, ASetupFileLeftThereIsNeitherListedNorStarted)
{
    m_shared.write(QStringLiteral("SETUP.EXE"), "MZ");
    ModalAnswerer answerer({Ok, Ok, Ok});
    TInstallForm form(FromPlatform());
    form.show();

    const QString privateDir = m_cache.filePath(QStringLiteral("kaplix-setup"));
    EXPECT_EQ(form.saveDir, privateDir + u'/');
    EXPECT_EQ(QFileInfo(privateDir).permissions() & (QFile::WriteGroup | QFile::WriteOther), 0);
    EXPECT_EQ(form.FileBox->item(4)->text(), QStringLiteral("Setup.exe missing"));
    EXPECT_FALSE(form.FullInstallBtn->isEnabled());
    form.InstallBtnClick(form.FullInstallBtn);
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_EQ(answerer.captions().count(QStringLiteral("Error")), 2) << "not found, twice";
}

TEST_F(SharedTmpdir, AnUnwritableStartupDirectoryFallsBackToThePrivateOne)
{
    SetMode(m_startup.path(), 0500);
    ModalAnswerer answerer({Ok});
    TInstallForm form(FromPlatform());
    form.show();
    SetMode(m_startup.path(), 0700);
    EXPECT_EQ(form.InstallToGrp->ItemIndex(), 1);
    EXPECT_EQ(form.saveDir, m_cache.filePath(QStringLiteral("kaplix-setup/")));
    EXPECT_EQ(answerer.captions(), QStringList({QStringLiteral("Information")})) << "no error box";
}

// A mirror that answers the request for a setup file with a redirect to another name, and
// signs the list of its files with the release key.
class NamedDownload : public WithMinisignKeys<InstallFormTest> {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        ASSERT_TRUE(s_release->isValid()) << "minisign is missing: scripts/bootstrap installs it";
        m_files.write(QStringLiteral("elsewhere/SetupKAPLIX"), "MZ from the redirect");
        const QByteArray setup = "MZ new setup";
        m_files.write(QStringLiteral("download/ver121/setup.exe"), setup);
        const QByteArray list = releaseListLine(setup, QStringLiteral("setup.exe"));
        m_files.write(QStringLiteral("download/ver121/SHA256SUMS"), list);
        m_files.write(QStringLiteral("download/ver121/SHA256SUMS.minisig"),
                      s_release->sign(list, MinisignKey::Mode::Prehashed, releaseStamp()));
        m_server = std::make_unique<NginxServer>(
            m_files.path(),
            QStringLiteral("location = /download/ver121/KXsetup64.exe { return 302 /elsewhere/SetupKAPLIX; }"));
        ASSERT_TRUE(m_server->isRunning());
        qputenv("KAPLIX_DOWNLOAD_URL", m_server->url(QString()).toLocal8Bit());
    }

    TempDir m_files;
    std::unique_ptr<NginxServer> m_server;
};

TEST_F(NamedDownload, ARedirectCannotSaveItUnderAnotherName)
{
    m_startup.write(QStringLiteral("SetupKAPLIX"), "the program");
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    QTest::mouseClick(form->Download3, Qt::LeftButton);

    EXPECT_EQ(m_startup.read(QStringLiteral("SetupKAPLIX")), QByteArray("the program"));
    EXPECT_EQ(m_startup.read(QStringLiteral("KXsetup64.exe")), QByteArray("MZ from the redirect"));
    EXPECT_EQ(form->WebTransfer->Items()[0]->TargetFilename, QStringLiteral("KXsetup64.exe"));
    EXPECT_TRUE(form->Install64Btn->isEnabled());
}

TEST_F(NamedDownload, ReplacesTheFileWhoseNameDiffersOnlyInLetterCase)
{
    qputenv("KAPLIX_RELEASE_KEY", s_release->publicKey());
    m_startup.write(QStringLiteral("SETUP.EXE"), "old setup");
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    form->DownloadClick(form->Download4);

    EXPECT_EQ(QDir(m_startup.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("SETUP.EXE")});
    EXPECT_EQ(m_startup.read(QStringLiteral("SETUP.EXE")), QByteArray("MZ new setup"));
    form->InstallBtnClick(form->FullInstallBtn);
    EXPECT_EQ(answerer.answered(), 2) << "the download was verified: no question";
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(IsStartCopyOf(m_opened[0], m_startup.filePath(QStringLiteral("SETUP.EXE")))) << m_opened[0].toStdString();
    EXPECT_EQ(m_openedContents, QList<QByteArray>{"MZ new setup"});
    EXPECT_EQ(MemoLines(*form).last(), QStringLiteral("Downloading file ") + m_startup.filePath(QStringLiteral("SETUP.EXE")));
}

// The start-up directory deep in a folder that others may write: whoever may write it can
// move the start-up directory away and put one of their own, with their own setup file, in
// its place.
class FolderAboveOthersMayWrite : public InstallFormTest {
protected:
    // Install of a setup file in base/open/mine, where base/open has the mode given.
    void InstallBelow(mode_t mode)
    {
        TempDir base;
        const QString open = base.filePath(QStringLiteral("open"));
        const QString mine = open + QStringLiteral("/mine");
        const QString setup = base.write(QStringLiteral("open/mine/KXsetup64.exe"), "MZ");
        SetMode(setup, 0644);
        SetMode(mine, 0755);
        SetMode(open, mode);
        TInstallEnvironment environment = Environment();
        environment.ExecutableDir = mine;
        ModalAnswerer answerer({Ok, StartAnyway, Ok});
        TInstallForm form(environment);
        form.show();
        QTest::mouseClick(form.Install64Btn, Qt::LeftButton);

        if (mode & S_ISVTX) {
            EXPECT_EQ(m_opened.size(), 1) << "a sticky folder keeps others to their own entries";
        } else {
            EXPECT_TRUE(m_opened.isEmpty());
            EXPECT_EQ(answerer.messages().value(1), QStringLiteral("Install file not started.\n") + setup
                                                        + QStringLiteral("\nThe folder ") + open
                                                        + QStringLiteral(" above the file may be changed by others"));
        }
        SetMode(open, 0700);
    }
};

TEST_F(FolderAboveOthersMayWrite, RefusesTheSetupFileBelowIt)
{
    InstallBelow(0777);
}

TEST_F(FolderAboveOthersMayWrite, RefusesTheSetupFileBelowItAsAnOrdinaryUser)
{
    KX_RUN_AS_ORDINARY_USER();
    InstallBelow(0777);
}

TEST_F(FolderAboveOthersMayWrite, TakesAStickyOneAsTmpIs)
{
    InstallBelow(01777);
}

// A Wine that somebody else could have put on the PATH or changed is not started, and a box
// says why.
TEST_F(InstallFormTest, AWineOthersMayChangeIsNotStartedAndTheBoxSaysWhy)
{
    const SavedEnvironment saved{"PATH"};
    TempDir bin;
    TempDir record;
    const QString started = record.filePath(QStringLiteral("started"));
    const QString wine = bin.write(QStringLiteral("wine"), QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(started).toUtf8());
    SetMode(wine, 0775);
    qputenv("PATH", bin.path().toLocal8Bit());
    const QString setup = m_startup.write(QStringLiteral("KXsetup64.exe"), "MZ");
    TInstallEnvironment environment = Environment();
    // The real shell, with no distribution folder to look in before the PATH.
    environment.ShellOpen = [](const QString& path) { return platform::shellOpen(path, {}); };
    ModalAnswerer answerer({Ok, StartAnyway, Ok});
    TInstallForm form(environment);
    form.show();
    const QStringList report = MemoLines(form);

    QTest::mouseClick(form.Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 3);
    EXPECT_EQ(answerer.captions()[2], QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages()[2], QStringLiteral("Install file not started.\n") + setup
                                          + QStringLiteral("\nThe Wine program ") + wine
                                          + QStringLiteral(" may be changed by others"));
    EXPECT_EQ(MemoLines(form), report) << "nothing was logged";
    EXPECT_FALSE(QFileInfo::exists(started)) << "the Wine on the PATH did not run";
}

// A real 32-bit setup program, and a Wine laid out as a distribution's without its 32-bit
// part: Install says so with the commands that add it, and starts nothing.
TEST_F(InstallFormTest, A32BitSetupProgramIsNotHandedToAWineThatRunsOnly64BitOnes)
{
    if (QStandardPaths::findExecutable(QStringLiteral("x86_64-w64-mingw32-g++")).isEmpty())
        GTEST_SKIP() << "no MinGW-w64 cross compiler (Debian package g++-mingw-w64-x86-64)";
    TempDir built;
    const QString program = built.filePath(QStringLiteral("setup.exe"));
    const QString problem = buildBareWindowsProgram(program, 32);
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    QFile programFile(program);
    ASSERT_TRUE(programFile.open(QIODevice::ReadOnly));
    const QString setup = m_startup.write(QStringLiteral("KXsetup32.exe"), programFile.readAll());
    TempDir wine;
    TempDir record;
    const QString started = record.filePath(QStringLiteral("started"));
    for (const QString& file : {QStringLiteral("bin/wine"), QStringLiteral("lib/wine/wine64")}) {
        const QString path = wine.write(file, QStringLiteral("#!/bin/sh\n: > '%1'\n").arg(started).toUtf8());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    TInstallEnvironment environment = Environment();
    environment.ShellOpen = [bin = wine.filePath(QStringLiteral("bin"))](const QString& path) {
        return platform::shellOpen(path, {bin});
    };
    ModalAnswerer answerer({Ok, StartAnyway, Ok});
    TInstallForm form(environment);
    form.show();
    const QString report = form.Memo->toPlainText();
    // The box as the user sees it, for the record of what the program says.
    bool pictured = false;
    answerer.setInspector([&pictured](QWidget* dialog) {
        if (pictured || dialog->windowTitle() != QStringLiteral("Error"))
            return;
        pictured = QDir().mkpath(QStringLiteral(KX_SCREENSHOT_DIR))
            && dialog->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/box-wine32-missing.png"));
    });

    QTest::mouseClick(form.Install32Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 3);
    EXPECT_EQ(answerer.captions()[2], QStringLiteral("Error"));
    const QString box = answerer.messages()[2];
    EXPECT_TRUE(box.startsWith(QStringLiteral("Install file not started.\n") + setup + QStringLiteral(
                                   "\nThis setup program is a 32-bit Windows program")))
        << box.toStdString();
    EXPECT_TRUE(box.contains(QStringLiteral("sudo dpkg --add-architecture i386 && sudo apt update && "
                                            "sudo apt install wine32:i386")))
        << box.toStdString();
    EXPECT_FALSE(QFileInfo::exists(started)) << "Wine was started";
    EXPECT_EQ(form.Memo->toPlainText(), report) << "no start is logged";
    EXPECT_TRUE(pictured);
}

} // namespace
