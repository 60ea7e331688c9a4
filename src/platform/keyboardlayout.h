// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

// The keyboard layout in use now, as the desktop translates key positions.
class KeyboardLayout
{
public:
    virtual ~KeyboardLayout() = default;

    // The text the key at this virtual key position produces with no modifiers in the current
    // layout and group; nothing when no layout is readable, the key is dead or produces no text.
    virtual std::optional<QString> text(quint32 keyCode) = 0;
};
