// SPDX-License-Identifier: MIT
// Shows the application's views on the X server named by DISPLAY, drives them with pointer and
// key events and writes their pictures:
//   kiwano-screenshots OUT_FOLDER SCALE MAKE_GRABS
// Run it over private data and config folders (scripts/screenshots.sh does): it fills the grab
// history and the clipboard history there. Exits with 1 when a picture could not be taken.
#include "driver.h"
#include "editorshots.h"
#include "pickershots.h"
#include "settingsshots.h"

#include "capture/appstate.h"
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "app/translations.h"
#include "look/pixel.h"
#include "look/widgets/kiwanostyle.h"
#include "platform/x11/x11hotkeygrabber.h"
#include "platform/x11/x11keyboardlayout.h"
#include "platform/x11/x11keysender.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: kiwano-screenshots OUT_FOLDER SCALE MAKE_GRABS\n");
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Kiwano Snapper"));
    QApplication::setOrganizationName(QStringLiteral("KiwanoSnapper"));
    Pixel::registerFont();
    Look::apply(app);
    X11KeyboardLayout layout;
    if (layout.isReadable())
        Keyboard::setLayout(&layout);

    // Whatever hangs, the run ends.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        std::fprintf(stderr, "screenshots: still running after 45 s, giving up\n");
        std::_Exit(3);
    });
    watchdog.start(45000);

    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    Driver driver(out, QString::fromLocal8Bit(argv[2]).toInt());
    // LANGUAGE or LANG names the language, as for the application.
    driver.setLanguage(Translations::install(app));

    // The shortcuts registered with the X server as the application does, so that the settings
    // show them taken by us rather than by another application.
    X11HotKeyGrabber grabber;
    HotKeyCenter hotKeys;
    hotKeys.setGrabber(&grabber);
    hotKeys.registerAll();

    EditorShots::run(driver, QString::fromLocal8Bit(argv[3]), hotKeys);

    X11KeySender keys;
    Clipboard clipboard(nullptr, nullptr, &keys);
    PickerShots::run(driver, clipboard, hotKeys);

    AppState state;
    SettingsShots::run(driver, state, clipboard, hotKeys);

    clipboard.store().waitForWrites();
    hotKeys.setGrabber(nullptr);
    Keyboard::setLayout(nullptr);
    return driver.failures() == 0 ? 0 : 1;
}
