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
    int qtKey = 0;
    for (const KeyCodes::Position &p : KeyCodes::positions) {
        if (p.virtualKey == keyCode)
            qtKey = p.qtKey;
    }
    QString key;
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        key = QChar(qtKey).toLower();
    else if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        key = QStringLiteral("F%1").arg(qtKey - Qt::Key_F1 + 1);
    else if (qtKey == Qt::Key_Print)
        key = QStringLiteral("Print");
    else if (qtKey == Qt::Key_Space)
        key = QStringLiteral("space");
    else
        return std::nullopt;

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
