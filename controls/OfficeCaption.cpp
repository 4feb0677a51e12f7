#include "controls/OfficeCaption.h"

#include <QPainter>
#include <QWidget>

double DeviceScale(const QWidget& Control) { return Control.logicalDpiY() / 96.0; }

TCaptionResult PaintOfficeCaption(QPainter* Painter, const QWidget& Control, const QString& Caption,
    QRect& Rect, TTextLayout VAlign, bool RightToLeft, const QColor& Color, const TCaptionOptions& Options)
{
    const TCaptionResult size = MeasureCaption(Control.font(), Caption, Rect, Options);
    if (RightToLeft)
        Rect.setLeft(Rect.right() + 1 - size.Width - 3);
    if (VAlign == tlCenter)
        Rect.setTop(Rect.top() + (Rect.height() - size.Height) / 2 - 3);
    else if (VAlign == tlBottom)
        Rect.setTop(Rect.bottom() + 1 - size.Height - 3);
    if (Painter)
        RenderCaption(Painter, Control.font(), Color, Caption, Rect, Options);
    return size;
}

void DrawDottedFocusRect(QPainter& Painter, const QRect& Rect, const QColor& Color)
{
    if (Rect.width() <= 0 || Rect.height() <= 0)
        return;
    Painter.save();
    Painter.setPen(Color);
    const auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0)
            Painter.drawPoint(x, y);
    };
    for (int x = Rect.left(); x <= Rect.right(); ++x) {
        dot(x, Rect.top());
        dot(x, Rect.bottom());
    }
    for (int y = Rect.top(); y <= Rect.bottom(); ++y) {
        dot(Rect.left(), y);
        dot(Rect.right(), y);
    }
    Painter.restore();
}
