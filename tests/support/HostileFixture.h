#pragma once

#include "tests/support/EngineFixture.h"

#include <QTimer>

// Jobs write into a directory ("inside") within the target directory, so a file that escapes
// it shows up in the outer one.
class HostileFixture : public EngineFixture {
protected:
    HostileFixture() { QDir().mkpath(inside()); }

    QString inside() const { return outer.filePath(QStringLiteral("inside")); }
    QString insideFile(const QString& name) const { return inside() + u'/' + name; }

    QByteArray readInside(const QString& name) const { return readFile(insideFile(name)); }

    void writeInside(const QString& name, const QByteArray& content) const
    {
        outer.write(QStringLiteral("inside/") + name, content);
    }

    // The resident memory of this process in KiB.
    static qint64 residentKiB()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        }
        return -1;
    }

    // The failure events recorded, errors first, then addresses that could not be opened.
    QStringList failures() const
    {
        return events.only(QStringLiteral("Error")) + events.only(QStringLiteral("URLNotFound"));
    }

    // Runs the jobs; true when the event loop handled a timer while the run was going on, so
    // a window would have gone on being painted and taking clicks.
    bool executeServingTheLoop()
    {
        bool running = true;
        bool served = false;
        QTimer probe;
        probe.setSingleShot(true);
        QObject::connect(&probe, &QTimer::timeout, [&] { served = running; });
        probe.start(0);
        run.Execute();
        running = false;
        return served;
    }

    // Runs the jobs and cancels once the event loop has kept ticking for a while after the
    // first data arrived; true when that cancel was given.
    bool executeCancellingAfterFirstData()
    {
        int ticks = 0;
        int ticksAtFirstData = -1;
        bool cancelled = false;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            ++ticks;
            if (!cancelled && ticksAtFirstData >= 0 && ticks - ticksAtFirstData >= 20) {
                cancelled = true;
                run.CancelCopy();
            }
        });
        ticker.start(10);
        const auto original = run.OnCopyProgress;
        run.OnCopyProgress = [&](TTransferRun* sender, int fileidx, std::int64_t size, std::int64_t total) {
            if (original)
                original(sender, fileidx, size, total);
            if (ticksAtFirstData < 0 && size > 0)
                ticksAtFirstData = ticks;
        };
        run.Execute();
        run.OnCopyProgress = original;
        return cancelled;
    }

    const TempDir& outer = target;
};
