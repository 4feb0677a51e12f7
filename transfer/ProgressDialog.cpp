#include "transfer/ProgressDialog.h"

#include "platform/desktop/Shell.h"
#include "transfer/TransferRun.h"
#include "transfer/WebTransfer.h"
#include "transfer/WtLogin.h"

#include <QTimer>

namespace {

// A label takes an unchanged text without any work of its own; asking it for its text first
// would only cost a copy.
void SetLabel(QLabel* Label, const QString& Text)
{
    if (Label)
        Label->setText(Text);
}

// QProgressBar paints itself at once when its value changes. The new value is painted with
// the dialog's other changes at the event loop's next pass instead: a run of small files
// would otherwise paint the bar twice for each file.
void SetBarValue(QProgressBar* Bar, int Value)
{
    Bar->setUpdatesEnabled(false);
    Bar->setValue(Value);
    Bar->setUpdatesEnabled(true); // schedules the paint
}

} // namespace

TProgressDialog::TProgressDialog(TWebTransfer& Engine, TTransferRun& Run)
    : FEngine(Engine)
    , FRun(Run)
{
}

TProgressDialog::~TProgressDialog()
{
    // A dialog left open in its completion state belongs to the engine until it closes.
    delete FForm.data();
}

void TProgressDialog::Begin()
{
    // One dialog per engine: a dialog a former run left in its completion state goes now, or
    // its buttons would act on this run.
    if (TProgressForm* previous = FForm) {
        Closed();
        previous->hide();
        previous->deleteLater();
    }

    TProgressFormOptions options;
    options.ShowFileName = FEngine.ShowFileName;
    options.ShowTime = FEngine.ShowTime;
    options.ShowElapsedTime = FEngine.ShowElapsedTime;
    options.ShowCancel = FEngine.DlgShowCancel;
    options.ShowOpenFile = FEngine.ShowOpenFile;
    options.ShowOpenFolder = FEngine.ShowOpenFolder;
    options.StayOnTop = FEngine.ShowDialogOnTop;
    options.ShowCloseBtn = FEngine.DlgShowCloseBtn;
    auto* form = new TProgressForm(options);
    form->OnCloseQuery = [this] { return CloseQuery(); };
    form->OnClose = [this] { Closed(); };
    FForm = form;

    form->FileLbl->setText(FEngine.DlgFileLabel);
    form->SizeLbl->setText(FEngine.DlgProgressLabel);
    form->RateLbl->setText(FEngine.DlgRateLabel);
    form->TimeLbl->setText(FEngine.DlgTimeLabel);
    form->ElapsedTimeLbl->setText(FEngine.DlgElapsedTimeLabel);
    form->Anim->SetClip(acDownload);
    form->Anim->Play();

    form->CancelBtn->setText(FEngine.DlgCancel);
    QObject::connect(form->CancelBtn, &QPushButton::clicked, form, [this] { CancelClick(); });
    FCancelIsClose = false;
    if (form->BtnShowFolder) {
        form->BtnShowFolder->setText(FEngine.DlgOpenFolder);
        QObject::connect(form->BtnShowFolder, &QPushButton::clicked, form, [this] { OpenClick(FRun.LastDir()); });
    }
    if (form->BtnShowFile) {
        form->BtnShowFile->setText(FEngine.DlgOpenFile);
        QObject::connect(form->BtnShowFile, &QPushButton::clicked, form, [this] { OpenClick(FRun.LastFile()); });
    }

    FEngine.SetFormClosed(false);
    ShowCaption(FEngine.DlgCaption + QStringLiteral(" ..."));

    if (!FEngine.ShowDialog)
        return;
    if (FEngine.DialogDelay > 0) {
        // Goes with the window when the run ends first.
        QTimer::singleShot(FEngine.DialogDelay, form, [this] { Show(); });
        return;
    }
    Show();
}

void TProgressDialog::Show()
{
    TProgressForm* form = FForm;
    if (!form)
        return;
    if (FEngine.OnBeforeDialogShow)
        FEngine.OnBeforeDialogShow(&FEngine, form);
    if (!FForm)
        return;
    FForm->show();
    if (FEngine.AlwaysOnTop) {
        // Changing the flags of a shown window hides it; show it again in its place.
        if (!FForm->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
            FForm->setWindowFlag(Qt::WindowStaysOnTopHint, true);
            FForm->show();
        }
        FForm->raise();
    }
}

void TProgressDialog::ShowCaption(const QString& Caption)
{
    if (FForm)
        FForm->setWindowTitle(Caption);
}

void TProgressDialog::ShowFileLine(const QString& Line)
{
    if (FForm)
        SetLabel(FForm->FileLbl, Line);
}

void TProgressDialog::ShowProgress(const TProgressLines& Lines)
{
    if (!FForm)
        return;
    SetLabel(FForm->SizeLbl, Lines.Size);
    if (Lines.BarPosition >= 0 && FForm->Progress->value() != Lines.BarPosition)
        SetBarValue(FForm->Progress, Lines.BarPosition);
    SetLabel(FForm->RateLbl, Lines.Rate);
    SetLabel(FForm->TimeLbl, Lines.TimeLeft);
    SetLabel(FForm->ElapsedTimeLbl, Lines.Elapsed);
}

void TProgressDialog::ShowRateLine(const QString& Line)
{
    if (FForm)
        SetLabel(FForm->RateLbl, Line);
}

void TProgressDialog::ShowAnimation(TAnimationClip Clip)
{
    if (FForm)
        FForm->Anim->SetClip(Clip);
}

void TProgressDialog::ShowMarquee(bool Marquee)
{
    if (FForm)
        FForm->Progress->setRange(0, Marquee ? 0 : 100);
}

bool TProgressDialog::AskLogin(const QString& Caption, QString& User, QString& Password)
{
    return ShowLoginDialog(Caption, User, Password);
}

void TProgressDialog::ShowCompletion(bool Cancelled)
{
    FCancelIsClose = true;
    if (!FForm)
        return;
    // A run quicker than the dialog's delay shows no window, its end included.
    if (FEngine.ShowDialog && FEngine.DialogDelay > 0 && !FForm->isVisible()) {
        FForm->close();
        return;
    }
    FForm->CancelBtn->setText(FEngine.DlgClose);
    FForm->Anim->Stop();
    if (Cancelled)
        return;
    if (FForm->BtnShowFile)
        FForm->BtnShowFile->setEnabled(true);
    if (FForm->BtnShowFolder)
        FForm->BtnShowFolder->setEnabled(true);
}

void TProgressDialog::Close()
{
    FCancelIsClose = true;
    if (FForm)
        FForm->close();
}

void TProgressDialog::CancelClick()
{
    if (FEngine.OnCopyCancel)
        FEngine.OnCopyCancel(&FEngine);
    FRun.CancelCopy();
    // Refused while a run goes on, unless the dialog keeps its close box.
    if (FForm)
        FForm->close();
}

void TProgressDialog::OpenClick(const QString& Path)
{
    platform::openWithDefaultHandler(Path);
    if (FForm)
        FForm->close();
    FEngine.SetFormClosed(true);
}

bool TProgressDialog::CloseQuery() const
{
    return FEngine.DlgShowCloseBtn || FCancelIsClose;
}

void TProgressDialog::Closed()
{
    // The window frees itself; from here on no writer may reach it, even before it is gone.
    FForm = nullptr;
}
