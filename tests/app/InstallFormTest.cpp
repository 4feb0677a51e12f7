#include "tests/app/InstallFormFixture.h"

#include "app/ButtonPictures.h"
#include "app/InstallFormLayout.h"
#include "app/InstallerRows.h"
#include "controls/ButtonPicture.h"
#include "controls/GlowButton.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeRadioGroup.h"
#include "tests/support/CaseName.h"
#include "tests/support/ClickButton.h"
#include "tests/support/NginxServer.h"
#include "tests/support/Pixels.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Snapshot.h"
#include "tests/support/WaitFor.h"
#include "transfer/WebTransfer.h"

#include <QDir>
#include <QFile>
#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

// The window as a screen of pixel ratio 2 shows it, saved in the build folder for people to look
// at (screenshots/main-window-2x.png); its button pictures are those drawn for that screen.
TEST_F(InstallFormTest, WindowAtRatio2IsSavedWithThePicturesDrawnForIt)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    const QImage window = renderAt(form.get(), 2.0);
    EXPECT_EQ(window.size(), form->size() * 2);
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(KX_SCREENSHOT_DIR)));
    ASSERT_TRUE(window.save(QStringLiteral(KX_SCREENSHOT_DIR "/main-window-2x.png")));

    TButtonPicture download;
    download.LoadFromDrawing(&DownloadPicture);
    for (TGlowButton* button : {form->Download1, form->Download4}) {
        const QRect place(button->mapTo(form.get(), QPoint(0, 0)) * 2, button->size() * 2);
        EXPECT_GE(findPicture(window.copy(place), download.Image(2.0)).x(), 0) << button->objectName().toStdString();
    }
}

// The icon takes milliseconds to draw, so the window is painted first and the desktop is given
// the icon right after.
TEST_F(InstallFormTest, TheWindowIconFollowsTheWindowsFirstPicture)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_TRUE(form->windowIcon().isNull());
    ASSERT_TRUE(waitFor([&] { return !form->windowIcon().isNull(); }));
    EXPECT_EQ(form->windowIcon().availableSizes().size(), 5);
}

// A window that starts minimized may not be exposed until it is restored; the task bar shows
// its icon all the same.
TEST_F(InstallFormTest, AWindowStartedMinimizedGetsItsIconToo)
{
    ModalAnswerer answerer({Ok});
    TInstallForm form(Environment());
    form.setWindowState(Qt::WindowMinimized);
    form.show();
    EXPECT_TRUE(waitFor([&] { return !form.windowIcon().isNull(); }));
}

TEST_F(InstallFormTest, EmptyDirectoriesListEveryFileMissing)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(FileBoxLines(*form),
              QStringList({QStringLiteral("SetupNoDb.exe missing"), QStringLiteral("documents\\kaplix.pdf missing"),
                           QStringLiteral("KXsetup32.exe missing"), QStringLiteral("KXsetup64.exe missing"),
                           QStringLiteral("Setup.exe missing")}));
    for (TGlowButton* install : {form->UpgradeBtn, form->Install32Btn, form->Install64Btn, form->FullInstallBtn})
        EXPECT_FALSE(install->isEnabled());
    for (TGlowButton* download : {form->Download1, form->Download2, form->Download3, form->Download4})
        EXPECT_TRUE(download->isEnabled());
    for (QLabel* status : {form->Label17, form->Label18, form->Label19, form->Label20})
        EXPECT_EQ(status->text(), QStringLiteral("Install file is missing"));
    EXPECT_TRUE(form->installDir.isEmpty());
    EXPECT_EQ(form->StartupDir, m_startup.path() + u'/');
    EXPECT_EQ(form->saveDir, m_temp.path() + u'/');
    EXPECT_FALSE(QFile::exists(m_startup.filePath(QStringLiteral("kaplixTest.txt"))));
    EXPECT_EQ(form->InstallToGrp->ItemIndex(), 0);
}

TEST_F(InstallFormTest, FilesAreFoundInEitherDirectoryWithoutRegardToCase)
{
    m_temp.write(QStringLiteral("KXsetup32.exe"));
    m_startup.write(QStringLiteral("setup.exe"));
    m_startup.write(QStringLiteral("documents/kaplix.pdf"));
    QDir().mkdir(m_startup.filePath(QStringLiteral("KXsetup64.exe"))); // a directory is not a file
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(FileBoxLines(*form),
              QStringList({QStringLiteral("SetupNoDb.exe missing"), QStringLiteral("documents\\kaplix.pdf present"),
                           QStringLiteral("KXsetup32.exe present"), QStringLiteral("KXsetup64.exe missing"),
                           QStringLiteral("Setup.exe present")}));
    EXPECT_FALSE(form->UpgradeBtn->isEnabled());
    EXPECT_TRUE(form->Install32Btn->isEnabled());
    EXPECT_FALSE(form->Install64Btn->isEnabled());
    EXPECT_TRUE(form->FullInstallBtn->isEnabled());
    EXPECT_EQ(form->Label18->text(), QStringLiteral("Install file is present"));

    form->RefreshSetupFiles();
    form->RefreshSetupFiles();
    EXPECT_EQ(form->FileBox->count(), 5);
}

struct ReportCase {
    const char* name;
    std::vector<const char*> installations;
    bool windows64;
    std::vector<const char*> lines;
    bool boxShown;
    friend void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }
};

class StartupReport : public InstallFormTest, public testing::WithParamInterface<ReportCase> {};

TEST_P(StartupReport, TellsWhereKaplixIsAndHowManyBits)
{
    const ReportCase& c = GetParam();
    for (const char* path : c.installations)
        InstallAt(path);
    ModalAnswerer answerer({Ok});
    auto form = Open(c.windows64);

    QStringList expected = {QString(), QStringLiteral("Current directory:"), form->StartupDir};
    for (const char* line : c.lines)
        expected << QString::fromLatin1(line);
    EXPECT_EQ(MemoLines(*form), expected);
    EXPECT_EQ(form->Label13->isVisibleTo(form.get()), c.windows64);
    EXPECT_EQ(form->Label12->isVisibleTo(form.get()), !c.windows64);
    if (c.boxShown) {
        ASSERT_EQ(answerer.answered(), 1);
        EXPECT_EQ(answerer.captions()[0], QStringLiteral("Information"));
        EXPECT_EQ(answerer.messages()[0], QStringLiteral("KAPLIX could not be located on your computer\nIf KAPLIX is "
                                                         "installed,\nplease deinstall prior to reinstallation"));
    } else {
        EXPECT_EQ(answerer.answered(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Installations, StartupReport, testing::Values(
    ReportCase{"NoneOn64Bit", {}, true,
               {"  KAPLIX has not been located on this computer", "  Windows version is determined to be 64-bit"}, true},
    ReportCase{"NoneOn32Bit", {}, false,
               {"  KAPLIX has not been located on this computer", "  Windows version is determined to be 32-bit"}, true},
    ReportCase{"ProgramFiles", {"C:\\Program Files\\kaplix\\bin\\kaplix3.exe"}, true,
               {"  KAPLIX is found in \"Program files\" location",
                "  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)",
                "  Windows version is determined to be 64-bit"}, false},
    // Where a 32-bit setup program installs on a 64-bit system.
    ReportCase{"ProgramFilesX86", {"C:\\Program Files (x86)\\kaplix\\bin\\kaplix3.exe"}, true,
               {"  KAPLIX is found in \"Program files\" location",
                "  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)",
                "  Windows version is determined to be 64-bit"}, false},
    ReportCase{"OldLocation", {"C:\\kaplix\\bin\\kaplix3.exe"}, true,
               {"  KAPLIX is found in the \"old\" location of \"C:\\kaplix\\",
                "  Deinstallion is recommeded prior to reinstallation",
                "  User defined files can be moved to new location after reinstallation",
                "  Windows version is determined to be 64-bit"}, false},
    ReportCase{"BothReportOnlyProgramFiles",
               {"C:\\Program Files\\kaplix\\bin\\kaplix3.exe", "C:\\kaplix\\bin\\kaplix3.exe"}, false,
               {"  KAPLIX is found in \"Program files\" location",
                "  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)",
                "  Windows version is determined to be 32-bit"}, false}),
    caseName);

// An installation is found whatever the letter case of its folders and file, as on Windows.
struct LetterCaseCase {
    const char* name;
    const char* installation;
    bool programFiles;  // which lines the report shows: Program Files or the old location
    friend void PrintTo(const LetterCaseCase& c, std::ostream* os) { *os << c.name; }
};

class InstallationInAnyCase : public InstallFormTest, public testing::WithParamInterface<LetterCaseCase> {};

TEST_P(InstallationInAnyCase, IsReported)
{
    InstallAt(GetParam().installation);
    ModalAnswerer answerer({Ok});
    auto form = Open();
    const QStringList lines = MemoLines(*form);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[3], GetParam().programFiles
                            ? QStringLiteral("  KAPLIX is found in \"Program files\" location")
                            : QStringLiteral("  KAPLIX is found in the \"old\" location of \"C:\\kaplix\\"));
    EXPECT_EQ(answerer.answered(), 0) << "no \"could not be located\" box";
}

INSTANTIATE_TEST_SUITE_P(LetterCases, InstallationInAnyCase, testing::Values(
    LetterCaseCase{"ProgramFilesUpperFolder", "C:\\Program Files\\KAPLIX\\bin\\kaplix3.exe", true},
    LetterCaseCase{"ProgramFilesMixed", "C:\\Program Files\\Kaplix\\BIN\\kaplix3.exe", true},
    LetterCaseCase{"ProgramFilesUpperFile", "C:\\Program Files\\kaplix\\bin\\KAPLIX3.EXE", true},
    LetterCaseCase{"ProgramFilesFolderInLowerCase", "C:\\program files\\kaplix\\bin\\kaplix3.exe", true},
    LetterCaseCase{"OldLocationUpper", "C:\\KAPLIX\\BIN\\KAPLIX3.EXE", false},
    LetterCaseCase{"OldLocationMixed", "C:\\Kaplix\\Bin\\Kaplix3.Exe", false}),
    caseName);

TEST_F(InstallFormTest, InstallationBelowTheHomePrefixIsFoundInAnyCase)
{
    // Without WINEPREFIX, drive C: is the one in the home folder.
    TempDir home;
    const QByteArray savedHome = qgetenv("HOME");
    qunsetenv("WINEPREFIX");
    qputenv("HOME", home.path().toLocal8Bit());
    home.write(QStringLiteral(".wine/drive_c/Program Files/Kaplix/BIN/kaplix3.exe"));
    ModalAnswerer answerer({Ok});
    TInstallEnvironment environment = Environment();
    environment.ProgramFilesFolder.clear(); // only the fixed path on drive C: can find it
    auto form = std::make_unique<TInstallForm>(environment);
    form->show();
    qputenv("HOME", savedHome);
    EXPECT_EQ(MemoLines(*form).value(3), QStringLiteral("  KAPLIX is found in \"Program files\" location"));
    EXPECT_EQ(answerer.answered(), 0);
}

// Directories that cannot be written: the owner's write permission taken away.
class ReadOnly {
public:
    explicit ReadOnly(const QString& dir) : m_dir(dir)
    {
        QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnly() { QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }

private:
    QString m_dir;
};

TEST_F(InstallFormTest, UnwritableStartupDirectoryChoosesTheTemporaryOne)
{
    ReadOnly locked(m_startup.path());
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(form->InstallToGrp->ItemIndex(), 1);
    EXPECT_EQ(answerer.captions(), QStringList({QStringLiteral("Information")})) << "no error box";
}

TEST_F(InstallFormTest, NoWritableDirectoryIsReportedAndKeepsTheCurrentOne)
{
    ReadOnly lockedStartup(m_startup.path());
    ReadOnly lockedTemp(m_temp.path());
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    EXPECT_EQ(form->InstallToGrp->ItemIndex(), 0);
    ASSERT_GE(answerer.answered(), 1);
    EXPECT_EQ(answerer.captions()[0], QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages()[0],
              QStringLiteral("Problems with write access rights\nYou should contact your system administrator"));
}

TEST_F(InstallFormTest, InstallStartsTheCopyInTheStartupDirectoryFirstAndLogsIt)
{
    // Without a release key neither file can be verified: the user starts each anyway.
    const QString inStartup = m_startup.write(QStringLiteral("KXsetup32.exe"), "MZ 32 in the start-up directory");
    m_temp.write(QStringLiteral("KXsetup32.exe"), "MZ 32 in the temporary directory");
    const QString onlyInTemp = m_temp.write(QStringLiteral("KXsetup64.exe"), "MZ 64 in the temporary directory");
    ModalAnswerer answerer({Ok, StartAnyway, StartAnyway});
    auto form = Open();
    const int reportLines = MemoLines(*form).size();

    form->InstallBtnClick(form->Install32Btn);
    form->InstallBtnClick(form->Install64Btn);
    const QStringList lines = MemoLines(*form);
    ASSERT_EQ(lines.size(), reportLines + 2);
    EXPECT_EQ(lines[reportLines], QStringLiteral("Downloading file ") + inStartup);
    EXPECT_EQ(lines[reportLines + 1], QStringLiteral("Downloading file ") + onlyInTemp);
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_TRUE(IsStartCopyOf(m_opened[0], inStartup)) << m_opened[0].toStdString();
    EXPECT_TRUE(IsStartCopyOf(m_opened[1], onlyInTemp)) << m_opened[1].toStdString();
    EXPECT_EQ(m_openedContents, QList<QByteArray>({"MZ 32 in the start-up directory", "MZ 64 in the temporary directory"}));
}

TEST_F(InstallFormTest, InstallOfAVanishedFileShowsBothErrors)
{
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Open();
    const int reportLines = MemoLines(*form).size();
    form->InstallBtnClick(form->Install32Btn);
    ASSERT_EQ(answerer.answered(), 3);
    EXPECT_EQ(answerer.messages()[1], QStringLiteral("Install file KXsetup32.exenot found."));
    EXPECT_EQ(answerer.messages()[2], QStringLiteral("Install file not found.\n"));
    EXPECT_EQ(answerer.captions()[2], QStringLiteral("Error"));
    EXPECT_EQ(MemoLines(*form).size(), reportLines);
    EXPECT_TRUE(m_opened.isEmpty());
}

// A setup file the shell could not start: a box says why, and the log tells of no start.
struct NotStartedCase {
    const char* name;
    platform::ProgramStart start;
    const char* reason;
    friend void PrintTo(const NotStartedCase& c, std::ostream* os) { *os << c.name; }
};

class SetupNotStarted : public InstallFormTest, public testing::WithParamInterface<NotStartedCase> {};

TEST_P(SetupNotStarted, IsExplainedInAnErrorBoxAndNotLogged)
{
    const QString setup = m_startup.write(QStringLiteral("KXsetup64.exe"), "MZ");
    m_start = GetParam().start;
    ModalAnswerer answerer({Ok, StartAnyway, Ok});
    auto form = Open();
    const QStringList report = MemoLines(*form);

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 3);
    EXPECT_EQ(answerer.captions()[2], QStringLiteral("Error"));
    EXPECT_EQ(answerer.messages()[2],
              QStringLiteral("Install file not started.\n") + setup + u'\n' + QString::fromLatin1(GetParam().reason));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_openedContents, QList<QByteArray>{"MZ"});
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(m_opened[0]).path())) << "the copy nothing started is gone";
    EXPECT_EQ(MemoLines(*form), report);
}

INSTANTIATE_TEST_SUITE_P(Shell, SetupNotStarted, testing::Values(
    NotStartedCase{"WineMissing", {platform::ProgramStart::Status::WineMissing, QStringLiteral("Wine is not installed")},
                   "Windows setup programs need Wine, which is not installed on this computer.\n"
                   "Install your distribution's \"wine\" package (on Debian or Ubuntu: sudo apt install wine) and, "
                   "for 32-bit setup programs, which most are, its 32-bit part (sudo dpkg --add-architecture i386 "
                   "&& sudo apt update && sudo apt install wine32:i386), then click Install again."},
    NotStartedCase{"Wine32Missing", {platform::ProgramStart::Status::Wine32Missing,
                                     QStringLiteral("The Wine program /usr/bin/wine runs no 32-bit Windows program")},
                   "This setup program is a 32-bit Windows program, and the Wine installed on this computer runs "
                   "only 64-bit ones.\nAdd Wine's 32-bit part (on Debian or Ubuntu: sudo dpkg --add-architecture i386 "
                   "&& sudo apt update && sudo apt install wine32:i386), then click Install again.\n"
                   "Details: The Wine program /usr/bin/wine runs no 32-bit Windows program"},
    NotStartedCase{"StartFailed", {platform::ProgramStart::Status::Failed, QStringLiteral("Wine could not be started: denied")},
                   "Wine could not be started: denied"},
    NotStartedCase{"WineUntrusted", {platform::ProgramStart::Status::WineUntrusted,
                                     QStringLiteral("The Wine program /opt/bin/wine may be changed by others")},
                   "The Wine program /opt/bin/wine may be changed by others"}),
    caseName);

// A setup program that runs on its own; the test says when and how it ends.
class SetupProgramStandIn : public platform::StartedProgram {
public:
    void end(const platform::ProgramEnd& end) { announceEnd(end); }
};

struct SetupEndCase {
    const char* name;
    platform::ProgramEnd end;
    bool installs;         // the setup program put KAPLIX on drive C:
    const char* endLine;
    const char* box;       // "" for none
    friend void PrintTo(const SetupEndCase& c, std::ostream* os) { *os << c.name; }
};

class SetupProgramRuns : public InstallFormTest, public testing::WithParamInterface<SetupEndCase> {};

TEST_P(SetupProgramRuns, IsShownWhileItRunsAndItsEndIsLoggedWithTheInstallationFoundAgain)
{
    const SetupEndCase& c = GetParam();
    const QString setup = m_startup.write(QStringLiteral("KXsetup64.exe"), "MZ");
    auto program = std::make_shared<SetupProgramStandIn>();
    m_start = {platform::ProgramStart::Status::Started, {}, program};
    ModalAnswerer answerer({Ok, StartAnyway, Ok});
    // A new box, as the user sees it, for the record of what the program says.
    answerer.setInspector([](QWidget* dialog) {
        if (dialog->windowTitle() == QStringLiteral("Error") && QDir().mkpath(QStringLiteral(KX_SCREENSHOT_DIR)))
            dialog->grab().save(QStringLiteral(KX_SCREENSHOT_DIR "/box-wine-could-not-start.png"));
    });
    auto form = Open();
    const QStringList report = MemoLines(*form);

    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    ASSERT_EQ(answerer.answered(), 2) << "the start-up report and the unverified file's question";
    EXPECT_FALSE(form->Install64Btn->isEnabled()) << "its row cannot start it twice";
    EXPECT_EQ(form->cursor().shape(), Qt::BusyCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor is this window's only";
    EXPECT_EQ(MemoLines(*form), report + QStringList{QStringLiteral("Downloading file ") + setup});

    if (c.installs)
        InstallAt("C:\\Program Files\\kaplix\\bin\\kaplix3.exe");
    program->end(c.end);
    QStringList expected = report;
    expected << QStringLiteral("Downloading file ") + setup << QString::fromLatin1(c.endLine);
    if (c.installs)
        expected << QStringLiteral("  KAPLIX is found in \"Program files\" location")
                 << QStringLiteral("  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)");
    else
        expected << QStringLiteral("  KAPLIX has not been located on this computer");
    EXPECT_EQ(MemoLines(*form), expected) << "the log keeps what it held";
    EXPECT_TRUE(form->Install64Btn->isEnabled());
    EXPECT_NE(form->cursor().shape(), Qt::BusyCursor);
    if (*c.box) {
        ASSERT_EQ(answerer.answered(), 3);
        EXPECT_EQ(answerer.captions()[2], QStringLiteral("Error"));
        EXPECT_EQ(answerer.messages()[2], QStringLiteral("Install file not started.\n") + setup + u'\n'
                                              + QString::fromLatin1(c.box));
    } else {
        EXPECT_EQ(answerer.answered(), 2) << "no box: the log says it";
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, SetupProgramRuns, testing::Values(
    SetupEndCase{"InstalledAndEndedWell", {platform::ProgramEnd::Kind::Exited, 0, {}}, true,
                 "The setup program KXsetup64.exe ended with exit code 0", ""},
    SetupEndCase{"CancelledByTheUser", {platform::ProgramEnd::Kind::Exited, 2, {}}, false,
                 "The setup program KXsetup64.exe ended with exit code 2", ""},
    SetupEndCase{"Killed", {platform::ProgramEnd::Kind::Killed, 9, {}}, false,
                 "The setup program KXsetup64.exe was ended by signal 9", ""},
    SetupEndCase{"WineCouldNotStartIt",
                 {platform::ProgramEnd::Kind::NotStarted, 1, QStringLiteral("wine: Bad EXE format for Z:\\x.exe.")}, false,
                 "Wine could not start the setup program KXsetup64.exe: wine: Bad EXE format for Z:\\x.exe.",
                 "Wine could not start it: wine: Bad EXE format for Z:\\x.exe."}),
    caseName);

TEST_F(InstallFormTest, ControlsSitWhereTheDesignPutsThem)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    const std::vector<std::pair<QWidget*, QRect>> places = {
        {form->Download1, {120, 258, 97, 28}},   {form->UpgradeBtn, {234, 258, 180, 28}},
        {form->Download2, {120, 328, 97, 28}},   {form->Install32Btn, {234, 328, 180, 28}},
        {form->Download3, {120, 399, 97, 28}},   {form->Install64Btn, {234, 399, 180, 28}},
        {form->Download4, {120, 471, 97, 28}},   {form->FullInstallBtn, {234, 471, 180, 28}},
        {form->CancelBtn, {711, 528, 113, 41}},  {form->InstallToGrp, {19, 522, 185, 56}},
        {form->VersionRadio, {453, 497, 190, 96}}, {form->Label6, {192, 15, 233, 23}},
        {form->Label5, {25, 205, 558, 19}},      {form->Label8, {592, 313, 370, 42}},
        {form->Label10, {592, 433, 370, 81}},    {form->Shape6, {0, 141, 560, 1}},
        {form->Shape2, {0, 251, 560, 1}},        {form->Shape1, {0, 321, 560, 1}},
        {form->Shape3, {0, 392, 560, 1}},        {form->Shape4, {0, 464, 560, 1}},
    };
    for (const auto& [widget, rect] : places)
        EXPECT_EQ(widget->geometry(), rect) << widget->objectName().toStdString();
    for (QLabel* label : {form->Label1, form->Label2, form->Label3, form->Label4, form->Label16, form->Label27})
        EXPECT_TRUE(label->font().bold()) << label->objectName().toStdString();
    EXPECT_EQ(form->Memo->geometry(), QRect(1, 1, 756, 143));
    EXPECT_EQ(form->FileBox->geometry(), QRect(757, 1, 223, 143));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("KAPLIX install assistant - 1.13"));
}

// The end-to-end tests cannot ask another process for its widgets: they click the middle of a
// button's place in the layout table. Such a click lands on the button of that object name,
// which carries the row's Tag.
TEST_F(InstallFormTest, ClickAtTheTablesPlaceOfAButtonHitsTheButtonOfThatName)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    const auto hit = [&form](const QRect& place) { return form->childAt(place.center()); };
    for (const TInstallerRow& row : InstallerRows) {
        auto* download = form->findChild<TGlowButton*>(QString::fromLatin1(row.Download.Name));
        auto* install = form->findChild<TGlowButton*>(QString::fromLatin1(row.Install.Name));
        ASSERT_NE(download, nullptr) << row.Download.Name;
        ASSERT_NE(install, nullptr) << row.Install.Name;
        EXPECT_EQ(hit(DownloadButtonRect(row)), download) << row.Download.Name;
        EXPECT_EQ(hit(InstallButtonRect(row)), install) << row.Install.Name;
        EXPECT_EQ(download->property("Tag").toInt(), row.Setup->DownloadTag) << row.Download.Name;
        EXPECT_EQ(install->property("Tag").toInt(), row.Setup->InstallTag) << row.Install.Name;
        EXPECT_EQ(form->findChild<QLabel*>(QString::fromLatin1(row.StatusLabel.Name)), row.StatusLabel.In(*form));
    }
    EXPECT_EQ(hit(InstallFormLayout::CancelBtnRect), form->findChild<TGlowButton*>(QStringLiteral("CancelBtn")));
}

TEST_F(InstallFormTest, OnlyDoneShowsItsHintAndTagsTellButtonsApart)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_TRUE(form->CancelBtn->EffectiveShowHint());
    EXPECT_EQ(form->CancelBtn->Hint(), QStringLiteral("Cancel installation"));
    const std::vector<std::pair<TGlowButton*, int>> tags = {
        {form->Download1, 1}, {form->Download2, 2}, {form->Download3, 3}, {form->Download4, 4},
        {form->UpgradeBtn, 0}, {form->Install32Btn, 1}, {form->Install64Btn, 2}, {form->FullInstallBtn, 3}};
    for (const auto& [button, tag] : tags) {
        EXPECT_EQ(button->property("Tag").toInt(), tag) << button->objectName().toStdString();
        EXPECT_FALSE(button->EffectiveShowHint()) << button->objectName().toStdString();
    }
    EXPECT_EQ(form->Download1->Hint(), QStringLiteral("Download from KAPLIX web site"));
    ASSERT_GT(form->FileBox->count(), 0);
    EXPECT_EQ(form->FileBox->visualItemRect(form->FileBox->item(0)).height(), 13);
    EXPECT_FALSE(form->FileBox->isEnabled());
    EXPECT_TRUE(form->Memo->focusPolicy() & Qt::TabFocus);
}

// Tahoma's text height: 13 pixels a line at 8 points, 14 at 9 points.
TEST_F(InstallFormTest, LabelsTakeTahomasLineHeight)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    for (QLabel* label : {form->Label1, form->Label2, form->Label3, form->Label4, form->Label12, form->Label13,
                          form->Label16, form->Label17, form->Label18, form->Label19, form->Label20, form->Label27})
        EXPECT_EQ(label->height(), 13) << label->objectName().toStdString();
    EXPECT_EQ(form->Label7->geometry(), QRect(592, 254, 353, 3 * 14));
    EXPECT_EQ(form->Label9->geometry(), QRect(592, 361, 369, 4 * 14));
}

// The disabled list draws its entries in the system's grey-text colour on the list's window
// background, as the system draws a disabled list box: readable, not faded out.
TEST_F(InstallFormTest, FileBoxEntriesAreGreyTextOnTheWindowColour)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    ASSERT_GT(form->FileBox->count(), 0);
    const QImage image = snapshot(form->FileBox);
    const QRect entry = form->FileBox->visualItemRect(form->FileBox->item(0));
    const auto rgb = [&image](int x, int y) {
        const QColor pixel = pixelAt(image, x, y);
        return QStringLiteral("(%1, %2, %3)").arg(pixel.red()).arg(pixel.green()).arg(pixel.blue());
    };
    EXPECT_EQ(rgb(entry.right() - 2, entry.center().y()), QStringLiteral("(255, 255, 255)"));
    QPoint darkest = entry.topLeft();
    for (int y = entry.top(); y <= entry.bottom(); ++y)
        for (int x = entry.left(); x <= entry.right(); ++x)
            if (qGray(pixelAt(image, x, y).rgb()) < qGray(pixelAt(image, darkest).rgb()))
                darkest = QPoint(x, y);
    EXPECT_EQ(rgb(darkest.x(), darkest.y()), QStringLiteral("(109, 109, 109)")) << "the text at full strength";
}

// The focused control by object name; a radio item by its group's name and its caption.
std::string FocusName(const QWidget* widget)
{
    if (!widget)
        return "(none)";
    if (const auto* item = dynamic_cast<const TOfficeRadioButton*>(widget))
        return (item->parentWidget()->objectName() + u'[' + item->Caption() + u']').toStdString();
    return widget->objectName().toStdString();
}

struct TabOrderCase {
    const char* Name;
    bool SetupFilesPresent; // the Install buttons are enabled
    std::vector<std::string> Order; // from the log box on
};

class TabOrder : public InstallFormTest, public testing::WithParamInterface<TabOrderCase> {};

TEST_P(TabOrder, TabAndShiftTabVisitTheControlsInReadingOrder)
{
    if (GetParam().SetupFilesPresent)
        for (const char* name : {"SetupNoDb.exe", "KXsetup32.exe", "KXsetup64.exe", "Setup.exe"})
            m_startup.write(QString::fromLatin1(name), QByteArray("MZ"));
    ModalAnswerer answerer({Ok});
    auto form = Open();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->Memo; }, 5000))
        << "the window opens with the log focused, as before; focused is " << FocusName(QApplication::focusWidget());

    const std::vector<std::string>& order = GetParam().Order;
    for (std::size_t i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(FocusName(QApplication::focusWidget()), order[i % order.size()]) << "after " << i << " Tab presses";
    }
    for (std::size_t i = 1; i <= order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        EXPECT_EQ(FocusName(QApplication::focusWidget()), order[(order.size() - i) % order.size()])
            << "after " << i << " Shift+Tab presses";
    }
    EXPECT_FALSE(form->Memo->toPlainText().contains(u'\t')) << form->Memo->toPlainText().toStdString();
    EXPECT_EQ(answerer.answered(), 1) << "moving the focus pressed nothing";
}

INSTANTIATE_TEST_SUITE_P(
    Window, TabOrder,
    testing::Values(
        TabOrderCase{"AllSetupFilesPresent",
                     true,
                     {"Memo", "Download1", "UpgradeBtn", "Download2", "Install32Btn", "Download3", "Install64Btn",
                      "Download4", "FullInstallBtn", "InstallToGrp[Current directory]", "VersionRadio[12.1]",
                      "CancelBtn"}},
        // Disabled Install buttons are passed over.
        TabOrderCase{"NoSetupFileYet",
                     false,
                     {"Memo", "Download1", "Download2", "Download3", "Download4", "InstallToGrp[Current directory]",
                      "VersionRadio[12.1]", "CancelBtn"}}),
    caseName);

TEST_F(InstallFormTest, MouseClicksLeaveTheFocusWhereItWas)
{
    m_startup.write(QStringLiteral("KXsetup64.exe"), QByteArray("MZ"));
    ModalAnswerer answerer({Ok, Cancel});
    auto form = Open();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->Memo; }, 5000));
    ASSERT_TRUE(form->Install64Btn->isEnabled());
    QTest::mouseClick(form->Install64Btn, Qt::LeftButton);
    // The question whether to start the file that is not verified came and went meanwhile.
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(FocusName(form->focusWidget()), "Memo") << "no focus frame appears under the mouse";
}

struct RowNameCase {
    const char* Name;
    TGlowButton* TInstallForm::*Button;
    const char* Spoken;
};

class RowButtonNames : public InstallFormTest, public testing::WithParamInterface<RowNameCase> {};

// Four buttons say "Download": a screen reader hears which row each belongs to.
TEST_P(RowButtonNames, NameTheCaptionAndTheRow)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    TGlowButton* button = (*form).*GetParam().Button;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromLatin1(GetParam().Spoken));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RowButtonNames,
    testing::Values(RowNameCase{"Download1", &TInstallForm::Download1, "Download, Upgrade KAPLIX"},
                    RowNameCase{"UpgradeBtn", &TInstallForm::UpgradeBtn, "Upgrade, Upgrade KAPLIX"},
                    RowNameCase{"Download3", &TInstallForm::Download3, "Download, Install new on 64-bit Windows"},
                    RowNameCase{"Install64Btn", &TInstallForm::Install64Btn, "Install, Install new on 64-bit Windows"},
                    RowNameCase{"FullInstallBtn", &TInstallForm::FullInstallBtn, "Install, Install with databases"},
                    RowNameCase{"CancelBtn", &TInstallForm::CancelBtn, "Done"}),
    caseName);

TEST_F(InstallFormTest, DoneDescribesWhatItDoes)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(form->CancelBtn);
    EXPECT_EQ(accessible->text(QAccessible::Description), QStringLiteral("Closes the install assistant"));
    EXPECT_EQ(form->CancelBtn->Hint(), QStringLiteral("Cancel installation")) << "the hint stays";
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(form->VersionRadio);
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), QStringLiteral("Select version to install"));
}

// A screen reader's review reaches a disabled Install button and hears why it is disabled;
// the button follows the file as it comes and goes.
TEST_F(InstallFormTest, InstallButtonsTellWhetherTheirFileIsThere)
{
    m_startup.write(QStringLiteral("KXsetup64.exe"), "MZ");
    ModalAnswerer answerer({Ok});
    auto form = Open();
    const auto description = [](QWidget* button) {
        return QAccessible::queryAccessibleInterface(button)->text(QAccessible::Description);
    };
    EXPECT_EQ(description(form->Install64Btn), QStringLiteral("Install file is present, version not known"));
    EXPECT_EQ(description(form->Install32Btn), QStringLiteral("Install file is missing"));
    EXPECT_FALSE(form->Install32Btn->isEnabled());

    QFile::remove(m_startup.filePath(QStringLiteral("KXsetup64.exe")));
    form->RefreshSetupFiles();
    EXPECT_EQ(description(form->Install64Btn), QStringLiteral("Install file is missing"));
}

// "System temporary directory" names the folder it means in its hint.
TEST_F(InstallFormTest, TheTemporaryDirectoryChoiceShowsItsFolder)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(form->InstallToGrp->RadioButtons(1)->toolTip(), m_temp.path());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->InstallToGrp->RadioButtons(1))->text(QAccessible::Description),
              m_temp.path());
}

TEST_F(InstallFormTest, WindowGrowsAroundAFixedBackPanel)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    EXPECT_EQ(form->size(), QSize(981, 754));
    const int cancelGap = form->BackPanel->width() - form->CancelBtn->geometry().right();
    form->resize(1200, 900);
    EXPECT_EQ(form->BackPanel->geometry(), QRect(0, 0, 1200, 609));
    EXPECT_EQ(form->BottomPanel->geometry(), QRect(0, 609, 1200, 291));
    EXPECT_EQ(form->BackPanel->width() - form->CancelBtn->geometry().right(), cancelGap);
    EXPECT_EQ(form->CancelBtn->y(), 528);
    EXPECT_EQ(form->FileBox->width(), 223);
    EXPECT_EQ(form->FileBox->geometry().right(), form->BottomPanel->contentsRect().right());
}

// Made smaller than the design's size, the window scrolls its content instead of laying controls
// over each other, and the keyboard brings what it reaches into view.
TEST_F(InstallFormTest, ASmallerWindowScrollsAndKeepsTheDesignsPlaces)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    form->resize(700, 500);
    EXPECT_EQ(form->BackPanel->geometry(), QRect(0, 0, 981, 609));
    EXPECT_EQ(form->BottomPanel->geometry(), QRect(0, 609, 981, 145));
    EXPECT_EQ(form->CancelBtn->geometry(), InstallFormLayout::CancelBtnRect);
    auto* scroller = form->findChild<QScrollArea*>(QStringLiteral("Scroller"));
    ASSERT_NE(scroller, nullptr);
    // The scroll bars follow once the resize has been laid out.
    EXPECT_TRUE(waitFor([&] { return scroller->verticalScrollBar()->isVisible(); }));
    EXPECT_TRUE(scroller->horizontalScrollBar()->isVisible());

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->CancelBtn->setFocus();
    QTest::keyClick(form->CancelBtn, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->Memo);
    const QRect shown = scroller->viewport()->rect();
    const QRect log(form->Memo->mapTo(scroller->viewport(), QPoint(0, 0)), form->Memo->size());
    EXPECT_TRUE(shown.intersects(log)) << "the log scrolled into view";

    form->resize(981, 754);
    EXPECT_TRUE(waitFor([&] { return !scroller->verticalScrollBar()->isVisible(); }));
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
}

// The download server: nginx serving stand-in setup files below /download/.
class DownloadTest : public InstallFormTest {
protected:
    void SetUp() override
    {
        InstallFormTest::SetUp();
        // Setup files are Windows programs: they begin with "MZ".
        m_files.write(QStringLiteral("download/ver121/KXsetup64.exe"), "MZ" + QByteArray(69998, 'x'));
        m_files.write(QStringLiteral("download/ver950/KXsetup32.exe"), "MZ" + QByteArray(8, 'y'));
        m_files.write(QStringLiteral("download/ver121/setup.exe"), "MZ" + QByteArray(18, 'z'));
        m_files.write(QStringLiteral("download/ver120/SetupNoDb.exe"), "MZ" + QByteArray(2 * 1024 * 1024, 's'));
        m_server = std::make_unique<NginxServer>(
            m_files.path(), QStringLiteral("location /download/ver120/ { limit_rate 20k; }"));
        ASSERT_TRUE(m_server->isRunning());
        qputenv("KAPLIX_DOWNLOAD_URL", m_server->url(QString()).toLocal8Bit());
    }

    // True once the running download has received data; the window does not watch progress.
    static std::function<bool()> ReceivingData(TInstallForm& form)
    {
        auto received = std::make_shared<bool>(false);
        form.WebTransfer->OnCopyProgress = [received](TWebTransfer*, int, std::int64_t size, std::int64_t) {
            *received = *received || size > 0;
        };
        return [received] { return *received; };
    }

    TempDir m_files;
    std::unique_ptr<NginxServer> m_server;
};

// Tab, Shift+Tab, the arrows and Space only: the version 9.51 is chosen and the 32-bit setup
// file downloaded.
TEST_F(DownloadTest, KeyboardAloneChoosesTheVersionAndDownloads)
{
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->Memo; }, 5000));
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        return FocusName(QApplication::focusWidget());
    };

    EXPECT_EQ(press(Qt::Key_Backtab), "CancelBtn");
    EXPECT_EQ(press(Qt::Key_Backtab), "VersionRadio[12.1]");
    EXPECT_EQ(press(Qt::Key_Down), "VersionRadio[9.21]"); // the arrows wrap around
    EXPECT_EQ(press(Qt::Key_Down), "VersionRadio[9.51]");
    press(Qt::Key_Space);
    EXPECT_EQ(form->VersionRadio->ItemIndex(), 1);
    EXPECT_EQ(press(Qt::Key_Backtab), "InstallToGrp[Current directory]");
    EXPECT_EQ(press(Qt::Key_Backtab), "Download4");
    EXPECT_EQ(press(Qt::Key_Backtab), "Download3");
    EXPECT_EQ(press(Qt::Key_Backtab), "Download2");
    press(Qt::Key_Space);

    EXPECT_EQ(m_startup.read(QStringLiteral("KXsetup32.exe")), "MZ" + QByteArray(8, 'y'));
    EXPECT_TRUE(form->Install32Btn->isEnabled());
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.messages()[1],
              QStringLiteral("Please click on the relevant \"Install\" button to complete installation"));
    // The window's focus stays on Download2 for when it is active again.
    EXPECT_EQ(FocusName(form->focusWidget()), "Download2");
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->Download2; }, 5000));
    EXPECT_EQ(press(Qt::Key_Tab), "Install32Btn") << "the Install button just enabled comes next";
}

// Escape in the progress dialog cancels like its Cancel button, and the focus goes back to the
// Download button the user pressed, so the next Tab goes on from there.
TEST_F(DownloadTest, EscapeCancelsAndTheFocusReturnsToTheDownloadButton)
{
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    form->VersionRadio->SetItemIndex(7); // the slow directory
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == form->Memo; }, 5000));
    QTest::keyClick(form->Memo, Qt::Key_Tab);
    ASSERT_EQ(FocusName(QApplication::focusWidget()), "Download1");
    bool escaped = false;
    WhenTrue midway(ReceivingData(*form), [&] {
        QWidget* dialog = form->WebTransfer->ProgressForm();
        escaped = dialog != nullptr;
        if (dialog)
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
    });
    QTest::keyClick(form->Download1, Qt::Key_Space);

    EXPECT_TRUE(midway.done());
    EXPECT_TRUE(escaped);
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.messages()[1], QStringLiteral("Download cancelled"));
    EXPECT_FALSE(QFile::exists(m_startup.filePath(QStringLiteral("SetupNoDb.exe"))));
    EXPECT_EQ(FocusName(form->focusWidget()), "Download1");
}

TEST_F(DownloadTest, DownloadBringsTheFileAndEnablesItsInstallButton)
{
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    QTest::mouseClick(form->Download3, Qt::LeftButton);

    EXPECT_EQ(m_startup.read(QStringLiteral("KXsetup64.exe")).size(), 70000);
    EXPECT_TRUE(form->Install64Btn->isEnabled());
    EXPECT_EQ(form->Label19->text(), QStringLiteral("Install file is present"));
    EXPECT_EQ(form->installDir, form->StartupDir);
    ASSERT_EQ(form->WebTransfer->Items().Count(), 1);
    EXPECT_TRUE(form->WebTransfer->Items()[0]->URL.endsWith(QStringLiteral("/download/ver121/KXsetup64.exe")));
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.messages()[1],
              QStringLiteral("Please click on the relevant \"Install\" button to complete installation"));
}

TEST_F(DownloadTest, VersionAndDirectoryChoicesShapeTheJob)
{
    ModalAnswerer answerer({Ok, Ok, Ok});
    auto form = Open();
    form->VersionRadio->SetItemIndex(1);
    form->InstallToGrp->SetItemIndex(1);
    form->DownloadClick(form->Download2);
    EXPECT_TRUE(form->WebTransfer->Items()[0]->URL.endsWith(QStringLiteral("/download/ver950/KXsetup32.exe")));
    EXPECT_EQ(form->installDir, form->saveDir);
    EXPECT_EQ(m_temp.read(QStringLiteral("KXsetup32.exe")), "MZ" + QByteArray(8, 'y'));
    EXPECT_TRUE(form->Install32Btn->isEnabled()) << "found in the temporary directory";

    form->VersionRadio->SetItemIndex(8);
    form->DownloadClick(form->Download4);
    EXPECT_EQ(form->WebTransfer->Items().Count(), 1) << "only the latest job";
    EXPECT_TRUE(QFile::exists(m_temp.filePath(QStringLiteral("setup.exe"))));
    EXPECT_EQ(form->FileBox->item(4)->text(), QStringLiteral("Setup.exe present"));
    EXPECT_TRUE(form->FullInstallBtn->isEnabled());
}

TEST_F(DownloadTest, FailedDownloadSaysWhyInsteadOfAskingForInstall)
{
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    form->DownloadClick(form->Download1); // not on the server for 12.1
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.captions()[1], QStringLiteral("Error"));
    EXPECT_TRUE(answerer.messages()[1].contains(QStringLiteral("Returned http error code 404")))
        << answerer.messages()[1].toStdString();
    EXPECT_FALSE(form->UpgradeBtn->isEnabled());
}

TEST_F(DownloadTest, CancelledDownloadLeavesNothingAndAsksNothingMore)
{
    ModalAnswerer answerer({Ok, Ok});
    auto form = Open();
    form->VersionRadio->SetItemIndex(7); // the slow directory
    bool clicked = false;
    WhenTrue midway(ReceivingData(*form), [&] {
        // Clicks that arrive during the run are ignored.
        form->DownloadClick(form->Download2);
        form->CancelBtnClick(form->CancelBtn);
        clicked = clickButton(form->WebTransfer->ProgressForm(), QStringLiteral("Cancel"));
    });
    form->DownloadClick(form->Download1);
    EXPECT_TRUE(midway.done());
    EXPECT_TRUE(clicked);
    ASSERT_EQ(answerer.answered(), 2);
    EXPECT_EQ(answerer.messages()[1], QStringLiteral("Download cancelled"));
    EXPECT_FALSE(QFile::exists(m_startup.filePath(QStringLiteral("SetupNoDb.exe"))));
    EXPECT_FALSE(QFile::exists(m_startup.filePath(QStringLiteral("KXsetup32.exe")))) << "second click ignored";
    EXPECT_TRUE(form->isVisible()) << "Done ignored during the run";
    EXPECT_EQ(form->WebTransfer->Items()[0]->URL.section(u'/', -1), QStringLiteral("SetupNoDb.exe"));
}

TEST_F(DownloadTest, ClosingTheWindowDuringARunCancelsItFirst)
{
    ModalAnswerer answerer({Ok});
    auto form = Open();
    form->VersionRadio->SetItemIndex(7);
    WhenTrue midway(ReceivingData(*form), [&] { form->close(); });
    form->DownloadClick(form->Download1);
    EXPECT_TRUE(midway.done());
    EXPECT_TRUE(form->WebTransfer->Items()[0]->Cancelled());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(QFile::exists(m_startup.filePath(QStringLiteral("SetupNoDb.exe"))));
    EXPECT_EQ(answerer.answered(), 1) << "no box after the window was closed";
}

} // namespace
