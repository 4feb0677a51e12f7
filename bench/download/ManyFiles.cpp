#include "bench/download/ManyFiles.h"

#include "bench/download/UiGapWatch.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr qint64 FileSize = 20 * 1024;

QString nameOf(int index)
{
    return QStringLiteral("f%1.bin").arg(index, 5, 10, QLatin1Char('0'));
}

bool makeFiles(const TempDir& served, int count)
{
    QByteArray content(FileSize, Qt::Uninitialized);
    for (int index = 0; index < count; ++index) {
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = static_cast<char>((i * 7919 + index) % 251);
        QFile file(served.filePath(nameOf(index)));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return false;
    }
    return true;
}

// The name a side saves a file under in a round.
QString savedName(int round, const char* who, int index)
{
    return QStringLiteral("r%1-%2-").arg(round).arg(QLatin1String(who)) + nameOf(index);
}

bool allThere(const QString& dir, int round, const char* who, int count)
{
    for (int index = 0; index < count; ++index) {
        if (QFileInfo(QDir(dir).filePath(savedName(round, who, index))).size() != FileSize)
            return false;
    }
    return true;
}

double perFileMs(qint64 nanoseconds, int count)
{
    return static_cast<double>(nanoseconds) / 1e6 / count;
}

// Processor time (user and system) of this process's threads, or of its ended children.
qint64 cpuNanoseconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return (static_cast<qint64>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000000
        + (static_cast<qint64>(usage.ru_utime.tv_usec) + usage.ru_stime.tv_usec) * 1000;
}

} // namespace

int runManyFiles(const BenchOptions& options)
{
    const int count = options.files;
    TempDir served;
    // Both sides write into one folder and nothing is deleted before the end: a file system
    // such as ext4 without a journal skips the inodes freed in the last minutes when it makes
    // a new one, and does so per group of inodes, so a deletion between the rounds, or a
    // folder of each side's own in another group, would make one side pay for what the
    // other did.
    TempDir target;
    TempDir tls;
    TempDir work;
    if (!makeFiles(served, count)) {
        std::fprintf(stderr, "cannot create the source files\n");
        return 1;
    }
    const BenchServer server(served.path(), tls.path(), options.https);
    if (!server.nginx || !server.nginx->isRunning()) {
        std::fprintf(stderr, "nginx did not start\n");
        return 1;
    }

    std::vector<qint64> curlTimes;
    std::vector<qint64> ourTimes;
    std::vector<double> gaps;
    // Processor time is steadier than the time on the clock, which the other side's
    // scheduling moves as much as the program's own work does.
    std::vector<qint64> curlCpu;
    std::vector<qint64> ourCpu;

    // curl takes the whole list in one process, as one run of the engine takes its jobs.
    const auto runCurl = [&](int round) {
        const QString& folder = target.path();
        QByteArray config;
        for (int index = 0; index < count; ++index) {
            config += "url = \"" + server.nginx->url(QLatin1Char('/') + nameOf(index)).toUtf8() + "\"\n";
            config += "output = \"" + QDir(folder).filePath(savedName(round, "curl", index)).toUtf8() + "\"\n";
        }
        const QString configPath = work.write(QStringLiteral("curl%1.conf").arg(round), config);
        const qint64 cpuBefore = cpuNanoseconds(RUSAGE_CHILDREN);
        QElapsedTimer clock;
        clock.start();
        const int curlExit = QProcess::execute(QStringLiteral("curl"), server.curlArguments()
                                                   + QStringList{QStringLiteral("-s"), QStringLiteral("-K"), configPath});
        curlTimes.push_back(clock.nsecsElapsed());
        curlCpu.push_back(cpuNanoseconds(RUSAGE_CHILDREN) - cpuBefore);
        if (curlExit != 0 || !allThere(folder, round, "curl", count)) {
            std::fprintf(stderr, "curl failed\n");
            return false;
        }
        return true;
    };
    const auto runEngine = [&](int round) {
        const QString& folder = target.path();
        BenchEngine engine;
        engine.ShowTime = true;
        engine.ShowElapsedTime = true;
        engine.TrustedCertificates = server.certificate;
        engine.ShowDialog = options.dialog;
        for (int index = 0; index < count; ++index) {
            TWebTransferItem* job = engine.Items().Add();
            job->URL = server.nginx->url(QLatin1Char('/') + nameOf(index));
            job->TargetDir = folder;
            job->TargetFilename = savedName(round, "engine", index);
        }
        UiGapWatch gapWatch;
        engine.OnCopyDone = [&](TWebTransfer*) { gapWatch.stop(); };
        const qint64 cpuBefore = cpuNanoseconds(RUSAGE_THREAD);
        QElapsedTimer clock;
        clock.start();
        gapWatch.start();
        engine.Execute();
        ourTimes.push_back(clock.nsecsElapsed());
        ourCpu.push_back(cpuNanoseconds(RUSAGE_THREAD) - cpuBefore);
        gaps.push_back(gapWatch.largestMs());
        for (int index = 0; index < count; ++index) {
            if (!engine.Items()[index]->Success()) {
                std::fprintf(stderr, "the engine's job %d failed\n", index);
                return false;
            }
        }
        if (!allThere(folder, round, "engine", count)) {
            std::fprintf(stderr, "the engine's files are not all there\n");
            return false;
        }
        return true;
    };

    // Each run starts on a machine that has come to rest. This machine runs at full speed for
    // about half a second of load and then at about half of it (the same code: a file takes
    // twice as long and a quarter more processor time), until it has rested. A run started at
    // once after another inherits the slow state, and alternating turns would then favour
    // whichever side happened to follow a rest. One run of 1000 files takes about a tenth of
    // a second.
    const auto settle = [&options] {
        QThread::msleep(static_cast<unsigned long>(options.settleMs));
        return true;
    };

    // The two take turns at going first.
    for (int round = 0; round < options.rounds; ++round) {
        const bool ran = round % 2 == 0 ? settle() && runCurl(round) && settle() && runEngine(round)
                                        : settle() && runEngine(round) && settle() && runCurl(round);
        if (!ran)
            return 1;
        std::printf("round %d (%s first): curl %.3f ms per file (processor %.3f), TWebTransfer %.3f ms per file "
                    "(processor %.3f), largest UI gap %.1f ms\n",
                    round + 1, round % 2 == 0 ? "curl" : "engine", perFileMs(curlTimes.back(), count),
                    perFileMs(curlCpu.back(), count), perFileMs(ourTimes.back(), count),
                    perFileMs(ourCpu.back(), count), gaps.back());
        std::fflush(stdout);
    }

    const double curlPerFile = perFileMs(median(curlTimes), count);
    const double ourPerFile = perFileMs(median(ourTimes), count);
    std::printf("%d files of %lld KiB over %s into %s, median of %d rounds, %d ms of rest before each run\n", count,
                static_cast<long long>(FileSize / 1024), options.https ? "https" : "http",
                qPrintable(QDir::tempPath()), options.rounds, options.settleMs);
    std::printf("curl (one process): %.3f ms per file, processor %.3f ms per file\n", curlPerFile,
                perFileMs(median(curlCpu), count));
    std::printf(options.dialog ? "TWebTransfer (dialog shown, one run)" : "TWebTransfer (no dialog, one run)");
    std::printf(": %.3f ms per file, processor %.3f ms per file, largest UI gap %.1f ms (median; worst %.1f ms)\n",
                ourPerFile, perFileMs(median(ourCpu), count), median(gaps), *std::max_element(gaps.begin(), gaps.end()));
    std::printf("time ratio %.2f\n", ourPerFile / curlPerFile);
    return 0;
}
