// SPDX-License-Identifier: MIT
// Another X client for the shortcut tests: grabs one combination through its own connection,
// prints "held" or "refused", and keeps it until it is terminated.
#include <QGuiApplication>
#include <QTextStream>

#include "platform/x11/x11hotkeygrabber.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    X11HotKeyGrabber grabber;
    const auto handle = grabber.grab(QByteArray(argv[1]).toUInt(), QByteArray(argv[2]).toUInt(), {});
    QTextStream(stdout) << (handle ? "held" : "refused") << Qt::endl;
    return app.exec();
}
