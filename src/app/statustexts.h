// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <QString>

#include <optional>

// The words of the status item and its menu that follow the models.
namespace StatusTexts {

// The status item's tooltip for the clipboard history's state; paused wins over ignoring.
QString toolTip(bool paused, bool ignoreNext);
// The pause item's title.
QString pauseTitle(bool paused);
// The key text a menu row shows for a global shortcut: empty for none, and for a key that has
// neither a name of its own (Print, F1, arrows) nor a character in the current layout.
QString shortcutText(const std::optional<HotKey> &key);
// A menu row's title with its key text, in the form QMenu lays out as a shortcut column.
QString rowText(const QString &title, const QString &keyText);

} // namespace StatusTexts
