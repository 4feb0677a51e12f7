#include "platform/files/FileIdentity.h"

#include "tests/support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

TEST(FileIdentity, RecognisesOneFileUnderAnySpelling)
{
    TempDir dir;
    const QString file = dir.write(QStringLiteral("sub/a.txt"), "data");
    const QString other = dir.write(QStringLiteral("b.txt"), "data");
    QFile::link(file, dir.filePath(QStringLiteral("link.txt")));

    EXPECT_TRUE(platform::isSameFile(file, file));
    EXPECT_TRUE(platform::isSameFile(file, dir.filePath(QStringLiteral("sub/../sub/./a.txt"))));
    EXPECT_TRUE(platform::isSameFile(file, dir.filePath(QStringLiteral("link.txt"))));
    EXPECT_FALSE(platform::isSameFile(file, other)) << "same content is not the same file";
    EXPECT_FALSE(platform::isSameFile(file, dir.filePath(QStringLiteral("absent"))));
    EXPECT_FALSE(platform::isSameFile(QString(), QString()));
}

} // namespace
