#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The files a download can bring into the assistant's directories, in scan order. Each name
// is relative to the directory it is looked for in; letter case does not matter.
inline const std::array<QString, 5> SetupFileNames = {
    QStringLiteral("SetupNoDb.exe"),
    QStringLiteral("documents\\kaplix.pdf"),
    QStringLiteral("KXsetup32.exe"),
    QStringLiteral("KXsetup64.exe"),
    QStringLiteral("Setup.exe"),
};

// Status suffix by presence flag.
inline QString PresenceText(bool Present)
{
    return Present ? QStringLiteral(" present") : QStringLiteral(" missing");
}

// The servers' addresses for downloads, in the order they are tried: a fixed host, replaced
// by the environment variable KAPLIX_DOWNLOAD_URL (for mirrors and tests) when that is set;
// it may hold several addresses separated by blanks. None ends in "/".
QStringList DownloadBaseURLs();
// The first of them.
QString DownloadBaseURL();
// File to download by the Tag of a Download button (1 to 4); empty for any other Tag.
QString DownloadFileName(int Tag);
// Directory on the server by the selected version item (0 to 8); empty for any other item.
QString VersionPath(int Item);
// The last folder of that directory, which names the version on the server: "ver121".
QString VersionDirectory(int Item);
// The version item (0 to 8) whose directory is Directory ("ver121"); -1 for none.
int VersionItemOfDirectory(const QString& Directory);
// The caption of a version item (0 to 8), as the version group shows it; empty for any other.
QString VersionCaption(int Item);
QStringList VersionCaptions();
// Setup file to start by the Tag of an Install button (0 to 3); empty for any other Tag.
QString InstallFileName(int Tag);
