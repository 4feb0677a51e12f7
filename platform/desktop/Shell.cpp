#include "platform/desktop/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform {

bool openWithDefaultHandler(const QString& path)
{
    if (path.isEmpty())
        return false;
    // QDesktopServices hands the URL to the desktop (xdg-open or the portal) as a detached
    // process, so a slow or hanging handler never holds up the caller.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

ProgramStart shellOpen(const QString& path, const QStringList& preferredWineFolders)
{
    if (isWindowsProgram(path))
        return startWithWine(path, preferredWineFolders);
    if (!openWithDefaultHandler(path))
        return {ProgramStart::Status::Failed, QStringLiteral("No program could be started to open the file")};
    return {};
}

} // namespace platform
