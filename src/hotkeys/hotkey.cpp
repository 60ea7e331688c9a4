// SPDX-License-Identifier: MIT
#include "hotkeys/hotkey.h"

#include "hotkeys/keyboard.h"
#include "platform/keycodes.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <array>
#include <cmath>

namespace HotKeyActions {

QString rawValue(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return QStringLiteral("grabRegion");
    case HotKeyAction::grabWindow: return QStringLiteral("grabWindow");
    case HotKeyAction::grabScreen: return QStringLiteral("grabScreen");
    case HotKeyAction::clipboard: return QStringLiteral("clipboard");
    }
    return {};
}

QString title(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return QCoreApplication::translate("HotKeyActions", "Grab Region");
    case HotKeyAction::grabWindow: return QCoreApplication::translate("HotKeyActions", "Grab Window");
    case HotKeyAction::grabScreen: return QCoreApplication::translate("HotKeyActions", "Grab Whole Screen");
    case HotKeyAction::clipboard: return QCoreApplication::translate("HotKeyActions", "Clipboard History");
    }
    return {};
}

QString icon(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return QStringLiteral("expand");
    case HotKeyAction::grabWindow: return QStringLiteral("rectangle-wide");
    case HotKeyAction::grabScreen: return QStringLiteral("desktop");
    case HotKeyAction::clipboard: return QStringLiteral("clone");
    }
    return {};
}

quint32 index(HotKeyAction action)
{
    return static_cast<quint32>(action);
}

} // namespace HotKeyActions

namespace {

// X11 modifier bits of the core protocol.
constexpr quint32 x11Shift = 1 << 0;
constexpr quint32 x11Control = 1 << 2;
constexpr quint32 x11Mod1 = 1 << 3;
constexpr quint32 x11Mod4 = 1 << 6;

// A JSON number that is a whole number from 0 to max; doubles hold integers exactly to 2^53.
std::optional<quint64> wholeNumber(const QJsonValue &value, double max)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= 0) || number > max || std::floor(number) != number)
        return std::nullopt;
    return static_cast<quint64>(number);
}


// The stored modifier bits, kept as the first shortcuts were written.
constexpr quint64 storedShift = 0x20000;
constexpr quint64 storedControl = 0x40000;
constexpr quint64 storedAlt = 0x80000;
constexpr quint64 storedSuper = 0x100000;

struct ModifierBits
{
    Qt::KeyboardModifier qt;
    quint64 stored;
    quint32 x11;
};
constexpr std::array<ModifierBits, 4> modifierBits{{
    {Qt::ShiftModifier, storedShift, x11Shift},
    {Qt::ControlModifier, storedControl, x11Control},
    {Qt::AltModifier, storedAlt, x11Mod1},
    {Qt::MetaModifier, storedSuper, x11Mod4},
}};

quint64 storedModifiers(Qt::KeyboardModifiers held)
{
    quint64 mask = 0;
    for (const ModifierBits &bits : modifierBits) {
        if (held & bits.qt)
            mask |= bits.stored;
    }
    return mask;
}

Qt::KeyboardModifiers fromStoredModifiers(quint64 mask)
{
    Qt::KeyboardModifiers held;
    for (const ModifierBits &bits : modifierBits) {
        if (mask & bits.stored)
            held |= bits.qt;
    }
    return held;
}

} // namespace

quint32 HotKey::x11Modifiers() const
{
    quint32 mask = 0;
    for (const ModifierBits &bits : modifierBits) {
        if (modifiers & bits.qt)
            mask |= bits.x11;
    }
    return mask;
}

QString HotKey::display() const
{
    QString text;
    if (modifiers & Qt::ControlModifier)
        text += QCoreApplication::translate("HotKey", "Ctrl+");
    if (modifiers & Qt::AltModifier)
        text += QCoreApplication::translate("HotKey", "Alt+");
    if (modifiers & Qt::ShiftModifier)
        text += QCoreApplication::translate("HotKey", "Shift+");
    if (modifiers & Qt::MetaModifier)
        text += QCoreApplication::translate("HotKey", "Super+");
    return text + Keyboard::name(keyCode);
}

QByteArray HotKey::toJson() const
{
    const QJsonObject object{{QStringLiteral("keyCode"), qint64(keyCode)},
                             {QStringLiteral("modifiers"), qint64(storedModifiers(modifiers))}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

bool HotKey::isAllowed() const
{
    // Shift, Control, Option, Command, Caps Lock and Fn on either side start a combination.
    const bool modifierKey = keyCode >= 54 && keyCode <= 63;
    if (!KeyCodes::toEvdev(keyCode) || modifierKey)
        return false;
    // Print sits beside the function keys and types nothing, so the presets use it alone.
    constexpr quint32 keyPrint = 105;
    return Keyboard::isFunctionKey(keyCode) || keyCode == keyPrint
        || (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

std::optional<HotKey> HotKey::fromJson(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const auto keyCode = wholeNumber(object.value(QStringLiteral("keyCode")), 4294967295.0);
    const auto modifiers = wholeNumber(object.value(QStringLiteral("modifiers")), 9007199254740992.0);
    if (!keyCode || !modifiers)
        return std::nullopt;
    // Only the four known bits are read: a hand-edited value with stray bits still equals the
    // same shortcut recorded from the keyboard.
    return HotKey(quint32(*keyCode), fromStoredModifiers(*modifiers));
}

namespace HotKeyPresets {

namespace {
constexpr quint32 keyC = 8;
constexpr quint32 key6 = 22;
constexpr quint32 keyPrint = 105;
} // namespace

std::optional<HotKey> kiwanoDefault(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return HotKey(key6, Qt::ShiftModifier | Qt::MetaModifier);
    case HotKeyAction::grabWindow:
    case HotKeyAction::grabScreen: return std::nullopt;
    case HotKeyAction::clipboard: return HotKey(keyC, Qt::ShiftModifier | Qt::MetaModifier);
    }
    return std::nullopt;
}

std::optional<HotKey> desktopDefault(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return HotKey(keyPrint, Qt::ShiftModifier);
    case HotKeyAction::grabWindow: return HotKey(keyPrint, Qt::AltModifier);
    case HotKeyAction::grabScreen: return HotKey(keyPrint, Qt::NoModifier);
    case HotKeyAction::clipboard: return HotKey(keyC, Qt::ShiftModifier | Qt::MetaModifier);
    }
    return std::nullopt;
}

} // namespace HotKeyPresets
