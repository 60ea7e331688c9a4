// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/desktopscreenshots.h"
#include "hotkeys/hotkey.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class HotKeyCenter;

// The warning a shortcut row of the settings shows, if any.
struct ShortcutWarning
{
    enum class Kind {
        desktopScreenshots,  // the desktop's screenshot tool uses the combination
        blocked,             // another application holds it
    };

    Kind kind = Kind::blocked;
    QString text;

    // The row's warning from what the registry knows now and the desktop's screenshot settings.
    static std::optional<ShortcutWarning> forAction(HotKeyAction action, const HotKeyCenter &center,
                                                    const DesktopScreenshots::Settings &desktop);
    // The same rule over given facts; takenByDesktop is asked only for the grab actions.
    static std::optional<ShortcutWarning> evaluate(HotKeyAction action, const std::optional<HotKey> &key,
                                                   bool failed,
                                                   const std::function<bool(const HotKey &)> &takenByDesktop);
    // The program and arguments that open the desktop's keyboard shortcut settings; empty when
    // neither GNOME's nor KDE's settings application is installed.
    static QStringList keyboardSettingsCommand();
};
