#include "app/SetupFiles.h"

#include "app/InstallerRows.h"

#include <QtGlobal>

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
    const TInstallerRow* row = RowOfTag(&TInstallerRow::DownloadTag, Tag);
    return row ? QString::fromLatin1(row->DownloadFile) : QString();
}

QString VersionPath(int Item)
{
    // Version 9.51 lives in "ver950" on the server.
    static constexpr std::array<const char*, 9> paths = {
        "/download/ver921/", "/download/ver950/", "/download/ver100/", "/download/ver101/", "/download/ver102/",
        "/download/ver103/", "/download/ver110/", "/download/ver120/", "/download/ver121/",
    };
    if (Item < 0 || Item >= int(paths.size()))
        return {};
    return QString::fromLatin1(paths[std::size_t(Item)]);
}

QString InstallFileName(int Tag)
{
    const TInstallerRow* row = RowOfTag(&TInstallerRow::InstallTag, Tag);
    return row ? SetupFileNames[row->Inventory] : QString();
}
