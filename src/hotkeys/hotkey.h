// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <Qt>
#include <QString>

#include <array>
#include <optional>

// The four things a global shortcut can start; the order is also the number each registers under.
enum class HotKeyAction { grabRegion, grabWindow, grabScreen, clipboard };

inline constexpr std::array<HotKeyAction, 4> allHotKeyActions{
    HotKeyAction::grabRegion, HotKeyAction::grabWindow, HotKeyAction::grabScreen,
    HotKeyAction::clipboard};

inline size_t qHash(HotKeyAction action, size_t seed = 0) noexcept
{
    return ::qHash(static_cast<int>(action), seed);
}

namespace HotKeyActions {
// "grabRegion", "grabWindow", ...: the name under which the action's shortcut is stored.
QString rawValue(HotKeyAction action);
QString title(HotKeyAction action);
// The name of the action's pixel icon.
QString icon(HotKeyAction action);
// 0 to 3, the action's place in allHotKeyActions.
quint32 index(HotKeyAction action);
} // namespace HotKeyActions

// One shortcut: a key position and the modifiers held with it (Meta is the Super key).
struct HotKey
{
    // The modifiers a shortcut may hold; keypad and group bits never reach storage.
    static constexpr Qt::KeyboardModifiers relevant{Qt::ShiftModifier | Qt::ControlModifier
                                                    | Qt::AltModifier | Qt::MetaModifier};

    quint32 keyCode = 0;
    Qt::KeyboardModifiers modifiers;

    HotKey() = default;
    HotKey(quint32 keyCode, Qt::KeyboardModifiers modifiers)
        : keyCode(keyCode), modifiers(modifiers & relevant) {}

    friend bool operator==(const HotKey &, const HotKey &) = default;

    // The X11 mask of the same modifiers: Control, Mod1 for Alt, Shift, Mod4 for Super.
    quint32 x11Modifiers() const;
    // "Ctrl+Alt+Shift+Super+" as far as held, then the key's name: "Shift+Super+6".
    QString display() const;

    // Whether this can be a global shortcut: a key with a position that is no modifier, held
    // with Control, Alt or Super unless it is a function key or Print (a key that types nothing),
    // so that no shortcut swallows a typed character.
    bool isAllowed() const;

    // {"keyCode": 22, "modifiers": 1179648}: the stored form, whose modifier bits are
    // 0x20000 Shift, 0x40000 Control, 0x80000 Alt, 0x100000 Super.
    QByteArray toJson() const;
    // Nothing unless the bytes are a JSON object with two whole numbers in range.
    static std::optional<HotKey> fromJson(const QByteArray &json);
};

// Preferences hold a preset as a function of the action.
using HotKeyPreset = std::optional<HotKey> (*)(HotKeyAction);

namespace HotKeyPresets {
// Shift+Super+6 grabs a region, Shift+Super+C opens clipboard history; also what an action has
// when nothing was ever stored for it.
std::optional<HotKey> kiwanoDefault(HotKeyAction action);
// The Print Screen keys most desktops use: Shift+Print, Alt+Print, Print, and Shift+Super+C.
std::optional<HotKey> desktopDefault(HotKeyAction action);
} // namespace HotKeyPresets
