// Throughput of an HTTP download through TWebTransfer, with its dialog shown, against curl
// fetching the same file from the same local nginx to the same disk; the engine's download runs
// once as a plain job and once verified (the job's ExpectedSHA256 set).
//
//   build/bin/bench_download [size in MiB, default 512] [rounds, default 5] [--https]
//   build/bin/bench_download --files N [rounds, default 5] [--https] [--no-dialog] [--settle MS, default 300]
//
// The first form downloads one large file; its last line is "ratio R", R being our
// throughput divided by curl's. The second downloads N files of 20 KiB in one engine run
// against one curl process fetching the same addresses; its last line is "time ratio R",
// our time per file divided by curl's, and it prints each side's processor time per file too.
// Rounds alternate between curl and the engine and the median counts; with --files the two
// take turns at going first, each saving under names of its own in one folder that is emptied
// only at the end, and each run starts after a rest. Everything is written under the temporary
// folder ($TMPDIR, else /tmp): TMPDIR=/dev/shm leaves the disk out and compares the programs
// alone. Both forms print the largest gap between two ticks of a 10 ms timer on the UI thread,
// from the start of the run to OnCopyDone. A plain job computes no digest; a verified job
// computes the SHA-256 of the download and compares it before the file is put in place:
// "verified/plain" gives the cost of that, beside openssl's own speed for SHA-256.

#include "bench/download/BenchSetup.h"
#include "bench/download/ManyFiles.h"
#include "bench/download/UiGapWatch.h"
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

} // namespace

int main(int argc, char** argv)
{
    prepareTestEnvironment();
    QApplication app(argc, argv);
    const BenchOptions options = parseBenchOptions(argc, argv);
    if (options.files > 0)
        return runManyFiles(options);
    const qint64 size = options.sizeMiB * MiB;

    TempDir served;
    TempDir target;
    TempDir tls;
    if (!makeFile(served.filePath(QStringLiteral("big.bin")), size)) {
        std::fprintf(stderr, "cannot create the source file\n");
        return 1;
    }
    const BenchServer server(served.path(), tls.path(), options.https);
    if (!server.nginx || !server.nginx->isRunning()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }
    const QString url = server.nginx->url(QStringLiteral("/big.bin"));
    const QString digest = sha256Of(served.filePath(QStringLiteral("big.bin")));

    // Rounds alternate between curl and the engine, each starting with the page cache
    // written back, so neither pays for the other's dirty pages; the median round counts.
    const int Rounds = options.rounds;
    const QString curlFile = target.filePath(QStringLiteral("curl.bin"));
    const QString ourFile = target.filePath(QStringLiteral("big.bin"));
    std::vector<qint64> curlTimes;
    std::vector<qint64> ourTimes;
    std::vector<qint64> verifiedTimes;
    std::vector<double> gaps;
    double cpuUsed = 0;
    qint64 progressEvents = 0;
    qint64 memoryBefore = 0;
    qint64 peak = 0;
    QElapsedTimer clock;
    for (int round = 0; round < Rounds; ++round) {
        QProcess::execute(QStringLiteral("sync"), {});
        clock.start();
        const int curlExit = QProcess::execute(QStringLiteral("curl"), server.curlArguments() + QStringList{QStringLiteral("-s"), QStringLiteral("-o"), curlFile, url});
        const qint64 curlRound = clock.nsecsElapsed();
        if (curlExit != 0 || QFile(curlFile).size() != size) {
            std::fprintf(stderr, "curl failed\n");
            return 1;
        }
        QFile::remove(curlFile);
        curlTimes.push_back(curlRound);

        // The plain and the verified job take turns at going first, so neither always meets the
        // other's writeback.
        for (const bool verified : {round % 2 == 1, round % 2 == 0}) {
            QProcess::execute(QStringLiteral("sync"), {});
            BenchEngine engine;
            engine.ShowTime = true;
            engine.ShowElapsedTime = true;
            engine.ShowCompletion = true;
            engine.TrustedCertificates = server.certificate;
            TWebTransferItem* job = engine.Items().Add();
            job->URL = url;
            job->TargetDir = target.path();
            if (verified)
                job->ExpectedSHA256 = digest;
            qint64 events = 0;
            UiGapWatch gapWatch;
            engine.OnCopyProgress = [&](TWebTransfer*, int, std::int64_t, std::int64_t) { ++events; };
            engine.OnCopyDone = [&](TWebTransfer*) { gapWatch.stop(); };
            const qint64 before = statusField("VmRSS:");
            resetPeakMemory();
            const double cpuBefore = threadCpuSeconds();
            const double userBefore = threadUserSeconds();
            clock.restart();
            gapWatch.start();
            engine.Execute();
            const qint64 ourRound = clock.nsecsElapsed();
            const double cpuRound = threadCpuSeconds() - cpuBefore;
            const double userRound = threadUserSeconds() - userBefore;
            peak = std::max(peak, statusField("VmHWM:"));
            if (!job->Success() || QFile(ourFile).size() != size || job->SHA256() != (verified ? digest : QString())) {
                std::fprintf(stderr, "the engine's download failed\n");
                return 1;
            }
            QFile::remove(ourFile);
            (verified ? verifiedTimes : ourTimes).push_back(ourRound);
            gaps.push_back(gapWatch.largestMs());
            std::printf("round %d: curl %.1f MB/s, TWebTransfer%s %.1f MB/s (busy %.0f%%, user %.2f s, system %.2f s), "
                        "largest UI gap %.1f ms (ended %.0f ms before OnCopyDone)\n",
                        round + 1, megabytesPerSecond(size, curlRound), verified ? " verified" : "",
                        megabytesPerSecond(size, ourRound),
                        cpuRound / (static_cast<double>(ourRound) / 1e9) * 100, userRound, cpuRound - userRound,
                        gapWatch.largestMs(), gapWatch.largestEndedBeforeStopMs());
            std::fflush(stdout);
            if (!verified)
                cpuUsed = cpuRound; // beside the plain run's time below
            progressEvents = events;
            memoryBefore = before;
        }
    }

    const qint64 curlTime = median(curlTimes);
    const qint64 ourTime = median(ourTimes);
    const double curlRate = megabytesPerSecond(size, curlTime);
    const double ourRate = megabytesPerSecond(size, ourTime);
    std::printf("file: %lld MiB from %s\n", static_cast<long long>(size / MiB), qPrintable(url));
    std::printf("median of %d rounds\ncurl -o: %.1f MB/s\n", Rounds, curlRate);
    std::printf("TWebTransfer (dialog shown): %.1f MB/s, largest UI gap %.1f ms (median; worst round %.1f ms), "
                "%lld progress events (%lld blocks of 4096 bytes)\n",
                ourRate, median(gaps), *std::max_element(gaps.begin(), gaps.end()),
                static_cast<long long>(progressEvents), static_cast<long long>((size + 4095) / 4096));
    std::printf("engine thread busy %.0f%% of its last plain run\n", cpuUsed / (static_cast<double>(ourTimes.back()) / 1e9) * 100);
    std::printf("memory: %.1f MiB resident before the run, peak %.1f MiB during it (growth %.1f MiB)\n",
                static_cast<double>(memoryBefore) / MiB, static_cast<double>(peak) / MiB,
                static_cast<double>(peak - memoryBefore) / MiB);
    const double verifiedRate = megabytesPerSecond(size, median(verifiedTimes));
    std::printf("TWebTransfer verified: %.1f MB/s, verified/plain %.2f\n", verifiedRate, verifiedRate / ourRate);
    std::printf("openssl speed -evp sha256 (64 KiB blocks): %s\n", qPrintable(opensslSpeed()));
    std::printf("verified ratio %.2f\n", verifiedRate / curlRate);
    std::printf("ratio %.2f\n", ourRate / curlRate);
    return 0;
}
