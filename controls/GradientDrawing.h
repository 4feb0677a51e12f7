#pragma once

#include "controls/Colors.h"

#include <QRect>

class QPainter;

// Fills Rect with Steps bands running from From to To (top to bottom, or left to right when
// Horizontal). Each band overlaps the next by the fraction of the band size so no gap shows,
// and the last band ends at the far edge.
void DrawGradient(QPainter& Painter, TColor From, TColor To, int Steps, const QRect& Rect, bool Horizontal);

// Two gradients in the two halves of Rect (top/bottom, or left/right when Horizontal), 32
// bands each; with an odd size the second half is the larger one.
void DrawMirrorGradient(QPainter& Painter, TColor From, TColor To, TColor MirrorFrom,
    TColor MirrorTo, const QRect& Rect, bool Horizontal);

// Mixes Percent of C1 with the rest of C2 per channel; 100 gives C1 unchanged. A missing
// colour (clNone) counts as the other one.
TColor MixPanelColors(TColor C1, TColor C2, int Percent);

// Draws Width rings of a 3-D frame: top row and left column in Light, right column and bottom
// row (with the top-right and bottom-left corners) in Dark. Shrinks Rect by one per ring.
void Frame3D(QPainter& Painter, QRect& Rect, TColor Light, TColor Dark, int Width);

// Draws axis-parallel lines through Points the way a pen-plotter polyline does: every pixel of
// every segment except the very last point.
void PolyLine(QPainter& Painter, const QList<QPoint>& Points, const QColor& Color);
