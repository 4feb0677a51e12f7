#pragma once

#include "app/DownloadMessages.h"
#include "app/InstallEnvironment.h"
#include "app/Memo.h"
#include "app/ReleaseCheck.h"

#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>

class TGlowButton;
class TGradientPanel;
class TOfficeRadioGroup;
class TWebTransfer;
class TWebTransferItem;
class TReleaseState;
struct TSetupRow;
class QScrollArea;

// The assistant's main window: the start-up report, the setup-file inventory, and the
// Download and Install buttons of the four installer rows.
class TInstallForm : public QWidget {
    Q_OBJECT

public:
    explicit TInstallForm(const TInstallEnvironment& Environment, QWidget* Parent = nullptr);
    ~TInstallForm() override;

    // Directories the assistant looks in and downloads to, each ending in a separator.
    QString StartupDir;
    QString saveDir;
    // Where the latest download went; empty before the first one.
    QString installDir;
    // Presence of each row of SetupFileNames, as the latest refresh found it.
    std::array<bool, 5> present{};

    TGradientPanel* BackPanel = nullptr;
    TGradientPanel* BottomPanel = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr;
    QLabel* Label18 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label20 = nullptr;
    QLabel* Label27 = nullptr;
    QWidget* Shape1 = nullptr;
    QWidget* Shape2 = nullptr;
    QWidget* Shape3 = nullptr;
    QWidget* Shape4 = nullptr;
    QWidget* Shape6 = nullptr;
    TGlowButton* Download1 = nullptr;
    TGlowButton* Download2 = nullptr;
    TGlowButton* Download3 = nullptr;
    TGlowButton* Download4 = nullptr;
    TGlowButton* UpgradeBtn = nullptr;
    TGlowButton* Install32Btn = nullptr;
    TGlowButton* Install64Btn = nullptr;
    TGlowButton* FullInstallBtn = nullptr;
    TGlowButton* CancelBtn = nullptr;
    TOfficeRadioGroup* InstallToGrp = nullptr;
    TOfficeRadioGroup* VersionRadio = nullptr;
    TMemo* Memo = nullptr;
    QListWidget* FileBox = nullptr;
    TWebTransfer* WebTransfer = nullptr;

    // The temporary directory and a shell folder, as the platform reports them.
    QString GetTempDir() const;
    QString GetSpecialFolder(int Folder) const;

    void RefreshSetupFiles();
    QString FindSetupFile(const QString& Name);

    // The buttons' shared handlers: the row is told by the button's Tag.
    void DownloadClick(QObject* Sender);
    void InstallBtnClick(QObject* Sender);
    // What a click on a row's Download or Install button does; none for a Tag of no row.
    void DownloadRow(const TSetupRow* Row);
    void InstallRow(const TSetupRow* Row);
    void CancelBtnClick(QObject* Sender);

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

public:
    void setVisible(bool Visible) override;

    // Tahoma at 8 points: the window's font, which its controls inherit.
    static QFont WindowFont();

private:
    void BuildControls();
    // Places the panels and what follows the window's width on the content widget.
    void LayoutContent(const QSize& Size);
    // A screen smaller than the design's size gets a window of its own size, not larger.
    void FitToScreen();
    void SetTabOrder();
    void BuildEngine();
    void FormCreate();
    void FormShow();
    QString WriteAccessProblem() const;
    void WebTransferCopyDone(TWebTransfer* Sender);
    void WebTransferCopyCancel(TWebTransfer* Sender);
    static int TagOf(QObject* Sender);

    // One Download click (InstallFormDownload.cpp): what is wanted and what the first list
    // that gave the file's checksum said, across the servers.
    struct TDownloadRun;
    // Reads what the assistant remembers of the version; false, with the box shown, when the
    // record is there but cannot be read.
    bool StartDownloadRun(TDownloadRun& Run, int Version);
    // What a list must name and vouch for to let FileName of that version be downloaded or started.
    TReleaseWanted ReleaseWantedFor(int Version, const QString& FileName) const;
    // Reads the state file into State and the highest serial taken for Wanted's version into
    // it; why it could not be read, or empty.
    QString ReadSeenSerial(TReleaseWanted& Wanted, TReleaseState& State) const;
    // Each server in turn, until one delivers or a failure says that no other would do better.
    void DownloadFromServers(TDownloadRun& Run);
    // One download from one server: the checksum list and its signature from the version
    // directory (unless a server before gave them), then the file, checked against them.
    // soWholeAgain: a download that went on from a part another server sent failed its check,
    // so the servers are asked once more for the whole file.
    enum TServerOutcome { soDone, soTryNext, soStop, soWholeAgain };
    TServerOutcome DownloadFrom(const QString& Base, TDownloadRun& Run);
    TServerOutcome AfterFailure(const TWebTransferItem& Job, TDownloadProblem Problem, const TDownloadRun& Run) const;
    void RememberSerial(TDownloadRun& Run, std::uint64_t Serial);
    // Remembers the version, checksum and size of a file a signed list vouched for.
    void RememberFile(TDownloadRun& Run, const QString& FileName, const TReleaseCheck& Check, std::int64_t Size);
    // Fetches the version directory's checksum list and, with a release key, its signature,
    // into memory. False when the user cancelled.
    bool FetchChecksumList(const QString& DirURL, bool Signed, TFetchedFile& List, TFetchedFile& Signature);
    // A line in the Memo, and with Final the error box. Base empty: before any server was asked.
    void ReportFailure(const QString& Base, TDownloadProblem Problem, const QString& Details, bool Final);

    TInstallEnvironment FEnvironment;
    QScrollArea* FScroller = nullptr;
    QWidget* FContent = nullptr;
    bool FShown = false;
    // Gives the window its icon, once.
    void SetIcon();
    // True while a download runs: the buttons that would disturb it do nothing.
    bool FTransferring = false;
    bool FCloseRequested = false;
    // What the engine's error events told about the job that runs.
    TTransferFailure FFailure;
    // The download under way: its file name and version, for the messages.
    QString FDownloadName;
    QString FDownloadVersion;

    // Install starts only what was checked (InstallFormLaunch.cpp).
    // A setup file whose checksum a signed checksum list gave in this run: where it lies and
    // its SHA-256 (lower-case hexadecimal).
    struct TCheckedFile {
        QString Path;
        QString SHA256;
        QString Directory; // of its version on the server, "ver121"
    };
    // By the name of the file on the download server: the file a download brought, verified
    // by the signed list, or a file found on disk that the list vouched for.
    QHash<QString, TCheckedFile> FCheckedFiles;
    // Notes a download that succeeded, and how it was checked; only a signed list vouches.
    void RecordDownload(const QString& FileName, const QString& Path, const TReleaseCheck& Check,
                        const QString& Directory);
    // The version directory of the setup file at Path: the one checked in this run, else the
    // one an earlier run downloaded (Remembered, the state file's records) while the file has
    // that download's size; empty when not
    // known. Never a reason to start a file: that needs its checksum.
    QString KnownVersionOf(const QString& ServerName, const QString& Path, const TReleaseState& Remembered) const;
    // "version 12.1" for a version directory, "version not known" for none.
    static QString VersionText(const QString& Directory);
    // Asked before a setup file of another version than the chosen one starts: true to start
    // it (as version item FileVersion), false when the user chose to download the chosen
    // version instead (Row's download then runs) or to cancel.
    bool StartOtherVersion(const TSetupRow* Row, const QString& Path, int FileVersion);
    // The checked file of that name, while it is there; empty otherwise.
    QString CheckedFilePath(const QString& ServerName) const;
    // The SHA-256 the setup file at Path must have to be started: the one checked in this
    // run, the one the signed list of version item Version gives for a file found on disk, or, for
    // a file that cannot be verified and the user starts anyway, its own. Empty when it is
    // not to be started.
    QString SHA256ToStart(const QString& ServerName, const QString& Path, int Version);
    // Starts a private copy of the file at Path that has the checked SHA-256 for the row, and
    // logs it.
    void StartCheckedFile(const QString& Path, const QString& ServerName, const QString& SHA256,
                          const TSetupRow* Row);
    void RemoveStaleStartCopies();
    // While a setup program started from a row runs, that row's Install is off and the window
    // shows the busy cursor; its end is logged, with Wine's reason in a box when Wine could
    // not start it, and the installation is looked for again.
    void WatchSetupProgram(const std::shared_ptr<platform::StartedProgram>& Program, const TSetupRow* Row,
                           const QString& Path);
    void SetupProgramEnded(const platform::ProgramEnd& End, const QString& Path);
    // The programs running, each with its row.
    QList<std::pair<std::shared_ptr<platform::StartedProgram>, const TSetupRow*>> FSetupPrograms;
    bool SetupRunning(const TSetupRow* Row) const;
    // The lines of the installation test; Located false when no installation was found.
    QStringList InstallationReport(bool& Located) const;
    // The signed checksum list of version item Version, asked of each server in turn until one
    // answers, checked for FileName (InstallFormDownload.cpp). Cancelled when the user
    // stopped the fetch or closed the window.
    TReleaseCheck CheckVersion(int Version, const QString& FileName, bool& Cancelled);
};
