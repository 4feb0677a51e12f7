#include "transfer/LocalTargets.h"

#include "platform/files/LocalFiles.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr QChar Separator = u'/';

bool NameIsTaken(const QString& Path)
{
    const QFileInfo info(Path);
    return info.exists() || info.isSymLink(); // a dangling link still takes the name
}

} // namespace

bool IsPlainFileName(const QString& Name)
{
    return !Name.isEmpty() && Name != u"." && Name != u".." && !Name.contains(u'/') && !Name.contains(u'\\')
        && !Name.contains(QChar(0));
}

QString DirectoryPart(const QString& Path)
{
    const qsizetype cut = std::max(Path.lastIndexOf(u'/'), Path.lastIndexOf(u'\\'));
    return cut < 0 ? QString() : Path.left(cut);
}

QString JoinPath(const QString& Dir, const QString& Name)
{
    if (Dir.isEmpty())
        return Name;
    if (Dir.endsWith(Separator))
        return Dir + Name;
    return Dir + Separator + Name;
}

bool DirExists(const QString& Path)
{
    return platform::fileKind(Path) == platform::FileKind::Directory;
}

bool FileExists(const QString& Path)
{
    return platform::fileKind(Path) != platform::FileKind::Missing;
}

bool ForceDirs(const QString& Dir)
{
    if (Dir.isEmpty())
        return true;
    QString path = Dir;
    if (path.endsWith(Separator))
        path.chop(1);
    if (path.isEmpty() || DirExists(path))
        return true; // the root, or already there
    const QString parent = path.left(path.lastIndexOf(Separator) + 1);
    if (parent == path)
        return true;
    if (!ForceDirs(parent))
        return false;
    return QDir().mkdir(path) || DirExists(path);
}

QString StripExt(const QString& Path)
{
    const qsizetype dot = Path.lastIndexOf(u'.');
    if (dot < 0 || dot < Path.lastIndexOf(Separator))
        return Path;
    return Path.left(dot);
}

QString UniqueFileName(const QString& Path)
{
    const QString stem = StripExt(Path);
    const QString extension = Path.mid(stem.size());
    for (std::int64_t n = 1;; ++n) {
        const QString candidate = stem + u'(' + QString::number(n) + u')' + extension;
        if (!NameIsTaken(candidate))
            return candidate;
    }
}

std::int64_t LocalFileSize(const QString& Path)
{
    const QFileInfo info(Path);
    if (Path.isEmpty() || !info.exists())
        return -1;
    return info.size();
}
