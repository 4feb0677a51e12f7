#pragma once

#include <QByteArray>
#include <QIcon>

// The pictures the assistant draws for itself: 16 x 16 BMP files for its buttons (the bottom-left
// pixel is the transparent colour) and the application icon. The button pictures come drawn for
// a device pixel ratio, 16 x Ratio pixels large, so they stay sharp on any screen; at ratio 1
// they are the 16 x 16 pictures.
QByteArray InstallPicture(qreal Ratio = 1.0);  // 256 colours
QByteArray DownloadPicture(qreal Ratio = 1.0); // 256 colours
QByteArray DonePicture(qreal Ratio = 1.0);     // 32-bit colour
// The application icon in 256, 48, 32, 24 and 16 pixels.
QIcon ApplicationIcon();
