#include "tests/support/MinisignKey.h"

#include <QFile>
#include <QProcess>

namespace {

bool runMinisign(const QStringList& arguments)
{
    QProcess minisign;
    minisign.setStandardInputFile(QProcess::nullDevice());
    minisign.start(QStringLiteral("minisign"), arguments);
    return minisign.waitForFinished(30000) && minisign.exitStatus() == QProcess::NormalExit
        && minisign.exitCode() == 0;
}

} // namespace

MinisignKey::MinisignKey()
{
    const QString publicFile = m_dir.filePath(QStringLiteral("release.pub"));
    if (!runMinisign({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), publicFile, QStringLiteral("-s"),
                      m_dir.filePath(QStringLiteral("release.key"))}))
        return;
    // The second line of the public key file; the first is its untrusted comment.
    const QList<QByteArray> lines = m_dir.read(QStringLiteral("release.pub")).split('\n');
    if (lines.size() >= 2 && lines[1].startsWith("RW"))
        m_publicKey = lines[1].trimmed();
}

QByteArray MinisignKey::sign(const QByteArray& data, Mode mode, const QString& trustedComment) const
{
    TempDir work;
    const QString path = work.write(QStringLiteral("data"), data);
    QStringList arguments = {QStringLiteral("-S"), QStringLiteral("-s"), m_dir.filePath(QStringLiteral("release.key")),
                             QStringLiteral("-m"), path};
    if (mode == Mode::Legacy)
        arguments << QStringLiteral("-l");
    if (!trustedComment.isEmpty())
        arguments << QStringLiteral("-t") << trustedComment;
    if (!runMinisign(arguments))
        return {};
    return work.read(QStringLiteral("data.minisig"));
}

bool MinisignKey::signFile(const QString& path) const
{
    return runMinisign({QStringLiteral("-S"), QStringLiteral("-s"), m_dir.filePath(QStringLiteral("release.key")),
                        QStringLiteral("-m"), path});
}
