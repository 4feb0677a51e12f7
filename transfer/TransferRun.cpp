#include "transfer/TransferRun.h"

#include "platform/network/FtpConnection.h"
#include "platform/network/InternetSession.h"
#include "platform/system/TickCount.h"
#include "transfer/FtpRequest.h"
#include "transfer/JobRun.h"
#include "transfer/ProgressTexts.h"
#include "transfer/RetryPolicy.h"
#include "transfer/UrlHelpers.h"

#include <QDateTime>
#include <QScopedValueRollback>

namespace {

bool IsFtpTransfer(TWebTransferProtocol Protocol)
{
    return Protocol == wpFtp || Protocol == wpFtpUpload;
}

QString ConnectionKey(const TWebTransferItem& Item)
{
    return FtpConnectionKey(Item.FTPHost, Item.FTPPort, Item.FTPUserID, Item.FTPPassword);
}

} // namespace

TTransferRun::TTransferRun(TWebTransfer* Owner)
    : FItems(Owner)
{
}

TTransferRun::~TTransferRun() = default;

void TTransferRun::ProcessMessages()
{
    FPumpTick = platform::tickCount();
    FUi->Attend();
}

void TTransferRun::KeepResponsive(std::uint32_t IntervalMs)
{
    if (platform::tickCount() - FPumpTick >= IntervalMs)
        ProcessMessages();
}

int TTransferRun::InternetJobCount() const
{
    int count = 0;
    for (int i = 0; i < FItems.Count(); ++i) {
        const TWebTransferItem* item = FItems[i];
        if (item->Active && item->Protocol != wpFile)
            ++count;
    }
    return count;
}

bool TTransferRun::KeepConnectionFor(int Index) const
{
    if (FItems.Count() < 2 || Index + 1 >= FItems.Count())
        return false;
    const TWebTransferItem& current = *FItems[Index];
    const TWebTransferItem& next = *FItems[Index + 1];
    return IsFtpTransfer(current.Protocol) && IsFtpTransfer(next.Protocol)
        && ConnectionKey(current) == ConnectionKey(next);
}

void TTransferRun::OpenInternetSession()
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
    if (!TrustedCertificates.isEmpty())
        FHinternet->setCertificateAuthorities(TrustedCertificates);
    // Proxy credentials are the proxy's business: they never travel inside an address.
    if (!ProxyUserID.isEmpty() && !ProxyPassword.isEmpty())
        FHinternet->setProxyCredentials(ProxyUserID, ProxyPassword);
    FHinternet->setIdleCallback([this] {
        ProcessMessages();
        return !FCancelled;
    });
}

bool TTransferRun::RunOperation(TWebTransferItem& Item, TJobRun& Run)
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

int TTransferRun::RetriesOf(const TWebTransferItem& Item)
{
    // A single-file download only: other jobs have no attempt that can simply be made again
    // (a copy's failures do not tell a passing fault from a lasting one, an upload or a
    // multi-file job may have done part of its work).
    return Item.Protocol == wpHttp || Item.Protocol == wpFtp ? std::max(Item.Retries, 0) : 0;
}

bool TTransferRun::RunJob(TWebTransferItem& Item, TJobRun& Run)
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

bool TTransferRun::WaitBeforeRetry(const TWebTransferItem& Item, int Seconds, int Attempt, int Attempts)
{
    // The name the download's own file line shows.
    QString name = NameFromURL(URLWithoutPassword(Item.URL));
    if (Item.Protocol == wpHttp && !Item.DisplayURL.isEmpty())
        name = URLWithoutPassword(Item.DisplayURL);
    FUi->ShowFileLine(RetryWaitLine(Seconds, Attempt, Attempts, name));
    // Nothing moves while the run waits: the rate of the broken attempt is not today's.
    FRateStr = RateText(0, FDecimalPoint.isEmpty() ? DecimalPoint() : FDecimalPoint);
    FUi->ShowRateLine(DlgRateLabel + u' ' + FRateStr);

    const std::uint32_t startTick = platform::tickCount();
    const std::uint32_t length = static_cast<std::uint32_t>(Seconds) * 1000u;
    FUi->AttendWhile([this, startTick, length] {
        FPumpTick = platform::tickCount();
        return !FCancelled && FPumpTick - startTick < length;
    });
    return !FCancelled;
}

void TTransferRun::Execute()
{
    // A cancel asked for before the user could see the run, or while the dialog was being
    // shown, is not the user's answer to it.
    FBarPosition = 0;
    FMarquee = false;
    FCancelled = false;
    FUi->Begin();
    FCancelled = false;

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
            SetCaption(DlgDwnload + QStringLiteral(" ..."));
            break;
        case wpFile:
            SetCaption(DlgCopying + QStringLiteral(" ..."));
            break;
        case wpFtpUpload:
        case wpHttpUpload:
        case wpMultiFtpUpload:
            SetCaption(DlgUpload + QStringLiteral(" ..."));
            break;
        case wpFtpDelete:
        case wpFtpList:
        case wpFtpTest:
            break;
        }

        // A digest belongs to the run that downloaded its file.
        item.FSHA256.clear();
        item.FResumedBytes = 0;
        item.FContent.clear();
        TJobRun run{.Index = idx, .DateSlot = item.FileDate, .KeepConnection = KeepConnectionFor(idx)};
        const bool result = RunJob(item, run);
        StoreJobResult(item, result, run.DateSlot, run.NotNewer);
        item.FSHA256 = run.SHA256;
        item.FResumedBytes = run.ResumedBytes;
        item.FContent = std::move(run.Content);

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
        FUi->ShowCompletion(FCancelled);
    } else {
        FUi->Close();
        ProcessMessages();
        if (OnCopyDone)
            OnCopyDone(this);
    }
}

void TTransferRun::StoreJobResult(TWebTransferItem& Item, bool Result, TDateTime DateSlot, bool NotNewer)
{
    Item.NewFileDate = DateSlot;
    Item.FSuccess = Result && !FCancelled;
    Item.FCancelled = FCancelled;
    Item.FNoNewVersion = NotNewer;
}

void TTransferRun::StoreListing(TWebTransferItem& Item, QStringList Names, std::unique_ptr<TFileDetailItems> Details)
{
    Item.FFileList = std::make_unique<QStringList>(std::move(Names));
    Item.FFileDetailList = std::move(Details);
}
