#pragma once

#include "app/InstallForm.h"
#include "app/InstallFormLayout.h"
#include "app/SetupRows.h"

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

// One installer row of the main window, in the order of SetupRows: what it offers, and where
// its title, the status of its setup file, a separator, its Download button and its Install
// button stand.
struct TInstallerRow {
    const TSetupRow* Setup = nullptr;
    TRowTops Top;
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
    {.Setup = &SetupRows[0], .Top = {237, 238, 251, 258, 0},
     .TitleLabel = KX_ROW_CONTROL(Label1), .StatusLabel = KX_ROW_CONTROL(Label17), .Line = KX_ROW_CONTROL(Shape2),
     .Download = KX_ROW_CONTROL(Download1), .Install = KX_ROW_CONTROL(UpgradeBtn), .Recommended = {}},
    {.Setup = &SetupRows[1], .Top = {307, 308, 321, 328, 338},
     .TitleLabel = KX_ROW_CONTROL(Label2), .StatusLabel = KX_ROW_CONTROL(Label18), .Line = KX_ROW_CONTROL(Shape1),
     .Download = KX_ROW_CONTROL(Download2), .Install = KX_ROW_CONTROL(Install32Btn),
     .Recommended = KX_ROW_CONTROL(Label12)},
    {.Setup = &SetupRows[2], .Top = {378, 378, 392, 399, 409},
     .TitleLabel = KX_ROW_CONTROL(Label3), .StatusLabel = KX_ROW_CONTROL(Label19), .Line = KX_ROW_CONTROL(Shape3),
     .Download = KX_ROW_CONTROL(Download3), .Install = KX_ROW_CONTROL(Install64Btn),
     .Recommended = KX_ROW_CONTROL(Label13)},
    {.Setup = &SetupRows[3], .Top = {449, 449, 464, 471, 0},
     .TitleLabel = KX_ROW_CONTROL(Label4), .StatusLabel = KX_ROW_CONTROL(Label20), .Line = KX_ROW_CONTROL(Shape4),
     .Download = KX_ROW_CONTROL(Download4), .Install = KX_ROW_CONTROL(FullInstallBtn), .Recommended = {}},
}};

#undef KX_ROW_CONTROL

static_assert([] {
    for (std::size_t i = 0; i < SetupRows.size(); ++i)
        if (InstallerRows[i].Setup != &SetupRows[i])
            return false;
    return InstallerRows.size() == SetupRows.size();
}(), "one window row per setup row, in the same order");

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
