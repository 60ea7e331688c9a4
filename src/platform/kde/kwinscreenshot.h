// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QString>

// Grabs through KWin's screenshot service (org.kde.KWin.ScreenShot2): KWin writes the raw pixels
// into a pipe of ours, without asking the user. KWin serves only programs whose desktop file's
// Exec= is their executable and lists the service under X-KDE-DBUS-Restricted-Interfaces; others
// are refused.
namespace KWinScreenShot {

enum class Target { workspace, activeScreen };

struct Result
{
    QImage picture;  // in device pixels; null when there is none
    QString error;   // why there is no picture
    bool refused = false;  // KWin does not serve us, or no KWin answers: another road may
};

// Whether KWin's screenshot service is on the bus at all.
bool isOffered(QDBusConnection bus = QDBusConnection::sessionBus());
// Blocks the calling thread until the picture is in, at most timeoutMs.
Result take(Target target, int timeoutMs, QDBusConnection bus = QDBusConnection::sessionBus());

} // namespace KWinScreenShot
