// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include "app/appdelegate.h"
#include "app/commandline.h"
#include "app/quitsignals.h"
#include "app/singleinstance.h"
#include "app/translations.h"
#include "editor/model/imageimport.h"
#include "editor/model/zogquote.h"
#include "look/widgets/kiwanostyle.h"

#include <cstdio>
#include <malloc.h>

namespace {

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Keeps the files that hold an image; says which were left out.
QStringList imagesOnly(const QStringList &files)
{
    QStringList images;
    for (const QString &file : files) {
        if (QImageReader(file).canRead())
            images << file;
        else
            std::fprintf(stderr, "kiwano-snapper: skipping %s: not an image it can open\n",
                         qPrintable(QDir::toNativeSeparators(file)));
    }
    return images;
}

// Whether Qt has a display to open; without one it aborts at start.
bool hasDisplay()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/wayland-0"));
}

// A Plasma session on Wayland, where our windows are native.
bool nativeOnKde()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariable("XDG_SESSION_TYPE") != QLatin1String("x11")
        && qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(u':').contains(QLatin1String("KDE"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Bitmaps the size of the window or of a grab come and go with every grab shown. Once one was
    // freed, glibc would raise its mmap threshold and carve the next ones out of the heap, where
    // what is freed stays resident; a fixed threshold gives every large block a mapping of its
    // own, returned whole when freed. Two arenas keep the decoding threads from keeping heaps.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_ARENA_MAX, 2);
    CommandLine line = CommandLine::parse(argumentList(argc, argv), QDir::currentPath());
    switch (line.outcome) {
    case CommandLine::Outcome::help:
    case CommandLine::Outcome::version:
        std::printf("%s\n", qPrintable(line.message));
        return 0;
    case CommandLine::Outcome::error:
        std::fprintf(stderr, "kiwano-snapper: %s\n", qPrintable(line.message));
        return 2;
    case CommandLine::Outcome::run:
        break;
    }

    // Requests for the running instance need no display: they are handed over before Qt opens
    // one, so that a key binding or a terminal without one reaches us all the same.
    if (line.files.isEmpty()) {
        const QStringList requests = Requests::encode(line);
        const bool onlyQuit = line.requests == QStringList{QStringLiteral("quit")};
        SingleInstance running(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
        // Nothing to start just to end it.
        if (running.forward(requests.isEmpty() ? QStringList{QStringLiteral("show")} : requests) || onlyQuit)
            return 0;
    }
    if (!hasDisplay()) {
        std::fprintf(stderr, "kiwano-snapper: no display to open windows on (neither WAYLAND_DISPLAY "
                             "nor DISPLAY is set)\n");
        return 1;
    }

    // Our windows live on X11, through XWayland in a Wayland session; KDE Plasma's KWin serves
    // every service natively, and there an XWayland picker would hand the focus back to our own
    // main window rather than to the app it pastes into.
    if (qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
        && !nativeOnKde())
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    ImageImport::allowLargestImages();
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QApplication::setOrganizationName(QStringLiteral("KiwanoSnapper"));
    QApplication::setApplicationVersion(QStringLiteral(KIWANO_VERSION));
    // A Wayland compositor knows our windows by this (their app_id) and finds our icon through it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kiwanosnapper.KiwanoSnapper"));
    // A tray utility: closing its last window leaves it running.
    QApplication::setQuitOnLastWindowClosed(false);

    line.files = imagesOnly(line.files);
    QStringList requests = Requests::encode(line);
    SingleInstance instance(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
    if (line.files.isEmpty() && line.requests == QStringList{QStringLiteral("quit")}) {
        // None of the files was an image: nothing to start just to end it.
        instance.forward(requests);
        return 0;
    }
    // A second plain launch brings the running one's window forward.
    const QStringList forwarded = requests.isEmpty() ? QStringList{QStringLiteral("show")} : requests;
    switch (instance.start(forwarded)) {
    case SingleInstance::Role::forwarded:
        return 0;
    case SingleInstance::Role::failed:
        std::fprintf(stderr, "kiwano-snapper: cannot reach the running Kiwano Snapper nor start one (%s)\n",
                     qPrintable(QDir::toNativeSeparators(instance.socketPath())));
        return 1;
    case SingleInstance::Role::running:
        break;
    }

    ZogQuote::useLanguage(Translations::install(app));
    Look::apply(app);
    AppDelegate delegate;
    delegate.start();
    QObject::connect(&instance, &SingleInstance::requestsReceived, &delegate, &AppDelegate::handle);
    instance.setAnswerWhen([&delegate](std::function<void()> answer) { delegate.whenRequestsSettled(std::move(answer)); });
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, &QCoreApplication::quit);
    // The session is ending: the same clean-up as any quit.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &delegate, &AppDelegate::quit);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &delegate, &AppDelegate::applicationWillTerminate);
    if (!requests.isEmpty())
        QMetaObject::invokeMethod(&delegate, [&delegate, requests] { delegate.handle(requests); }, Qt::QueuedConnection);
    const int status = app.exec();
    delegate.applicationWillTerminate();
    return status;
}
