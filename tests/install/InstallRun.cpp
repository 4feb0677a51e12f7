#include "tests/install/InstallRun.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>

namespace {

// Validators and dpkg-shlibdeps are quick; a loaded machine gets plenty of room.
constexpr int Patience = 120000;

} // namespace

CommandResult RunCommand(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    CommandResult result;
    result.finished = process.waitForFinished(Patience);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromLocal8Bit(process.readAll());
    return result;
}

QString RequireTool(const QString& name)
{
    const QString path = QStandardPaths::findExecutable(name);
    EXPECT_FALSE(path.isEmpty()) << name.toStdString() << " is missing: scripts/bootstrap installs it";
    return path;
}

QString AppId()
{
    return QStringLiteral(KX_APP_ID);
}

QList<int> IconSizes()
{
    QList<int> sizes;
    for (const QString& size : QStringLiteral(KX_ICON_SIZES).split(u' ', Qt::SkipEmptyParts))
        sizes << size.toInt();
    return sizes;
}

QStringList ExpectedFiles()
{
    QStringList files = {
        QStringLiteral("usr/bin/SetupKAPLIX"),
        QStringLiteral("usr/share/applications/%1.desktop").arg(AppId()),
        QStringLiteral("usr/share/metainfo/%1.metainfo.xml").arg(AppId()),
        QStringLiteral("usr/share/doc/kaplix-install-assistant/copyright"),
    };
    for (int size : IconSizes())
        files << QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(AppId());
    files.sort();
    return files;
}

QStringList FilesBelow(const QString& root)
{
    QStringList files;
    const QDir base(root);
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << base.relativeFilePath(it.next());
    files.sort();
    return files;
}

void InstalledTree::SetUp()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), m_destdir.path());
    const CommandResult install = RunCommand(
        QStringLiteral(KX_CMAKE),
        {QStringLiteral("--install"), QStringLiteral(KX_BUILD_DIR), QStringLiteral("--prefix"), QStringLiteral("/usr")},
        environment);
    ASSERT_TRUE(install.finished && install.exitCode == 0) << install.output.toStdString();
}
