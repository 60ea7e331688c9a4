// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class AppState;
class Driver;
class HotKeyCenter;

// The main window: empty, with grabs, the editor at work, and the quote after a new grab.
namespace EditorShots {

// The history folder must be empty; makeGrabs fills it (the grab generator's path).
void run(Driver &driver, const QString &makeGrabs, HotKeyCenter &hotKeys);

} // namespace EditorShots
