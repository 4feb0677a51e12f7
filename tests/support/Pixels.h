#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

// The colour of one pixel of an image, alpha included.
inline QColor pixelAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

inline QColor pixelAt(const QImage& image, QPoint point)
{
    return image.pixelColor(point);
}
