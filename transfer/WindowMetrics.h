#pragma once

// Sizes of the window frame the designs were drawn for. The window manager draws the real
// frame; these turn a design's outer window size into the client size we set.

// The height of a window caption: the style's title bar height, or the classic 23 pixels
// where the style has none.
int SystemCaptionHeight();

// The border of a sizeable frame on each side.
constexpr int SizeableFrameBorder = 4;
