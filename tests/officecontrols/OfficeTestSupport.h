#pragma once

#include "controls/Colors.h"
#include "tests/support/Pixels.h"
#include "tests/support/Snapshot.h"
#include "tests/support/WaitFor.h"

#include <QColor>
#include <QFont>
#include <QImage>

class QWidget;

// Tahoma 8 pt at 96 dots per inch (11 pixels, 13 pixels of text height), the font the assistant's
// windows use.
QFont DesignFont();

// Shows a top-level window and waits until it is on screen and active.
bool ShowAndActivate(QWidget& Window);

inline QColor Rgb(TColor Color) { return ToQColor(Color); }
inline QColor Grey(int Level) { return QColor(Level, Level, Level); }

// The darkest grey level (minimum of the three channels) inside Area.
int DarkestLevel(const QImage& Image, const QRect& Area);
// The bounding box of pixels that differ from Background inside Area.
QRect InkBounds(const QImage& Image, const QRect& Area, const QColor& Background);
