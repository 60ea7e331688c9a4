// SPDX-License-Identifier: MIT
// kiwano-capture: grabs the screen into a PNG file for Kiwano Snapper.
//   -i   drag a region (Space switches to picking a window)
//   -iW  pick a window (Space switches to dragging a region)
//   -m   the whole primary monitor, at once
//   -x   silent (there is no sound anyway)
//   -R "X,Y,W,H SWxSH"  that rectangle of a root of SWxSH, at once: the last region or monitor
//                       again, moved and sized in proportion when the root's size changed since
//   -W "X,Y,W,H SWxSH"  the window whose frame is that rectangle, at once: the last window again
// then the output path. Exit status 0 with the file written, and one line on standard output
// telling where the grab came from (see GrabPlace); otherwise no file at all.
//   --standby  (alone) starts and connects to the display, then waits for one line on standard
//   input holding those arguments, tab-separated, and grabs then: the overlay shows in a fraction
//   of a fresh start. Closed input ends it quietly; exit status 3 where it is not offered (a
//   Wayland session).
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include <unistd.h>

#include "app/translations.h"
#include "capture/grabplace.h"
#include "capture/pngfile.h"
#include "platform/x11/x11screen.h"
#include "selectionoverlay.h"
#include "waylandcapture.h"

namespace {

enum class Kind { Region, Window, Screen, FixedRegion, FixedWindow };

struct Request
{
    Kind kind = Kind::Region;
    QString path;
    // The place of -R and -W.
    GrabPlace place;
};

// Every failure says why on stderr, where the app reads it; a cancelled grab says nothing.
int complain(const char *why, const QString &detail = {})
{
    if (detail.isEmpty())
        std::fprintf(stderr, "kiwano-capture: %s\n", why);
    else
        std::fprintf(stderr, "kiwano-capture: %s: %s\n", why, qPrintable(detail));
    return 1;
}

int written(const QImage &image, const QString &path)
{
    return PngFile::write(image, path) ? 0 : complain("could not write the picture", path);
}

// Writes the picture and, once it is there, tells the app where it came from.
int written(const QImage &image, const QString &path, GrabPlace::Kind kind, const QRect &rect, const QSize &root)
{
    const int status = written(image, path);
    if (status == 0) {
        const GrabPlace place{kind, rect, root};
        std::printf("%s\n", qPrintable(place.toLine()));
        std::fflush(stdout);
    }
    return status;
}

bool parse(int argc, char **argv, Request &request)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "-i") == 0)
            request.kind = Kind::Region;
        else if (std::strcmp(arg, "-iW") == 0)
            request.kind = Kind::Window;
        else if (std::strcmp(arg, "-m") == 0)
            request.kind = Kind::Screen;
        else if (std::strcmp(arg, "-x") == 0)
            continue;
        else if (std::strcmp(arg, "-R") == 0 || std::strcmp(arg, "-W") == 0) {
            request.kind = arg[1] == 'R' ? Kind::FixedRegion : Kind::FixedWindow;
            if (++i == argc)
                return false;
            const auto place = GrabPlace::fromLine(QStringLiteral("place region ") + QString::fromLocal8Bit(argv[i]));
            if (!place)
                return false;
            request.place = *place;
        }
        else if (arg[0] == '-' || !request.path.isEmpty())
            return false;
        else
            request.path = QString::fromLocal8Bit(arg);
    }
    return !request.path.isEmpty();
}

// The screen as it is now, with its monitors and windows, from our own connection.
struct Frozen
{
    QImage picture;
    QList<QRect> monitors;
    QList<QRect> windows;
};

Frozen freeze(X11Screen &screen, bool quick = false)
{
    Frozen frozen;
    frozen.picture = quick ? screen.quickGrab() : screen.grab(screen.rootGeometry());
    if (!frozen.picture.isNull()) {
        frozen.monitors = screen.monitors();
        frozen.windows = screen.windows();
    }
    return frozen;
}

// Shows the overlay over the frozen screen and runs until the user chose or cancelled.
int select(QGuiApplication &app, const Request &request, const X11Screen &screen, const Frozen &frozen,
           double requestedScale)
{
    if (frozen.picture.isNull())
        return complain("could not read the screen from the X server");
    const double dpiScale = app.primaryScreen() ? app.primaryScreen()->logicalDotsPerInch() / 96.0 : 1.0;
    const double uiScale = std::max({1.0, requestedScale, dpiScale});

    SelectionOverlay overlay(frozen.picture, frozen.monitors, frozen.windows,
                             request.kind == Kind::Window ? SelectionOverlay::Mode::Window
                                                          : SelectionOverlay::Mode::Region,
                             uiScale);
    int status = 1;
    QObject::connect(&overlay, &SelectionOverlay::chosen, &app, [&](const QRect &rect) {
        overlay.hide();
        QGuiApplication::sync();
        // A picked window comes as it draws itself where the desktop keeps its pixels, without
        // whatever covers it; otherwise as the frozen screen shows it.
        QImage picture;
        const bool window = overlay.mode() == SelectionOverlay::Mode::Window;
        if (window)
            picture = screen.windowPixels(rect);
        status = written(picture.isNull() ? frozen.picture.copy(rect) : picture, request.path,
                         window ? GrabPlace::Kind::window : GrabPlace::Kind::region, rect,
                         screen.rootGeometry().size());
        app.quit();
    });
    QObject::connect(&overlay, &SelectionOverlay::cancelled, &app, &QGuiApplication::quit);
    overlay.show();
    app.exec();
    return status;
}

// -R and -W: the place of an earlier grab, without the overlay. whole is the root as it is now.
int grabFixed(const Request &request, const X11Screen &screen, const QImage &whole)
{
    const QRect root = screen.rootGeometry();
    if (whole.isNull())
        return complain("could not read the screen from the X server");
    if (request.kind == Kind::FixedRegion) {
        const QRect rect = request.place.onScreen(root.size()).rect.intersected(root);
        if (rect.isEmpty())
            return complain("the region is outside the screen");
        // A whole monitor again counts as that screen.
        const auto kind = screen.monitors().contains(rect) ? GrabPlace::Kind::screen : GrabPlace::Kind::region;
        return written(whole.copy(rect), request.path, kind, rect, root.size());
    }
    // Only a frame of the same place and size is known to be the same window.
    const QRect frame = request.place.rect;
    if (!screen.windows().contains(frame))
        return complain("the window of the last grab is no longer where it was; pick it again with a window grab");
    const QImage own = screen.windowPixels(frame);
    return written(own.isNull() ? whole.copy(frame.intersected(root)) : own, request.path,
                   GrabPlace::Kind::window, frame, root.size());
}

int selectInteractively(int argc, char **argv, const Request &request, X11Screen &screen)
{
    // The picture and the windows are taken before anything of ours is on screen, over our own
    // connection on a thread of their own while Qt starts: at 4K each takes some tens of
    // milliseconds, and Qt maps nothing until the overlay shows. The environment Qt reads is set
    // before the thread starts.
    const double requestedScale = SelectionOverlay::prepareApplication("xcb");
    Frozen frozen;
    std::thread taking([&] { frozen = freeze(screen); });
    QGuiApplication app(argc, argv);
    taking.join();
    // The hints in the app's language; what goes to stderr stays English, the app reads it.
    Translations::install(app);
    return select(app, request, screen, frozen, requestedScale);
}

// Started ahead of the request: Qt, the display, the translations and the fonts are ready when
// the line with the arguments comes, and only the screen is read then.
int standby(int argc, char **argv)
{
    if (WaylandCapture::isSession())
        return 3;
    const double requestedScale = SelectionOverlay::prepareApplication("xcb");
    QGuiApplication app(argc, argv);
    Translations::install(app);
    // Fontconfig reads its whole configuration at the first text measured: tens of milliseconds.
    QFontMetrics(QGuiApplication::font()).horizontalAdvance(QStringLiteral("Drag to select"));
    const auto screen = X11Screen::open();
    if (!screen)
        return complain("no X display to grab (DISPLAY is not set or cannot be opened)");
    screen->prepareQuickGrab();

    QByteArray line;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof(buffer));
        if (got > 0)
            line.append(buffer, got);
        const bool ended = got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN);
        if (ended || line.contains('\n')) {
            input.setEnabled(false);
            app.quit();
        }
    });
    app.exec();
    if (!line.contains('\n'))
        return 0; // the app went away, or no longer wants us
    QList<QByteArray> words = line.left(line.indexOf('\n')).split('\t');
    std::vector<char *> arguments{argv[0]};
    for (QByteArray &word : words)
        arguments.push_back(word.data());
    Request request;
    if (!parse(int(arguments.size()), arguments.data(), request))
        return complain("the request was not understood", QString::fromLocal8Bit(line).trimmed());
    if (request.kind == Kind::Screen) {
        const QImage image = screen->quickGrab();
        const QRect monitor = screen->monitors().constFirst();
        return image.isNull() ? complain("could not read the screen from the X server")
                              : written(image.copy(monitor), request.path, GrabPlace::Kind::screen, monitor,
                                        screen->rootGeometry().size());
    }
    if (request.kind == Kind::FixedRegion || request.kind == Kind::FixedWindow)
        return grabFixed(request, *screen, screen->quickGrab());
    // Monitors may have come or gone while we waited.
    QCoreApplication::processEvents();
    return select(app, request, *screen, freeze(*screen, true), requestedScale);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--standby") == 0)
        return standby(argc, argv);
    Request request;
    if (!parse(argc, argv, request)) {
        std::fprintf(stderr, "usage: kiwano-capture [-i | -iW | -m | -R X,Y,W,H | -W X,Y,W,H] [-x] FILE.png\n");
        return 2;
    }
    const bool fixed = request.kind == Kind::FixedRegion || request.kind == Kind::FixedWindow;
    if (WaylandCapture::isSession()) {
        if (fixed)
            return complain("the last place is grabbed again only in an X11 session");
        if (request.kind == Kind::Screen)
            return WaylandCapture::grabScreen(argc, argv, request.path);
        return WaylandCapture::grabInteractively(argc, argv,
                                                 request.kind == Kind::Window ? SelectionOverlay::Mode::Window
                                                                              : SelectionOverlay::Mode::Region,
                                                 request.path);
    }
    const auto screen = X11Screen::open();
    if (!screen)
        return complain("no X display to grab (DISPLAY is not set or cannot be opened)");
    if (request.kind == Kind::Screen) {
        const QRect monitor = screen->monitors().constFirst();
        const QImage image = screen->grab(monitor);
        if (image.isNull())
            return complain("could not read the screen from the X server");
        return written(image, request.path, GrabPlace::Kind::screen, monitor, screen->rootGeometry().size());
    }
    if (fixed)
        return grabFixed(request, *screen, screen->grab(screen->rootGeometry()));
    return selectInteractively(argc, argv, request, *screen);
}
