#include "transfer/WindowMetrics.h"

#include <QApplication>
#include <QStyle>

int SystemCaptionHeight()
{
    const int classicCaption = 23;
    const int fromStyle = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return fromStyle > 0 ? fromStyle : classicCaption;
}
