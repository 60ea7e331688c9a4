// SPDX-License-Identifier: MIT
#pragma once

#include "platform/notifications.h"

// org.freedesktop.Notifications on the session bus: each message is one Notify call under the
// application's name and icon, sent without waiting for the answer.
class DBusNotifications : public Notifications
{
public:
    // appName is shown as the sender; icon is an icon-theme name, also sent as the desktop entry.
    DBusNotifications(QString appName, QString icon);

    void notify(const QString &summary, const QString &body) override;

private:
    QString m_appName;
    QString m_icon;
};
