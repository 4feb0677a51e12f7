#include "platform/SystemProbes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

#include <algorithm>

namespace platform {

QString executableDir()
{
    return QCoreApplication::applicationDirPath();
}

QString specialFolder(int folder)
{
    constexpr int ProgramFiles = 38;
    if (folder != ProgramFiles)
        return {};
    return driveC() + QStringLiteral("/Program Files");
}

QString winePrefix()
{
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        return QDir::homePath() + QStringLiteral("/.wine");
    // Wine runs a setup program in the program's folder, not in ours: a relative prefix is
    // made absolute here, so that the probes and Wine read the same drive C:.
    return QDir(prefix).absolutePath();
}

QString driveC()
{
    return winePrefix() + QStringLiteral("/drive_c");
}

QString localPathOf(const QString& windowsPath)
{
    QString path = windowsPath;
    path.replace(u'\\', u'/');
    if (path.startsWith(QStringLiteral("C:"), Qt::CaseInsensitive))
        path = driveC() + path.mid(2);
    return path;
}

bool windowsFileExists(const QString& windowsPath)
{
    QString path = windowsPath;
    path.replace(u'\\', u'/');
    if (path.startsWith(QStringLiteral("C:"), Qt::CaseInsensitive))
        return fileExistsIgnoringCase(driveC(), path.mid(2));
    if (path.startsWith(u'/'))
        return fileExistsIgnoringCase(QStringLiteral("/"), path);
    return false;
}

bool isNative64Bit()
{
    return QSysInfo::currentCpuArchitecture() == QStringLiteral("x86_64");
}

FileAttributes fileAttributes(const QString& path)
{
    FileAttributes attributes;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return attributes;
    attributes.readable = true;
    attributes.directory = info.isDir();
    attributes.readOnly = !(info.permissions() & QFileDevice::WriteOwner) || !info.isWritable();
    return attributes;
}

QString findPathIgnoringCase(const QString& dir, const QString& relative)
{
    QString current = dir;
    const QStringList parts = QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    for (const QString& part : parts) {
        if (part == QStringLiteral(".") || part == QStringLiteral(".."))
            return {};
        const QDir folder(current);
        if (QFileInfo::exists(folder.filePath(part))) {
            current = folder.filePath(part);
            continue;
        }
        const QStringList entries =
            folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString& entry) {
            return entry.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return {};
        current = folder.filePath(*match);
    }
    return current;
}

bool fileExistsIgnoringCase(const QString& dir, const QString& relative)
{
    const QString path = findPathIgnoringCase(dir, relative);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace platform
