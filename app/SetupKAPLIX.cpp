#include "app/InstallEnvironment.h"
#include "app/InstallForm.h"
#include "platform/Fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Lets the desktop match the window with its menu entry and icon (Wayland needs it).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kaplix.SetupKAPLIX"));
    platform::ensureDesignFonts();
    // Learned once, before the window exists.
    const TInstallEnvironment environment = TInstallEnvironment::FromPlatform();
    TInstallForm form(environment);
    form.show();
    application.exec();
    return 0;
}
