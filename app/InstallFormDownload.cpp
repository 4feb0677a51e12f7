#include "app/InstallForm.h"

#include "app/ChecksumList.h"
#include "app/MessageBoxes.h"
#include "app/ReleaseKey.h"
#include "app/ReleaseState.h"
#include "app/SetupFiles.h"
#include "app/SetupRows.h"
#include "controls/OfficeRadioGroup.h"
#include "platform/network/InternetErrors.h"
#include "platform/system/SystemProbes.h"
#include "transfer/UrlHelpers.h"
#include "transfer/WebTransfer.h"
#include "transfer/WebTransferErrors.h"

#include <QDateTime>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace {

// How often a transient failure (no connection, a broken transfer, a busy server) is tried
// again before the next server is asked.
constexpr int DownloadRetries = 3;

// The checksum lists are small and come at once from a mirror that answers: their run shows
// its dialog, with its Cancel, only when they are this slow to come.
constexpr int ListDialogDelayMs = 1500;

// The name a download is saved under: the requested one, or the name of a file already in
// Dir that differs from it only in letter case, which Windows takes for the same file.
QString SavedName(const QString& Dir, const QString& FileName)
{
    if (FileName.isEmpty())
        return {};
    const QString existing = platform::findPathIgnoringCase(Dir, FileName);
    return existing.isEmpty() ? FileName : QFileInfo(existing).fileName();
}

// What a list job brought, or why there is none.
TFetchedFile FetchedFile(const TWebTransferItem& Job, const TTransferFailure& Failure)
{
    TFetchedFile fetched;
    fetched.Received = Job.Success();
    if (fetched.Received) {
        fetched.Content = Job.Content();
        return fetched;
    }
    fetched.Failure = Failure;
    if (Failure.ErrorCode == weSize)
        fetched.Failure.Details = QStringLiteral("larger than a checksum list can be");
    return fetched;
}

} // namespace

void TInstallForm::BuildEngine()
{
    WebTransfer = new TWebTransfer(this);
    WebTransfer->setObjectName(QStringLiteral("WebTransfer"));
    // A server that answers a byte now and then would hold a download for ever: a minute for
    // the head of an answer, and a body slower than a kilobyte a second for half a minute, fail
    // the attempt like a broken connection, so that it is tried again or the next server is.
    WebTransfer->ResponseHeadTimeout = 60000;
    WebTransfer->LowSpeedLimit = 1024;
    WebTransfer->LowSpeedTime = 30;
    WebTransfer->OnCopyDone = [this](TWebTransfer* Sender) { WebTransferCopyDone(Sender); };
    WebTransfer->OnCopyCancel = [this](TWebTransfer* Sender) { WebTransferCopyCancel(Sender); };
    // Why a job failed, for the message that replaces the done box.
    WebTransfer->OnFileStart = [this](TWebTransfer*, int) { FFailure = {}; };
    WebTransfer->OnErrorInfo = [this](TWebTransfer*, int Code, const QString& Info) { FFailure.NoteError(Code, Info); };
    WebTransfer->OnURLNotFound = [this](TWebTransfer* Sender, const QString& Url) {
        FFailure.NoteURLNotFound(Url, Sender->LastInternetResult());
    };
}

struct TInstallForm::TDownloadRun {
    QString Path;  // on the server, "/download/ver121/"; empty without a version
    TReleaseWanted Wanted;
    // What the state file held, with the serials taken since.
    TReleaseState State;
    // The check of the first list that gave the file's checksum. The servers after it are
    // held to it: a part one of them sent goes on from the next, and no other list can change
    // what the whole file must be.
    std::optional<TReleaseCheck> Kept;
    bool WholeAgain = false;
    // Another server is left to try when the download from this one fails.
    bool MoreServers = false;
    // The servers may still be asked once more for the whole file (soWholeAgain).
    bool WholeAgainLeft() const { return !WholeAgain && !Path.isEmpty(); }
};

void TInstallForm::DownloadClick(QObject* Sender)
{
    DownloadRow(RowOfTag(&TSetupRow::DownloadTag, TagOf(Sender)));
}

void TInstallForm::DownloadRow(const TSetupRow* Row)
{
    // A second run would rebuild the job list the running one walks.
    if (FTransferring)
        return;
    const int version = VersionRadio->ItemIndex();
    installDir = InstallToGrp->ItemIndex() == 0 ? StartupDir : saveDir;
    FDownloadName = Row ? QString::fromLatin1(Row->DownloadFile) : QString();
    FDownloadVersion = VersionCaption(version);

    FTransferring = true;
    TDownloadRun run;
    run.Path = VersionPath(version);
    if (StartDownloadRun(run, version))
        DownloadFromServers(run);
    FTransferring = false;
    RefreshSetupFiles();
    if (FCloseRequested)
        close();
}

TReleaseWanted TInstallForm::ReleaseWantedFor(int Version, const QString& FileName) const
{
    TReleaseWanted wanted;
    wanted.Keys = ReleaseKeys();
    wanted.FileName = FileName;
    wanted.Version = VersionCaption(Version);
    wanted.Directory = VersionDirectory(Version);
    wanted.Today = (FEnvironment.Now ? FEnvironment.Now() : QDateTime::currentDateTimeUtc()).toUTC().date();
    return wanted;
}

bool TInstallForm::StartDownloadRun(TDownloadRun& Run, int Version)
{
    Run.Wanted = ReleaseWantedFor(Version, FDownloadName);
    TReleaseWanted& wanted = Run.Wanted;
    // Serials count only where a signature vouches for them.
    if (wanted.Keys.isEmpty() || Run.Path.isEmpty())
        return true;
    const QString problem = ReadSeenSerial(wanted, Run.State);
    if (!problem.isEmpty()) {
        // Without it an older list could not be told from the latest: better no download
        // than one that might be rolled back.
        ReportFailure({}, dpNoReleaseRecord, problem, true);
        return false;
    }
    return true;
}

QString TInstallForm::ReadSeenSerial(TReleaseWanted& Wanted, TReleaseState& State) const
{
    const TReleaseState::TLoaded loaded = TReleaseState::Load(FEnvironment.StateFile);
    if (!loaded.Problem.isEmpty())
        return loaded.Problem;
    State = loaded.State;
    Wanted.SeenSerial = State.Serial(Wanted.Directory);
    return {};
}

void TInstallForm::DownloadFromServers(TDownloadRun& Run)
{
    const QStringList bases = DownloadBaseURLs();
    for (qsizetype i = 0; i < bases.size(); ++i) {
        Run.MoreServers = i + 1 < bases.size() && !Run.Path.isEmpty();
        const TServerOutcome outcome = DownloadFrom(bases[i], Run);
        if (outcome == soWholeAgain) {
            Run.WholeAgain = true;
            i = -1;
        } else if (outcome != soTryNext) {
            break;
        }
    }
}

TInstallForm::TServerOutcome TInstallForm::DownloadFrom(const QString& Base, TDownloadRun& Run)
{
    const QString& fileName = Run.Wanted.FileName;
    TReleaseCheck check;
    check.Allowed = true;
    // Without a version there is no address to ask: the job fails as it always did.
    if (Run.Kept) {
        check = *Run.Kept;
    } else if (!Run.Path.isEmpty()) {
        TFetchedFile list;
        TFetchedFile signature;
        if (!FetchChecksumList(Base + Run.Path, !Run.Wanted.Keys.isEmpty(), list, signature))
            return soStop;
        check = CheckRelease(Run.Wanted, list, signature);
        if (!check.Allowed) {
            const bool tryNext = Run.MoreServers && AnotherServerMayHelp(check.Problem);
            ReportFailure(Base, check.Problem, check.Details, !tryNext);
            return tryNext ? soTryNext : soStop;
        }
        if (check.Verification == dvSignedList)
            RememberSerial(Run, check.Serial);
        if (!check.ExpectedSHA256.isEmpty())
            Run.Kept = check;
    }

    WebTransfer->Items().Clear();
    TWebTransferItem* job = WebTransfer->Items().Add();
    if (!Run.Path.isEmpty())
        job->URL = Base + Run.Path + fileName;
    job->Protocol = wpHttp;
    job->TargetDir = installDir;
    // The file is saved under the name that was asked for, wherever the server sends the
    // request: a redirect cannot make it replace another file, such as this program.
    job->TargetFilename = SavedName(installDir, fileName);
    job->ExpectedSHA256 = check.ExpectedSHA256;
    job->ExpectedSize = check.ExpectedSize;
    // A setup program is a Windows program; a login page of a public network is not.
    if (fileName.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive))
        job->ExpectedStart = QByteArrayLiteral("MZ");
    job->Resume = true;
    // What one server sent before it failed goes on from the next: the checksum of the whole
    // file tells whether the parts belong together.
    job->ResumeFromAnySource = !check.ExpectedSHA256.isEmpty();
    job->Retries = DownloadRetries;

    FFailure = {};
    WebTransfer->Execute();
    if (job->Success()) {
        RecordDownload(fileName, installDir + job->TargetFilename, check, Run.Wanted.Directory);
        RememberFile(Run, fileName, check, QFileInfo(installDir + job->TargetFilename).size());
        Memo->appendPlainText(QStringLiteral("Downloaded ") + fileName + QStringLiteral(" for version ")
                              + FDownloadVersion + QStringLiteral(" from ") + URLWithoutPassword(Base)
                              + QStringLiteral(": ") + VerificationText(check.Verification));
        if (!FCloseRequested)
            ShowInformationBox(this,
                               QStringLiteral("Please click on the relevant \"Install\" button to complete installation"));
        return soDone;
    }
    if (job->Cancelled() || FCloseRequested)
        return soStop;
    // The user hears of a failure only when no other server is left to ask.
    const TDownloadProblem problem = ProblemOf(FFailure);
    const TServerOutcome next = AfterFailure(*job, problem, Run);
    const QString details = FFailure.Details.isEmpty()
        ? QStringLiteral("No data was received from ") + URLWithoutPassword(job->URL)
        : FFailure.Details;
    ReportFailure(Base, problem, details, next == soStop);
    return next;
}

TInstallForm::TServerOutcome TInstallForm::AfterFailure(const TWebTransferItem& Job, TDownloadProblem Problem,
                                                        const TDownloadRun& Run) const
{
    if (Problem == dpDamaged) {
        // Which server sent the wrong part cannot be told: the engine dropped both, and the
        // file is asked for whole, once.
        if (Job.ResumedBytes() > 0 && Run.WholeAgainLeft())
            return soWholeAgain;
        // Fetched whole once more, it is still not what the list says.
        if (!Run.WholeAgainLeft())
            return soStop;
    }
    return Run.MoreServers && AnotherServerMayHelp(Problem) ? soTryNext : soStop;
}

void TInstallForm::RememberFile(TDownloadRun& Run, const QString& FileName, const TReleaseCheck& Check,
                                std::int64_t Size)
{
    // Only what a signed list vouched for has a version anybody can rely on.
    if (Check.Verification != dvSignedList || Check.ExpectedSHA256.isEmpty())
        return;
    Run.State.RecordFile(FileName, {Run.Wanted.Directory, Check.ExpectedSHA256.toLower(), Size});
    const QString problem = Run.State.Save(FEnvironment.StateFile);
    if (!problem.isEmpty())
        Memo->appendPlainText(QStringLiteral("Could not remember the version of ") + FileName + QStringLiteral(": ")
                              + problem);
}

void TInstallForm::RememberSerial(TDownloadRun& Run, std::uint64_t Serial)
{
    if (!Run.State.RaiseSerial(Run.Wanted.Directory, Serial))
        return;
    const QString problem = Run.State.Save(FEnvironment.StateFile);
    if (!problem.isEmpty())
        Memo->appendPlainText(QStringLiteral("Could not remember the serial of the checksum list for version ")
                              + FDownloadVersion + QStringLiteral(": ") + problem);
}

TReleaseCheck TInstallForm::CheckVersion(int Version, const QString& FileName, bool& Cancelled)
{
    TReleaseCheck check;
    check.Problem = dpNotVerified;
    const int version = Version;
    const QString path = VersionPath(version);
    if (path.isEmpty())
        return check;
    TReleaseWanted wanted = ReleaseWantedFor(version, FileName);
    TReleaseState state;
    // An older list could not be told from the latest.
    check.Details = ReadSeenSerial(wanted, state);
    if (!check.Details.isEmpty())
        return check;
    FTransferring = true;
    for (const QString& base : DownloadBaseURLs()) {
        TFetchedFile list;
        TFetchedFile signature;
        if (!FetchChecksumList(base + path, true, list, signature)) {
            Cancelled = true;
            break;
        }
        check = CheckRelease(wanted, list, signature);
        if (check.Allowed || !AnotherServerMayHelp(check.Problem))
            break;
    }
    FTransferring = false;
    if (FCloseRequested) {
        Cancelled = true;
        close();
    }
    return check;
}

bool TInstallForm::FetchChecksumList(const QString& DirURL, bool Signed, TFetchedFile& List, TFetchedFile& Signature)
{
    // The lists never touch the disk, where somebody else could change them before they are read.
    QStringList names = {ChecksumListName};
    if (Signed)
        names << ChecksumSignatureName;
    WebTransfer->Items().Clear();
    for (const QString& name : names) {
        TWebTransferItem* job = WebTransfer->Items().Add();
        job->URL = DirURL + name;
        job->Protocol = wpHttp;
        job->InMemory = true;
        job->Retries = DownloadRetries;
        // An endless answer stops here, not when the disk is full.
        job->MaxSize = TChecksumList::MaxSize;
    }
    std::vector<TTransferFailure> failures(std::size_t(names.size()));
    WebTransfer->OnFileDone = [this, &failures](TWebTransfer* Sender, int Index) {
        if (Index >= 0 && std::size_t(Index) < failures.size())
            failures[std::size_t(Index)] = FFailure;
        // Without the list its signature is of no use: the server is not asked for it, nor
        // waited for again when it cannot be reached.
        if (Index == 0 && !Sender->Items()[0]->Success() && Sender->Items().Count() > 1)
            Sender->Items()[1]->Active = false;
    };
    WebTransfer->DialogDelay = ListDialogDelayMs;
    WebTransfer->Execute();
    WebTransfer->DialogDelay = 0;
    WebTransfer->OnFileDone = nullptr;

    for (int i = 0; i < WebTransfer->Items().Count(); ++i) {
        if (WebTransfer->Items()[i]->Cancelled())
            return false;
    }
    if (FCloseRequested)
        return false;
    List = FetchedFile(*WebTransfer->Items()[0], failures[0]);
    if (Signed)
        Signature = FetchedFile(*WebTransfer->Items()[1], failures[1]);
    return true;
}

void TInstallForm::ReportFailure(const QString& Base, TDownloadProblem Problem, const QString& Details, bool Final)
{
    const QString from = Base.isEmpty() ? QString() : QStringLiteral(" from ") + URLWithoutPassword(Base);
    Memo->appendPlainText(QStringLiteral("Could not download ") + FDownloadName + QStringLiteral(" for version ")
                          + FDownloadVersion + from + QStringLiteral(": ") + DownloadProblemText(Problem));
    if (Final)
        ShowErrorBox(this, DownloadFailureText(Problem, FDownloadName, FDownloadVersion, Details));
}

void TInstallForm::WebTransferCopyDone(TWebTransfer*)
{
    // What the download came to is read once the run has returned (DownloadFrom).
    RefreshSetupFiles();
}

void TInstallForm::WebTransferCopyCancel(TWebTransfer*)
{
    ShowInformationBox(this, QStringLiteral("Download cancelled"));
    activateWindow();
    // Back to the control that had the focus (the Download button a keyboard user pressed), not
    // to the window itself, from where the next Tab would start over.
    if (QWidget* had = focusWidget(); had && had != this && had->isEnabled())
        had->setFocus(Qt::ActiveWindowFocusReason);
    else
        setFocus();
}
