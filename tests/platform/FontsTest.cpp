#include "platform/Fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontInfo>

#include <gtest/gtest.h>

namespace {

TEST(DesignFonts, TahomaEightPointIsThirteenPixelsHighAtNinetySixDpi)
{
    ASSERT_TRUE(platform::ensureDesignFonts());
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11); // 8 pt at 96 dpi
    EXPECT_EQ(QFontInfo(tahoma).family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(QFontMetrics(tahoma).height(), 13);
}

} // namespace
