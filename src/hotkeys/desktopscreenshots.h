// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

// The shortcuts the desktop keeps for its own screenshot tool: GNOME's shell keybindings and
// KDE's Spectacle shortcuts; with neither readable, the Print Screen keys most desktops ship.
namespace DesktopScreenshots {

struct Settings
{
    // What `gsettings list-recursively org.gnome.shell.keybindings` printed; nothing when the
    // command or the schema is missing.
    std::optional<QString> gnome;
    // The text of kglobalshortcutsrc; nothing when the file cannot be read.
    std::optional<QString> kde;
};

// Reads both afresh: the gsettings command found in PATH, the file in the user's config folder.
// Runs a program and waits for it (at most 2 s).
Settings read();
// Where the settings come from: read() for the desktop itself; tests give their own.
using Reader = std::function<Settings()>;

// Every combination the readable settings give to screenshots; the factory table
// (Print, Shift+Print, Alt+Print) when neither says anything.
QList<HotKey> shortcuts(const Settings &settings);
bool isTaken(const HotKey &key, const Settings &settings);

// "<Shift><Super>s"; nothing for an unknown modifier or key name.
std::optional<HotKey> fromGtkAccelerator(const QString &accelerator);
// "Meta+Shift+Print"; nothing for "none" or what Qt cannot parse.
std::optional<HotKey> fromKdeShortcut(const QString &shortcut);

} // namespace DesktopScreenshots
