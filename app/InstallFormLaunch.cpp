#include "app/InstallForm.h"

#include "app/InstallerRows.h"
#include "app/MessageBoxes.h"
#include "app/ReleaseKey.h"
#include "app/ReleaseState.h"
#include "app/SetupFiles.h"
#include "controls/GlowButton.h"
#include "controls/OfficeRadioGroup.h"
#include "platform/files/LocalFiles.h"
#include "platform/files/PrivateFiles.h"
#include "platform/files/StartCopy.h"

#include <QFileInfo>
#include <QTimer>

#include <cstdint>

namespace {

// The setup program runs on its own and is never waited for, so its copy cannot go when it
// ends. One that nothing has changed for a day is taken to have finished long ago.
constexpr std::int64_t StaleStartCopyAge = 24 * 60 * 60;

bool IsRegularFile(const QString& Path)
{
    return platform::fileKind(Path) == platform::FileKind::Regular;
}

QString NotStartedText(const QString& Path, const QString& Reason)
{
    return QStringLiteral("Install file not started.\r") + Path + u'\r' + Reason;
}

QString NotVerifiedText(const QString& Path, const QString& Why)
{
    return QStringLiteral("Install file not verified.\r") + Path + u'\r' + Why
        + QStringLiteral("\rA file that is not verified may be damaged, or may have been replaced by somebody else. "
                         "Start it only if you know where it came from.");
}

// Why the shell did not start a setup file, and for a missing Wine what to do about it.
QString NotStartedReason(const platform::ProgramStart& Start)
{
    // Most setup programs are 32-bit Windows programs; a distribution's Wine runs them only
    // with its 32-bit part, which needs the distribution's 32-bit architecture.
    const QString part32 = QStringLiteral("sudo dpkg --add-architecture i386 && sudo apt update && "
                                          "sudo apt install wine32:i386");
    if (Start.status == platform::ProgramStart::Status::WineMissing)
        return QStringLiteral("Windows setup programs need Wine, which is not installed on this computer.\r"
                              "Install your distribution's \"wine\" package (on Debian or Ubuntu: "
                              "sudo apt install wine) and, for 32-bit setup programs, which most are, its "
                              "32-bit part (")
            + part32 + QStringLiteral("), then click Install again.");
    if (Start.status == platform::ProgramStart::Status::Wine32Missing)
        return QStringLiteral("This setup program is a 32-bit Windows program, and the Wine installed on this "
                              "computer runs only 64-bit ones.\rAdd Wine's 32-bit part (on Debian or Ubuntu: ")
            + part32 + QStringLiteral("), then click Install again.\rDetails: ") + Start.problem;
    return Start.problem;
}

} // namespace

void TInstallForm::InstallBtnClick(QObject* Sender)
{
    InstallRow(RowOfTag(&TSetupRow::InstallTag, TagOf(Sender)));
}

void TInstallForm::InstallRow(const TSetupRow* Row)
{
    if (FTransferring)
        return;
    const QString name = Row ? SetupFileNames[Row->Inventory] : QString();
    const QString serverName = Row ? QString::fromLatin1(Row->DownloadFile) : name;
    // What this run downloaded and checked comes first, wherever an older file of the name lies.
    QString path = CheckedFilePath(serverName);
    if (path.isEmpty() && !name.isEmpty())
        path = FindSetupFile(name);
    if (!IsRegularFile(path)) {
        ShowErrorBox(this, QStringLiteral("Install file not found.\r") + path);
        return;
    }
    // Started, the setup program acts with all the user's rights: nothing that somebody
    // else could have put or changed there is run.
    const QString unsafe = platform::whyUnsafeToRun(path);
    if (!unsafe.isEmpty()) {
        ShowErrorBox(this, NotStartedText(path, unsafe));
        return;
    }
    // Every version's files have the same names: one of another version than the chosen one
    // starts only when the user says so.
    int version = VersionRadio->ItemIndex();
    const int fileVersion = VersionItemOfDirectory(
        KnownVersionOf(serverName, path, TReleaseState::Load(FEnvironment.StateFile).State));
    if (fileVersion >= 0 && fileVersion != version) {
        if (!StartOtherVersion(Row, path, fileVersion))
            return;
        version = fileVersion;
    }
    const QString sha256 = SHA256ToStart(serverName, path, version);
    if (sha256.isEmpty())
        return;
    if (FEnvironment.OnSetupFileChecked)
        FEnvironment.OnSetupFileChecked(path);
    StartCheckedFile(path, serverName, sha256, Row);
}

void TInstallForm::RecordDownload(const QString& FileName, const QString& Path, const TReleaseCheck& Check,
                                  const QString& Directory)
{
    // The new file replaced whatever was checked under the name before.
    FCheckedFiles.remove(FileName);
    if (Check.Verification == dvSignedList && !Check.ExpectedSHA256.isEmpty())
        FCheckedFiles.insert(FileName, {Path, Check.ExpectedSHA256, Directory});
}

QString TInstallForm::KnownVersionOf(const QString& ServerName, const QString& Path,
                                     const TReleaseState& Remembered) const
{
    const auto checked = FCheckedFiles.constFind(ServerName);
    if (checked != FCheckedFiles.cend() && checked->Path == Path)
        return checked->Directory;
    const std::optional<TReleaseState::TFileRecord> record = Remembered.File(ServerName);
    if (record && QFileInfo(Path).size() == record->Size)
        return record->Directory;
    return {};
}

bool TInstallForm::StartOtherVersion(const TSetupRow* Row, const QString& Path, int FileVersion)
{
    const QString chosen = VersionCaption(VersionRadio->ItemIndex());
    const QString file = VersionCaption(FileVersion);
    const TVersionAnswer answer = ShowOtherVersionBox(
        this,
        QStringLiteral("The install file ") + Path + QStringLiteral(" is version ") + file
            + QStringLiteral(", and version ") + chosen + QStringLiteral(" is chosen.\rDownload version ") + chosen
            + QStringLiteral(" and install that, or install version ") + file + QStringLiteral(" as it is?"),
        QStringLiteral("Download ") + chosen, QStringLiteral("Install ") + file);
    if (answer == vaDownload)
        DownloadRow(Row);
    return answer == vaStartFile;
}

QString TInstallForm::CheckedFilePath(const QString& ServerName) const
{
    const auto checked = FCheckedFiles.constFind(ServerName);
    if (checked == FCheckedFiles.cend() || !IsRegularFile(checked->Path))
        return {};
    return checked->Path;
}

QString TInstallForm::SHA256ToStart(const QString& ServerName, const QString& Path, int Version)
{
    const auto checked = FCheckedFiles.constFind(ServerName);
    if (checked != FCheckedFiles.cend() && checked->Path == Path)
        return checked->SHA256;

    // A file no signed list has vouched for in this run: that version's list is asked.
    const QString actual = platform::fileSha256(Path);
    if (actual.isEmpty()) {
        ShowErrorBox(this, NotStartedText(Path, QStringLiteral("The file cannot be read")));
        return {};
    }
    QString why;
    if (ReleaseKeys().isEmpty()) {
        why = QStringLiteral("This program has no release key to check setup files with.");
    } else {
        bool cancelled = false;
        const TReleaseCheck check = CheckVersion(Version, ServerName, cancelled);
        if (cancelled)
            return {};
        const QString version = VersionCaption(Version);
        if (!check.Allowed || check.Verification != dvSignedList) {
            why = DownloadProblemText(check.Allowed ? dpNotVerified : check.Problem);
            if (!check.Details.isEmpty())
                why += QStringLiteral("\rDetails: ") + check.Details;
        } else if (check.ExpectedSHA256 != actual) {
            why = QStringLiteral("It differs from the file that the signed checksum list of version ") + version
                + QStringLiteral(" names.");
        } else {
            FCheckedFiles.insert(ServerName, {Path, actual, VersionDirectory(Version)});
            return actual;
        }
    }
    // What the user agrees to start is the file as it is now.
    if (!ShowStartAnywayBox(this, NotVerifiedText(Path, why)))
        return {};
    return actual;
}

void TInstallForm::StartCheckedFile(const QString& Path, const QString& ServerName, const QString& SHA256,
                                    const TSetupRow* Row)
{
    RemoveStaleStartCopies();
    const platform::StartCopy copy = platform::makeStartCopy(Path, FEnvironment.TempDir, SHA256);
    if (!copy.made()) {
        // What was checked is not there any more: the next click checks the file anew.
        if (copy.status == platform::StartCopy::Status::Changed)
            FCheckedFiles.remove(ServerName);
        ShowErrorBox(this, NotStartedText(Path, copy.problem));
        return;
    }
    const platform::ProgramStart start = FEnvironment.ShellOpen ? FEnvironment.ShellOpen(copy.path) : platform::ProgramStart{};
    if (!start.started()) {
        platform::removeStartCopy(copy.path);
        // The log line would tell of a start that never happened.
        ShowErrorBox(this, NotStartedText(Path, NotStartedReason(start)));
        return;
    }
    Memo->appendPlainText(QStringLiteral("Downloading file ") + Path);
    if (start.program)
        WatchSetupProgram(start.program, Row, Path);
}

void TInstallForm::WatchSetupProgram(const std::shared_ptr<platform::StartedProgram>& Program, const TSetupRow* Row,
                                     const QString& Path)
{
    if (!Program->running())
        return;
    FSetupPrograms.append({Program, Row});
    for (const TInstallerRow& row : InstallerRows) {
        if (row.Setup == Row)
            row.Install.In(*this)->setEnabled(false);
    }
    // Over this window only: the user's other windows, the setup program's among them, keep
    // their own cursor.
    setCursor(Qt::BusyCursor);
    connect(Program.get(), &platform::StartedProgram::ended, this,
            [this, Path](const platform::ProgramEnd& End) { SetupProgramEnded(End, Path); });
}

void TInstallForm::SetupProgramEnded(const platform::ProgramEnd& End, const QString& Path)
{
    // Kept until the next event: this runs inside the program object's own signal.
    for (qsizetype i = 0; i < FSetupPrograms.size(); ++i) {
        if (!FSetupPrograms[i].first->running()) {
            QTimer::singleShot(0, this, [kept = FSetupPrograms[i].first] { Q_UNUSED(kept); });
            FSetupPrograms.removeAt(i--);
        }
    }
    if (FSetupPrograms.isEmpty())
        unsetCursor();
    const QString name = QFileInfo(Path).fileName();
    switch (End.kind) {
    case platform::ProgramEnd::Kind::Exited:
        Memo->appendPlainText(QStringLiteral("The setup program ") + name
                              + QStringLiteral(" ended with exit code %1").arg(End.code));
        break;
    case platform::ProgramEnd::Kind::Killed:
        Memo->appendPlainText(QStringLiteral("The setup program ") + name
                              + QStringLiteral(" was ended by signal %1").arg(End.code));
        break;
    case platform::ProgramEnd::Kind::NotStarted:
        Memo->appendPlainText(QStringLiteral("Wine could not start the setup program ") + name + QStringLiteral(": ")
                              + End.reason);
        ShowErrorBox(this, NotStartedText(Path, QStringLiteral("Wine could not start it: ") + End.reason));
        break;
    }
    // What the setup program did shows in the installation test; the log keeps what it said.
    bool located = false;
    for (const QString& line : InstallationReport(located))
        Memo->appendPlainText(line);
    RefreshSetupFiles();
}

bool TInstallForm::SetupRunning(const TSetupRow* Row) const
{
    for (const auto& running : FSetupPrograms) {
        if (running.second == Row && running.first->running())
            return true;
    }
    return false;
}

void TInstallForm::RemoveStaleStartCopies()
{
    platform::removeStaleStartCopies(FEnvironment.TempDir, StaleStartCopyAge);
}
