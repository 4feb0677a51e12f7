#pragma once

#include "app/InstallEnvironment.h"
#include "app/Memo.h"

#include <QLabel>
#include <QListWidget>
#include <QWidget>

#include <array>

class TGlowButton;
class TGradientPanel;
class TOfficeRadioGroup;
class TWebTransfer;

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

    void DownloadClick(QObject* Sender);
    void InstallBtnClick(QObject* Sender);
    void CancelBtnClick(QObject* Sender);

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

public:
    void setVisible(bool Visible) override;

private:
    void BuildControls();
    void SetTabOrder();
    void BuildEngine();
    void FormCreate();
    void FormShow();
    QString WriteAccessProblem() const;
    void WebTransferCopyDone(TWebTransfer* Sender);
    void WebTransferCopyCancel(TWebTransfer* Sender);

    TInstallEnvironment FEnvironment;
    bool FShown = false;
    // True while a download runs: the buttons that would disturb it do nothing.
    bool FTransferring = false;
    bool FCloseRequested = false;
    QString FDownloadError;
};
