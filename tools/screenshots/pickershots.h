// SPDX-License-Identifier: MIT
#pragma once

class Clipboard;
class Driver;
class HotKeyCenter;

// The clipboard picker: empty, with every kind of entry, and a search that finds nothing.
namespace PickerShots {

void run(Driver &driver, Clipboard &clipboard, HotKeyCenter &hotKeys);

} // namespace PickerShots
