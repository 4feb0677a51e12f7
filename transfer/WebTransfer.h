#pragma once

#include "platform/InternetResult.h"
#include "transfer/ProgressForm.h"
#include "transfer/WebTransferErrors.h"
#include "transfer/WebTransferItem.h"
#include "transfer/WebTransferTypes.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

// The transfer engine: a job list, the settings that shape the progress dialog and the
// network session, and the events through which the owner follows a run.

namespace platform {
class FtpConnection;
class InternetSession;
}
struct TFtpLink;
struct TFtpRequest;
struct TAttemptFailure;
struct TJobAttempt;
struct TJobFile;
struct TJobRun;
class QThread;
class TDownloadTarget;

class TWebTransfer : public QObject {
    Q_OBJECT

public:
    static constexpr std::uint32_t VersionNumber = 0x02040501;

    explicit TWebTransfer(QObject* Owner = nullptr);
    ~TWebTransfer() override;

    // Published settings, with the defaults a new engine has.
    QString Agent = QStringLiteral("WebTransfer");
    bool AlwaysOnTop = false;
    bool AutoURLDecode = false;
    bool CreateUniqueFilenames = false;
    QString DlgCaption = QStringLiteral("Downloading");
    QString DlgDwnload = QStringLiteral("Downloading");
    QString DlgUpload = QStringLiteral("Uploading");
    QString DlgCopying = QStringLiteral("Copying");
    QString DlgCompleted = QStringLiteral("completed");
    QString DlgFileLabel = QStringLiteral("File :");
    QString DlgFileOfLabel = QStringLiteral("of");
    QString DlgFromServerLabel = QStringLiteral("from");
    QString DlgToServerLabel = QStringLiteral("to");
    QString DlgProgressLabel = QStringLiteral("Progress :");
    QString DlgRateLabel = QStringLiteral("Transfer rate :");
    QString DlgTimeLabel = QStringLiteral("Estimated time left :");
    QString DlgElapsedTimeLabel = QStringLiteral("Elapsed time :");
    QString DlgCancel = QStringLiteral("Cancel");
    QString DlgClose = QStringLiteral("Close");
    QString DlgOpenFile = QStringLiteral("Open file");
    QString DlgOpenFolder = QStringLiteral("Open folder");
    QString DlgTimeSec = QStringLiteral("sec");
    QString DlgTimeMin = QStringLiteral("minutes");
    bool DlgShowCancel = true;
    bool DlgShowCloseBtn = false;
    bool FTPPassive = false;
    TFTPMode FTPMode = fmBINARY;
    bool HTTPKeepAliveAuthentication = false;
    QString Proxy;
    QString ProxyUserID;
    QString ProxyPassword;
    bool ShowDialog = true;
    bool ShowDialogOnTop = true;
    bool ShowOpenFile = false;
    bool ShowOpenFolder = false;
    bool ShowCompletion = false;
    bool ShowElapsedTime = false;
    bool ShowFileName = true;
    bool ShowServer = true;
    bool ShowTime = false;
    std::int32_t Timeout = 0;
    // Beyond the published settings, against a server that keeps a request alive with a
    // trickle (the slow-retrieval attack); 0 keeps the design's behaviour. The longest wait in
    // milliseconds for an answer's status line and headers, however they trickle in; and a
    // body slower than LowSpeedLimit bytes a second for LowSpeedTime seconds. Either fails the
    // attempt as a broken connection would, so retries and the next mirror answer it.
    std::int32_t ResponseHeadTimeout = 0;
    std::int32_t LowSpeedLimit = 0;
    std::int32_t LowSpeedTime = 0;

    TWebTransferItems& Items() { return FItems; }
    const TWebTransferItems& Items() const { return FItems; }

    // The engine's own version; a stored or written value never replaces it.
    QString Version() const;
    void SetVersion(const QString&) {}

    // Public, not stored.
    QString LogfileName;
    bool FormClosed() const { return FFormClosed; }
    void SetFormClosed(bool Value) { FFormClosed = Value; }
    QWidget* ProgressForm() const { return FForm; }
    QProgressBar* ProgressBar() const { return FProgress; }
    QLabel* ProgressFileLabel() const { return FFileLbl; }
    QLabel* ProgressSizeLabel() const { return FSizeLbl; }
    QLabel* ProgressRateLabel() const { return FRateLbl; }
    const QString& RateStr() const { return FRateStr; }
    const QString& TimeLeftStr() const { return FTimeLeftStr; }
    const QString& ElapsedTimeStr() const { return FElapsedTimeStr; }
    // Why the latest HTTP request of a run could not be opened (for instance an untrusted
    // certificate, platform::isCertificateFailure) or why its body broke off; ok while neither
    // happened. Read it in OnURLNotFound or OnError to tell the user more than that the
    // address failed.
    const platform::InternetResult& LastInternetResult() const { return FLastInternetResult; }

    // Runs the whole job list on the calling thread; returns when the run is over.
    void Execute();
    void DoCopy();
    // Hands the run to the user-interface thread through a worker thread and returns at once.
    void ThreadExecute();
    // ThreadExecute, then processes events until the run and the worker are done.
    void ThreadExecAndWait();
    void CancelCopy() { FCancelled = true; }
    // A cancel was asked for (by CancelCopy or the dialog) and the run has not yet taken it.
    bool CancelRequested() const { return FCancelled; }

    // With both proxy fields set, an "http://" URL carries them as credentials.
    QString AddProxyCredentials(const QString& URL) const;

    // Events. Each is optional; Sender is this engine; an `allow` argument comes preset true.
    std::function<void(TWebTransfer* Sender, int idx)> OnFileStart;
    std::function<void(TWebTransfer* Sender, int idx)> OnFileDone;
    std::function<void(TWebTransfer* Sender)> OnCopyDone;
    std::function<void(TWebTransfer* Sender)> OnCopyCancel;
    std::function<void(TWebTransfer* Sender, int fileidx, std::int64_t size, std::int64_t totsize)> OnCopyProgress;
    std::function<void(TWebTransfer* Sender, const QString& tgtfile, bool& allow)> OnCopyOverWrite;
    std::function<void(TWebTransfer* Sender, int idx, TDateTime newdate, bool& allow)> OnFileDateCheck;
    std::function<void(TWebTransfer* Sender, const QString& tgtfile, TDateTime curdate, TDateTime newdate)> OnNoNewFileFound;
    std::function<void(TWebTransfer* Sender, int ErrorCode)> OnError;
    std::function<void(TWebTransfer* Sender, int ErrorCode, const QString& ErrorInfo)> OnErrorInfo;
    std::function<void(TWebTransfer* Sender, const QString& url)> OnURLNotFound;
    std::function<void(TWebTransfer* Sender)> OnConnectError;
    std::function<void(TWebTransfer* Sender, QWidget* ADialog)> OnBeforeDialogShow;
    std::function<void(TWebTransfer* Sender, const QString& Filename)> OnMultiFTPFileDone;
    std::function<void(TWebTransfer* Sender, int idx)> OnRemovedFile;
    std::function<void(TWebTransfer* Sender, int idx)> OnRemovedFileFailed;

protected:
    // The progress dialog of a run (ProgressDialog.cpp). Every writer checks that the dialog
    // still exists: the user may close it during a run when DlgShowCloseBtn is set.
    void BuildProgressDialog();
    void SetDialogCaption(const QString& Caption);
    void SetAnimationClip(TAnimationClip Clip);
    void SetProgressMarquee(bool Marquee);
    // The two ways a run's dialog ends: the completion state with Close / Open buttons, or
    // closing (the dialog frees itself).
    void ShowCompletionState();
    void CloseProgressDialog();
    void DialogCancelClick();
    void OpenFileClick();
    void OpenFolderClick();
    // Whether the dialog may close now, and what happens once it has closed.
    bool DialogCloseQuery() const;
    void DialogClose();

    // The run loop's pieces (WebTransferRun.cpp).
    int InternetJobCount() const;
    bool KeepConnectionFor(int Index) const;
    bool RunOperation(TWebTransferItem& Item, TJobRun& Run);
    // Runs a job's operation, and runs it again after a transient failure as long as the
    // job's Retries allow, waiting before each new attempt.
    bool RunJob(TWebTransferItem& Item, TJobRun& Run);
    // How many more attempts a job gets: its Retries for the kinds of job that retry.
    static int RetriesOf(const TWebTransferItem& Item);
    // Waits Seconds with the dialog's file line saying so and the window responsive; false
    // when the run was cancelled meanwhile (the wait then ends at once).
    bool WaitBeforeRetry(const TWebTransferItem& Item, int Seconds, int Attempt, int Attempts);
    void OpenInternetSession();
    void ThreadDone();
    // Lets the user interface handle what is pending: repaints, the Cancel click.
    void ProcessMessages();
    // The same at most every IntervalMs: often enough that a click is handled at once, rarely
    // enough that a fast transfer does not pay for it. Inside a transfer loop every few
    // milliseconds; between the steps of a job once a millisecond, since a job of a small file
    // takes less and a pump for each of its steps would cost more than the rest of its work.
    static constexpr std::uint32_t BlockPumpMs = 5;
    static constexpr std::uint32_t StepPumpMs = 1;
    void KeepResponsive(std::uint32_t IntervalMs = BlockPumpMs);

    // The dialog lines every operation writes (ProgressLines.cpp).
    void SetFileLine(const QString& Name, const QString& ServerWord, const QString& Server, bool WithServer);
    // The next block shown is a new file's first.
    void StartFileLines();
    // Resumed: bytes of Done that an earlier run fetched; they do not count towards the rate.
    void ShowProgress(std::int64_t Done, std::int64_t Total, std::uint32_t StartTick, const QString& Word,
                      bool CopyMode, std::int64_t Resumed = 0);

    // Appends a time-stamped line to LogfileName (TransferLog.cpp).
    void WriteLog(const QString& Text);

    // The operations, one per job kind. Each takes its job and the run's state for it.
    bool HttpDownload(const TWebTransferItem& Item, TJobRun& Run);
    bool HttpUpload(const TWebTransferItem& Item, TJobRun& Run);
    bool FileCopy(const TWebTransferItem& Item, TJobRun& Run);

    // FTP operations (one file each) and the connection steps they share (FtpConnect.cpp).
    // Refuses a request with a field that would break out of its command line (6 for the
    // server and login, 3 with the request's target for remote names) before anything is sent.
    // A new connection is kept by the engine when the link is to keep it.
    bool ConnectFtp(TFtpLink& Link, const TFtpRequest& Request, bool Reuse, bool ClearPrevTarget);
    // A link to the kept connection slot, given back as KeepConnection and Restore say.
    TFtpLink NewFtpLink(bool KeepConnection, bool Restore);
    // Moves the connection to the directory part of URL (up to its last "/"), remembering
    // where it was; returns the name or pattern after it.
    QString EnterUrlDir(TFtpLink& Link, const QString& URL);
    bool EnterRemoteDir(TFtpLink& Link, const QString& Dir);
    // Sets the remote directory of an upload or delete.
    bool SetRemoteDir(TFtpLink& Link, const QString& Dir);
    // Forgets the kept connection; it must not outlive the session it belongs to.
    void DropKeptFtp();
    // File names one file of a multi-file job; without it the job's own URL and
    // TargetFilename are taken and the download writes the dialog's file line itself.
    bool FtpDownload(const TWebTransferItem& Item, TJobRun& Run, const TJobFile* File = nullptr);
    bool FtpUpload(const TWebTransferItem& Item, TJobRun& Run, const TJobFile* File = nullptr);
    // A listing is the job's result: it goes into the job's own lists.
    bool FtpList(TWebTransferItem& Item, TJobRun& Run);
    bool MultiFtpDownload(const TWebTransferItem& Item, TJobRun& Run);
    bool MultiFtpUpload(const TWebTransferItem& Item, TJobRun& Run);
    bool FtpDelete(const TWebTransferItem& Item, TJobRun& Run);
    bool FtpTest(const TWebTransferItem& Item, TJobRun& Run);

    // Raises OnError and then OnErrorInfo with the same code.
    void ReportError(int ErrorCode, const QString& ErrorInfo);
    // An engine error: the text is the code's prefix, or Prefix where an operation words it
    // its own way, followed by Subject (a path or a host).
    void ReportError(TWebTransferError Code, const QString& Subject);
    void ReportError(TWebTransferError Code, QStringView Prefix, const QString& Subject);
    // A server's answer of 300 or above, with its Retry-After when it sent one.
    void ReportHttpStatus(int Status, const QString& RetryAfter = {});
    // OnURLNotFound for an address that could not be opened, for the reason given.
    void ReportURLNotFound(const QString& URL, const platform::InternetResult& Reason = {});
    // The failure record of the attempt under way while nothing has failed it yet: the first
    // failure reported is the one that decides on another attempt. Null otherwise.
    TAttemptFailure* UnnotedFailure();
    // Raises an error event at once, or keeps it with an attempt that holds its events.
    void RaiseFailureEvent(std::function<void()> Raise);
    // Ends a download into its temporary file: puts the file in place when it arrived whole and
    // is what the job expects, and gives its digest to Run; otherwise discards it and reports
    // why (weTargetWrite: the disk refused it, weInterrupted: the transfer broke off, and a
    // resumable file is kept for the next run, and InterruptedBy, when given, follows the path
    // to say what broke it off; weUnexpectedContent, weSize, weChecksum: it is not the file
    // expected; weTargetCreate with CreatePrefix: it could not be put in place). True when it
    // is in place.
    bool FinishDownload(TDownloadTarget& File, TJobRun& Run, bool WriteFailed, bool Interrupted, const QString& Path,
                        QStringView CreatePrefix, const QString& InterruptedBy = {});
    // Opens File's temporary file for Path. The hidden files that killed runs left in Path's
    // folder are cleared the first time a run writes there: once a run, as a folder may hold
    // thousands of files and a run as many jobs.
    bool OpenTarget(TDownloadTarget& File, const QString& Path);
    // Before the first byte of a file of Size bytes (Resumed of them already there) is written
    // to Path: false, with error weTargetWrite reported, when the disk or the file-size limit
    // has no room for it. A size of 0 or less is unknown and always fits.
    bool CheckRoom(const QString& Path, std::int64_t Size, std::int64_t Resumed = 0);

    // What the run loop stores into a job after its operation returned.
    void StoreJobResult(TWebTransferItem& Item, bool Result, TDateTime DateSlot, bool NotNewer);
    // A listing run replaces both of the job's lists.
    void StoreListing(TWebTransferItem& Item, QStringList Names, std::unique_ptr<TFileDetailItems> Details);

    TWebTransferItems FItems;

    // Run state.
    std::int32_t FFileNum = 0;
    // The "of M" of the file line: the run's jobs are counted once, as it starts, since
    // counting for every file would make a long list quadratic.
    std::int32_t FActiveCount = 0;
    // The locale's decimal separator for the progress lines, read once per run.
    QString FDecimalPoint;
    bool FCancelled = false;
    QPointer<TProgressForm> FForm;
    bool FFormClosed = false;
    QPointer<QProgressBar> FProgress;
    QPointer<QLabel> FFileLbl;
    QPointer<QLabel> FSizeLbl;
    QPointer<QLabel> FRateLbl;
    QPointer<QLabel> FTimeLbl;
    QPointer<QLabel> FElapsedTimeLbl;
    QPointer<QPushButton> FCancelBtn;
    QPointer<QPushButton> FBtnShowFile;
    QPointer<QPushButton> FBtnShowFolder;
    std::unique_ptr<platform::InternetSession> FHinternet;
    QPointer<QThread> FThread;
    QPointer<TTransferAnimation> FAnim;
    QString FLastFile;
    QString FLastDir;
    platform::InternetResult FLastInternetResult;
    // The attempt at a job under way when the job may be retried; null otherwise. The
    // reports above note its failure in it and, while it holds them, keep their events.
    TJobAttempt* FAttempt = nullptr;
    bool FCopyCompleted = false;
    bool FCancelIsClose = false;
    std::unique_ptr<platform::FtpConnection> FFTPconnect;
    QString FPrevConnect;
    QString FPrevTarget;
    // The folders this run has cleared of killed runs' files.
    QSet<QString> FSweptFolders;
    // When the dialog lines were last written, so a fast transfer rewrites them only as often
    // as a screen can show them.
    std::uint32_t FPumpTick = 0;
    std::uint32_t FLinesTick = 0;
    std::int64_t FLinesDone = -1;
    // The byte count the lines show; -1 before a job's first block.
    std::int64_t FLinesShown = -1;
    QString FRateStr;
    QString FTimeLeftStr;
    QString FElapsedTimeStr;
};
