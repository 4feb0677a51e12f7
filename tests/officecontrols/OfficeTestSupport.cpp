#include "tests/officecontrols/OfficeTestSupport.h"

#include "platform/Fonts.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QWidget>

QFont DesignFont()
{
    platform::ensureDesignFonts();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

QImage Snapshot(QWidget& Widget)
{
    return Widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool ShowAndActivate(QWidget& Window)
{
    Window.show();
    if (!QTest::qWaitForWindowExposed(&Window))
        return false;
    Window.activateWindow();
    return QTest::qWaitForWindowActive(&Window);
}

bool WaitFor(const std::function<bool()>& Condition, int TimeoutMs)
{
    QDeadlineTimer deadline(TimeoutMs);
    while (!Condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

int DarkestLevel(const QImage& Image, const QRect& Area)
{
    int darkest = 255;
    const QRect clipped = Area & Image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor c = PixelAt(Image, x, y);
            darkest = qMin(darkest, qMin(c.red(), qMin(c.green(), c.blue())));
        }
    return darkest;
}

QRect InkBounds(const QImage& Image, const QRect& Area, const QColor& Background)
{
    QRect bounds;
    const QRect clipped = Area & Image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (PixelAt(Image, x, y) != Background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
