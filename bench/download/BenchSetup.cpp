#include "bench/download/BenchSetup.h"

#include "platform/network/InternetSession.h"
#include "tests/support/TestCertificate.h"

BenchOptions parseBenchOptions(int argc, char** argv)
{
    BenchOptions options;
    std::vector<QByteArray> numbers;
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--https")
            options.https = true;
        else if (argument == "--no-dialog")
            options.dialog = false;
        else if (argument == "--settle" && i + 1 < argc)
            options.settleMs = std::max(0, QByteArray(argv[++i]).toInt());
        else if (argument == "--files" && i + 1 < argc)
            options.files = std::max(1, QByteArray(argv[++i]).toInt());
        else
            numbers.push_back(argument);
    }
    std::size_t next = 0;
    if (options.files == 0 && next < numbers.size())
        options.sizeMiB = std::max<qint64>(1, numbers[next++].toLongLong());
    if (next < numbers.size())
        options.rounds = std::max(1, numbers[next].toInt());
    return options;
}

BenchServer::BenchServer(const QString& documentRoot, const QString& certificateDir, bool https)
{
    NginxServer::Tls tls;
    if (https) {
        const TestCertificate made = makeTestCertificate(certificateDir, QStringLiteral("IP:127.0.0.1"));
        if (!made.ok)
            return;
        certificate = made.certificate;
        tls = {made.certificate, made.key};
    }
    nginx = std::make_unique<NginxServer>(documentRoot, QString(), tls);
}

QStringList BenchServer::curlArguments() const
{
    return certificate.isEmpty() ? QStringList() : QStringList{QStringLiteral("--cacert"), certificate};
}
