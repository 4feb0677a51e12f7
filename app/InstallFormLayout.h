#pragma once

#include <QRect>

// Where the main window puts its controls, in pixels at 96 dpi. The installer rows add their
// own tops (InstallerRows.h); the columns below are the same for every row.
namespace InstallFormLayout {

inline constexpr int DesignWidth = 981;
inline constexpr int DesignHeight = 754;
inline constexpr int BackPanelHeight = 609;
inline constexpr int FileBoxWidth = 223;

inline constexpr int RowTitleLeft = 25;
inline constexpr int RowStatusLeft = 432;
// Every horizontal separator line, the rows' and the one below the title.
inline constexpr int SeparatorWidth = 560;
inline constexpr int DownloadLeft = 120;
inline constexpr int DownloadWidth = 97;
inline constexpr int InstallLeft = 234;
inline constexpr int InstallWidth = 180;
inline constexpr int RowButtonHeight = 28;

// At the design width; anchored to the right edge of BackPanel when the window grows.
inline constexpr QRect CancelBtnRect{711, 528, 113, 41};

} // namespace InstallFormLayout
