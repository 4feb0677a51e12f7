#pragma once

#include <QByteArray>
#include <QImage>

// The image as a Windows bitmap file, bottom row first: 8 bits with its colour table for an
// indexed image, 32 bits (blue, green, red, unused) for any other. Qt's own writer would do
// the same, but only after loading every image plugin installed, which costs the window its
// start-up time.
QByteArray BmpFile(const QImage& Image);
