// The smallest Qt Widgets program with a window: what start-up costs before any of ours.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.resize(981, 754);
    window.show();
    return application.exec();
}
