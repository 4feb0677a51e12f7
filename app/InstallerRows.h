#pragma once

#include "app/InstallForm.h"
#include "app/InstallFormLayout.h"

#include <QRect>

#include <array>
#include <cstddef>

// A control of an installer row: the window's field that holds it, and its object name.
template <class TControl>
struct TRowControl {
    TControl* TInstallForm::*Field = nullptr;
    const char* Name = nullptr;

    TControl* In(const TInstallForm& Form) const { return Form.*Field; }
};

// The tops of a row's controls; the rows are not evenly spaced.
struct TRowTops {
    int Title = 0;
    int Status = 0;
    int Line = 0;
    int Buttons = 0;
    int Recommended = 0;
};

// One installer row of the main window: a title, the status of its setup file, a separator,
// a Download button that fetches the file and an Install button that starts it. The buttons
// share one click handler per kind and are told apart by their Tags, which run 1 to 4 for
// Download and 0 to 3 for Install.
struct TInstallerRow {
    const char* Title = nullptr;
    const char* InstallCaption = nullptr;
    TRowTops Top;
    int DownloadTag = 0;
    // The name on the server, which the download is saved under.
    const char* DownloadFile = nullptr;
    int InstallTag = 0;
    // The entry of SetupFileNames whose presence enables Install and fills the status label;
    // Install starts that file.
    std::size_t Inventory = 0;
    TRowControl<QLabel> TitleLabel;
    TRowControl<QLabel> StatusLabel;
    TRowControl<QWidget> Line;
    TRowControl<TGlowButton> Download;
    TRowControl<TGlowButton> Install;
    // "Recommended" beside Install, shown for the system's bitness; rows without one have no field.
    TRowControl<QLabel> Recommended;
};

#define KX_ROW_CONTROL(Name) {&TInstallForm::Name, #Name}

inline constexpr std::array<TInstallerRow, 4> InstallerRows = {{
    {.Title = "Upgrade KAPLIX", .InstallCaption = "Upgrade", .Top = {237, 238, 251, 258, 0},
     .DownloadTag = 1, .DownloadFile = "SetupNoDb.exe", .InstallTag = 0, .Inventory = 0,
     .TitleLabel = KX_ROW_CONTROL(Label1), .StatusLabel = KX_ROW_CONTROL(Label17), .Line = KX_ROW_CONTROL(Shape2),
     .Download = KX_ROW_CONTROL(Download1), .Install = KX_ROW_CONTROL(UpgradeBtn), .Recommended = {}},
    {.Title = "Install new on 32-bit Windows", .InstallCaption = "Install", .Top = {307, 308, 321, 328, 338},
     .DownloadTag = 2, .DownloadFile = "KXsetup32.exe", .InstallTag = 1, .Inventory = 2,
     .TitleLabel = KX_ROW_CONTROL(Label2), .StatusLabel = KX_ROW_CONTROL(Label18), .Line = KX_ROW_CONTROL(Shape1),
     .Download = KX_ROW_CONTROL(Download2), .Install = KX_ROW_CONTROL(Install32Btn),
     .Recommended = KX_ROW_CONTROL(Label12)},
    {.Title = "Install new on 64-bit Windows", .InstallCaption = "Install", .Top = {378, 378, 392, 399, 409},
     .DownloadTag = 3, .DownloadFile = "KXsetup64.exe", .InstallTag = 2, .Inventory = 3,
     .TitleLabel = KX_ROW_CONTROL(Label3), .StatusLabel = KX_ROW_CONTROL(Label19), .Line = KX_ROW_CONTROL(Shape3),
     .Download = KX_ROW_CONTROL(Download3), .Install = KX_ROW_CONTROL(Install64Btn),
     .Recommended = KX_ROW_CONTROL(Label13)},
    // "setup.exe" is lower case on the server; the inventory's "Setup.exe" is the same file.
    {.Title = "Install with databases", .InstallCaption = "Install", .Top = {449, 449, 464, 471, 0},
     .DownloadTag = 4, .DownloadFile = "setup.exe", .InstallTag = 3, .Inventory = 4,
     .TitleLabel = KX_ROW_CONTROL(Label4), .StatusLabel = KX_ROW_CONTROL(Label20), .Line = KX_ROW_CONTROL(Shape4),
     .Download = KX_ROW_CONTROL(Download4), .Install = KX_ROW_CONTROL(FullInstallBtn), .Recommended = {}},
}};

#undef KX_ROW_CONTROL

// The row whose Download or Install button carries the Tag, told by the field given
// (&TInstallerRow::DownloadTag or &TInstallerRow::InstallTag); none for any other Tag.
constexpr const TInstallerRow* RowOfTag(int TInstallerRow::*Kind, int Tag)
{
    for (const TInstallerRow& row : InstallerRows)
        if (row.*Kind == Tag)
            return &row;
    return nullptr;
}

constexpr QRect DownloadButtonRect(const TInstallerRow& Row)
{
    using namespace InstallFormLayout;
    return {DownloadLeft, Row.Top.Buttons, DownloadWidth, RowButtonHeight};
}

constexpr QRect InstallButtonRect(const TInstallerRow& Row)
{
    using namespace InstallFormLayout;
    return {InstallLeft, Row.Top.Buttons, InstallWidth, RowButtonHeight};
}
