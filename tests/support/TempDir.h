#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh directory for one test, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();

    const QString& path() const { return m_path; }
    // The absolute path of a name inside the directory.
    QString filePath(const QString& name) const;
    // Writes a file (creating its parent directories) and returns its path.
    QString write(const QString& name, const QByteArray& content = {}) const;
    QByteArray read(const QString& name) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};
