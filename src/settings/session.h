// SPDX-License-Identifier: MIT
#pragma once

#include <QProcessEnvironment>
#include <QString>

// What the desktop session lets this application do, read from its environment.
namespace Session {

// XDG_SESSION_TYPE is "wayland", or WAYLAND_DISPLAY is set.
bool isWayland(const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
// A Wayland session without an X server beside it: the X11 clipboard cannot be watched.
bool clipboardBlocked(const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());
// The warning shown when copies cannot be recorded in this session.
QString clipboardBlockedWarning();

} // namespace Session
