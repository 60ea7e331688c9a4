// SPDX-License-Identifier: MIT
#include "settingsshots.h"

#include "driver.h"

#include "settings/clipboardsection.h"
#include "settings/settingsview.h"
#include "settings/settingswindowcontroller.h"
#include "settings/updatesettings.h"

#include <QProcessEnvironment>
#include <QScrollArea>
#include <QScrollBar>

namespace {

SettingsView::Services x11Services(Clipboard &clipboard, HotKeyCenter &hotKeys)
{
    SettingsView::Services services;
    services.hotKeys = &hotKeys;
    services.clipboard = &clipboard;
    services.clipboardServices.trusted = [] { return true; };
    QProcessEnvironment session;
    session.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    session.insert(QStringLiteral("DISPLAY"), QStringLiteral(":0"));
    services.clipboardServices.environment = session;
    services.chooseFolder = [](QWidget *, const QString &, const QString &) { return std::nullopt; };
    services.quit = [] {};
    return services;
}

// A sway session without XWayland: the compositor serves grabs, the clipboard and paste, and
// the keys are bound in sway's own configuration.
void shootSway(Driver &driver, AppState &state, Clipboard &clipboard, HotKeyCenter &hotKeys)
{
    UpdateSettings updates;
    SettingsWindowController controller(&updates, &state);
    SettingsView::Services services = x11Services(clipboard, hotKeys);
    SessionFacts &facts = services.session;
    facts.kind = SessionFacts::Kind::wayland;
    facts.desktop = QStringLiteral("sway");
    facts.hasScreencopy = facts.hasDataControl = facts.hasVirtualKeyboard = true;
    services.plan = plan(facts);
    QProcessEnvironment session;
    session.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    session.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-1"));
    services.clipboardServices.environment = session;
    controller.setServices(services);
    controller.show();
    QWidget *window = controller.window();
    if (!driver.waitShown(window))
        return;
    driver.shoot(QStringLiteral("settings-sway"), window);
    window->hide();
}

} // namespace

namespace SettingsShots {

void run(Driver &driver, AppState &state, Clipboard &clipboard, HotKeyCenter &hotKeys)
{
    UpdateSettings updates;
    SettingsWindowController controller(&updates, &state);
    controller.setServices(x11Services(clipboard, hotKeys));
    controller.show();
    QWidget *window = controller.window();
    if (!driver.waitShown(window))
        return;
    driver.shoot(QStringLiteral("settings"), window);

    // Down to the clipboard section, a little of the section before it still showing.
    auto *scroll = window->findChild<QScrollArea *>();
    ClipboardSection *section = controller.view() ? controller.view()->clipboard() : nullptr;
    if (!scroll || !section) {
        driver.fail(QStringLiteral("no clipboard section"));
        return;
    }
    const int target = std::min(section->mapTo(scroll->widget(), QPoint(0, 0)).y() - 12,
                                scroll->verticalScrollBar()->maximum());
    scroll->verticalScrollBar()->setValue(target);
    Driver::settle(300);
    driver.shoot(QStringLiteral("settings-clipboard"), window);
    window->hide();
    shootSway(driver, state, clipboard, hotKeys);
}

} // namespace SettingsShots
