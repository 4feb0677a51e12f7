#include "transfer/PathLabel.h"

#include <gtest/gtest.h>

namespace {

TEST(TPathLabel, ShortensALongPathInTheMiddleAndKeepsTheWholeText)
{
    TPathLabel label;
    label.resize(280, 16);
    const QString path = QStringLiteral("File : 1 of 3 : /very/long/directory/") + QString(60, u'x') +
                         QStringLiteral("/SetupNoDb.exe from download.example.org");
    label.setText(path);

    const QString shown = label.DisplayedText();
    EXPECT_EQ(label.text(), path);
    EXPECT_LT(shown.size(), path.size());
    EXPECT_TRUE(shown.startsWith(QStringLiteral("File : 1")));
    EXPECT_TRUE(shown.endsWith(QStringLiteral("download.example.org")));
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), 280);
}

TEST(TPathLabel, ShowsAShortTextAsItIs)
{
    TPathLabel label;
    label.resize(280, 16);
    label.setText(QStringLiteral("File : SetupNoDb.exe"));
    EXPECT_EQ(label.DisplayedText(), QStringLiteral("File : SetupNoDb.exe"));
}

} // namespace
