// SPDX-License-Identifier: MIT
#include <QApplication>

#include "app/appdelegate.h"
#include "look/widgets/kiwanostyle.h"

int main(int argc, char *argv[])
{
    // Our windows live on X11, through XWayland in a Wayland session.
    if (qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QApplication::setOrganizationName(QStringLiteral("KiwanoSnapper"));
    // A tray utility: closing its last window leaves it running.
    QApplication::setQuitOnLastWindowClosed(false);
    Look::apply(app);

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}
