// Throughput of an HTTP download through TWebTransfer, with its dialog shown, against curl
// fetching the same file from the same local nginx to the same disk.
//
//   build/bin/bench_download [size in MiB, default 512] [rounds, default 3]
//
// The last line is "ratio R", R being our throughput divided by curl's.

#include "tests/support/NginxServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"
#include "transfer/WebTransfer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr qint64 MiB = 1024 * 1024;

qint64 statusField(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(static_cast<qsizetype>(qstrlen(name))).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

bool makeFile(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(MiB, Qt::Uninitialized);
    for (qint64 i = 0; i < chunk.size(); ++i)
        chunk[i] = static_cast<char>((i * 7919) % 251);
    for (qint64 written = 0; written < size; written += chunk.size())
        if (file.write(chunk) != chunk.size())
            return false;
    return true;
}

double threadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double threadUserSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) + static_cast<double>(usage.ru_utime.tv_usec) / 1e6;
}

double megabytesPerSecond(qint64 bytes, qint64 nanoseconds)
{
    return static_cast<double>(bytes) / 1e6 / (static_cast<double>(nanoseconds) / 1e9);
}

} // namespace

int main(int argc, char** argv)
{
    prepareTestEnvironment();
    QApplication app(argc, argv);
    const qint64 size = (argc > 1 ? QByteArray(argv[1]).toLongLong() : 512) * MiB;

    TempDir served;
    TempDir target;
    if (!makeFile(served.filePath(QStringLiteral("big.bin")), size)) {
        std::fprintf(stderr, "cannot create the source file\n");
        return 1;
    }
    NginxServer nginx(served.path());
    if (!nginx.isRunning()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const QString url = nginx.url(QStringLiteral("/big.bin"));

    // Rounds alternate between curl and the engine, each starting with the page cache
    // written back, so neither pays for the other's dirty pages; the best round counts.
    const int Rounds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 3;
    const QString curlFile = target.filePath(QStringLiteral("curl.bin"));
    const QString ourFile = target.filePath(QStringLiteral("big.bin"));
    qint64 curlTime = -1;
    qint64 ourTime = -1;
    double cpuUsed = 0;
    qint64 progressEvents = 0;
    qint64 memoryBefore = 0;
    qint64 peak = 0;
    QElapsedTimer clock;
    for (int round = 0; round < Rounds; ++round) {
        QProcess::execute(QStringLiteral("sync"), {});
        clock.start();
        const int curlExit = QProcess::execute(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-o"), curlFile, url});
        const qint64 curlRound = clock.nsecsElapsed();
        if (curlExit != 0 || QFile(curlFile).size() != size) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        QFile::remove(curlFile);
        if (curlTime < 0 || curlRound < curlTime)
            curlTime = curlRound;

        QProcess::execute(QStringLiteral("sync"), {});
        TWebTransfer engine;
        engine.ShowTime = true;
        engine.ShowElapsedTime = true;
        engine.ShowCompletion = true;
        TWebTransferItem* job = engine.Items().Add();
        job->URL = url;
        job->TargetDir = target.path();
        qint64 events = 0;
        engine.OnCopyProgress = [&](TWebTransfer*, int, std::int64_t, std::int64_t) { ++events; };
        const qint64 before = statusField("VmRSS:");
        resetPeakMemory();
        const double cpuBefore = threadCpuSeconds();
        const double userBefore = threadUserSeconds();
        clock.restart();
        engine.Execute();
        const qint64 ourRound = clock.nsecsElapsed();
        const double cpuRound = threadCpuSeconds() - cpuBefore;
        const double userRound = threadUserSeconds() - userBefore;
        peak = std::max(peak, statusField("VmHWM:"));
        if (!job->Success() || QFile(ourFile).size() != size) {
            std::fprintf(stderr, "the engine's download failed\n");
            return 1;
        }
        QFile::remove(ourFile);
        std::printf("round %d: curl %.1f MB/s, TWebTransfer %.1f MB/s (busy %.0f%%, user %.2f s, system %.2f s)\n", round + 1,
                    megabytesPerSecond(size, curlRound), megabytesPerSecond(size, ourRound),
                    cpuRound / (static_cast<double>(ourRound) / 1e9) * 100, userRound, cpuRound - userRound);
        if (ourTime < 0 || ourRound < ourTime) {
            ourTime = ourRound;
            cpuUsed = cpuRound;
            progressEvents = events;
            memoryBefore = before;
        }
    }

    const double curlRate = megabytesPerSecond(size, curlTime);
    const double ourRate = megabytesPerSecond(size, ourTime);
    std::printf("file: %lld MiB from %s\n", static_cast<long long>(size / MiB), qPrintable(url));
    std::printf("best of %d rounds\ncurl -o: %.1f MB/s\n", Rounds, curlRate);
    std::printf("TWebTransfer (dialog shown): %.1f MB/s, %lld progress events (%lld blocks of 4096 bytes)\n", ourRate,
                static_cast<long long>(progressEvents), static_cast<long long>((size + 4095) / 4096));
    std::printf("engine thread busy %.0f%% of its run\n", cpuUsed / (static_cast<double>(ourTime) / 1e9) * 100);
    std::printf("memory: %.1f MiB resident before the run, peak %.1f MiB during it (growth %.1f MiB)\n",
                static_cast<double>(memoryBefore) / MiB, static_cast<double>(peak) / MiB,
                static_cast<double>(peak - memoryBefore) / MiB);
    std::printf("ratio %.2f\n", ourRate / curlRate);
    return 0;
}
