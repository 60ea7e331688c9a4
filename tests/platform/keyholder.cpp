// SPDX-License-Identifier: MIT
// Another X client for the shortcut tests: grabs <keyCode> <x11Modifiers>, prints "ready" and
// keeps the grab until it is ended, or ends at once when it is refused. A client that quit a
// moment ago may hold the combination until the server notices, so a refusal is retried a while.
#include <QGuiApplication>
#include <QTextStream>
#include <QThread>

#include "platform/x11/x11hotkeygrabber.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    X11HotKeyGrabber grabber;
    bool held = false;
    for (int attempt = 0; argc == 3 && !held && attempt < 20; ++attempt, QThread::msleep(50))
        held = grabber.grab(QByteArray(argv[1]).toUInt(), QByteArray(argv[2]).toUInt(), {}).has_value();
    if (!held)
        return 1;
    QTextStream(stdout) << "ready" << Qt::endl;
    return app.exec();
}
