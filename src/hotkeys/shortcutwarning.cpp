// SPDX-License-Identifier: MIT
#include "hotkeys/shortcutwarning.h"

#include "hotkeys/hotkeycenter.h"

#include <QCoreApplication>
#include <QStandardPaths>

std::optional<ShortcutWarning> ShortcutWarning::forAction(HotKeyAction action, const HotKeyCenter &center,
                                                          const DesktopScreenshots::Settings &desktop)
{
    return evaluate(action, center.key(action), center.failed().contains(action),
                    [&desktop](const HotKey &key) { return DesktopScreenshots::isTaken(key, desktop); });
}

std::optional<ShortcutWarning> ShortcutWarning::evaluate(
    HotKeyAction action, const std::optional<HotKey> &key, bool failed,
    const std::function<bool(const HotKey &)> &takenByDesktop)
{
    if (!key)
        return std::nullopt;
    // Only grabs compete with the desktop's screenshot tool; the clipboard action never warns so.
    if (action != HotKeyAction::clipboard && takenByDesktop && takenByDesktop(*key)) {
        return ShortcutWarning{Kind::desktopScreenshots,
                               QCoreApplication::translate("ShortcutWarning",
                                                           "Your desktop uses %1 for its own screenshots. Turn it "
                                                           "off in its keyboard settings to use it here.")
                                   .arg(key->display())};
    }
    if (failed) {
        return ShortcutWarning{Kind::blocked,
                               QCoreApplication::translate("ShortcutWarning",
                                                           "Another app is using %1. Quit it or pick another shortcut.")
                                   .arg(key->display())};
    }
    return std::nullopt;
}

QStringList ShortcutWarning::keyboardSettingsCommand()
{
    const QString gnome = QStandardPaths::findExecutable(QStringLiteral("gnome-control-center"));
    if (!gnome.isEmpty())
        return {gnome, QStringLiteral("keyboard")};
    const QString kde = QStandardPaths::findExecutable(QStringLiteral("systemsettings"));
    if (!kde.isEmpty())
        return {kde, QStringLiteral("kcm_keys")};
    return {};
}
