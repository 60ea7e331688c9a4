// SPDX-License-Identifier: MIT
#include "hotkeys/hotkey.h"

#include "hotkeys/keyboard.h"
#include "platform/keycodes.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

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

} // namespace

quint64 HotKey::modifiersFromQt(Qt::KeyboardModifiers held)
{
    quint64 mask = 0;
    if (held & Qt::ShiftModifier)
        mask |= shift;
    if (held & Qt::ControlModifier)
        mask |= control;
    if (held & Qt::AltModifier)
        mask |= alt;
    if (held & Qt::MetaModifier)
        mask |= super;
    return mask;
}

quint32 HotKey::x11Modifiers() const
{
    quint32 mask = 0;
    if (modifiers & super)
        mask |= x11Mod4;
    if (modifiers & shift)
        mask |= x11Shift;
    if (modifiers & alt)
        mask |= x11Mod1;
    if (modifiers & control)
        mask |= x11Control;
    return mask;
}

QString HotKey::display() const
{
    QString text;
    if (modifiers & control)
        text += QCoreApplication::translate("HotKey", "Ctrl+");
    if (modifiers & alt)
        text += QCoreApplication::translate("HotKey", "Alt+");
    if (modifiers & shift)
        text += QCoreApplication::translate("HotKey", "Shift+");
    if (modifiers & super)
        text += QCoreApplication::translate("HotKey", "Super+");
    return text + Keyboard::name(keyCode);
}

QByteArray HotKey::toJson() const
{
    const QJsonObject object{{QStringLiteral("keyCode"), qint64(keyCode)},
                             {QStringLiteral("modifiers"), qint64(modifiers)}};
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
        || (modifiers & (control | alt | super));
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
    // Masked like every other construction: a hand-edited value with stray bits would otherwise
    // never equal the same shortcut recorded from the keyboard.
    return HotKey(quint32(*keyCode), *modifiers);
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
    case HotKeyAction::grabRegion: return HotKey(key6, HotKey::shift | HotKey::super);
    case HotKeyAction::grabWindow:
    case HotKeyAction::grabScreen: return std::nullopt;
    case HotKeyAction::clipboard: return HotKey(keyC, HotKey::shift | HotKey::super);
    }
    return std::nullopt;
}

std::optional<HotKey> desktopDefault(HotKeyAction action)
{
    switch (action) {
    case HotKeyAction::grabRegion: return HotKey(keyPrint, HotKey::shift);
    case HotKeyAction::grabWindow: return HotKey(keyPrint, HotKey::alt);
    case HotKeyAction::grabScreen: return HotKey(keyPrint, 0);
    case HotKeyAction::clipboard: return HotKey(keyC, HotKey::shift | HotKey::super);
    }
    return std::nullopt;
}

} // namespace HotKeyPresets
