// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Short messages in the desktop's own notification area, for when none of our windows is in
// front and no tray icon shows.
class Notifications
{
public:
    virtual ~Notifications() = default;

    // Shows the message and returns at once; a desktop that shows none loses it quietly.
    virtual void notify(const QString &summary, const QString &body) = 0;
};
