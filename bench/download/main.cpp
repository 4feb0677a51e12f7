// Throughput of an HTTP download through TWebTransfer, with its dialog shown, against curl
// fetching the same file from the same local nginx to the same disk; once as a plain job and
// once verified (the job's ExpectedSHA256 set).
//
//   build/bin/bench_download [size in MiB, default 512] [rounds, default 3]
//
// The engine computes every download's SHA-256 (a job reports it in SHA256()); a verified job
// also compares it before the file is put in place. The lines "ratio R" and "verified ratio V"
// give our best throughput divided by curl's best; "verified/plain" is V / R. The "median"
// lines give the same for the median rounds. openssl's own speed for SHA-256 is printed for
// comparison.

#include "tests/support/NginxServer.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"
#include "transfer/WebTransfer.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

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

QString sha256Of(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

// The last line of `openssl speed -evp sha256` on 64 KiB blocks, as openssl prints it.
QString opensslSpeed()
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"), {QStringLiteral("speed"), QStringLiteral("-evp"), QStringLiteral("sha256"),
                                              QStringLiteral("-bytes"), QStringLiteral("65536"), QStringLiteral("-seconds"),
                                              QStringLiteral("2")});
    if (!openssl.waitForFinished(60000))
        return QStringLiteral("(openssl speed did not finish)");
    const QList<QByteArray> lines = openssl.readAllStandardOutput().trimmed().split('\n');
    return lines.isEmpty() ? QStringLiteral("(no output)") : QString::fromLatin1(lines.last().simplified());
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// One download through the engine; its time in nanoseconds, or -1 when it failed.
struct EngineRound {
    qint64 time = -1;
    double cpu = 0;
    double user = 0;
    qint64 events = 0;
    qint64 memoryBefore = 0;
};

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
    const QString digest = sha256Of(served.filePath(QStringLiteral("big.bin")));

    // Rounds alternate between curl and the engine (plain and verified), each starting with the
    // page cache written back, so none pays for another's dirty pages; the best round counts.
    const int Rounds = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 3;
    const QString curlFile = target.filePath(QStringLiteral("curl.bin"));
    const QString ourFile = target.filePath(QStringLiteral("big.bin"));
    qint64 curlTime = -1;
    EngineRound bestPlain;
    EngineRound bestVerified;
    std::vector<qint64> curlTimes;
    std::vector<qint64> plainTimes;
    std::vector<qint64> verifiedTimes;
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
        curlTimes.push_back(curlRound);
        if (curlTime < 0 || curlRound < curlTime)
            curlTime = curlRound;

        // The two kinds take turns at going first, so neither always meets the other's writeback.
        for (const bool verified : {round % 2 == 1, round % 2 == 0}) {
            QProcess::execute(QStringLiteral("sync"), {});
            TWebTransfer engine;
            engine.ShowTime = true;
            engine.ShowElapsedTime = true;
            engine.ShowCompletion = true;
            TWebTransferItem* job = engine.Items().Add();
            job->URL = url;
            job->TargetDir = target.path();
            if (verified)
                job->ExpectedSHA256 = digest;
            EngineRound run;
            engine.OnCopyProgress = [&](TWebTransfer*, int, std::int64_t, std::int64_t) { ++run.events; };
            run.memoryBefore = statusField("VmRSS:");
            resetPeakMemory();
            const double cpuBefore = threadCpuSeconds();
            const double userBefore = threadUserSeconds();
            clock.restart();
            engine.Execute();
            run.time = clock.nsecsElapsed();
            run.cpu = threadCpuSeconds() - cpuBefore;
            run.user = threadUserSeconds() - userBefore;
            peak = std::max(peak, statusField("VmHWM:"));
            if (!job->Success() || QFile(ourFile).size() != size || job->SHA256() != digest) {
                std::fprintf(stderr, "the engine's download failed\n");
                return 1;
            }
            QFile::remove(ourFile);
            std::printf("round %d: curl %.1f MB/s, TWebTransfer%s %.1f MB/s (busy %.0f%%, user %.2f s, system %.2f s)\n",
                        round + 1, megabytesPerSecond(size, curlRound), verified ? " verified" : "",
                        megabytesPerSecond(size, run.time), run.cpu / (static_cast<double>(run.time) / 1e9) * 100,
                        run.user, run.cpu - run.user);
            (verified ? verifiedTimes : plainTimes).push_back(run.time);
            EngineRound& best = verified ? bestVerified : bestPlain;
            if (best.time < 0 || run.time < best.time)
                best = run;
        }
    }

    const qint64 ourTime = bestPlain.time;
    const double cpuUsed = bestPlain.cpu;
    const qint64 progressEvents = bestPlain.events;
    const qint64 memoryBefore = bestPlain.memoryBefore;
    const double curlRate = megabytesPerSecond(size, curlTime);
    const double ourRate = megabytesPerSecond(size, ourTime);
    const double verifiedRate = megabytesPerSecond(size, bestVerified.time);
    std::printf("file: %lld MiB from %s\n", static_cast<long long>(size / MiB), qPrintable(url));
    std::printf("best of %d rounds\ncurl -o: %.1f MB/s\n", Rounds, curlRate);
    std::printf("TWebTransfer (dialog shown): %.1f MB/s, %lld progress events (%lld blocks of 4096 bytes)\n", ourRate,
                static_cast<long long>(progressEvents), static_cast<long long>((size + 4095) / 4096));
    std::printf("engine thread busy %.0f%% of its run\n", cpuUsed / (static_cast<double>(ourTime) / 1e9) * 100);
    std::printf("memory: %.1f MiB resident before the run, peak %.1f MiB during it (growth %.1f MiB)\n",
                static_cast<double>(memoryBefore) / MiB, static_cast<double>(peak) / MiB,
                static_cast<double>(peak - memoryBefore) / MiB);
    std::printf("TWebTransfer verified (ExpectedSHA256 set): %.1f MB/s, engine thread busy %.0f%%\n", verifiedRate,
                bestVerified.cpu / (static_cast<double>(bestVerified.time) / 1e9) * 100);
    std::printf("openssl speed -evp sha256 (64 KiB blocks): %s\n", qPrintable(opensslSpeed()));
    // On a shared machine one lucky round can dwarf the rest: the medians say more.
    const double curlMedian = megabytesPerSecond(size, median(curlTimes));
    const double plainMedian = megabytesPerSecond(size, median(plainTimes));
    const double verifiedMedian = megabytesPerSecond(size, median(verifiedTimes));
    std::printf("medians: curl %.1f MB/s, TWebTransfer %.1f MB/s, verified %.1f MB/s\n", curlMedian, plainMedian,
                verifiedMedian);
    std::printf("median ratio %.2f\nmedian verified ratio %.2f\nmedian verified/plain %.2f\n", plainMedian / curlMedian,
                verifiedMedian / curlMedian, verifiedMedian / plainMedian);
    std::printf("ratio %.2f\nverified ratio %.2f\nverified/plain %.2f\n", ourRate / curlRate, verifiedRate / curlRate,
                verifiedRate / ourRate);
    return 0;
}
