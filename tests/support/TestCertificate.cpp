#include "tests/support/TestCertificate.h"

#include <QDir>
#include <QProcess>

TestCertificate makeTestCertificate(const QString& dir, const QString& subjectAltName)
{
    TestCertificate result;
    result.certificate = QDir(dir).filePath(QStringLiteral("cert.pem"));
    result.key = QDir(dir).filePath(QStringLiteral("key.pem"));
    const QString commonName = subjectAltName.mid(subjectAltName.indexOf(u':') + 1);
    QProcess openssl;
    openssl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                   QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                   QStringLiteral("/CN=") + commonName, QStringLiteral("-addext"),
                   QStringLiteral("subjectAltName=") + subjectAltName, QStringLiteral("-keyout"), result.key,
                   QStringLiteral("-out"), result.certificate});
    result.ok = openssl.waitForFinished(60000) && openssl.exitStatus() == QProcess::NormalExit
        && openssl.exitCode() == 0;
    return result;
}
