#pragma once

#include "transfer/ProgressForm.h"
#include "transfer/TransferUi.h"

#include <QPointer>

class TTransferRun;
class TWebTransfer;

// The transfer engine's progress dialog as the user of its run: a new window for every run,
// built from the engine's settings, written by the run, and the answer to the run's login
// question. Its Cancel cancels the run; "Open file" and "Open folder" open what the run wrote.
// The window frees itself once it has closed; one left open in its completion state goes with
// the next run or with this dialog.
class TProgressDialog : public TTransferUi {
public:
    TProgressDialog(TWebTransfer& Engine, TTransferRun& Run);
    ~TProgressDialog() override;
    TProgressDialog(const TProgressDialog&) = delete;
    TProgressDialog& operator=(const TProgressDialog&) = delete;

    // The window of the latest run while it is open; null otherwise.
    TProgressForm* Form() const { return FForm; }

    void Begin() override;
    void ShowCaption(const QString& Caption) override;
    void ShowFileLine(const QString& Line) override;
    void ShowProgress(const TProgressLines& Lines) override;
    void ShowRateLine(const QString& Line) override;
    void ShowAnimation(TAnimationClip Clip) override;
    void ShowMarquee(bool Marquee) override;
    bool AskLogin(const QString& Caption, QString& User, QString& Password) override;
    void ShowCompletion(bool Cancelled) override;
    void Close() override;

private:
    // Shows the window built for the run.
    void Show();
    void CancelClick();
    void OpenClick(const QString& Path);
    // Whether the window may close now, and what happens once it has closed.
    bool CloseQuery() const;
    void Closed();

    TWebTransfer& FEngine;
    TTransferRun& FRun;
    QPointer<TProgressForm> FForm;
    bool FCancelIsClose = false;
};
