#include "controls/DeviceRatio.h"

#include <QPainter>

#include <cmath>

qreal PaintRatio(const QPainter& Painter)
{
    // The device transform holds the target's ratio and any scaling the caller set up; a
    // rotation or shear still stretches lengths by the length of the transformed x unit.
    const QTransform Transform = Painter.deviceTransform();
    const qreal Ratio = Transform.type() <= QTransform::TxScale ? std::abs(Transform.m11())
                                                                 : std::hypot(Transform.m11(), Transform.m12());
    return Ratio > 0 ? Ratio : 1.0;
}

int DevicePixels(int Logical, qreal Ratio)
{
    // A ratio such as 1.5 leaves a fraction over; the last pixel is covered all the same.
    // The small allowance keeps 16 × 1.25 from turning into 21 through rounding noise.
    return int(std::ceil(Logical * Ratio - 1e-9));
}

QImage DeviceImage(QSize Size, qreal Ratio, QImage::Format Format)
{
    QImage Image(DevicePixels(Size.width(), Ratio), DevicePixels(Size.height(), Ratio), Format);
    Image.setDevicePixelRatio(Ratio);
    Image.fill(Qt::transparent);
    return Image;
}
