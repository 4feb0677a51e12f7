#pragma once

#include <QSize>

class QPainter;
struct TButtonFace;

// Lays out and draws the caption and the glyph of a button face (the caption first); with
// MeasureOnly set or no canvas it only measures. Returns the content size.
QSize DrawFaceContent(QPainter* Canvas, const TButtonFace& Face);
