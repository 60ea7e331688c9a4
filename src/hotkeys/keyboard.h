// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <optional>

class KeyboardLayout;

// Names of key positions in the current keyboard layout, and the way back from a character.
namespace Keyboard {

// Makes these lookups read this layout (not owned); nullptr means no layout is readable.
void setLayout(KeyboardLayout *layout);

// The text the key produces with no modifiers; nothing without a layout or for a dead key.
std::optional<QString> character(quint32 keyCode);
// The fixed name of a non-printing key, else its character upper-cased (on a US layout when no
// layout is readable), else "#" and the code.
QString name(quint32 keyCode);
// Whether name() knows the key: a fixed name, or a character in the current layout.
bool hasName(quint32 keyCode);
// The lowest key code (0 to 127) whose character is exactly this text; nothing when none is.
std::optional<quint16> keyCode(const QString &character);
// True for exactly F1 to F12.
bool isFunctionKey(quint32 keyCode);

} // namespace Keyboard
