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

QStringList signArguments(const QString& secretKey, const QString& path, const QString& trustedComment)
{
    QStringList arguments = {QStringLiteral("-S"), QStringLiteral("-s"), secretKey, QStringLiteral("-m"), path};
    if (!trustedComment.isEmpty())
        arguments << QStringLiteral("-t") << trustedComment;
    return arguments;
}

} // namespace

MinisignKey::MinisignKey()
{
    const QString publicFile = m_dir.filePath(QStringLiteral("release.pub"));
    if (!runMinisign({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), publicFile, QStringLiteral("-s"),
                      secretKeyPath()}))
        return;
    // The second line of the public key file; the first is its untrusted comment.
    const QList<QByteArray> lines = m_dir.read(QStringLiteral("release.pub")).split('\n');
    if (lines.size() >= 2 && lines[1].startsWith("RW"))
        m_publicKey = lines[1].trimmed();
}

QByteArray MinisignKey::sign(const QByteArray& data, Mode mode, const QString& trustedComment) const
{
    TempDir work;
    QStringList arguments = signArguments(secretKeyPath(), work.write(QStringLiteral("data"), data), trustedComment);
    if (mode == Mode::Legacy)
        arguments << QStringLiteral("-l");
    if (!runMinisign(arguments))
        return {};
    return work.read(QStringLiteral("data.minisig"));
}

bool MinisignKey::signFile(const QString& path, const QString& trustedComment) const
{
    return runMinisign(signArguments(secretKeyPath(), path, trustedComment));
}

QString MinisignKey::secretKeyPath() const
{
    return m_dir.filePath(QStringLiteral("release.key"));
}
