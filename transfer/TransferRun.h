#pragma once

#include "platform/network/InternetResult.h"
#include "transfer/TransferSettings.h"
#include "transfer/TransferUi.h"
#include "transfer/WebTransferErrors.h"
#include "transfer/WebTransferItem.h"
#include "transfer/WebTransferTypes.h"

#include <QSet>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// A transfer run without a window: it carries out a job list with the settings it was given,
// raises its events, and tells and asks its user through a TTransferUi (none: it shows
// nothing and asks nothing). The transfer engine runs one of these behind its progress
// dialog; a program without a window, and the engine's tests, run it directly.

namespace platform {
class FtpConnection;
class InternetRequest;
class InternetSession;
class InternetUpload;
}
class QFile;
struct TFtpLink;
struct TFtpRequest;
struct TAttemptFailure;
struct TJobAttempt;
struct TJobFile;
struct TJobRun;
class TDownloadTarget;
struct TDownloadSize;
struct TPartialDownload;
struct TPartSource;
class TWebTransfer;

class TTransferRun : public TTransferSettings {
public:
    // Owner is the engine the jobs belong to, when there is one.
    explicit TTransferRun(TWebTransfer* Owner = nullptr);
    TTransferRun(const TTransferRun&) = delete;
    TTransferRun& operator=(const TTransferRun&) = delete;
    virtual ~TTransferRun();

    TWebTransferItems& Items() { return FItems; }
    const TWebTransferItems& Items() const { return FItems; }

    // The user the run tells and asks; null for none. Not owned.
    void SetUi(TTransferUi* Ui) { FUi = Ui ? Ui : &FNoUi; }

    // Runs the whole job list on the calling thread; returns when the run is over.
    void Execute();
    void CancelCopy() { FCancelled = true; }
    // A cancel was asked for and the run has not yet taken it.
    bool CancelRequested() const { return FCancelled; }

    // Why the latest HTTP request of a run could not be opened or why its body broke off; ok
    // while neither happened.
    const platform::InternetResult& LastInternetResult() const { return FLastInternetResult; }
    // The progress lines' figures as last worded.
    const QString& RateStr() const { return FRateStr; }
    const QString& TimeLeftStr() const { return FTimeLeftStr; }
    const QString& ElapsedTimeStr() const { return FElapsedTimeStr; }
    // The file the latest job wrote or sent, and its folder: what "Open file" and "Open
    // folder" open.
    const QString& LastFile() const { return FLastFile; }
    const QString& LastDir() const { return FLastDir; }

    // Events. Each is optional; Sender is this run; an `allow` argument comes preset true.
    std::function<void(TTransferRun* Sender, int idx)> OnFileStart;
    std::function<void(TTransferRun* Sender, int idx)> OnFileDone;
    std::function<void(TTransferRun* Sender)> OnCopyDone;
    std::function<void(TTransferRun* Sender, int fileidx, std::int64_t size, std::int64_t totsize)> OnCopyProgress;
    std::function<void(TTransferRun* Sender, const QString& tgtfile, bool& allow)> OnCopyOverWrite;
    std::function<void(TTransferRun* Sender, int idx, TDateTime newdate, bool& allow)> OnFileDateCheck;
    std::function<void(TTransferRun* Sender, const QString& tgtfile, TDateTime curdate, TDateTime newdate)> OnNoNewFileFound;
    std::function<void(TTransferRun* Sender, int ErrorCode)> OnError;
    std::function<void(TTransferRun* Sender, int ErrorCode, const QString& ErrorInfo)> OnErrorInfo;
    std::function<void(TTransferRun* Sender, const QString& url)> OnURLNotFound;
    std::function<void(TTransferRun* Sender)> OnConnectError;
    std::function<void(TTransferRun* Sender, const QString& Filename)> OnMultiFTPFileDone;
    std::function<void(TTransferRun* Sender, int idx)> OnRemovedFile;
    std::function<void(TTransferRun* Sender, int idx)> OnRemovedFileFailed;

protected:
    // The run loop's pieces (TransferRun.cpp).
    int InternetJobCount() const;
    bool KeepConnectionFor(int Index) const;
    bool RunOperation(TWebTransferItem& Item, TJobRun& Run);
    // Runs a job's operation, and runs it again after a transient failure as long as the
    // job's Retries allow, waiting before each new attempt.
    bool RunJob(TWebTransferItem& Item, TJobRun& Run);
    // How many more attempts a job gets: its Retries for the kinds of job that retry.
    static int RetriesOf(const TWebTransferItem& Item);
    // Waits Seconds with the file line saying so and the user attended; false when the run
    // was cancelled meanwhile (the wait then ends at once).
    bool WaitBeforeRetry(const TWebTransferItem& Item, int Seconds, int Attempt, int Attempts);
    void OpenInternetSession();
    // Lets the user act: repaints, the Cancel click.
    void ProcessMessages();
    // The same at most every IntervalMs: often enough that a click is handled at once, rarely
    // enough that a fast transfer does not pay for it. Inside a transfer loop every few
    // milliseconds; between the steps of a job once a millisecond, since a job of a small file
    // takes less and a pump for each of its steps would cost more than the rest of its work.
    static constexpr std::uint32_t BlockPumpMs = 5;
    static constexpr std::uint32_t StepPumpMs = 1;
    void KeepResponsive(std::uint32_t IntervalMs = BlockPumpMs);

    // The lines every operation shows its user (ProgressLines.cpp).
    void SetFileLine(const QString& Name, const QString& ServerWord, const QString& Server, bool WithServer);
    // A file line of its own wording; the next block shown is a new file's first.
    void ShowFileLine(const QString& Line);
    void SetCaption(const QString& Caption);
    void SetAnimationClip(TAnimationClip Clip);
    void SetProgressMarquee(bool Marquee);
    // The next block shown is a new file's first.
    void StartFileLines();
    // Resumed: bytes of Done that an earlier run fetched; they do not count towards the rate.
    void ShowProgress(std::int64_t Done, std::int64_t Total, std::uint32_t StartTick, const QString& Word,
                      bool CopyMode, std::int64_t Resumed = 0);

    // Appends a time-stamped line to LogfileName (TransferLog.cpp).
    void WriteLog(const QString& Text);

    // The size of the blocks a transfer moves at a time (a file copy's are larger).
    static constexpr std::int64_t BlockSize = 4096;

    // The steps the downloads share (DownloadSteps.cpp).
    // The date test of a download, whose source is dated SourceDate: with OnFileDateCheck
    // assigned its answer decides, otherwise only a source newer than the date slot is
    // fetched, and an older one is reported with OnNoNewFileFound under Name. The date slot
    // takes the source's date, except that a job whose handler refused it keeps its slot
    // unless DateOnRefusal. False when the job ends here.
    bool DateTestAllows(TJobRun& Run, TDateTime SourceDate, const QString& Name, bool DateOnRefusal);
    // Makes room for a download's file at Path: a folder there cannot be replaced (error
    // weTargetCreate worded with CreatePrefix), an existing file only when OnCopyOverWrite
    // allows it, and then beside it under a unique name when those are asked for; the
    // folders on the way are made. False when the job ends here.
    bool PlaceTarget(QString& Path, QStringView CreatePrefix);
    // Moves a download's body from Source into File, block by block, with its progress shown,
    // until the body ends, a read or write fails or the run is cancelled. Total is the size
    // the progress shows, Sizes the size the file may have, Resumed the bytes a kept part
    // gave already.
    struct TReceived {
        std::int64_t Done = 0;
        bool Interrupted = false;
        bool WriteFailed = false;
        // Why a read failed.
        platform::InternetResult Failure;
    };
    TReceived Receive(platform::InternetRequest& Source, TDownloadTarget& File, std::int64_t Total,
                      const TDownloadSize& Sizes, std::int64_t Resumed = 0);
    // The same loop over any source of blocks (a local or shared file for a copy): Read
    // fills at most Max bytes and says how many in Got, 0 at the end of the body.
    using TBlockSource = std::function<platform::InternetResult(char* Buffer, std::int64_t Max, std::int64_t& Got)>;
    struct TReceiving {
        std::int64_t Total = 0;
        std::int64_t Resumed = 0;
        std::int64_t Block = BlockSize;
        // What the progress line calls the move (DlgDwnload, DlgCopying) and how it shows it.
        QString Word;
        bool CopyMode = false;
    };
    TReceived ReceiveBlocks(const TBlockSource& Read, TDownloadTarget& File, const TReceiving& Shown,
                            const TDownloadSize& Sizes);

    // Moves an upload's body from Source into Sink, block by block, with its progress shown
    // against Size, until the file ends, a read or a send fails or the run is cancelled.
    // LogBlocks writes each block's count to the log file; EmptyLastBlock ends with the first
    // block shorter than a whole one, so that a file of whole blocks ends with an empty one,
    // sent and shown, as an HTTP upload does. The
    // server's confirmation of the end (Sink's finish) is the caller's.
    struct TSent {
        std::int64_t Done = 0;
        bool ReadFailed = false;
        bool SendFailed = false;
        // Why a send failed.
        platform::InternetResult Failure;
    };
    TSent Send(QFile& Source, platform::InternetUpload& Sink, std::int64_t Size, bool LogBlocks, bool EmptyLastBlock);

    // The operations, one per job kind. Each takes its job and the run's state for it.
    bool HttpDownload(const TWebTransferItem& Item, TJobRun& Run);
    bool HttpUpload(const TWebTransferItem& Item, TJobRun& Run);
    // An HTTP download's steps: the answer with the file (credentials asked for as the job
    // and the server want them, the rest of Partial asked for while the server still has
    // it), and the file it goes into (placed under the job's name or FileName, refused when
    // the Announced size does not fit, a kept part reopened, or a new file, resumable when it
    // can be; Path is then where it lies). Null or false, with the failure reported, when the
    // job ends there.
    std::unique_ptr<platform::InternetRequest> OpenHttpAnswer(const TWebTransferItem& Item, TPartialDownload& Partial);
    bool OpenHttpTarget(TDownloadTarget& File, QString& Path, const QString& FileName, std::int64_t Announced,
                        const TWebTransferItem& Item, const platform::InternetRequest& Answer,
                        TPartialDownload& Partial, const TPartSource& PartSource, TJobRun& Run);
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
    TTransferUi FNoUi;
    TTransferUi* FUi = &FNoUi;

    // Run state.
    std::int32_t FFileNum = 0;
    // The "of M" of the file line: the run's jobs are counted once, as it starts, since
    // counting for every file would make a long list quadratic.
    std::int32_t FActiveCount = 0;
    // The locale's decimal separator for the progress lines, read once per run.
    QString FDecimalPoint;
    bool FCancelled = false;
    // What the bar shows: its position, and whether it has none (a marquee).
    int FBarPosition = 0;
    bool FMarquee = false;
    std::unique_ptr<platform::InternetSession> FHinternet;
    QString FLastFile;
    QString FLastDir;
    platform::InternetResult FLastInternetResult;
    // The attempt at a job under way when the job may be retried; null otherwise. The
    // reports above note its failure in it and, while it holds them, keep their events.
    TJobAttempt* FAttempt = nullptr;
    std::unique_ptr<platform::FtpConnection> FFTPconnect;
    QString FPrevConnect;
    QString FPrevTarget;
    // The folders this run has cleared of killed runs' files.
    QSet<QString> FSweptFolders;
    // When the user was last attended and the lines last written, so a fast transfer
    // rewrites them only as often as a screen can show them.
    std::uint32_t FPumpTick = 0;
    std::uint32_t FLinesTick = 0;
    std::int64_t FLinesDone = -1;
    // The byte count the lines show; -1 before a job's first block.
    std::int64_t FLinesShown = -1;
    QString FRateStr;
    QString FTimeLeftStr;
    QString FElapsedTimeStr;
};
