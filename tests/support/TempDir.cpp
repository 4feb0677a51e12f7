#include "tests/support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

TempDir::TempDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/kxtest-XXXXXX"))
    , m_path(m_dir.path())
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot create a temporary directory");
}

QString TempDir::filePath(const QString& name) const
{
    return m_path + u'/' + name;
}

QString TempDir::write(const QString& name, const QByteArray& content) const
{
    const QString path = filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("cannot write a test file");
    return path;
}

QByteArray TempDir::read(const QString& name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
