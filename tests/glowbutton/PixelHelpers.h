#pragma once

#include "controls/Colors.h"
#include "tests/support/Pixels.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

// Pixel checks in the colour notation the controls use (0x00BBGGRR); alpha is left out.
inline TColor ColorAt(const QImage& Image, int X, int Y)
{
    const QColor Pixel = pixelAt(Image, X, Y);
    return RGBColor(Pixel.red(), Pixel.green(), Pixel.blue());
}

inline int ChannelDistance(TColor a, TColor b)
{
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// The colour a fraction t of the way from a to b.
inline TColor Between(TColor a, TColor b, double t)
{
    auto Channel = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return RGBColor(Channel(GetRValue(a), GetRValue(b)), Channel(GetGValue(a), GetGValue(b)),
                    Channel(GetBValue(a), GetBValue(b)));
}

inline QString Hex(TColor Color)
{
    return QStringLiteral("0x%1").arg(Color, 6, 16, QLatin1Char('0')).toUpper();
}

inline testing::AssertionResult ColorNear(const QImage& Image, int X, int Y, TColor Expected, int Tolerance = 2)
{
    const TColor Actual = ColorAt(Image, X, Y);
    if (ChannelDistance(Actual, Expected) <= Tolerance)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "pixel (" << X << ", " << Y << ") is " << Hex(Actual).toStdString()
                                       << ", expected " << Hex(Expected).toStdString() << " within " << Tolerance;
}

#define EXPECT_PIXEL(Image, X, Y, Expected) EXPECT_TRUE(ColorNear(Image, X, Y, Expected))
#define EXPECT_PIXEL_NEAR(Image, X, Y, Expected, Tolerance) EXPECT_TRUE(ColorNear(Image, X, Y, Expected, Tolerance))
