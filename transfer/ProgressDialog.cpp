// Minimal progress dialog: a window with the bar, the five lines and Cancel, enough for a
// run to report into. The full dialog replaces this.
#include "transfer/WebTransfer.h"

#include <QDialog>

void TWebTransfer::BuildProgressDialog()
{
    auto* form = new QDialog;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->resize(300, 188);
    FForm = form;
    FProgress = new QProgressBar(form);
    FProgress->setGeometry(10, 60, 280, 12);
    FProgress->setRange(0, 100);
    FFileLbl = new QLabel(DlgFileLabel, form);
    FSizeLbl = new QLabel(DlgProgressLabel, form);
    FRateLbl = new QLabel(DlgRateLabel, form);
    FTimeLbl = new QLabel(DlgTimeLabel, form);
    FElapsedTimeLbl = new QLabel(DlgElapsedTimeLabel, form);
    FCancelBtn = new QPushButton(DlgCancel, form);
    FCancelBtn->setGeometry(215, 140, 75, 25);
    connect(FCancelBtn, &QPushButton::clicked, this, [this] { DialogCancelClick(); });
    FCancelIsClose = false;
    FFormClosed = false;
    SetDialogCaption(DlgCaption + QStringLiteral(" ..."));
    FCancelled = false;
    if (ShowDialog) {
        if (OnBeforeDialogShow)
            OnBeforeDialogShow(this, form);
        form->show();
    }
    FCancelled = false;
}

void TWebTransfer::SetDialogCaption(const QString& Caption)
{
    if (FForm)
        FForm->setWindowTitle(Caption);
}

void TWebTransfer::SetAnimationClip(TAnimationClip) {}

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
    if (FForm && (FCancelIsClose || DlgShowCloseBtn))
        FForm->close();
}

void TWebTransfer::OpenFileClick() {}
void TWebTransfer::OpenFolderClick() {}
