#include "transfer/WebTransfer.h"

#include "platform/network/InternetResult.h"
#include "transfer/ProgressDialog.h"
#include "transfer/TransferRun.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
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

// The run's handler for an event the owner handles: it raises the owner's handler, with the
// engine as its sender. None when the owner handles none, as some steps of a run depend on
// whether anyone listens.
template <typename... Args>
std::function<void(TTransferRun*, Args...)> Forward(TWebTransfer* Engine,
                                                    const std::function<void(TWebTransfer*, Args...)>& Handler)
{
    if (!Handler)
        return {};
    return [Engine, &Handler](TTransferRun*, Args... Arguments) {
        if (Handler)
            Handler(Engine, Arguments...);
    };
}

} // namespace

TWebTransfer::TWebTransfer(QObject* Owner)
    : QObject(Owner)
    , FRun(std::make_unique<TTransferRun>(this))
    , FDialog(std::make_unique<TProgressDialog>(*this, *FRun))
{
}

TWebTransfer::~TWebTransfer()
{
    if (FThread) {
        // A worker that has not handed over its run yet: drop the hand-over (which releases
        // the worker) until it has ended; it may post it only now.
        QObject::disconnect(FThread, nullptr, this, nullptr);
        do
            QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
        while (!FThread->wait(QDeadlineTimer(10)));
        delete FThread.data();
    }
}

TWebTransferItems& TWebTransfer::Items()
{
    return FRun->Items();
}

const TWebTransferItems& TWebTransfer::Items() const
{
    return FRun->Items();
}

QString TWebTransfer::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((VersionNumber >> 24) & 0xFF)
        .arg((VersionNumber >> 16) & 0xFF)
        .arg((VersionNumber >> 8) & 0xFF)
        .arg(VersionNumber & 0xFF);
}

QWidget* TWebTransfer::ProgressForm() const
{
    return FDialog->Form();
}

QProgressBar* TWebTransfer::ProgressBar() const
{
    return FDialog->Form() ? FDialog->Form()->Progress : nullptr;
}

QLabel* TWebTransfer::ProgressFileLabel() const
{
    return FDialog->Form() ? FDialog->Form()->FileLbl : nullptr;
}

QLabel* TWebTransfer::ProgressSizeLabel() const
{
    return FDialog->Form() ? FDialog->Form()->SizeLbl : nullptr;
}

QLabel* TWebTransfer::ProgressRateLabel() const
{
    return FDialog->Form() ? FDialog->Form()->RateLbl : nullptr;
}

const QString& TWebTransfer::RateStr() const
{
    return FRun->RateStr();
}

const QString& TWebTransfer::TimeLeftStr() const
{
    return FRun->TimeLeftStr();
}

const QString& TWebTransfer::ElapsedTimeStr() const
{
    return FRun->ElapsedTimeStr();
}

const platform::InternetResult& TWebTransfer::LastInternetResult() const
{
    return FRun->LastInternetResult();
}

void TWebTransfer::CancelCopy()
{
    FRun->CancelCopy();
}

bool TWebTransfer::CancelRequested() const
{
    return FRun->CancelRequested();
}

void TWebTransfer::Execute()
{
    DoCopy();
}

void TWebTransfer::DoCopy()
{
    PrepareRun();
    FRun->Execute();
}

void TWebTransfer::PrepareRun()
{
    static_cast<TTransferSettings&>(*FRun) = *this;
    FRun->SetUi(FDialog.get());
    FRun->OnFileStart = Forward(this, OnFileStart);
    FRun->OnFileDone = Forward(this, OnFileDone);
    FRun->OnCopyDone = Forward(this, OnCopyDone);
    FRun->OnCopyProgress = Forward(this, OnCopyProgress);
    FRun->OnCopyOverWrite = Forward(this, OnCopyOverWrite);
    FRun->OnFileDateCheck = Forward(this, OnFileDateCheck);
    FRun->OnNoNewFileFound = Forward(this, OnNoNewFileFound);
    FRun->OnError = Forward(this, OnError);
    FRun->OnErrorInfo = Forward(this, OnErrorInfo);
    FRun->OnURLNotFound = Forward(this, OnURLNotFound);
    FRun->OnConnectError = Forward(this, OnConnectError);
    FRun->OnMultiFTPFileDone = Forward(this, OnMultiFTPFileDone);
    FRun->OnRemovedFile = Forward(this, OnRemovedFile);
    FRun->OnRemovedFileFailed = Forward(this, OnRemovedFileFailed);
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
