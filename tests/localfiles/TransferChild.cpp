// A process that runs one transfer job and stops for good in the middle of it, to be killed
// there by a test. Once the first bytes arrived it prints "transferring" and waits.
//
//   transfer_child http URL TARGETDIR TARGETNAME
//   transfer_child ftp REMOTEFILE TARGETDIR PORT USER PASSWORD
//   transfer_child file SOURCE TARGETDIR
#include "tests/support/TestEnvironment.h"
#include "transfer/TransferRun.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    prepareTestEnvironment();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3)
        return 2;

    TTransferRun run;
    TWebTransferItem& job = *run.Items().Add();
    job.URL = args[1];
    job.TargetDir = args[2];
    if (args[0] == QStringLiteral("http") && args.size() == 4) {
        job.Protocol = wpHttp;
        job.TargetFilename = args[3];
    } else if (args[0] == QStringLiteral("ftp") && args.size() == 6) {
        job.Protocol = wpFtp;
        job.FTPHost = QStringLiteral("127.0.0.1");
        job.FTPPort = args[3].toInt();
        job.FTPUserID = args[4];
        job.FTPPassword = args[5];
    } else if (args[0] == QStringLiteral("file") && args.size() == 3) {
        job.Protocol = wpFile;
    } else {
        return 2;
    }
    run.OnCopyProgress = [](TTransferRun*, int, std::int64_t size, std::int64_t) {
        if (size <= 0)
            return;
        std::puts("transferring");
        std::fflush(stdout);
        for (;;)
            ::pause();
    };
    run.Execute();
    std::puts("finished");
    return 1;
}
