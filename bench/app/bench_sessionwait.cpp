// SPDX-License-Identifier: MIT
// The longest time the GUI thread's loop stands still at start in a Wayland session whose portal
// answers nothing and whose compositor takes the connection and says nothing: the app's start-up
// until its services run, beside an idle loop and beside the same questions waited for in place
// (as start-up asked them before), in turns in the same run. A unit figure: measured inside the
// process, through the app's own start-up call, with a timer on the GUI thread.
#include "stallwatch.h"
#include "timing.h"
#include "app/appdelegate.h"
#include "platform/privatebus.h"
#include "platform/session.h"
#include "platform/wayland/waylandconnection.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QEventLoop>
#include <QLocalServer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

namespace {

// What start-up did before: the compositor's roundtrip, then the portal's three questions, each
// waited for on the calling thread.
void askInPlace(const QByteArray &display)
{
    WaylandConnection::offers(display, 500);
    QList<QDBusPendingCall> calls;
    for (const char *interface : {"GlobalShortcuts", "RemoteDesktop", "Screenshot"}) {
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << QStringLiteral("org.freedesktop.portal.") + QLatin1String(interface) << QStringLiteral("version");
        calls << QDBusConnection::sessionBus().asyncCall(get, 500);
    }
    for (QDBusPendingCall &call : calls)
        call.waitForFinished();
}

// The app's start until its services run; the longest stall and the time to the services.
std::pair<double, double> startApp(StallWatch &watch)
{
    QElapsedTimer clock;
    clock.start();
    watch.start();
    AppDelegate delegate;
    delegate.setSettingsOpener([] {});
    delegate.start();
    if (!delegate.hasStartedServices()) {
        QEventLoop loop;
        QObject::connect(&delegate, &AppDelegate::servicesStarted, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double stall = watch.stop();
    const double started = double(clock.nsecsElapsed()) / 1e6;
    delegate.applicationWillTerminate();
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    return {stall, started};
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath("config")));
    PrivateBus bus;
    if (!bus.start()) {
        std::printf("  skipped: no dbus-daemon to start a session bus\n");
        return 0;
    }
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));
    QProcess portal;
    portal.start(QStringLiteral(FAKEPORTAL_PATH), {QStringLiteral("--mute")});
    if (!portal.waitForReadyRead(5000)) {
        std::printf("  skipped: the fake portal did not start\n");
        return 0;
    }
    QLocalServer compositor;
    compositor.listen(home.filePath(QStringLiteral("silent-compositor")));
    const QByteArray display = compositor.fullServerName().toLocal8Bit();
    qputenv("XDG_SESSION_TYPE", "wayland");
    qputenv("WAYLAND_DISPLAY", display);

    constexpr int rounds = 5;
    StallWatch watch;
    QList<double> idle, inPlace, app_, started;
    for (int round = 0; round < rounds; ++round) {
        watch.start();
        spin(500);
        idle << watch.stop();
        watch.start();
        askInPlace(display);
        inPlace << watch.stop();
        const auto [stall, ready] = startApp(watch);
        app_ << stall;
        started << ready;
    }
    std::printf("  longest GUI-thread stall at start, silent portal and compositor, median of %d\n", rounds);
    printRow("an idle event loop for 500 ms (baseline)", percentile(idle, 0.5));
    printRow("the questions waited for in place (start-up before)", percentile(inPlace, 0.5));
    printRow("the app's start until its services run", percentile(app_, 0.5));
    printRow("  the worst of those starts", percentile(app_, 1.0));
    printRow("  start to services running (the probe's deadline)", percentile(started, 0.5));
    printRatio("start-up stall vs asking in place", percentile(app_, 0.5) / percentile(inPlace, 0.5),
               "lower is better");
    portal.kill();
    portal.waitForFinished();
    return 0;
}
