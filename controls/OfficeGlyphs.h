#pragma once

#include "controls/ControlTypes.h"

#include <QImage>
#include <QRect>

class QPainter;

// The glyph bitmaps of the office-style controls, 24-bit pictures whose bottom-left pixel
// carries the colour that is drawn transparent.
constexpr int RadioGlyphSize = 12;
constexpr int CheckGlyphSize = 13;

// Each glyph comes for a square of Pixels device pixels. Up to its design size it is the bitmap
// itself, which DrawGlyph fits into the square as it always has; larger squares (a high pixel
// ratio or a large font scale) get the same picture drawn in code at that size, so no glyph is
// ever an enlarged bitmap. Drawn glyphs keep the bitmaps' hard edges: no colour is mixed.

// Round button: a dot when checked, ring and face tinted blue when hot or pressed.
QImage RadioGlyphBitmap(bool Checked, TGlyphPointerState Pointer, int Pixels = RadioGlyphSize);
// Square box: a tick when checked, a filled inner square when grayed.
QImage CheckGlyphBitmap(TCheckBoxState State, TGlyphPointerState Pointer, int Pixels = CheckGlyphSize);

// The bitmap with every pixel of its bottom-left pixel's colour made transparent.
QImage TransparentGlyph(const QImage& Bitmap);

// Draws a glyph bitmap stretched into Target, transparent colour left out. A glyph drawn for
// Target's size in device pixels lands on them one to one.
void DrawGlyph(QPainter& Painter, const QImage& Bitmap, const QRect& Target);

// The side in device pixels of a glyph square of Side logical pixels painted by Painter.
int GlyphPixels(const QPainter& Painter, int Side);
