// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/pickerkeys.h"

#include "platform/keycodes.h"

#include <QKeyEvent>

namespace {

// Positions of the keys the picker handles, in the stored numbering.
constexpr quint32 keyP = 35;
constexpr quint32 keyN = 45;
constexpr quint32 keyReturn = 36;
constexpr quint32 keyEnter = 76;
constexpr quint32 keyEscape = 53;
constexpr quint32 keyBackspace = 51;
constexpr quint32 keyComma = 43;
constexpr quint32 keyUp = 126;
constexpr quint32 keyDown = 125;

constexpr Qt::KeyboardModifiers none = Qt::NoModifier;
constexpr Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers shift = Qt::ShiftModifier;

// Digits go by the character the key types, wherever the layout puts them.
int digitOf(int qtKey)
{
    return qtKey >= Qt::Key_1 && qtKey <= Qt::Key_9 ? qtKey - Qt::Key_0 : 0;
}

} // namespace

namespace PickerKeys {

PickerKey fromEvent(const QKeyEvent &event)
{
    PickerKey key;
    key.qtKey = event.key();
    // Keys that type go by where they sit, whatever the layout writes on them. Keys that act
    // (Escape, Return, arrows) go by what they do: a virtual or on-screen keyboard brings a keymap
    // of its own, where a letter may sit at Escape's place.
    const std::optional<quint16> byPosition =
        event.nativeScanCode() != 0 ? KeyCodes::fromX11(event.nativeScanCode()) : std::nullopt;
    const bool acts = event.key() >= Qt::Key_Escape || (byPosition && KeyCodes::isNamedKey(*byPosition));
    if (byPosition && !acts)
        key.virtualKey = byPosition;
    else if (const auto code = KeyCodes::fromQtKey(event.key()))
        key.virtualKey = *code;
    else
        key.virtualKey = byPosition;
    key.modifiers = event.modifiers() & HotKey::relevant;
    return key;
}

Qt::KeyboardModifiers modifierOfKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return Qt::AltModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return Qt::MetaModifier;
    default:
        return Qt::NoModifier;
    }
}

PickerAction action(const PickerKey &key, PickerMode mode, const std::optional<HotKey> &shortcut)
{
    const Qt::KeyboardModifiers mods = key.modifiers & HotKey::relevant;
    const std::optional<quint32> code = key.virtualKey;
    auto is = [&](quint32 wanted, Qt::KeyboardModifiers modifiers) { return code == wanted && mods == modifiers; };

    if (shortcut && code == shortcut->keyCode && mods == shortcut->modifiers)
        return {mode == PickerMode::toggle ? PickerAction::close : PickerAction::cycle};
    if (is(keyUp, none) || is(keyP, ctrl))
        return {PickerAction::moveUp};
    if (is(keyDown, none) || is(keyN, ctrl))
        return {PickerAction::moveDown};
    if (is(keyReturn, none) || is(keyEnter, none))
        return {PickerAction::choose, false};
    if (is(keyReturn, alt) || is(keyEnter, alt))
        return {PickerAction::choose, true};
    if (is(keyEscape, none))
        return {PickerAction::escape};
    if (is(keyP, alt))
        return {PickerAction::pin};
    if (is(keyBackspace, alt))
        return {PickerAction::deleteSelected};
    if (is(keyBackspace, ctrl | shift))
        return {PickerAction::clear};
    if (is(keyComma, ctrl))
        return {PickerAction::openSettings};
    if (const int digit = digitOf(key.qtKey); digit != 0 && (mods == ctrl || mods == (ctrl | alt)))
        return {PickerAction::chooseAt, mods == (ctrl | alt), digit - 1};
    return {PickerAction::deliver};
}

} // namespace PickerKeys
