#include "platform/system/SystemProbes.h"

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

namespace {

QStringList pathComponents(const QString& relative)
{
    return QString(relative).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts);
}

bool isDotName(const QString& part)
{
    return part == QStringLiteral(".") || part == QStringLiteral("..");
}

// A found path that is a regular file (not a directory); an empty path was not found.
bool isFoundFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

// Follows parts[first...] down from dir, each matched without regard to letter case.
QString followIgnoringCase(QString current, const QStringList& parts, qsizetype first)
{
    for (qsizetype i = first; i < parts.size() && !current.isEmpty(); ++i) {
        // The exact name is one look-up; only a name in other letters needs the listing.
        const QString exact = QDir(current).filePath(parts[i]);
        current = (!isDotName(parts[i]) && QFileInfo::exists(exact)) ? exact : FolderEntries(current).pathOf(parts[i]);
    }
    return current;
}

} // namespace

QString findPathIgnoringCase(const QString& dir, const QString& relative)
{
    const QStringList parts = pathComponents(relative);
    return parts.isEmpty() ? QString() : followIgnoringCase(dir, parts, 0);
}

bool fileExistsIgnoringCase(const QString& dir, const QString& relative)
{
    return isFoundFile(findPathIgnoringCase(dir, relative));
}

FolderEntries::FolderEntries(const QString& dir)
    : m_dir(dir)
    , m_names(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Unsorted))
{
}

QString FolderEntries::pathOf(const QString& relative) const
{
    const QStringList parts = pathComponents(relative);
    if (parts.isEmpty() || isDotName(parts.front()))
        return {};
    const QString& name = parts.front();
    auto match = std::find(m_names.begin(), m_names.end(), name);
    if (match == m_names.end())
        match = std::find_if(m_names.begin(), m_names.end(), [&](const QString& entry) {
            return entry.compare(name, Qt::CaseInsensitive) == 0;
        });
    if (match == m_names.end())
        return {};
    return followIgnoringCase(QDir(m_dir).filePath(*match), parts, 1);
}

bool FolderEntries::holdsFile(const QString& relative) const
{
    return isFoundFile(pathOf(relative));
}

} // namespace platform
