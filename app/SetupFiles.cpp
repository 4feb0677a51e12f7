#include "app/SetupFiles.h"

#include <QtGlobal>

namespace {

template <std::size_t N>
QString Entry(const std::array<const char*, N>& Table, int Index)
{
    if (Index < 0 || Index >= int(N))
        return {};
    return QString::fromLatin1(Table[std::size_t(Index)]);
}

} // namespace

QString DownloadBaseURL()
{
    const QString mirror = qEnvironmentVariable("KAPLIX_DOWNLOAD_URL");
    QString base = mirror.isEmpty() ? QStringLiteral("http://www.kaplix.com") : mirror;
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QString DownloadFileName(int Tag)
{
    // "setup.exe" is lower case on the server; the inventory's "Setup.exe" is the same file.
    static constexpr std::array<const char*, 4> names = {"SetupNoDb.exe", "KXsetup32.exe", "KXsetup64.exe", "setup.exe"};
    return Entry(names, Tag - 1);
}

QString VersionPath(int Item)
{
    // Version 9.51 lives in "ver950" on the server.
    static constexpr std::array<const char*, 9> paths = {
        "/download/ver921/", "/download/ver950/", "/download/ver100/", "/download/ver101/", "/download/ver102/",
        "/download/ver103/", "/download/ver110/", "/download/ver120/", "/download/ver121/",
    };
    return Entry(paths, Item);
}

QString InstallFileName(int Tag)
{
    static constexpr std::array<const char*, 4> names = {"SetupNoDb.exe", "KXsetup32.exe", "KXsetup64.exe", "Setup.exe"};
    return Entry(names, Tag);
}
