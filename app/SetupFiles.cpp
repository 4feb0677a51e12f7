#include "app/SetupFiles.h"

#include "app/SetupRows.h"

#include <QRegularExpression>
#include <QtGlobal>

QStringList DownloadBaseURLs()
{
    QStringList bases;
    for (QString base : qEnvironmentVariable("KAPLIX_DOWNLOAD_URL").split(QRegularExpression(QStringLiteral("\\s+")),
                                                                        Qt::SkipEmptyParts)) {
        while (base.endsWith(u'/'))
            base.chop(1);
        if (!base.isEmpty())
            bases << base;
    }
    if (bases.isEmpty())
        bases << QStringLiteral("http://www.kaplix.com");
    return bases;
}

QString DownloadBaseURL()
{
    return DownloadBaseURLs().constFirst();
}

QString DownloadFileName(int Tag)
{
    const TSetupRow* row = RowOfTag(&TSetupRow::DownloadTag, Tag);
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

QString VersionDirectory(int Item)
{
    return VersionPath(Item).section(u'/', -2, -2);
}

int VersionItemOfDirectory(const QString& Directory)
{
    for (int item = 0; !VersionPath(item).isEmpty(); ++item) {
        if (VersionDirectory(item) == Directory)
            return item;
    }
    return -1;
}

QString VersionCaption(int Item)
{
    static constexpr std::array<const char*, 9> captions = {"9.21", "9.51", "10.0", "10.1", "10.2",
                                                            "10.3", "11.0", "12.0", "12.1"};
    if (Item < 0 || Item >= int(captions.size()))
        return {};
    return QString::fromLatin1(captions[std::size_t(Item)]);
}

QStringList VersionCaptions()
{
    QStringList captions;
    for (int item = 0; !VersionCaption(item).isEmpty(); ++item)
        captions << VersionCaption(item);
    return captions;
}

QString InstallFileName(int Tag)
{
    const TSetupRow* row = RowOfTag(&TSetupRow::InstallTag, Tag);
    return row ? SetupFileNames[row->Inventory] : QString();
}
