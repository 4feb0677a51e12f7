#include "platform/desktop/Shell.h"
#include "platform/system/SystemProbes.h"
#include "platform/desktop/WineLauncher.h"

#include "tests/support/CaseName.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/SavedEnvironment.h"
#include "tests/support/TempDir.h"
#include "tests/support/WaitFor.h"

#include <QDesktopServices>
#include <QTest>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The machine's own Wine is not the tests': only the PATH they set is searched.
const QStringList NoDistributionWine;

// A stand-in for Wine on a PATH of the test's own that writes down how it was started: its
// arguments, its working directory and the two variables Wine reads, each ended by a NUL,
// so that no character of a file name can blur one into the next.
class WineLauncherTest : public testing::Test {
protected:
    void SetUp() override
    {
        qputenv("PATH", m_bin.path().toLocal8Bit());
        qputenv("WINEPREFIX", m_prefix.path().toLocal8Bit());
        qputenv("WINEDEBUG", "warn+all");
    }

    // Puts a recording stand-in under the name given ("wine" or "wine64") on the PATH, or in
    // the folder given; returns its path.
    QString InstallFakeWine(const QString& name = QStringLiteral("wine"), const QString& folder = {})
    {
        // Only shell built-ins and absolute paths: the PATH holds nothing else.
        const QString script = QStringLiteral(
            "#!/bin/sh\n"
            "printf '%s\\0' \"$#\" \"$@\" \"$(pwd -P)\" \"$WINEPREFIX\" \"$WINEDEBUG\" > '%1.part'\n"
            "/bin/mv '%1.part' '%1'\n").arg(Record());
        const QString path = (folder.isEmpty() ? m_bin.path() : folder) + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(script.toUtf8()) != script.toUtf8().size())
            return {};
        file.close();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    QString Record() const { return m_record.filePath(QStringLiteral("started")); }

    // What the stand-in wrote down, once it has: the count of arguments, the arguments, the
    // working directory, WINEPREFIX and WINEDEBUG.
    QStringList Started() const
    {
        if (!waitFor([&] { return QFileInfo::exists(Record()); }))
            return {};
        QStringList fields;
        for (const QByteArray& field : m_record.read(QStringLiteral("started")).split('\0'))
            fields << QString::fromUtf8(field);
        fields.removeLast(); // after the last NUL
        return fields;
    }

    SavedEnvironment m_saved{"PATH", "WINEPREFIX", "WINEDEBUG", "HOME"};
    // The PATH the tests were started with, which finds the system's tools.
    const QByteArray m_systemPath = qgetenv("PATH");
    TempDir m_bin;
    TempDir m_record;
    TempDir m_prefix;
    TempDir m_files;
};

// Whatever the name of the file, Wine gets its full path as its one argument and runs in the
// file's folder: nothing in the name reaches a shell or looks like one of Wine's options.
struct NameCase {
    const char* name;
    const char* relative;
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class SetupFileName : public WineLauncherTest, public testing::WithParamInterface<NameCase> {};

TEST_P(SetupFileName, ReachesWineAsOneArgumentFromItsOwnFolder)
{
    InstallFakeWine();
    const QString path = m_files.write(QString::fromUtf8(GetParam().relative), "MZ");

    const platform::ProgramStart start = platform::shellOpen(path, NoDistributionWine);
    EXPECT_TRUE(start.started()) << start.problem.toStdString();
    const QString folder = QFileInfo(path).canonicalPath();
    EXPECT_EQ(Started(), QStringList({QStringLiteral("1"), path, folder, m_prefix.path(), QStringLiteral("-all")}));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QFileInfo(path).fileName()})
        << "nothing else appeared beside the file";
}

INSTANTIATE_TEST_SUITE_P(Names, SetupFileName, testing::Values(
    NameCase{"Plain", "KXsetup64.exe"},
    NameCase{"UpperCaseSuffix", "SETUP.EXE"},
    NameCase{"Blanks", "My Downloads/KX setup 64.exe"},
    NameCase{"ShellCharacters", "a;b/$(touch x) `touch y` 'q\" & | > z *.exe"},
    NameCase{"LineBreak", "line\nbreak.exe"},
    NameCase{"LooksLikeAnOption", "--help/-v.exe"},
    NameCase{"NonAscii", "Größe/セットアップ.exe"}),
    caseName);

// Stands in for the desktop's handler of local files, and notes what it was given.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    DesktopOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~DesktopOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    Q_INVOKABLE void open(const QUrl& url) { opened << url.toLocalFile(); }
    QStringList opened;
};

TEST_F(WineLauncherTest, AnyOtherFileGoesToTheDesktopNotToWine)
{
    InstallFakeWine();
    DesktopOpener desktop;
    const QString path = m_files.write(QStringLiteral("documents/kaplix.pdf"), "%PDF");

    ASSERT_TRUE(platform::shellOpen(path, NoDistributionWine).started());
    EXPECT_EQ(desktop.opened, QStringList{path});
    EXPECT_FALSE(QFileInfo::exists(Record())) << "Wine was not started";
}

TEST_F(WineLauncherTest, TheDefaultPrefixIsTheOneInTheHomeFolder)
{
    InstallFakeWine();
    TempDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qunsetenv("WINEPREFIX");
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    ASSERT_TRUE(platform::startWithWine(path, NoDistributionWine).started());
    const QStringList started = Started();
    ASSERT_EQ(started.size(), 5);
    EXPECT_EQ(started[3], home.path() + QStringLiteral("/.wine"));
    EXPECT_EQ(started[3] + QStringLiteral("/drive_c"), platform::driveC()) << "the drive C: the probes read";
}

// Runs the rest of a test in another working directory, and goes back when it ends.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const QString& path) { QDir::setCurrent(path); }
    ~WorkingDirectory() { QDir::setCurrent(m_saved); }

private:
    QString m_saved = QDir::currentPath();
};

TEST_F(WineLauncherTest, ARelativePrefixNamesTheSameDriveCForTheProbesAndWine)
{
    InstallFakeWine();
    TempDir here;
    const WorkingDirectory cd(here.path());
    qputenv("WINEPREFIX", "prefix");
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    EXPECT_EQ(platform::driveC(), here.path() + QStringLiteral("/prefix/drive_c"));
    ASSERT_TRUE(platform::startWithWine(path, NoDistributionWine).started());
    EXPECT_EQ(Started().value(3), here.path() + QStringLiteral("/prefix")) << "Wine runs in the file's folder";
}

TEST_F(WineLauncherTest, AWineInTheWorkingDirectoryIsNeverTaken)
{
    // Empty and relative entries of PATH stand for the working directory, which holds a "wine".
    TempDir here;
    const WorkingDirectory cd(here.path());
    InstallFakeWine();
    QFile::rename(m_bin.filePath(QStringLiteral("wine")), here.filePath(QStringLiteral("wine")));
    qputenv("PATH", ":.:bin");
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    EXPECT_EQ(platform::startWithWine(path, NoDistributionWine).status, platform::ProgramStart::Status::WineMissing);
}

TEST_F(WineLauncherTest, Wine64ServesWhenThereIsNoWine)
{
    InstallFakeWine(QStringLiteral("wine64"));
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    EXPECT_EQ(platform::findWine(NoDistributionWine).path, m_bin.filePath(QStringLiteral("wine64")));
    ASSERT_TRUE(platform::startWithWine(path, NoDistributionWine).started());
    EXPECT_EQ(Started().value(1), path);
}

TEST_F(WineLauncherTest, WithoutWineAWindowsProgramIsNotHandedToTheDesktop)
{
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    EXPECT_FALSE(platform::findWine(NoDistributionWine).found());
    const platform::ProgramStart start = platform::shellOpen(path, NoDistributionWine);
    EXPECT_EQ(start.status, platform::ProgramStart::Status::WineMissing);
    EXPECT_FALSE(start.problem.isEmpty());
}

TEST_F(WineLauncherTest, AWineThatCannotBeExecutedIsAFailedStart)
{
    // Found on the PATH and marked executable, but its interpreter does not exist.
    const QString wine = m_bin.write(QStringLiteral("wine"), "#!/nonexistent/interpreter\n");
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    const platform::ProgramStart start = platform::shellOpen(path, NoDistributionWine);
    EXPECT_EQ(start.status, platform::ProgramStart::Status::Failed);
    EXPECT_TRUE(start.problem.startsWith(QStringLiteral("Wine could not be started: "))) << start.problem.toStdString();
}

TEST_F(WineLauncherTest, TheDistributionsWineComesBeforeOneOnThePath)
{
    TempDir distribution;
    const QString preferred = InstallFakeWine(QStringLiteral("wine"), distribution.path());
    const QString onPath = m_bin.write(QStringLiteral("wine"), "#!/bin/sh\nexit 3\n");
    QFile::setPermissions(onPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    EXPECT_EQ(platform::findWine({distribution.path()}).path, preferred);
    ASSERT_TRUE(platform::shellOpen(path, {distribution.path()}).started());
    EXPECT_EQ(Started().value(1), path) << "the distribution's Wine ran";
}

TEST_F(WineLauncherTest, OnThisMachineUsrBinWineComesBeforeThePath)
{
    if (!QFileInfo(QStringLiteral("/usr/bin/wine")).isExecutable())
        GTEST_SKIP() << "no /usr/bin/wine here (Debian package wine)";
    InstallFakeWine();
    const platform::WineProgram wine = platform::findWine();
    EXPECT_EQ(wine.path, QStringLiteral("/usr/bin/wine"));
    EXPECT_EQ(wine.problem, QString()) << "root's, through the alternatives' links";
}

TEST_F(WineLauncherTest, AnUntrustedDistributionWineIsNotPassedOverForOneOnThePath)
{
    TempDir distribution;
    const QString preferred = InstallFakeWine(QStringLiteral("wine"), distribution.path());
    ::chmod(QFile::encodeName(preferred).constData(), 0775);
    InstallFakeWine();
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    const platform::ProgramStart start = platform::startWithWine(path, {distribution.path()});
    EXPECT_EQ(start.status, platform::ProgramStart::Status::WineUntrusted);
    EXPECT_EQ(start.problem, QStringLiteral("The Wine program ") + preferred + QStringLiteral(" may be changed by others"));
    EXPECT_FALSE(QFileInfo::exists(Record())) << "neither Wine ran";
}

// A Wine that somebody other than the user and root could have put there or changed runs
// nothing: the setup program would run with all the user's rights through it.
struct UntrustedWineCase {
    const char* name;
    // Spoils the stand-in at wine in bin; returns false to skip (not root).
    std::function<bool(const QString& wine, const TempDir& bin, const TempDir& elsewhere)> spoil;
    // The end of the reason, with the folders {bin} and {elsewhere}.
    const char* reason;
    friend void PrintTo(const UntrustedWineCase& c, std::ostream* os) { *os << c.name; }
};

class UntrustedWine : public WineLauncherTest, public testing::WithParamInterface<UntrustedWineCase> {
protected:
    void Check()
    {
        const QString wine = InstallFakeWine();
        TempDir elsewhere;
        if (!GetParam().spoil(wine, m_bin, elsewhere))
            GTEST_SKIP() << "giving a file to another user needs root";
        const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

        const platform::ProgramStart start = platform::shellOpen(path, NoDistributionWine);
        EXPECT_EQ(start.status, platform::ProgramStart::Status::WineUntrusted);
        EXPECT_EQ(start.problem, QStringLiteral("The Wine program ") + wine + u' '
                                     + QString::fromLatin1(GetParam().reason)
                                         .replace(QStringLiteral("{bin}"), m_bin.path())
                                         .replace(QStringLiteral("{elsewhere}"), elsewhere.path()));
        EXPECT_FALSE(QFileInfo::exists(Record())) << "Wine did not run";
        ::chmod(QFile::encodeName(m_bin.path()).constData(), 0700);
        ::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700);
    }
};

TEST_P(UntrustedWine, StartsNothing)
{
    Check();
}

class UntrustedWineOfAnOrdinaryUser : public UntrustedWine {};

TEST_P(UntrustedWineOfAnOrdinaryUser, StartsNothing)
{
    qputenv("PATH", m_systemPath);
    KX_RUN_AS_ORDINARY_USER();
    qputenv("PATH", m_bin.path().toLocal8Bit());
    Check();
}

bool SetModeOf(const QString& path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

const UntrustedWineCase OrdinaryUntrustedWines[] = {
    {"GroupMayWrite", [](const QString& wine, const TempDir&, const TempDir&) { return SetModeOf(wine, 0775); },
     "may be changed by others"},
    {"OthersMayWrite", [](const QString& wine, const TempDir&, const TempDir&) { return SetModeOf(wine, 0757); },
     "may be changed by others"},
    {"InAFolderOthersMayWrite", [](const QString&, const TempDir& bin, const TempDir&) {
        return SetModeOf(bin.path(), 0777);
    }, "lies in the folder {bin}, which others may change"},
    {"LinkToAFolderOthersMayWrite", [](const QString& wine, const TempDir&, const TempDir& elsewhere) {
        const QString real = elsewhere.filePath(QStringLiteral("wine"));
        return QFile::rename(wine, real) && QFile::link(real, wine) && SetModeOf(elsewhere.path(), 0777);
    }, "lies in the folder {elsewhere}, which others may change"},
    {"LinkToAWineOthersMayWrite", [](const QString& wine, const TempDir&, const TempDir& elsewhere) {
        const QString real = elsewhere.filePath(QStringLiteral("wine"));
        return QFile::rename(wine, real) && QFile::link(real, wine) && SetModeOf(real, 0777);
    }, "may be changed by others"},
};

INSTANTIATE_TEST_SUITE_P(Wines, UntrustedWine, testing::ValuesIn(OrdinaryUntrustedWines), caseName);
INSTANTIATE_TEST_SUITE_P(Wines, UntrustedWineOfAnOrdinaryUser, testing::ValuesIn(OrdinaryUntrustedWines), caseName);
INSTANTIATE_TEST_SUITE_P(OtherUsers, UntrustedWine, testing::Values(
    UntrustedWineCase{"OfAnotherUser", [](const QString& wine, const TempDir&, const TempDir&) {
        if (::geteuid() != 0)
            return false;
        const struct passwd* nobody = ::getpwnam("nobody");
        return nobody && ::chown(QFile::encodeName(wine).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
    }, "belongs to another user"}),
    caseName);

// What the Wine started for a setup program came to, as the watcher tells it.
struct WineEndCase {
    const char* name;
    const char* script;  // the stand-in's body
    platform::ProgramEnd::Kind kind;
    int code;
    const char* reason;
    friend void PrintTo(const WineEndCase& c, std::ostream* out) { *out << c.name; }
};

class WineEnds : public WineLauncherTest, public testing::WithParamInterface<WineEndCase> {};

TEST_P(WineEnds, AreToldOnceWithWinesReasonWhenItCouldNotStartTheProgram)
{
    const WineEndCase& c = GetParam();
    const QString wine = m_bin.write(QStringLiteral("wine"), QByteArray("#!/bin/sh\n") + c.script + '\n');
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");

    const platform::ProgramStart start = platform::startWithWine(path, NoDistributionWine);
    ASSERT_TRUE(start.started()) << start.problem.toStdString();
    ASSERT_NE(start.program, nullptr);
    QList<platform::ProgramEnd> ends;
    QObject::connect(start.program.get(), &platform::StartedProgram::ended,
                     [&ends](const platform::ProgramEnd& end) { ends << end; });
    ASSERT_TRUE(waitFor([&] { return !start.program->running(); }, 20000));
    QTest::qWait(500);
    ASSERT_EQ(ends.size(), 1);
    EXPECT_EQ(ends[0].kind, c.kind);
    EXPECT_EQ(ends[0].code, c.code);
    EXPECT_EQ(ends[0].reason, QString::fromLatin1(c.reason));
}

INSTANTIATE_TEST_SUITE_P(Wines, WineEnds, testing::Values(
    WineEndCase{"EndedWell", "exit 0", platform::ProgramEnd::Kind::Exited, 0, ""},
    WineEndCase{"EndedWithItsCode", "exit 7", platform::ProgramEnd::Kind::Exited, 7, ""},
    WineEndCase{"TheProgramsOwnWordsAreNoReason", "echo 'setup: cancelled' >&2; exit 2",
                platform::ProgramEnd::Kind::Exited, 2, ""},
    WineEndCase{"LoaderRefusedIt", "echo 'wine: Bad EXE format for Z:\\x.exe.' >&2; exit 1",
                platform::ProgramEnd::Kind::NotStarted, 1, "wine: Bad EXE format for Z:\\x.exe."},
    WineEndCase{"ReasonWithoutControlCharacters", "printf 'wine: failed \\033[2J to open\\r\\n'; exit 1",
                platform::ProgramEnd::Kind::NotStarted, 1, "wine: failed [2J to open"},
    WineEndCase{"Killed", "kill -KILL $$", platform::ProgramEnd::Kind::Killed, 9, ""}),
    caseName);

TEST_F(WineLauncherTest, TheSetupProgramRunsOnWhenNobodyWatchesIt)
{
    const QString done = m_record.filePath(QStringLiteral("done"));
    const QString wine = m_bin.write(QStringLiteral("wine"),
                                     QStringLiteral("#!/bin/sh\n/bin/sleep 1\n: > '%1'\n").arg(done).toUtf8());
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString path = m_files.write(QStringLiteral("KXsetup64.exe"), "MZ");
    {
        const platform::ProgramStart start = platform::startWithWine(path, NoDistributionWine);
        ASSERT_TRUE(start.started()) << start.problem.toStdString();
    }
    EXPECT_TRUE(waitFor([&] { return QFileInfo::exists(done); }, 20000)) << "it was stopped with its watcher";
}

} // namespace

#include "WineLauncherTest.moc"
