// SPDX-License-Identifier: MIT
// Writes pictures of the settings window for looking at it: the window as shown, and the whole
// content. Usage: settings_preview OUT_PREFIX [gnome|kde|sway]
// Also the application chooser over the installed desktop files.
#include "settingsfixture.h"

#include "hotkeys/keyboard.h"
#include "look/widgets/kiwanostyle.h"
#include "platform/x11/x11keyboardlayout.h"
#include "settings/appchooser.h"
#include "look/widgets/kiwanobutton.h"
#include "settings/clipboardsection.h"
#include "settings/commandshortcuts.h"
#include "settings/desktopbindings.h"
#include "settings/settingsparts.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"
#include "hotkeys/hotkeyrecorder.h"
#include "settings/settingswindowcontroller.h"
#include "settings/updatesettings.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Look::apply(app);
    X11KeyboardLayout layout;
    Keyboard::setLayout(&layout);
    const QString prefix = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("settings");
    SettingsFixture fixture;
    fixture.clips.open().setUserIgnoredApps({QStringLiteral("org.example.Missing")});
    fixture.grabber.taken.insert({8, HotKey(8, HotKey::shift | HotKey::super).x11Modifiers()});
    fixture.center.set(HotKey(105, HotKey::shift), HotKeyAction::grabWindow);
    UpdateSettings updates;
    SettingsWindowController controller(&updates, nullptr);
    auto services = fixture.services([] { return false; });
    // The services each desktop's Wayland session gets.
    DesktopBindings bindings;
    const QString desktop = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!desktop.isEmpty()) {
        services.clipboardServices.environment = SettingsFixture::session(QStringLiteral("wayland"), true, desktop != u"sway");
        SessionFacts &facts = services.session;
        facts.kind = SessionFacts::Kind::wayland;
        facts.desktop = desktop == u"gnome" ? QStringLiteral("GNOME") : desktop == u"kde" ? QStringLiteral("KDE")
                                                                                          : QStringLiteral("sway");
        facts.hasX11 = desktop != u"sway";
        facts.hasRemoteDesktopPortal = facts.hasScreenshotPortal = desktop != u"sway";
        facts.hasGlobalShortcutsPortal = desktop == u"kde";
        facts.hasDataControl = desktop != u"gnome";
        facts.hasScreencopy = facts.hasVirtualKeyboard = desktop == u"sway";
        services.plan = plan(facts);
        bindings.setTriggers({{QStringLiteral("grabRegion"), QStringLiteral("Shift+Meta+6")},
                              {QStringLiteral("clipboard"), QStringLiteral("Shift+Meta+C")}});
        services.desktopBindings = &bindings;
    }
    controller.setServices(services);
    controller.show();
    AppChooser chooser(DesktopEntries::installed()->entries());
    chooser.show();
    // One field recording and the keyboard on a toggle, to see both states.
    if (desktop.isEmpty())
        controller.view()->shortcuts()->field(HotKeyAction::grabWindow)->recorder()->start();
    if (CommandShortcuts *guide = controller.view()->shortcuts()->commandGuide())
        guide->copyButton(HotKeyAction::grabWindow)->setFocus(Qt::TabFocusReason);
    else
        controller.view()->clipboard()->pasteToggle()->setFocus(Qt::TabFocusReason);
    QTimer::singleShot(500, [&] {
        chooser.grab().save(prefix + QStringLiteral("-chooser.png"));
        controller.window()->grab().save(prefix + QStringLiteral("-window.png"));
        controller.view()->grab().save(prefix + QStringLiteral("-content.png"));
        app.quit();
    });
    return app.exec();
}
