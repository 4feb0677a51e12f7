#pragma once

#include "tests/support/Pixels.h"

#include <QImage>
#include <QWidget>

// The widget as the user sees it, children included, as opaque 32-bit pixels.
inline QImage snapshot(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
