#include "transfer/TransferRun.h"

#include "transfer/JobRun.h"

void TTransferRun::ReportError(int ErrorCode, const QString& ErrorInfo)
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

void TTransferRun::ReportError(TWebTransferError Code, const QString& Subject)
{
    ReportError(Code, WebTransferErrorPrefix(Code), Subject);
}

void TTransferRun::ReportError(TWebTransferError Code, QStringView Prefix, const QString& Subject)
{
    ReportError(static_cast<int>(Code), Prefix.toString() + Subject);
}

void TTransferRun::ReportHttpStatus(int Status, const QString& RetryAfter)
{
    if (TAttemptFailure* failure = UnnotedFailure())
        failure->RetryAfter = RetryAfter;
    ReportError(Status, QStringLiteral("Returned http error code ") + QString::number(Status));
}

void TTransferRun::ReportURLNotFound(const QString& URL, const platform::InternetResult& Reason)
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

TAttemptFailure* TTransferRun::UnnotedFailure()
{
    if (!FAttempt || FAttempt->Failure.ErrorCode >= 0 || FAttempt->Failure.NotFound)
        return nullptr;
    return &FAttempt->Failure;
}

void TTransferRun::RaiseFailureEvent(std::function<void()> Raise)
{
    if (FAttempt && FAttempt->HoldEvents)
        FAttempt->HeldEvents.push_back(std::move(Raise));
    else
        Raise();
}
