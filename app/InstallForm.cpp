#include "app/InstallForm.h"

#include "app/ButtonPictures.h"
#include "app/CheckWriteAccess.h"
#include "app/InstallerRows.h"
#include "app/MessageBoxes.h"
#include "app/ReleaseState.h"
#include "app/SetupFiles.h"
#include "controls/GlowButton.h"
#include "controls/GradientPanel.h"
#include "controls/OfficeRadioGroup.h"
#include "platform/system/SystemProbes.h"
#include "transfer/WebTransfer.h"

#include <QCloseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QFileInfo>
#include <QTimer>
#include <QWindow>

namespace {

QString WithSeparator(const QString& Dir)
{
    return Dir.endsWith(u'/') ? Dir : Dir + u'/';
}

bool IsFile(const QString& Path)
{
    return !Path.isEmpty() && QFileInfo(Path).isFile();
}

} // namespace

int TInstallForm::TagOf(QObject* Sender)
{
    return Sender ? Sender->property("Tag").toInt() : -1;
}

TInstallForm::TInstallForm(const TInstallEnvironment& Environment, QWidget* Parent)
    : QWidget(Parent)
    , FEnvironment(Environment)
{
    BuildControls();
    BuildEngine();
    FormCreate();
}

TInstallForm::~TInstallForm() = default;

QString TInstallForm::GetTempDir() const
{
    return FEnvironment.TempDir;
}

QString TInstallForm::WriteAccessProblem() const
{
    const QString& reason = FEnvironment.TempDirProblem;
    return QStringLiteral("Problems with write access rights\r") + (reason.isEmpty() ? QString() : reason + u'\r')
        + QStringLiteral("You should contact your system administrator");
}

QString TInstallForm::GetSpecialFolder(int Folder) const
{
    constexpr int ProgramFiles = 38;
    return Folder == ProgramFiles ? FEnvironment.ProgramFilesFolder : QString();
}

void TInstallForm::FormCreate()
{
    StartupDir = WithSeparator(FEnvironment.ExecutableDir);
    const QString temp = GetTempDir();
    saveDir = temp.isEmpty() ? QStringLiteral("/") : WithSeparator(temp);
    installDir.clear();
    // Without a temporary directory of the user's own there is nowhere safe to fall back to,
    // and the user is told so even when the start-up directory can be written.
    const bool privateTemp = !temp.isEmpty();
    const bool startupWritable = CheckWriteAccess(StartupDir) == waWritable;
    // Which folder "System temporary directory" means is not the same on every machine.
    InstallToGrp->RadioButtons(1)->setToolTip(privateTemp ? temp : QStringLiteral("No private temporary folder"));
    if (!startupWritable && privateTemp && CheckWriteAccess(saveDir) == waWritable)
        InstallToGrp->SetItemIndex(1);
    else if (!startupWritable || !privateTemp)
        ShowErrorBox(this, WriteAccessProblem());
    RefreshSetupFiles();
}

void TInstallForm::setVisible(bool Visible)
{
    // The start-up report is written just before the window first appears.
    const bool first = Visible && !FShown;
    if (first) {
        FShown = true;
        FitToScreen();
        FormShow();
    }
    QWidget::setVisible(Visible);
    // The icon's five sizes take milliseconds to draw and the window's first picture does not
    // need them: the desktop gets them once the window has been exposed and painted, or after
    // half a second for a window that starts minimized and is not exposed.
    if (first) {
        if (windowHandle())
            windowHandle()->installEventFilter(this);
        QTimer::singleShot(500, this, &TInstallForm::SetIcon);
    }
}

bool TInstallForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FContent && Event->type() == QEvent::Resize) {
        LayoutContent(static_cast<QResizeEvent*>(Event)->size());
        return false;
    }
    if (Watched == windowHandle() && Event->type() == QEvent::Expose) {
        windowHandle()->removeEventFilter(this);
        // Queued, so the exposure is painted first.
        QTimer::singleShot(0, this, &TInstallForm::SetIcon);
    }
    return QWidget::eventFilter(Watched, Event);
}

void TInstallForm::FitToScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    // The frame is not known before the window is shown; the window system keeps a window of
    // the available size on the screen with its frame.
    const QSize available = screen->availableGeometry().size();
    QSize fitting = size().boundedTo(available);
    // A window cut in one direction scrolls in that one: it is given the other scroll bar's
    // room where the screen has it, so that its content is not cut in the other direction too.
    if (fitting.height() < size().height())
        fitting.rwidth() = qMin(fitting.width() + FScroller->verticalScrollBar()->sizeHint().width(), available.width());
    if (fitting.width() < size().width())
        fitting.rheight() = qMin(fitting.height() + FScroller->horizontalScrollBar()->sizeHint().height(), available.height());
    if (fitting != size()) {
        resize(fitting);
        move(screen->availableGeometry().topLeft());
    }
}

void TInstallForm::SetIcon()
{
    if (!testAttribute(Qt::WA_SetWindowIcon))
        setWindowIcon(ApplicationIcon());
}

void TInstallForm::FormShow()
{
    // The report starts with an empty line; a plain-text box would swallow an empty first
    // append, so the lines are gathered and set at once.
    QStringList report = {QString(), QStringLiteral("Current directory:"), StartupDir};

    bool located = false;
    report << InstallationReport(located);
    if (!located)
        ShowInformationBox(this, QStringLiteral("KAPLIX could not be located on your computer\rIf KAPLIX is "
                                                "installed,\rplease deinstall prior to reinstallation"));

    if (FEnvironment.Windows64Bit) {
        Label13->show();
        report << QStringLiteral("  Windows version is determined to be 64-bit");
    } else {
        Label12->show();
        report << QStringLiteral("  Windows version is determined to be 32-bit");
    }
    Memo->setPlainText(report.join(u'\n'));
}

QStringList TInstallForm::InstallationReport(bool& Located) const
{
    QStringList report;
    Located = true;
    // Windows finds these paths in any letter case, and so do we.
    const auto exists = [](const QString& WindowsPath) { return platform::windowsFileExists(WindowsPath); };
    const QString programFiles = GetSpecialFolder(38) + QStringLiteral("\\kaplix\\bin\\kaplix3.exe");
    const QString fixedProgramFiles = QStringLiteral("C:\\Program Files\\kaplix\\bin\\kaplix3.exe");
    // A 32-bit setup program installs there on a 64-bit system.
    const QString programFilesX86 = QStringLiteral("C:\\Program Files (x86)\\kaplix\\bin\\kaplix3.exe");
    const QString oldLocation = QStringLiteral("C:\\kaplix\\bin\\kaplix3.exe");
    if (exists(programFiles) || exists(fixedProgramFiles) || exists(programFilesX86)) {
        report << QStringLiteral("  KAPLIX is found in \"Program files\" location")
               << QStringLiteral("  Please use \"Install new on ...\" for upgrading (32- or 64-bit as appropriate)");
    } else if (exists(oldLocation)) {
        report << QStringLiteral("  KAPLIX is found in the \"old\" location of \"C:\\kaplix\\")
               << QStringLiteral("  Deinstallion is recommeded prior to reinstallation")
               << QStringLiteral("  User defined files can be moved to new location after reinstallation");
    } else {
        Located = false;
        report << QStringLiteral("  KAPLIX has not been located on this computer");
    }
    return report;
}

void TInstallForm::RefreshSetupFiles()
{
    FileBox->clear();
    const platform::FolderEntries startupEntries(StartupDir);
    const platform::FolderEntries saveEntries(saveDir);
    for (std::size_t i = 0; i < SetupFileNames.size(); ++i) {
        const QString& name = SetupFileNames[i];
        present[i] = startupEntries.holdsFile(name) || saveEntries.holdsFile(name);
        FileBox->addItem(name + PresenceText(present[i]));
    }
    const QString prefix = QStringLiteral("Install file is");
    const TReleaseState remembered = TReleaseState::Load(FEnvironment.StateFile).State;
    for (const TInstallerRow& row : InstallerRows) {
        const bool found = present[row.Setup->Inventory];
        row.Install.In(*this)->setEnabled(found && !SetupRunning(row.Setup));
        QLabel* status = row.StatusLabel.In(*this);
        status->setText(prefix + PresenceText(found));
        status->adjustSize();
        // A screen reader's review finds the disabled button too, and with it the reason; the
        // hint and the description say which version the file is, as far as it is known.
        QString version;
        if (found) {
            // The file Install would start: the one checked in this run, else the first found.
            const QString& name = SetupFileNames[row.Setup->Inventory];
            const QString serverName = QString::fromLatin1(row.Setup->DownloadFile);
            QString path = CheckedFilePath(serverName);
            if (path.isEmpty())
                path = startupEntries.holdsFile(name) ? startupEntries.pathOf(name) : saveEntries.pathOf(name);
            version = VersionText(KnownVersionOf(serverName, path, remembered));
        }
        row.Install.In(*this)->SetHint(version);
        row.Install.In(*this)->setAccessibleDescription(version.isEmpty() ? status->text()
                                                                          : status->text() + QStringLiteral(", ") + version);
    }
}

QString TInstallForm::VersionText(const QString& Directory)
{
    const int version = VersionItemOfDirectory(Directory);
    return version < 0 ? QStringLiteral("version not known") : QStringLiteral("version ") + VersionCaption(version);
}

QString TInstallForm::FindSetupFile(const QString& Name)
{
    for (const QString& dir : {StartupDir, saveDir}) {
        const QString path = platform::findPathIgnoringCase(dir, Name);
        if (IsFile(path))
            return path;
    }
    ShowErrorBox(this, QStringLiteral("Install file ") + Name + QStringLiteral("not found."));
    return {};
}

void TInstallForm::CancelBtnClick(QObject*)
{
    if (FTransferring)
        return;
    close();
}

void TInstallForm::closeEvent(QCloseEvent* Event)
{
    // The run goes on inside DownloadClick: stop it first, and close once it has returned.
    if (FTransferring) {
        FCloseRequested = true;
        WebTransfer->CancelCopy();
        Event->ignore();
        return;
    }
    QWidget::closeEvent(Event);
}
