#include "platform/Fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontInfo>
#include <QImage>
#include <QPainter>

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

TEST(DesignFonts, BoldTahomaIsDrawnHeavierThanRegular)
{
    ASSERT_TRUE(platform::ensureDesignFonts());
    const auto inkOf = [](bool bold) {
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(11);
        font.setBold(bold);
        QImage image(120, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(2, 14, QStringLiteral("Upgrade KAPLIX"));
        painter.end();
        long ink = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                ink += 255 - qGray(image.pixel(x, y));
        return ink;
    };
    EXPECT_GT(inkOf(true), inkOf(false) * 5 / 4);
}

} // namespace
