// SPDX-License-Identifier: MIT
// kiwano-capture: grabs the screen into a PNG file for Kiwano Snapper.
//   -i   drag a region (Space switches to picking a window)
//   -iW  pick a window (Space switches to dragging a region)
//   -m   the whole primary monitor, at once
//   -x   silent (there is no sound anyway)
// then the output path. Exit status 0 with the file written; otherwise no file at all.
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <cstring>
#include <thread>

#include "app/translations.h"
#include "capture/pngfile.h"
#include "platform/x11/x11screen.h"
#include "selectionoverlay.h"
#include "waylandcapture.h"

namespace {

enum class Kind { Region, Window, Screen };

struct Request
{
    Kind kind = Kind::Region;
    QString path;
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
        else if (arg[0] == '-' || !request.path.isEmpty())
            return false;
        else
            request.path = QString::fromLocal8Bit(arg);
    }
    return !request.path.isEmpty();
}

int selectInteractively(int argc, char **argv, const Request &request, const X11Screen &screen)
{
    // The picture and the windows are taken before anything of ours is on screen, over our own
    // connection on a thread of their own while Qt starts: at 4K each takes some tens of
    // milliseconds, and Qt maps nothing until the overlay shows. The environment Qt reads is set
    // before the thread starts.
    const double requestedScale = SelectionOverlay::prepareApplication("xcb");
    QImage frozen;
    QList<QRect> monitors;
    QList<QRect> windows;
    std::thread taking([&] {
        frozen = screen.grab(screen.rootGeometry());
        if (!frozen.isNull()) {
            monitors = screen.monitors();
            windows = screen.windows();
        }
    });
    QGuiApplication app(argc, argv);
    taking.join();
    if (frozen.isNull())
        return complain("could not read the screen from the X server");
    // The hints in the app's language; what goes to stderr stays English, the app reads it.
    Translations::install(app);
    const double dpiScale = app.primaryScreen() ? app.primaryScreen()->logicalDotsPerInch() / 96.0 : 1.0;
    const double uiScale = std::max({1.0, requestedScale, dpiScale});

    SelectionOverlay overlay(frozen, monitors, windows,
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
        if (overlay.mode() == SelectionOverlay::Mode::Window)
            picture = screen.windowPixels(rect);
        status = written(picture.isNull() ? frozen.copy(rect) : picture, request.path);
        app.quit();
    });
    QObject::connect(&overlay, &SelectionOverlay::cancelled, &app, &QGuiApplication::quit);
    overlay.show();
    app.exec();
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    Request request;
    if (!parse(argc, argv, request)) {
        std::fprintf(stderr, "usage: kiwano-capture [-i | -iW | -m] [-x] FILE.png\n");
        return 2;
    }
    if (WaylandCapture::isSession()) {
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
        const QImage image = screen->grab(screen->monitors().constFirst());
        if (image.isNull())
            return complain("could not read the screen from the X server");
        return written(image, request.path);
    }
    return selectInteractively(argc, argv, request, *screen);
}
