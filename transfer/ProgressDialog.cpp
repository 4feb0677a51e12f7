// The engine's side of the progress dialog: building it for a run, the writers the run loop
// uses, the way a run's dialog ends, and the handlers of its buttons and frame.
#include "transfer/WebTransfer.h"

#include "platform/Shell.h"

void TWebTransfer::BuildProgressDialog()
{
    // One dialog per engine: a dialog a former run left in its completion state goes now, or
    // its buttons would act on this run.
    if (TProgressForm* previous = FForm) {
        DialogClose();
        previous->hide();
        previous->deleteLater();
    }

    TProgressFormOptions options;
    options.ShowFileName = ShowFileName;
    options.ShowTime = ShowTime;
    options.ShowElapsedTime = ShowElapsedTime;
    options.ShowCancel = DlgShowCancel;
    options.ShowOpenFile = ShowOpenFile;
    options.ShowOpenFolder = ShowOpenFolder;
    options.StayOnTop = ShowDialogOnTop;
    options.ShowCloseBtn = DlgShowCloseBtn;
    auto* form = new TProgressForm(options);
    form->OnCloseQuery = [this] { return DialogCloseQuery(); };
    form->OnClose = [this] { DialogClose(); };

    FForm = form;
    FAnim = form->Anim;
    FProgress = form->Progress;
    FFileLbl = form->FileLbl;
    FSizeLbl = form->SizeLbl;
    FRateLbl = form->RateLbl;
    FTimeLbl = form->TimeLbl;
    FElapsedTimeLbl = form->ElapsedTimeLbl;
    FCancelBtn = form->CancelBtn;
    FBtnShowFile = form->BtnShowFile;
    FBtnShowFolder = form->BtnShowFolder;

    form->FileLbl->setText(DlgFileLabel);
    form->SizeLbl->setText(DlgProgressLabel);
    form->RateLbl->setText(DlgRateLabel);
    form->TimeLbl->setText(DlgTimeLabel);
    form->ElapsedTimeLbl->setText(DlgElapsedTimeLabel);
    form->Anim->SetClip(acDownload);
    form->Anim->Play();

    form->CancelBtn->setText(DlgCancel);
    connect(form->CancelBtn, &QPushButton::clicked, this, &TWebTransfer::DialogCancelClick);
    FCancelIsClose = false;
    if (form->BtnShowFolder) {
        form->BtnShowFolder->setText(DlgOpenFolder);
        connect(form->BtnShowFolder, &QPushButton::clicked, this, &TWebTransfer::OpenFolderClick);
    }
    if (form->BtnShowFile) {
        form->BtnShowFile->setText(DlgOpenFile);
        connect(form->BtnShowFile, &QPushButton::clicked, this, &TWebTransfer::OpenFileClick);
    }

    FFormClosed = false;
    SetDialogCaption(DlgCaption + QStringLiteral(" ..."));
    FCancelled = false;

    if (ShowDialog) {
        if (OnBeforeDialogShow)
            OnBeforeDialogShow(this, form);
        if (FForm) {
            FForm->show();
            if (AlwaysOnTop) {
                // Changing the flags of a shown window hides it; show it again in its place.
                if (!FForm->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
                    FForm->setWindowFlag(Qt::WindowStaysOnTopHint, true);
                    FForm->show();
                }
                FForm->raise();
            }
        }
    }
    FCancelled = false;
}

void TWebTransfer::SetDialogCaption(const QString& Caption)
{
    if (FForm)
        FForm->setWindowTitle(Caption);
}

void TWebTransfer::SetAnimationClip(TAnimationClip Clip)
{
    if (FAnim)
        FAnim->SetClip(Clip);
}

void TWebTransfer::SetProgressMarquee(bool Marquee)
{
    if (FProgress)
        FProgress->setRange(0, Marquee ? 0 : 100);
}

void TWebTransfer::ShowCompletionState()
{
    if (FCancelBtn)
        FCancelBtn->setText(DlgClose);
    FCancelIsClose = true;
    if (FAnim)
        FAnim->Stop();
    if (FCancelled)
        return;
    if (FBtnShowFile)
        FBtnShowFile->setEnabled(true);
    if (FBtnShowFolder)
        FBtnShowFolder->setEnabled(true);
}

void TWebTransfer::CloseProgressDialog()
{
    FCancelIsClose = true;
    if (FForm)
        FForm->close();
}

void TWebTransfer::DialogCancelClick()
{
    if (OnCopyCancel)
        OnCopyCancel(this);
    FCancelled = true;
    // Refused while a run goes on, unless the dialog keeps its close box.
    if (FForm)
        FForm->close();
}

void TWebTransfer::OpenFileClick()
{
    platform::openWithDefaultHandler(FLastFile);
    if (FForm)
        FForm->close();
    FFormClosed = true;
}

void TWebTransfer::OpenFolderClick()
{
    platform::openWithDefaultHandler(FLastDir);
    if (FForm)
        FForm->close();
    FFormClosed = true;
}

bool TWebTransfer::DialogCloseQuery() const
{
    return DlgShowCloseBtn || FCancelIsClose;
}

void TWebTransfer::DialogClose()
{
    // The window frees itself; from here on no writer may reach it, even before it is gone.
    FForm = nullptr;
    FAnim = nullptr;
    FProgress = nullptr;
    FFileLbl = nullptr;
    FSizeLbl = nullptr;
    FRateLbl = nullptr;
    FTimeLbl = nullptr;
    FElapsedTimeLbl = nullptr;
    FCancelBtn = nullptr;
    FBtnShowFile = nullptr;
    FBtnShowFolder = nullptr;
}
