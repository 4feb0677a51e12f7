#pragma once

#include <QImage>
#include <QSize>

class QPainter;

// Device pixels per logical pixel of what a painter draws on. This is the target's own pixel
// ratio, also when a widget is rendered into an image of another ratio (QWidget::render), where
// the widget's devicePixelRatio() still reports its screen's.
qreal PaintRatio(const QPainter& Painter);

// Pixels needed to cover a logical length at a ratio.
int DevicePixels(int Logical, qreal Ratio);

// A transparent image covering Size logical pixels at Ratio, with the ratio set on it.
QImage DeviceImage(QSize Size, qreal Ratio, QImage::Format Format = QImage::Format_ARGB32_Premultiplied);
