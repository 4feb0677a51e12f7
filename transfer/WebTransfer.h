#pragma once

#include "transfer/TransferSettings.h"
#include "transfer/WebTransferItem.h"
#include "transfer/WebTransferTypes.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// The transfer engine: a job list, the settings that shape the progress dialog and the
// network session, and the events through which the owner follows a run. A run is carried
// out by a windowless TTransferRun; the engine gives it its settings and a progress dialog as
// its user, and raises the run's events as its own.

namespace platform {
struct InternetResult;
}
class QLabel;
class QProgressBar;
class QThread;
class QWidget;
class TProgressDialog;
class TTransferRun;

class TWebTransfer : public QObject, public TTransferSettings {
    Q_OBJECT

public:
    static constexpr std::uint32_t VersionNumber = 0x02040501;

    explicit TWebTransfer(QObject* Owner = nullptr);
    ~TWebTransfer() override;

    TWebTransferItems& Items();
    const TWebTransferItems& Items() const;

    // The engine's own version; a stored or written value never replaces it.
    QString Version() const;
    void SetVersion(const QString&) {}

    // Public, not stored.
    bool FormClosed() const { return FFormClosed; }
    void SetFormClosed(bool Value) { FFormClosed = Value; }
    QWidget* ProgressForm() const;
    QProgressBar* ProgressBar() const;
    QLabel* ProgressFileLabel() const;
    QLabel* ProgressSizeLabel() const;
    QLabel* ProgressRateLabel() const;
    const QString& RateStr() const;
    const QString& TimeLeftStr() const;
    const QString& ElapsedTimeStr() const;
    // Why the latest HTTP request of a run could not be opened (for instance an untrusted
    // certificate, platform::isCertificateFailure) or why its body broke off; ok while neither
    // happened. Read it in OnURLNotFound or OnError to tell the user more than that the
    // address failed.
    const platform::InternetResult& LastInternetResult() const;

    // Runs the whole job list on the calling thread; returns when the run is over.
    void Execute();
    void DoCopy();
    // Hands the run to the user-interface thread through a worker thread and returns at once.
    void ThreadExecute();
    // ThreadExecute, then processes events until the run and the worker are done.
    void ThreadExecAndWait();
    void CancelCopy();
    // A cancel was asked for (by CancelCopy or the dialog) and the run has not yet taken it.
    bool CancelRequested() const;

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
    void ThreadDone();
    // The dialog that is the user of this engine's runs, for an engine that takes its steps
    // itself.
    TProgressDialog& Dialog() const { return *FDialog; }

private:
    // Gives the run the engine's settings, its dialog and a handler for each event the owner
    // handles. A handler assigned while a run goes on is heard from the next run on.
    void PrepareRun();

    std::unique_ptr<TTransferRun> FRun;
    std::unique_ptr<TProgressDialog> FDialog;
    bool FFormClosed = false;
    QPointer<QThread> FThread;
    bool FCopyCompleted = false;
};
