#include "app/ButtonPictures.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

// Drawn on magenta, which the corner pixel makes transparent.
const QColor Transparent(255, 0, 255);

QImage Canvas()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Transparent);
    return image;
}

QByteArray AsBmp(const QImage& Image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    Image.save(&buffer, "BMP");
    return data;
}

QByteArray AsBmp256(const QImage& Image)
{
    return AsBmp(Image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither));
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

QByteArray InstallPicture()
{
    // A tray receiving a green arrow.
    QImage image = Canvas();
    QPainter painter(&image);
    painter.fillRect(1, 11, 14, 4, QColor(120, 120, 120));
    painter.fillRect(2, 12, 12, 2, QColor(200, 200, 200));
    DownArrow(painter, QColor(40, 160, 40), 1);
    painter.end();
    return AsBmp256(image);
}

QByteArray DownloadPicture()
{
    // A blue globe with an arrow coming down from it.
    QImage image = Canvas();
    QPainter painter(&image);
    painter.setBrush(QColor(70, 130, 220));
    painter.setPen(QColor(30, 70, 150));
    painter.drawEllipse(1, 0, 10, 10);
    painter.setPen(QColor(180, 210, 250));
    painter.drawLine(6, 1, 6, 9);
    painter.drawLine(2, 5, 10, 5);
    DownArrow(painter, QColor(240, 170, 30), 6);
    painter.end();
    return AsBmp256(image);
}

QByteArray DonePicture()
{
    // A green tick.
    QImage image = Canvas();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 150, 50), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12.5), QPointF(13.5, 3.5)}));
    painter.end();
    return AsBmp(image.convertToFormat(QImage::Format_ARGB32));
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
