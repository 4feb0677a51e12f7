#pragma once

#include "tests/support/Snapshot.h"

#include <QImage>
#include <QRect>
#include <QWidget>

// Pixels of text ink in Area of Image: dark and without colour, as glyphs in the window-text
// colour are drawn, while frames, focus marks and highlights are lighter or coloured.
inline int inkPixels(const QImage& image, const QRect& area)
{
    constexpr int Dark = 96;
    int count = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = pixelAt(image, x, y);
            if (pixel.red() < Dark && pixel.green() < Dark && pixel.blue() < Dark)
                ++count;
        }
    }
    return count;
}

// The ink inside a part of a window as the window shows it, the part's frame left out.
inline int inkInside(QWidget* window, const QWidget* part, int frame = 3)
{
    const QImage image = snapshot(window);
    const QRect area(part->mapTo(window, QPoint(0, 0)), part->size());
    return inkPixels(image, area.adjusted(frame, frame, -frame, -frame));
}
