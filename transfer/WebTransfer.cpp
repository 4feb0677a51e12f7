#include "transfer/WebTransfer.h"

#include "transfer/DownloadTarget.h"
#include "transfer/JobRun.h"
#include "transfer/LocalTargets.h"

#include "platform/DiskSpace.h"
#include "platform/LocalFiles.h"

#include "platform/FtpConnection.h"
#include "platform/InternetSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocale>
#include <QThread>
#include <QWidget>

#include <limits>

TWebTransfer::TWebTransfer(QObject* Owner)
    : QObject(Owner)
    , FItems(this)
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
    // A dialog left open in its completion state belongs to the engine until it closes.
    delete FForm.data();
}

QString TWebTransfer::Version() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((VersionNumber >> 24) & 0xFF)
        .arg((VersionNumber >> 16) & 0xFF)
        .arg((VersionNumber >> 8) & 0xFF)
        .arg(VersionNumber & 0xFF);
}

QString TWebTransfer::AddProxyCredentials(const QString& URL) const
{
    const QString scheme = QStringLiteral("http://");
    if (!URL.startsWith(scheme, Qt::CaseInsensitive) || ProxyUserID.isEmpty() || ProxyPassword.isEmpty())
        return URL;
    return scheme + ProxyUserID + u':' + ProxyPassword + u'@' + URL.mid(scheme.size());
}

void TWebTransfer::ReportError(int ErrorCode, const QString& ErrorInfo)
{
    if (TAttemptFailure* failure = UnnotedFailure())
        failure->ErrorCode = ErrorCode;
    RaiseFailureEvent([this, ErrorCode, ErrorInfo] {
        if (OnError)
            OnError(this, ErrorCode);
        if (OnErrorInfo)
            OnErrorInfo(this, ErrorCode, ErrorInfo);
    });
}

void TWebTransfer::ReportError(TWebTransferError Code, const QString& Subject)
{
    ReportError(Code, WebTransferErrorPrefix(Code), Subject);
}

void TWebTransfer::ReportError(TWebTransferError Code, QStringView Prefix, const QString& Subject)
{
    ReportError(static_cast<int>(Code), Prefix.toString() + Subject);
}

void TWebTransfer::ReportHttpStatus(int Status, const QString& RetryAfter)
{
    if (TAttemptFailure* failure = UnnotedFailure())
        failure->RetryAfter = RetryAfter;
    ReportError(Status, QStringLiteral("Returned http error code ") + QString::number(Status));
}

void TWebTransfer::ReportURLNotFound(const QString& URL, const platform::InternetResult& Reason)
{
    if (TAttemptFailure* failure = UnnotedFailure()) {
        failure->NotFound = true;
        failure->InternetCode = Reason.code;
    }
    RaiseFailureEvent([this, URL] {
        if (OnURLNotFound)
            OnURLNotFound(this, URL);
    });
}

TAttemptFailure* TWebTransfer::UnnotedFailure()
{
    if (!FAttempt || FAttempt->Failure.ErrorCode >= 0 || FAttempt->Failure.NotFound)
        return nullptr;
    return &FAttempt->Failure;
}

void TWebTransfer::RaiseFailureEvent(std::function<void()> Raise)
{
    if (FAttempt && FAttempt->HoldEvents)
        FAttempt->HeldEvents.push_back(std::move(Raise));
    else
        Raise();
}

bool TWebTransfer::OpenTarget(TDownloadTarget& File, const QString& Path)
{
    // Only file systems without unnamed files leave such files behind.
    const QString folder = QFileInfo(Path).path();
    if (!FSweptFolders.contains(folder)) {
        FSweptFolders.insert(folder);
        platform::removeStalePendingFiles(folder);
    }
    return File.Open(Path);
}

bool TWebTransfer::FinishDownload(TDownloadTarget& File, TJobRun& Run, bool WriteFailed, bool Interrupted,
                                  const QString& Path, QStringView CreatePrefix, const QString& InterruptedBy)
{
    if (WriteFailed || !File.Flush()) {
        File.Discard();
        ReportError(weTargetWrite, Path);
        return false;
    }
    if (Interrupted) {
        // What arrived is kept for the next run when the target can be resumed.
        File.Keep();
        ReportError(weInterrupted, InterruptedBy.isEmpty() ? Path : Path + QStringLiteral(": ") + InterruptedBy);
        return false;
    }
    switch (File.Check()) {
    case TDownloadTarget::tcExpected:
        break;
    case TDownloadTarget::tcUnexpectedStart:
        File.Discard();
        ReportError(weUnexpectedContent, Path);
        return false;
    case TDownloadTarget::tcWrongSize:
        File.Discard();
        ReportError(weSize, Path);
        return false;
    case TDownloadTarget::tcChecksumMismatch:
        File.Discard();
        ReportError(weChecksum, Path);
        return false;
    }
    const QString digest = File.SHA256();
    if (!File.Commit()) {
        ReportError(weTargetCreate, CreatePrefix, Path);
        return false;
    }
    Run.SHA256 = digest;
    return true;
}

bool TWebTransfer::CheckRoom(const QString& Path, std::int64_t Size, std::int64_t Resumed)
{
    // Room the file system keeps for what else is written meanwhile (directory entries,
    // metadata, a log); a file-size limit is exact and needs none.
    constexpr std::int64_t Margin = 1024 * 1024;
    if (Size <= 0)
        return true;
    const platform::DiskRoom room = platform::diskRoom(DirectoryPart(Path));
    const std::int64_t remaining = std::max<std::int64_t>(Size - Resumed, 0);
    std::int64_t needed = 0;
    std::int64_t available = 0;
    if (room.fileSizeLimit >= 0 && Size > room.fileSizeLimit) {
        needed = Size;
        available = room.fileSizeLimit;
    } else if (room.available >= 0 && room.available - remaining < Margin) {
        // A length a hostile server claims may be near the largest number there is.
        needed = remaining > std::numeric_limits<std::int64_t>::max() - Margin ? remaining : remaining + Margin;
        available = room.available;
    } else {
        return true;
    }
    const QLocale c = QLocale::c();
    ReportError(weTargetWrite, Path + QStringLiteral(": not enough room, %1 needed, %2 free")
                                          .arg(c.formattedDataSize(needed, 1), c.formattedDataSize(available, 1)));
    return false;
}

void TWebTransfer::StoreJobResult(TWebTransferItem& Item, bool Result, TDateTime DateSlot, bool NotNewer)
{
    Item.NewFileDate = DateSlot;
    Item.FSuccess = Result && !FCancelled;
    Item.FCancelled = FCancelled;
    Item.FNoNewVersion = NotNewer;
}

void TWebTransfer::StoreListing(TWebTransferItem& Item, QStringList Names, std::unique_ptr<TFileDetailItems> Details)
{
    Item.FFileList = std::make_unique<QStringList>(std::move(Names));
    Item.FFileDetailList = std::move(Details);
}
