// SPDX-License-Identifier: MIT
#include "platform/portal/portalshortcut.h"

#include "platform/keycodes.h"

#include <QDBusMetaType>

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace PortalShortcuts {

void registerTypes()
{
    static const bool once = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        return true;
    }();
    Q_UNUSED(once);
}

QList<PortalShortcut> fromVariant(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QList<PortalShortcut>>(value.value<QDBusArgument>());
    return value.value<QList<PortalShortcut>>();
}

std::optional<QString> trigger(quint32 keyCode, quint32 x11Modifiers)
{
    const std::optional<QString> named = KeyCodes::keysymName(keyCode);
    if (!named)
        return std::nullopt;
    const QString &key = *named;

    // X11 bits: Shift 1, Control 4, Mod1 (Alt) 8, Mod4 (Super) 64.
    QStringList parts;
    if (x11Modifiers & 4)
        parts << QStringLiteral("CTRL");
    if (x11Modifiers & 8)
        parts << QStringLiteral("ALT");
    if (x11Modifiers & 1)
        parts << QStringLiteral("SHIFT");
    if (x11Modifiers & 64)
        parts << QStringLiteral("LOGO");
    parts << key;
    return parts.join(u'+');
}

}
