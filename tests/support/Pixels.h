#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSet>
#include <QWidget>

#include <cmath>

// The colour of one pixel of an image, alpha included.
inline QColor pixelAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

inline QColor pixelAt(const QImage& image, QPoint point)
{
    return image.pixelColor(point);
}

// The widget and its children drawn into an image of the given device pixel ratio, over white,
// as a screen of that ratio shows it (the image has the ratio set).
inline QImage renderAt(QWidget* widget, qreal ratio)
{
    QImage image(int(std::ceil(widget->width() * ratio)), int(std::ceil(widget->height() * ratio)),
        QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    widget->render(&image);
    return image;
}

// The distinct colours (alpha included) of the pixels of an image, or of one area of it.
inline QSet<QRgb> coloursOf(const QImage& image, const QRect& area)
{
    QSet<QRgb> colours;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const QRect inside = area.intersected(pixels.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            colours.insert(pixels.pixel(x, y));
    return colours;
}

inline QSet<QRgb> coloursOf(const QImage& image)
{
    return coloursOf(image, image.rect());
}

// Whether an image drawn for a device pixel ratio is only a lower-resolution picture enlarged:
// every pixel has the colour of the pixel that nearest-neighbour scaling from `logicalSize`
// would have put there, so no edge lies finer than a logical pixel.
inline bool isEnlargedFrom(const QImage& image, QSize logicalSize, qreal ratio)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const auto source = [ratio](int device, int limit) { return std::min(limit - 1, int((device + 0.5) / ratio)); };
    // The first device pixel of each logical pixel stands for the logical pixel's colour.
    const auto first = [ratio](int logical) { return int(std::ceil(logical * ratio - 0.5)); };
    for (int y = 0; y < pixels.height(); ++y) {
        for (int x = 0; x < pixels.width(); ++x) {
            const int sx = first(source(x, logicalSize.width()));
            const int sy = first(source(y, logicalSize.height()));
            if (sx < pixels.width() && sy < pixels.height() && pixels.pixel(x, y) != pixels.pixel(sx, sy))
                return false;
        }
    }
    return true;
}

// Where `needle` lies in `image` with each of its opaque pixels matched exactly (its
// transparent pixels match anything); (-1, -1) when it lies nowhere.
inline QPoint findPicture(const QImage& image, const QImage& needle)
{
    const QImage hay = image.convertToFormat(QImage::Format_ARGB32);
    const QImage pin = needle.convertToFormat(QImage::Format_ARGB32);
    for (int top = 0; top + pin.height() <= hay.height(); ++top) {
        for (int left = 0; left + pin.width() <= hay.width(); ++left) {
            bool same = true;
            for (int y = 0; y < pin.height() && same; ++y)
                for (int x = 0; x < pin.width() && same; ++x)
                    if (qAlpha(pin.pixel(x, y)) == 255 && pin.pixel(x, y) != hay.pixel(left + x, top + y))
                        same = false;
            if (same)
                return QPoint(left, top);
        }
    }
    return QPoint(-1, -1);
}
