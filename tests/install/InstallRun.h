#pragma once

#include "tests/support/TempDir.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// A program's run: how it ended and what it wrote on both channels.
struct CommandResult {
    bool finished = false;
    int exitCode = -1;
    QString output;
};

CommandResult RunCommand(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The path of a tool on PATH; an empty one fails the current test with a hint.
QString RequireTool(const QString& name);

QString AppId();
QList<int> IconSizes();

// Every file the install puts under the prefix /usr, relative to the root, sorted.
QStringList ExpectedFiles();
// The regular files below root, relative to it, sorted.
QStringList FilesBelow(const QString& root);

// The build installed with the prefix /usr into a fresh DESTDIR, as a distribution's package
// build does it.
class InstalledTree : public testing::Test {
protected:
    void SetUp() override;
    QString Installed(const QString& relative) const { return m_destdir.filePath(relative); }

    TempDir m_destdir;
};
