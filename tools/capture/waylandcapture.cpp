// SPDX-License-Identifier: MIT
#include "waylandcapture.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <future>
#include <optional>

#include "capture/pngfile.h"
#include "platform/kde/kwinscreenshot.h"
#include "platform/gnome/gnomeshell.h"
#include "platform/portal/portalscreenshot.h"
#include "platform/wayland/swayipc.h"
#include "platform/wayland/waylandscreen.h"

namespace {

// The picture of one output as it was before anything of ours showed.
struct Frozen
{
    QString output;
    QImage picture;
    QList<QRect> windows;  // in the picture's pixels, topmost first
    int scale = 1;
};

void complain(const QString &why)
{
    std::fprintf(stderr, "kiwano-capture: %s\n", qPrintable(why));
}

int deadlineMs(int fallback)
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("KIWANO_CAPTURE_DEADLINE_MS", &ok);
    return ok && ms > 0 ? ms : fallback;
}

bool portalOnly()
{
    return qEnvironmentVariable("KIWANO_CAPTURE_SERVICE") == QLatin1String("portal");
}

// The output the user works on: the focused one where the compositor says, else the first.
int focusedIndex(const WaylandScreen &screen)
{
    const int index = screen.indexOf(SwayIpc::focusedOutput(SwayIpc::ask(SwayIpc::getOutputs)));
    return std::max(index, 0);
}

QList<QRect> windowsOn(const QList<QRect> &layoutWindows, const WaylandScreen::Output &output)
{
    QList<QRect> local;
    for (const QRect &window : layoutWindows) {
        if (!window.intersects(output.logicalGeometry()))
            continue;
        const QPoint topLeft = (window.topLeft() - output.position) * output.scale;
        local.append(QRect(topLeft, window.size() * output.scale));
    }
    return local;
}

QList<Frozen> throughScreencopy(WaylandScreen &screen, const QList<int> &which, const QList<QRect> &windows)
{
    const QList<QImage> pictures = screen.grab(which, deadlineMs(2000));
    if (pictures.isEmpty()) {
        complain(screen.error());
        return {};
    }
    const QList<WaylandScreen::Output> outputs = screen.outputs();
    QList<Frozen> frozen;
    for (int i = 0; i < which.size(); ++i) {
        const WaylandScreen::Output &output = outputs.at(which.at(i));
        frozen.append({output.name, pictures.at(i), windowsOn(windows, output), output.scale});
    }
    return frozen;
}

// KWin's own screenshot service, where it serves us; refused otherwise, and the portal follows.
bool kwinOffered()
{
    return !portalOnly() && KWinScreenShot::isOffered();
}

// The portal and KWin give one picture of the whole layout: cut into the outputs where they are
// known.
QList<Frozen> cutIntoOutputs(const QImage &whole, const WaylandScreen *screen, const QList<QRect> &windows);

QList<Frozen> throughPortal(const WaylandScreen *screen, const QList<QRect> &windows)
{
    std::optional<PortalScreenshot::Result> result;
    // Our GNOME Shell extension grabs without the portal's dialog; where it does not answer
    // (another desktop, or turned off) the call fails at once.
    if (!portalOnly()) {
        const QString folder = qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") ? QDir::tempPath()
                                                                              : qEnvironmentVariable("XDG_RUNTIME_DIR");
        const GnomeShell::Shot shot = GnomeShell::screenshot(QDBusConnection::sessionBus(), folder, deadlineMs(2000));
        if (!shot.picture.isEmpty())
            result = PortalScreenshot::Result{shot.picture, {}};
    }
    QEventLoop loop;
    if (!result)
        PortalScreenshot::take(QDBusConnection::sessionBus(), deadlineMs(30000), &loop,
                           [&](const PortalScreenshot::Result &answer) {
                               result = answer;
                               loop.quit();
                           });
    if (!result)
        loop.exec();
    const QImage whole = QImage::fromData(result->picture).convertToFormat(QImage::Format_RGB32);
    if (whole.isNull()) {
        complain(result->error.isEmpty() ? QStringLiteral("the desktop's screenshot is no picture we can read")
                                         : result->error);
        return {};
    }
    return cutIntoOutputs(whole, screen, windows);
}

// KWin first where it answers; a refusal (no desktop file of ours) falls back to the portal.
QList<Frozen> throughDesktop(const WaylandScreen *screen, const QList<QRect> &windows)
{
    if (kwinOffered()) {
        const KWinScreenShot::Result result = KWinScreenShot::take(KWinScreenShot::Target::workspace, deadlineMs(2000));
        if (!result.picture.isNull())
            return cutIntoOutputs(result.picture, screen, windows);
        complain(result.error);
        if (!result.refused)
            return {};
    }
    return throughPortal(screen, windows);
}

QList<Frozen> cutIntoOutputs(const QImage &whole, const WaylandScreen *screen, const QList<QRect> &windows)
{
    const QList<WaylandScreen::Output> outputs = screen ? screen->outputs() : QList<WaylandScreen::Output>();
    QRect layout;
    for (const WaylandScreen::Output &output : outputs)
        layout |= output.logicalGeometry();
    if (layout.isEmpty())
        return {{QString(), whole, {}, 1}};
    const double factor = double(whole.width()) / layout.width();
    QList<Frozen> frozen;
    for (const WaylandScreen::Output &output : outputs) {
        const QRect logical = output.logicalGeometry().translated(-layout.topLeft());
        const QRect part(qRound(logical.x() * factor), qRound(logical.y() * factor),
                         qRound(logical.width() * factor), qRound(logical.height() * factor));
        QList<QRect> local;
        for (const QRect &window : windowsOn(windows, output)) {
            const QRectF scaled(QPointF(window.topLeft()) * factor / output.scale,
                                QSizeF(window.size()) * factor / output.scale);
            local.append(scaled.toAlignedRect());
        }
        frozen.append({output.name, whole.copy(part), local, std::max(1, qRound(factor))});
    }
    return frozen;
}

} // namespace

namespace WaylandCapture {

bool isSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariable("XDG_SESSION_TYPE") != QLatin1String("x11");
}

int grabScreen(int argc, char **argv, const QString &path)
{
    const auto screen = WaylandScreen::open({}, deadlineMs(2000));
    if (screen && screen->hasScreencopy() && !portalOnly()) {
        // The fast road: no Qt application at all, one output copied and encoded.
        const QList<Frozen> frozen = throughScreencopy(*screen, {focusedIndex(*screen)}, {});
        return !frozen.isEmpty() && PngFile::write(frozen.constFirst().picture, path) ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    if (kwinOffered()) {
        const KWinScreenShot::Result result = KWinScreenShot::take(KWinScreenShot::Target::activeScreen, deadlineMs(2000));
        if (!result.picture.isNull())
            return PngFile::write(result.picture, path) ? 0 : 1;
        complain(result.error);
        if (!result.refused)
            return 1;
    }
    const QList<Frozen> frozen = throughPortal(screen.get(), {});
    if (frozen.isEmpty())
        return 1;
    const int index = screen ? std::min<int>(focusedIndex(*screen), frozen.size() - 1) : 0;
    return PngFile::write(frozen.at(index).picture, path) ? 0 : 1;
}

int grabInteractively(int argc, char **argv, SelectionOverlay::Mode mode, const QString &path)
{
    const auto screen = WaylandScreen::open({}, deadlineMs(2000));
    if (!screen) {
        complain(QStringLiteral("no Wayland compositor answers on %1").arg(qEnvironmentVariable("WAYLAND_DISPLAY")));
        return 1;
    }
    // The windows and the pictures are taken before anything of ours is on screen.
    const QByteArray tree = SwayIpc::ask(SwayIpc::getTree);
    const QList<QRect> windows = SwayIpc::windows(tree);
    const bool copying = screen->hasScreencopy() && !portalOnly();
    // The copy runs on its own connection while Qt starts; the overlay shows only once it is in.
    std::future<QList<Frozen>> copied;
    if (copying) {
        QList<int> all;
        for (int i = 0; i < screen->outputs().size(); ++i)
            all.append(i);
        copied = std::async(std::launch::async, [&screen, all, windows] { return throughScreencopy(*screen, all, windows); });
    }

    // Native Wayland windows, one fullscreen per output; XWayland on request, for comparison.
    const bool throughXWayland = qEnvironmentVariable("KIWANO_CAPTURE_OVERLAY") == QLatin1String("xwayland")
        && !qEnvironmentVariableIsEmpty("DISPLAY");
    const double requestedScale = SelectionOverlay::prepareApplication(throughXWayland ? "xcb" : "wayland");
    QGuiApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("kiwano-capture"));
    const QList<Frozen> frozen = copying ? copied.get() : throughDesktop(screen.get(), windows);
    if (frozen.isEmpty())
        return 1;

    int status = 1;
    bool chosen = false;
    std::vector<std::unique_ptr<SelectionOverlay>> overlays;
    for (const Frozen &one : std::as_const(frozen)) {
        auto overlay = std::make_unique<SelectionOverlay>(one.picture, QList<QRect>{one.picture.rect()},
                                                          one.windows, mode,
                                                          std::max(requestedScale, double(one.scale)));
        if (tree.isEmpty())
            overlay->setWindowsUnknown();
        for (QScreen *candidate : QGuiApplication::screens()) {
            // Qt asks for the fullscreen output of the screen the window lies on: both are set.
            if (candidate->name() == one.output) {
                overlay->setScreen(candidate);
                overlay->setGeometry(candidate->geometry());
            }
        }
        if (qEnvironmentVariableIsSet("KIWANO_CAPTURE_TRACE")) {
            QObject::connect(overlay.get(), &SelectionOverlay::painted, &app, [output = one.output] {
                std::fprintf(stderr, "kiwano-capture: overlay painted on %s\n", qPrintable(output));
            });
        }
        const QImage picture = one.picture;
        // The overlays go with the process, right after the file is written. Only the first
        // choice counts: a click and a key may both arrive before the loop ends.
        QObject::connect(overlay.get(), &SelectionOverlay::chosen, &app, [&, picture](const QRect &rect) {
            if (chosen)
                return;
            chosen = true;
            status = PngFile::write(picture.copy(rect), path) ? 0 : 1;
            app.quit();
        });
        QObject::connect(overlay.get(), &SelectionOverlay::cancelled, &app, &QGuiApplication::quit);
        overlay->showFullScreen();
        overlays.push_back(std::move(overlay));
    }
    for (const auto &overlay : overlays) {
        QObject::connect(overlay.get(), &SelectionOverlay::modeChanged, &app, [&](SelectionOverlay::Mode switched) {
            for (const auto &each : overlays)
                each->setMode(switched);
        });
    }
    app.exec();
    return status;
}

} // namespace WaylandCapture
