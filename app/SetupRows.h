#pragma once

#include <array>
#include <cstddef>

// One kind of setup program the assistant offers: what its row of the window says, the file
// its Download button fetches and the one its Install button starts. The window's two
// buttons of a row share one click handler per kind and are told apart by their Tags, which
// run 1 to 4 for Download and 0 to 3 for Install.
struct TSetupRow {
    const char* Title = nullptr;
    const char* InstallCaption = nullptr;
    int DownloadTag = 0;
    // The name on the server, which the download is saved under.
    const char* DownloadFile = nullptr;
    int InstallTag = 0;
    // The entry of SetupFileNames whose presence enables Install and fills the row's status;
    // Install starts that file.
    std::size_t Inventory = 0;
};

inline constexpr std::array<TSetupRow, 4> SetupRows = {{
    {.Title = "Upgrade KAPLIX", .InstallCaption = "Upgrade", .DownloadTag = 1, .DownloadFile = "SetupNoDb.exe",
     .InstallTag = 0, .Inventory = 0},
    {.Title = "Install new on 32-bit Windows", .InstallCaption = "Install", .DownloadTag = 2,
     .DownloadFile = "KXsetup32.exe", .InstallTag = 1, .Inventory = 2},
    {.Title = "Install new on 64-bit Windows", .InstallCaption = "Install", .DownloadTag = 3,
     .DownloadFile = "KXsetup64.exe", .InstallTag = 2, .Inventory = 3},
    // "setup.exe" is lower case on the server; the inventory's "Setup.exe" is the same file.
    {.Title = "Install with databases", .InstallCaption = "Install", .DownloadTag = 4, .DownloadFile = "setup.exe",
     .InstallTag = 3, .Inventory = 4},
}};

// The row whose Download or Install button carries the Tag, told by the field given
// (&TSetupRow::DownloadTag or &TSetupRow::InstallTag); none for any other Tag.
constexpr const TSetupRow* RowOfTag(int TSetupRow::*Kind, int Tag)
{
    for (const TSetupRow& row : SetupRows)
        if (row.*Kind == Tag)
            return &row;
    return nullptr;
}
