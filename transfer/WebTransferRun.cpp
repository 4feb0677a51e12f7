#include "transfer/WebTransfer.h"

#include "platform/InternetSession.h"
#include "platform/TickCount.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/RetryPolicy.h"
#include "transfer/UrlHelpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QScopedValueRollback>
#include <QThread>
#include <QTimer>

namespace {

// The worker of ThreadExecute: it only hands the run to the user-interface thread and waits
// until that thread has carried it out.
class TWTransferThread : public QThread {
public:
    explicit TWTransferThread(TWebTransfer* Engine) : engine(Engine) {}

protected:
    void run() override
    {
        QMetaObject::invokeMethod(engine, [Engine = engine] { Engine->DoCopy(); }, Qt::BlockingQueuedConnection);
    }

private:
    TWebTransfer* engine;
};

bool IsFtpTransfer(TWebTransferProtocol Protocol)
{
    return Protocol == wpFtp || Protocol == wpFtpUpload;
}

QString ConnectionKey(const TWebTransferItem& Item)
{
    return FtpConnectionKey(Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword);
}

} // namespace

void TWebTransfer::Execute()
{
    DoCopy();
}

void TWebTransfer::ThreadExecute()
{
    auto* thread = new TWTransferThread(this);
    FThread = thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        thread->wait();
        delete thread;
        ThreadDone();
    }, Qt::QueuedConnection);
    thread->start();
}

void TWebTransfer::ThreadExecAndWait()
{
    FCopyCompleted = false;
    ThreadExecute();
    while (!FCopyCompleted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TWebTransfer::ThreadDone()
{
    FCopyCompleted = true;
}

void TWebTransfer::ProcessMessages()
{
    FPumpTick = platform::tickCount();
    QCoreApplication::processEvents();
}

void TWebTransfer::KeepResponsive(std::uint32_t IntervalMs)
{
    if (platform::tickCount() - FPumpTick >= IntervalMs)
        ProcessMessages();
}

int TWebTransfer::InternetJobCount() const
{
    int count = 0;
    for (int i = 0; i < FItems.Count(); ++i) {
        const TWebTransferItem* item = FItems[i];
        if (item->Active && item->Protocol != wpFile)
            ++count;
    }
    return count;
}

bool TWebTransfer::KeepConnectionFor(int Index) const
{
    if (FItems.Count() < 2 || Index + 1 >= FItems.Count())
        return false;
    const TWebTransferItem& current = *FItems[Index];
    const TWebTransferItem& next = *FItems[Index + 1];
    return IsFtpTransfer(current.Protocol) && IsFtpTransfer(next.Protocol)
        && ConnectionKey(current) == ConnectionKey(next);
}

void TWebTransfer::OpenInternetSession()
{
    FHinternet = std::make_unique<platform::InternetSession>(Agent, Proxy);
    if (Timeout > 0) {
        const int milliseconds = Timeout > INT32_MAX / 1000 ? INT32_MAX : Timeout * 1000;
        FHinternet->setConnectTimeout(milliseconds);
        FHinternet->setSendTimeout(milliseconds);
        FHinternet->setReceiveTimeout(milliseconds);
    }
    FHinternet->setResponseHeadTimeout(ResponseHeadTimeout);
    FHinternet->setLowSpeedLimit(LowSpeedLimit, LowSpeedTime);
    // Proxy credentials are the proxy's business: they never travel inside an address.
    if (!ProxyUserID.isEmpty() && !ProxyPassword.isEmpty())
        FHinternet->setProxyCredentials(ProxyUserID, ProxyPassword);
    FHinternet->setIdleCallback([this] {
        ProcessMessages();
        return !FCancelled;
    });
}

bool TWebTransfer::RunOperation(TWebTransferItem& Item, TJobRun& Run)
{
    switch (Item.Protocol) {
    case wpHttp:
        return HttpDownload(Item, Run);
    case wpFile:
        return FileCopy(Item, Run);
    case wpHttpUpload:
        return HttpUpload(Item, Run);
    case wpFtp:
        return FtpDownload(Item, Run);
    case wpFtpUpload:
        // An upload leaves its connection in the upload's directory: it never hands it on.
        Run.KeepConnection = false;
        return FtpUpload(Item, Run);
    case wpMultiFtp:
        return MultiFtpDownload(Item, Run);
    case wpMultiFtpUpload:
        return MultiFtpUpload(Item, Run);
    case wpFtpDelete:
        return FtpDelete(Item, Run);
    case wpFtpList:
        return FtpList(Item, Run);
    case wpFtpTest:
        return FtpTest(Item, Run);
    }
    return false;
}

int TWebTransfer::RetriesOf(const TWebTransferItem& Item)
{
    // A single-file download only: other jobs have no attempt that can simply be made again
    // (a copy's failures do not tell a passing fault from a lasting one, an upload or a
    // multi-file job may have done part of its work).
    return Item.Protocol == wpHttp || Item.Protocol == wpFtp ? std::max(Item.Retries, 0) : 0;
}

bool TWebTransfer::RunJob(TWebTransferItem& Item, TJobRun& Run)
{
    const int retries = RetriesOf(Item);
    if (retries == 0)
        return RunOperation(Item, Run);

    // Every attempt starts from what the job holds: a date test of a failed attempt must not
    // make the next one find its own date "not newer".
    const TJobRun start = Run;
    for (int attempt = 1;; ++attempt) {
        TJobAttempt current;
        current.HoldEvents = attempt <= retries;
        Run = start;
        bool result = false;
        {
            // An event handler may throw and abandon the run: the engine must not keep a
            // pointer to this attempt beyond it.
            const QScopedValueRollback<TJobAttempt*> during(FAttempt, &current);
            result = RunOperation(Item, Run);
        }

        TRetryDecision next;
        if (!result && !FCancelled)
            next = DecideRetry(current.Failure, attempt, retries, QDateTime::currentDateTimeUtc());
        if (!next.Retry) {
            // This attempt ends the job: its events are the ones the owner hears, as a job
            // without retries would have raised them.
            for (const auto& raise : current.HeldEvents)
                raise();
            return result;
        }
        if (!WaitBeforeRetry(Item, next.WaitSeconds, attempt + 1, retries + 1))
            return false;
    }
}

bool TWebTransfer::WaitBeforeRetry(const TWebTransferItem& Item, int Seconds, int Attempt, int Attempts)
{
    // The name the download's own file line shows.
    QString name = NameFromURL(URLWithoutPassword(Item.URL));
    if (Item.Protocol == wpHttp && !Item.DisplayURL.isEmpty())
        name = URLWithoutPassword(Item.DisplayURL);
    if (FFileLbl)
        FFileLbl->setText(RetryWaitLine(Seconds, Attempt, Attempts, name));

    // The wait sleeps in the event loop, not beside it: every click and repaint is handled as
    // it comes, and the timer wakes it to look at the clock and at a CancelCopy.
    QTimer wake;
    wake.start(20);
    const std::uint32_t startTick = platform::tickCount();
    const std::uint32_t length = static_cast<std::uint32_t>(Seconds) * 1000u;
    while (!FCancelled && platform::tickCount() - startTick < length) {
        FPumpTick = platform::tickCount();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return !FCancelled;
}

void TWebTransfer::DoCopy()
{
    BuildProgressDialog();

    DropKeptFtp();
    FHinternet.reset();
    if (InternetJobCount() > 0)
        OpenInternetSession();

    FFileNum = 0;
    FActiveCount = FItems.ActiveItems();
    FDecimalPoint.clear();
    FPrevTarget.clear();
    FSweptFolders.clear();
    for (int idx = 0; idx < FItems.Count(); ++idx) {
        TWebTransferItem& item = *FItems[idx];
        if (!item.Active)
            continue;
        ++FFileNum;
        if (OnFileStart)
            OnFileStart(this, idx);

        switch (item.Protocol) {
        case wpHttp:
        case wpFtp:
        case wpMultiFtp:
            SetDialogCaption(DlgDwnload + QStringLiteral(" ..."));
            break;
        case wpFile:
            SetDialogCaption(DlgCopying + QStringLiteral(" ..."));
            break;
        case wpFtpUpload:
        case wpHttpUpload:
        case wpMultiFtpUpload:
            SetDialogCaption(DlgUpload + QStringLiteral(" ..."));
            break;
        case wpFtpDelete:
        case wpFtpList:
        case wpFtpTest:
            break;
        }

        // A digest belongs to the run that downloaded its file.
        item.FSHA256.clear();
        item.FResumedBytes = 0;
        TJobRun run{idx, item.FileDate, false, KeepConnectionFor(idx), {}};
        const bool result = RunJob(item, run);
        StoreJobResult(item, result, run.DateSlot, run.NotNewer);
        item.FSHA256 = run.SHA256;
        item.FResumedBytes = run.ResumedBytes;

        if (FCancelled)
            break;
        if (OnFileDone)
            OnFileDone(this, idx);
    }

    // A kept FTP connection belongs to this run's session and goes with it.
    DropKeptFtp();
    FHinternet.reset();

    if (ShowOpenFile || ShowOpenFolder) {
        if (OnCopyDone)
            OnCopyDone(this);
        ShowCompletionState();
    } else {
        CloseProgressDialog();
        ProcessMessages();
        if (OnCopyDone)
            OnCopyDone(this);
    }
}
