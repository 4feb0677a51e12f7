#include "app/ButtonPictures.h"

#include "app/BmpFile.h"
#include "controls/DeviceRatio.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on magenta, which the corner pixel makes transparent.
const QColor Transparent(255, 0, 255);

constexpr int PictureSize = 16;

QImage Canvas(qreal Ratio)
{
    const int pixels = DevicePixels(PictureSize, Ratio);
    QImage image(pixels, pixels, QImage::Format_RGB32);
    image.fill(Transparent);
    return image;
}

// A painter that draws the 16 x 16 design onto a canvas made for Ratio.
void Begin(QPainter& Painter, QImage& Image, qreal Ratio)
{
    Painter.begin(&Image);
    if (Ratio != 1.0)
        Painter.scale(Ratio, Ratio);
}

// Unsmoothed 1-pixel lines on whole coordinates cover the pixel right of and below the line.
// Scaled up they would straddle it instead, so the finer drawing moves its lines by half a
// design pixel to cover the same place.
void AlignOutlines(QPainter& Painter, qreal Ratio)
{
    if (Ratio != 1.0)
        Painter.translate(0.5, 0.5);
}

QByteArray AsBmp256(const QImage& Image)
{
    return BmpFile(Image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither));
}

void DownArrow(QPainter& Painter, const QColor& Color, int Top)
{
    QPainterPath arrow;
    arrow.moveTo(6, Top);
    arrow.lineTo(10, Top);
    arrow.lineTo(10, Top + 4);
    arrow.lineTo(13, Top + 4);
    arrow.lineTo(8, Top + 9);
    arrow.lineTo(3, Top + 4);
    arrow.lineTo(6, Top + 4);
    arrow.closeSubpath();
    Painter.fillPath(arrow, Color);
    Painter.setPen(Color.darker(150));
    Painter.drawPath(arrow);
}

} // namespace

QByteArray InstallPicture(qreal Ratio)
{
    // A tray receiving a green arrow.
    QImage image = Canvas(Ratio);
    QPainter painter;
    Begin(painter, image, Ratio);
    painter.fillRect(1, 11, 14, 4, QColor(120, 120, 120));
    painter.fillRect(2, 12, 12, 2, QColor(200, 200, 200));
    AlignOutlines(painter, Ratio);
    DownArrow(painter, QColor(40, 160, 40), 1);
    painter.end();
    return AsBmp256(image);
}

QByteArray DownloadPicture(qreal Ratio)
{
    // A blue globe with an arrow coming down from it.
    QImage image = Canvas(Ratio);
    QPainter painter;
    Begin(painter, image, Ratio);
    AlignOutlines(painter, Ratio);
    painter.setBrush(QColor(70, 130, 220));
    painter.setPen(QColor(30, 70, 150));
    painter.drawEllipse(1, 0, 10, 10);
    painter.setPen(QColor(180, 210, 250));
    painter.drawLine(6, 1, 6, 9);
    painter.drawLine(2, 5, 10, 5);
    // The globe's brush is still set, so drawing the arrow's outline fills the arrow in the
    // globe's blue over its orange; the picture has always looked so.
    DownArrow(painter, QColor(240, 170, 30), 6);
    painter.end();
    return AsBmp256(image);
}

QByteArray DonePicture(qreal Ratio)
{
    // A green tick.
    QImage image = Canvas(Ratio);
    QPainter painter;
    Begin(painter, image, Ratio);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 150, 50), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12.5), QPointF(13.5, 3.5)}));
    painter.end();
    return BmpFile(image);
}

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {256, 48, 32, 24, 16}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient face(0, 0, 0, size);
        face.setColorAt(0, QColor(90, 150, 230));
        face.setColorAt(1, QColor(20, 60, 150));
        painter.setBrush(face);
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
        QFont font(QStringLiteral("Tahoma"));
        font.setBold(true);
        font.setPixelSize(qMax(8, size * 3 / 4));
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("K"));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
