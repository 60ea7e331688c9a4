// SPDX-License-Identifier: MIT
#pragma once

#include "hotkeys/hotkey.h"

#include <Qt>

#include <optional>

class QKeyEvent;

// How the clipboard shortcut and the release of its modifiers behave while the picker is open.
enum class PickerMode {
    opening, // opened by the shortcut, whose modifiers are still held
    toggle,  // normal use: the shortcut closes the picker
    cycle,   // the shortcut pressed again with its modifiers held: each press moves down
};

// What one key press in the picker does.
struct PickerAction
{
    enum Kind {
        deliver, // not ours: the search field gets it
        cycle,   // the shortcut again while its modifiers are held
        close,
        moveUp,
        moveDown,
        choose,
        escape, // clears the search, or closes when it is empty
        pin,
        deleteSelected,
        clear,
        openSettings,
        chooseAt,
    };
    Kind kind = deliver;
    // For choose and chooseAt: Alt was held, so the other of copy and paste.
    bool option = false;
    // For chooseAt: the position in the visible list.
    int index = -1;

    friend bool operator==(const PickerAction &, const PickerAction &) = default;
};

// One key press as the picker sees it: the key's position in the stored numbering (nothing when
// the key has none), Qt's key for the digit test, and the held modifiers.
struct PickerKey
{
    std::optional<quint32> virtualKey;
    int qtKey = 0;
    Qt::KeyboardModifiers modifiers;
};

namespace PickerKeys {

// The press as the picker compares it: X11 keycodes by position, else Qt's key on a US layout;
// modifiers restricted to Shift, Ctrl, Alt and Super.
PickerKey fromEvent(const QKeyEvent &event);
// Decides what a press does. Modifiers compare exactly; the shortcut is tested before the rest,
// so a shortcut on an arrow key still cycles.
PickerAction action(const PickerKey &key, PickerMode mode, const std::optional<HotKey> &shortcut);
// The modifier a modifier key itself stands for (Shift for Key_Shift...), 0 for other keys.
Qt::KeyboardModifiers modifierOfKey(int qtKey);

} // namespace PickerKeys
