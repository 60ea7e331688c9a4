// SPDX-License-Identifier: MIT
#include "platform/dbusnotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

#include <utility>

DBusNotifications::DBusNotifications(QString appName, QString icon)
    : m_appName(std::move(appName))
    , m_icon(std::move(icon))
{
}

void DBusNotifications::notify(const QString &summary, const QString &body)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, QStringLiteral("/org/freedesktop/Notifications"), service, QStringLiteral("Notify"));
    const QVariantMap hints{
        {QStringLiteral("desktop-entry"), m_icon},
        // Normal urgency: a warning the person should read, not an alarm.
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))},
    };
    // app_name, replaces_id, app_icon, summary, body, actions, hints, expire_timeout (-1: the
    // server's own default).
    call << m_appName << uint(0) << m_icon << summary << body << QStringList() << hints << -1;
    // The answer is only an id; no reason to wait for it.
    call.setAutoStartService(true);
    bus.asyncCall(call);
}
