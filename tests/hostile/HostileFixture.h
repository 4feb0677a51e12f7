#pragma once

#include "tests/support/ClickButton.h"
#include "tests/support/EngineEvents.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/TempDir.h"
#include "transfer/WebTransfer.h"

#include <QDir>
#include <QFile>
#include <QTimer>

#include <gtest/gtest.h>

// An engine with its events recorded and a target directory ("inside") within an outer
// directory, so a file that escapes the target shows up in the outer one.
class HostileFixture : public testing::Test {
protected:
    HostileFixture() : events(engine)
    {
        QDir().mkpath(inside());
    }

    // The body the test servers send for a size.
    static QByteArray bodyOf(int size)
    {
        QByteArray result(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            result[i] = static_cast<char>(i % 256);
        return result;
    }

    QString inside() const { return outer.filePath(QStringLiteral("inside")); }
    QString insideFile(const QString& name) const { return inside() + u'/' + name; }

    QByteArray readInside(const QString& name) const
    {
        QFile file(insideFile(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void writeInside(const QString& name, const QByteArray& content) const
    {
        outer.write(QStringLiteral("inside/") + name, content);
    }

    static QStringList entriesOf(const QString& dir)
    {
        return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
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

    // Runs the engine; true when the event loop handled a timer while the run was going on,
    // so a window would have gone on being painted and taking clicks.
    bool executeServingTheLoop()
    {
        bool running = true;
        bool served = false;
        QTimer probe;
        probe.setSingleShot(true);
        QObject::connect(&probe, &QTimer::timeout, [&] { served = running; });
        probe.start(0);
        engine.Execute();
        running = false;
        return served;
    }

    // Clicks the progress dialog's Cancel button, as the user would.
    void clickCancel() { ASSERT_TRUE(clickButton(engine.ProgressForm(), engine.DlgCancel)) << "no Cancel button"; }

    TempDir outer;
    TWebTransfer engine;
    EngineEvents events;
};
