#include "tests/officecontrols/OfficeTestSupport.h"

#include "platform/desktop/Fonts.h"

#include <QTest>
#include <QWidget>

QFont DesignFont()
{
    platform::ensureDesignFonts();
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    return font;
}

bool ShowAndActivate(QWidget& Window)
{
    Window.show();
    if (!QTest::qWaitForWindowExposed(&Window))
        return false;
    Window.activateWindow();
    return QTest::qWaitForWindowActive(&Window);
}

int DarkestLevel(const QImage& Image, const QRect& Area)
{
    int darkest = 255;
    const QRect clipped = Area & Image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor c = pixelAt(Image, x, y);
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
            if (pixelAt(Image, x, y) != Background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
