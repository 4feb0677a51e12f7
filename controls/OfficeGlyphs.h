#pragma once

#include "controls/ControlTypes.h"

#include <QImage>
#include <QRect>

class QPainter;

// The glyph bitmaps of the office-style controls, 24-bit pictures whose bottom-left pixel
// carries the colour that is drawn transparent.
constexpr int RadioGlyphSize = 12;
constexpr int CheckGlyphSize = 13;

// Round button: a dot when checked, ring and face tinted blue when hot or pressed.
QImage RadioGlyphBitmap(bool Checked, TGlyphPointerState Pointer);
// Square box: a tick when checked, a filled inner square when grayed.
QImage CheckGlyphBitmap(TCheckBoxState State, TGlyphPointerState Pointer);

// The bitmap with every pixel of its bottom-left pixel's colour made transparent.
QImage TransparentGlyph(const QImage& Bitmap);

// Draws a glyph bitmap stretched into Target, transparent colour left out.
void DrawGlyph(QPainter& Painter, const QImage& Bitmap, const QRect& Target);
