#include "bench/download/ManyFiles.h"

#include "bench/download/UiGapWatch.h"
#include "tests/support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <cstdio>

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

bool allThere(const QString& dir, int count)
{
    for (int index = 0; index < count; ++index) {
        if (QFileInfo(QDir(dir).filePath(nameOf(index))).size() != FileSize)
            return false;
    }
    return true;
}

double perFileMs(qint64 nanoseconds, int count)
{
    return static_cast<double>(nanoseconds) / 1e6 / count;
}

// A folder of its own for each contender in each round, none of them emptied before the end:
// a file system such as ext4 without a journal skips the inodes freed in the last minutes when
// it makes a new one, so whoever wrote after a deletion would pay for the other's files.
QString freshFolder(const TempDir& targets, int round, const char* who)
{
    const QString path = targets.filePath(QStringLiteral("round%1-%2").arg(round).arg(QLatin1String(who)));
    return QDir().mkpath(path) ? path : QString();
}

} // namespace

int runManyFiles(const BenchOptions& options)
{
    const int count = options.files;
    TempDir served;
    TempDir targets;
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

    // curl takes the whole list in one process, as one run of the engine takes its jobs.
    const auto runCurl = [&](int round) {
        const QString folder = freshFolder(targets, round, "curl");
        QByteArray config;
        for (int index = 0; index < count; ++index) {
            config += "url = \"" + server.nginx->url(QLatin1Char('/') + nameOf(index)).toUtf8() + "\"\n";
            config += "output = \"" + QDir(folder).filePath(nameOf(index)).toUtf8() + "\"\n";
        }
        const QString configPath = work.write(QStringLiteral("curl%1.conf").arg(round), config);
        QElapsedTimer clock;
        clock.start();
        const int curlExit = QProcess::execute(QStringLiteral("curl"), server.curlArguments()
                                                   + QStringList{QStringLiteral("-s"), QStringLiteral("-K"), configPath});
        curlTimes.push_back(clock.nsecsElapsed());
        if (curlExit != 0 || !allThere(folder, count)) {
            std::fprintf(stderr, "curl failed\n");
            return false;
        }
        return true;
    };
    const auto runEngine = [&](int round) {
        const QString folder = freshFolder(targets, round, "engine");
        BenchEngine engine;
        engine.ShowTime = true;
        engine.ShowElapsedTime = true;
        engine.TrustedCertificates = server.certificate;
        engine.ShowDialog = options.dialog;
        for (int index = 0; index < count; ++index) {
            TWebTransferItem* job = engine.Items().Add();
            job->URL = server.nginx->url(QLatin1Char('/') + nameOf(index));
            job->TargetDir = folder;
        }
        UiGapWatch gapWatch;
        engine.OnCopyDone = [&](TWebTransfer*) { gapWatch.stop(); };
        QElapsedTimer clock;
        clock.start();
        gapWatch.start();
        engine.Execute();
        ourTimes.push_back(clock.nsecsElapsed());
        gaps.push_back(gapWatch.largestMs());
        for (int index = 0; index < count; ++index) {
            if (!engine.Items()[index]->Success()) {
                std::fprintf(stderr, "the engine's job %d failed\n", index);
                return false;
            }
        }
        if (!allThere(folder, count)) {
            std::fprintf(stderr, "the engine's files are not all there\n");
            return false;
        }
        return true;
    };

    // The two take turns at going first.
    for (int round = 0; round < options.rounds; ++round) {
        const bool ran = round % 2 == 0 ? runCurl(round) && runEngine(round) : runEngine(round) && runCurl(round);
        if (!ran)
            return 1;
        std::printf("round %d (%s first): curl %.3f ms per file, TWebTransfer %.3f ms per file, largest UI gap %.1f ms\n",
                    round + 1, round % 2 == 0 ? "curl" : "engine", perFileMs(curlTimes.back(), count),
                    perFileMs(ourTimes.back(), count), gaps.back());
        std::fflush(stdout);
    }

    const double curlPerFile = perFileMs(median(curlTimes), count);
    const double ourPerFile = perFileMs(median(ourTimes), count);
    std::printf("%d files of %lld KiB over %s into %s, median of %d rounds\n", count,
                static_cast<long long>(FileSize / 1024), options.https ? "https" : "http",
                qPrintable(QDir::tempPath()), options.rounds);
    std::printf("curl (one process): %.3f ms per file\n", curlPerFile);
    std::printf(options.dialog ? "TWebTransfer (dialog shown, one run)" : "TWebTransfer (no dialog, one run)");
    std::printf(": %.3f ms per file, largest UI gap %.1f ms (median; worst %.1f ms)\n",
                ourPerFile, median(gaps), *std::max_element(gaps.begin(), gaps.end()));
    std::printf("time ratio %.2f\n", ourPerFile / curlPerFile);
    return 0;
}
