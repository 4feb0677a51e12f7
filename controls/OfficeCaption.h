#pragma once

#include "controls/CaptionRenderer.h"
#include "controls/ControlTypes.h"

#include <QColor>
#include <QRect>

class QPainter;
class QWidget;

// The device scale of a control: its screen's vertical dots per inch divided by 96.
double DeviceScale(const QWidget& Control);

// Places and draws the caption of an office-style button in Rect (moved for the vertical
// alignment and, right to left, against the right edge), in Color. Returns the drawn size and
// leaves the final rectangle in Rect. Without a painter it only measures and places.
TCaptionResult PaintOfficeCaption(QPainter* Painter, const QWidget& Control, const QString& Caption,
    QRect& Rect, TTextLayout VAlign, bool RightToLeft, const QColor& Color, const TCaptionOptions& Options);

// A focus rectangle of every other pixel around the inclusive rectangle Rect.
void DrawDottedFocusRect(QPainter& Painter, const QRect& Rect, const QColor& Color);
