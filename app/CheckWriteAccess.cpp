#include "app/CheckWriteAccess.h"

#include "platform/system/SystemProbes.h"

#include <QFile>
#include <QFileInfo>

namespace {

// True when nothing of that name is left: absent, or deleted now.
bool RemovedIfPresent(const QString& File)
{
    const QFileInfo info(File);
    if (!info.exists() && !info.isSymLink())
        return true;
    return QFile::remove(File);
}

} // namespace

int CheckWriteAccess(const QString& Path)
{
    const platform::FileAttributes attributes = platform::fileAttributes(Path);
    if (!attributes.readable || attributes.readOnly)
        return waReadOnlyOrMissing;
    if (!attributes.directory)
        return waNotADirectory;

    const QString testFile = (Path.endsWith(u'/') ? Path : Path + u'/') + QStringLiteral("kaplixTest.txt");
    if (!RemovedIfPresent(testFile))
        return waTestFileStuck;

    bool written = false;
    {
        QFile file(testFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            const QByteArray line = "test\r\n";
            written = file.write(line) == line.size();
            written = file.flush() && written;
            file.close();
            written = written && file.error() == QFileDevice::NoError;
        }
    }
    if (!RemovedIfPresent(testFile))
        return waTestFileStuck;
    return written ? waWritable : waWriteFailed;
}
