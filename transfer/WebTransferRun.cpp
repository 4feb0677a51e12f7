#include "transfer/WebTransfer.h"

#include "platform/InternetSession.h"
#include "platform/TickCount.h"
#include "transfer/FtpRequest.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>

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

void TWebTransfer::KeepResponsive()
{
    constexpr std::uint32_t PumpIntervalMs = 5;
    if (platform::tickCount() - FPumpTick >= PumpIntervalMs)
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
    // Proxy credentials are the proxy's business: they never travel inside an address.
    if (!ProxyUserID.isEmpty() && !ProxyPassword.isEmpty())
        FHinternet->setProxyCredentials(ProxyUserID, ProxyPassword);
    FHinternet->setIdleCallback([this] {
        ProcessMessages();
        return !FCancelled;
    });
}

bool TWebTransfer::RunOperation(int Index, TWebTransferItem& Item, TDateTime& DateSlot, bool& NotNewer,
                                bool KeepConnection)
{
    switch (Item.Protocol) {
    case wpHttp:
        return HttpDownload(Index, Item.URL, Item.DisplayURL, Item.TargetDir, Item.TargetFilename,
                            Item.CopyNewerOnly, DateSlot, NotNewer, Item.Authenticate, Item.HTTPUserID,
                            Item.HTTPPassword);
    case wpFile:
        return FileCopy(Index, Item.FTPUserID, Item.FTPPassword, Item.FTPHost, Item.FTPPort, Item.URL,
                        Item.TargetDir, Item.TargetFilename, Item.CopyNewerOnly, DateSlot, NotNewer);
    case wpHttpUpload:
        return HttpUpload(Item.URL, Item.TargetDir, Item.TargetFilename, Item.HTTPCommand);
    case wpFtp:
        return FtpDownload(Index, Item.FTPUserID, Item.FTPPassword, Item.FTPHost, Item.FTPPort, Item.URL,
                           Item.TargetDir, Item.TargetFilename, Item.CopyNewerOnly, DateSlot, NotNewer,
                           KeepConnection, true);
    case wpFtpUpload:
        // An upload leaves its connection in the upload's directory: it never hands it on.
        return FtpUpload(Index, Item.FTPUserID, Item.FTPPassword, Item.FTPHost, Item.FTPPort, Item.URL,
                         Item.TargetDir, Item.TargetFilename, Item.CopyNewerOnly, DateSlot, NotNewer, false);
    case wpMultiFtp:
        return MultiFtpDownload(Item, DateSlot, NotNewer);
    case wpMultiFtpUpload:
        return MultiFtpUpload(Index, Item, DateSlot, NotNewer, KeepConnection);
    case wpFtpDelete:
        return FtpDelete(Index, Item, KeepConnection);
    case wpFtpList:
        NotNewer = false;
        return FtpList(Item);
    case wpFtpTest:
        return FtpTest(Item);
    }
    return false;
}

void TWebTransfer::DoCopy()
{
    BuildProgressDialog();

    DropKeptFtp();
    FHinternet.reset();
    if (InternetJobCount() > 0)
        OpenInternetSession();

    FFileNum = 0;
    FPrevTarget.clear();
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

        TDateTime dateSlot = item.FileDate;
        bool notNewer = false;
        const bool keepConnection = KeepConnectionFor(idx);
        const bool result = RunOperation(idx, item, dateSlot, notNewer, keepConnection);
        StoreJobResult(item, result, dateSlot, notNewer);

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
