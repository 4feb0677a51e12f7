#pragma once

// Owners and access rights of test files, for tests about what another user could change.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

inline bool IsRoot()
{
    return ::geteuid() == 0;
}

// Gives a file or folder (a link itself, not what it points to) to the unprivileged account
// "nobody"; only root can.
inline void GiveToNobody(const QString& path)
{
    const struct passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    ASSERT_EQ(::lchown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid), 0);
}

inline void SetMode(const QString& path, mode_t mode)
{
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

// The type and access bits of path itself (a link is not followed); 0 when it is missing.
inline mode_t ModeOf(const QString& path)
{
    struct stat entry {};
    if (::lstat(QFile::encodeName(path).constData(), &entry) != 0)
        return 0;
    return entry.st_mode;
}
