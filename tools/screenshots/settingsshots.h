// SPDX-License-Identifier: MIT
#pragma once

class AppState;
class Clipboard;
class Driver;
class HotKeyCenter;

// The settings window at its top and scrolled to the clipboard section, then at its top in a
// sway session.
namespace SettingsShots {

void run(Driver &driver, AppState &state, Clipboard &clipboard, HotKeyCenter &hotKeys);

} // namespace SettingsShots
