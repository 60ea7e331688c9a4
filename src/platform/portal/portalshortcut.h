// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

#include <optional>

// One entry of the GlobalShortcuts portal's shortcut lists, (sa{sv}) on the bus.
struct PortalShortcut
{
    QString id;
    QVariantMap properties;  // description, preferred_trigger, trigger_description
};
Q_DECLARE_METATYPE(PortalShortcut)

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut);
const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut);

namespace PortalShortcuts {
// Registers the types above with the D-Bus type system; safe to call more than once.
void registerTypes();
// Reads a shortcut list out of a results map, whichever form the bus delivered it in.
QList<PortalShortcut> fromVariant(const QVariant &value);
// The trigger in the portal's syntax ("SHIFT+LOGO+6") for a key position and X11 modifier
// bits; nothing for keys this syntax cannot name here.
std::optional<QString> trigger(quint32 keyCode, quint32 x11Modifiers);
}
