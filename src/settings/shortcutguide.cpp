// SPDX-License-Identifier: MIT
#include "settings/shortcutguide.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString commandFor(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion:
        return QStringLiteral("kiwano-snapper --region");
    case HotKeyAction::grabWindow:
        return QStringLiteral("kiwano-snapper --window");
    case HotKeyAction::grabScreen:
        return QStringLiteral("kiwano-snapper --screen");
    case HotKeyAction::clipboard:
        break;
    }
    return QStringLiteral("kiwano-snapper --clipboard");
}

// Our own keys where sway's example configuration leaves them free; the region keeps ours and
// wins over "move to workspace 6" because the line comes last.
QString swayKeys(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion:
        return QStringLiteral("$mod+Shift+6");
    case HotKeyAction::grabWindow:
        return QStringLiteral("Mod1+Print");
    case HotKeyAction::grabScreen:
        return QStringLiteral("Print");
    case HotKeyAction::clipboard:
        break;
    }
    // $mod+Shift+c reloads sway.
    return QStringLiteral("$mod+Shift+v");
}

} // namespace

ShortcutGuide::Desktop ShortcutGuide::desktopFrom(const QString &currentDesktop)
{
    for (const QString &name : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString desktop = name.trimmed();
        if (desktop.compare(QLatin1String("GNOME"), Qt::CaseInsensitive) == 0)
            return Desktop::gnome;
        if (desktop.compare(QLatin1String("KDE"), Qt::CaseInsensitive) == 0)
            return Desktop::kde;
        if (desktop.compare(QLatin1String("sway"), Qt::CaseInsensitive) == 0)
            return Desktop::sway;
    }
    return Desktop::other;
}

ShortcutGuide ShortcutGuide::forDesktop(const QString &currentDesktop)
{
    ShortcutGuide guide;
    guide.desktop = desktopFrom(currentDesktop);
    switch (guide.desktop) {
    case Desktop::gnome:
        guide.steps = QCoreApplication::translate("ShortcutGuide", 
            "In Settings > Keyboard > View and Customise Shortcuts > Custom Shortcuts, add one "
            "shortcut per command: give it a name, paste the command, then set the keys.");
        break;
    case Desktop::kde:
        guide.steps = QCoreApplication::translate("ShortcutGuide", 
            "In System Settings > Shortcuts > Add New > Command or Script, add one per command: "
            "paste the command, then set the keys.");
        break;
    case Desktop::sway:
        guide.steps = QCoreApplication::translate("ShortcutGuide", 
            "Add these lines to ~/.config/sway/config, then reload sway (Super+Shift+C, or "
            "swaymsg reload). Change the keys to taste.");
        break;
    case Desktop::other:
        guide.steps = QCoreApplication::translate("ShortcutGuide", 
            "Bind each command to keys in your desktop's keyboard settings, usually under "
            "Shortcuts or Custom Shortcuts.");
        break;
    }
    for (const HotKeyAction action : allHotKeyActions) {
        const QString command = commandFor(action);
        const QString copied = guide.desktop == Desktop::sway
            ? QStringLiteral("bindsym %1 exec %2").arg(swayKeys(action), command)
            : command;
        guide.commands.append({action, command, copied});
    }
    return guide;
}
