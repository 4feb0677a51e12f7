// Writes the application icon the program draws for its window as PNG files, one per size,
// so the desktop shows the same picture as the window: kx_render_icons DIR SIZE...
// writes DIR/SIZExSIZE.png for each size. A size the program does not draw is an error,
// so the installed icons cannot drift from the program's own.
#include "app/ButtonPictures.h"
#include "platform/desktop/Fonts.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: kx_render_icons DIR SIZE...\n");
        return 2;
    }
    // The icon's letter is drawn in the design's font, as in the running program.
    platform::ensureDesignFonts();
    const QIcon icon = ApplicationIcon();
    const QList<QSize> drawn = icon.availableSizes();
    const QString dir = arguments[1];
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "Cannot create directory %s\n", qPrintable(dir));
        return 1;
    }
    for (const QString& argument : arguments.mid(2)) {
        bool ok = false;
        const int size = argument.toInt(&ok);
        if (!ok || !drawn.contains(QSize(size, size))) {
            std::fprintf(stderr, "The application icon has no %s pixel picture\n", qPrintable(argument));
            return 1;
        }
        const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
        const QString path = QStringLiteral("%1/%2x%2.png").arg(dir).arg(size);
        if (image.size() != QSize(size, size) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
