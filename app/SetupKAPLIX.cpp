#include "app/InstallEnvironment.h"
#include "app/InstallForm.h"
#include "platform/desktop/FontConfigurationLoader.h"
#include "platform/desktop/Fonts.h"
#include "platform/desktop/SessionBusOpener.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // Read while the application connects to the display; the fonts need it first. Only
    // fontconfig runs on that thread: a Qt object made there before the application object
    // would make Qt take it for the main thread.
    platform::FontConfigurationLoader fontConfiguration;
    // Waits on its thread for the application object, then opens the session bus while the
    // window is built.
    platform::SessionBusOpener sessionBus;
    QApplication application(argc, argv);
    sessionBus.open();
    // Lets the desktop match the window with its menu entry and icon (Wayland needs it).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.kaplix.SetupKAPLIX"));
    fontConfiguration.wait();
    platform::ensureDesignFonts();
    // The boxes and dialogs the assistant opens use the window's font, as the system's own do
    // there; the window's controls then need no second font loaded.
    QApplication::setFont(TInstallForm::WindowFont());
    // Learned once, before the window exists.
    const TInstallEnvironment environment = TInstallEnvironment::FromPlatform();
    TInstallForm form(environment);
    form.show();
    application.exec();
    sessionBus.wait(); // its thread may use the toolkit: it ends before the application object
    return 0;
}
