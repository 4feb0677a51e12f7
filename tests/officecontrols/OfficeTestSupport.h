#pragma once

#include "controls/Colors.h"

#include <QColor>
#include <QFont>
#include <QImage>

#include <functional>

class QWidget;

// Tahoma 8 pt at 96 dots per inch (11 pixels, 13 pixels of text height), the design font.
QFont DesignFont();

// The widget as the user sees it, opaque 32-bit pixels.
QImage Snapshot(QWidget& Widget);

// Shows a top-level window and waits until it is on screen and active.
bool ShowAndActivate(QWidget& Window);

// Waits for Condition with a deadline, processing events meanwhile.
bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs = 5000);

inline QColor PixelAt(const QImage& Image, int X, int Y) { return QColor(Image.pixel(X, Y)); }
inline QColor Rgb(TColor Color) { return ToQColor(Color); }
inline QColor Grey(int Level) { return QColor(Level, Level, Level); }

// The darkest grey level (minimum of the three channels) inside Area.
int DarkestLevel(const QImage& Image, const QRect& Area);
// The bounding box of pixels that differ from Background inside Area.
QRect InkBounds(const QImage& Image, const QRect& Area, const QColor& Background);
