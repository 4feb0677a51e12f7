#pragma once

#include <QByteArray>
#include <QIcon>

// The pictures the assistant draws for itself: 16 x 16 BMP files for its buttons (the bottom-left
// pixel is the transparent colour) and the application icon.
QByteArray InstallPicture();   // 256 colours
QByteArray DownloadPicture();  // 256 colours
QByteArray DonePicture();      // 32-bit colour
// The application icon in 256, 48, 32, 24 and 16 pixels.
QIcon ApplicationIcon();
