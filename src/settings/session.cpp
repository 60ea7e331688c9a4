// SPDX-License-Identifier: MIT
#include "settings/session.h"

namespace Session {

bool isWayland(const QProcessEnvironment &env)
{
    return env.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"),
                                                                 Qt::CaseInsensitive)
               == 0
        || !env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
}

bool clipboardBlocked(const QProcessEnvironment &env)
{
    // GNOME and KDE mirror the clipboard to XWayland, which the monitor reads; only a session
    // with no X server at all leaves nothing to read.
    return isWayland(env) && env.value(QStringLiteral("DISPLAY")).isEmpty();
}

QString clipboardBlockedWarning()
{
    return QStringLiteral(
        "Your desktop doesn't let background apps read the clipboard, so copies aren't recorded.");
}

} // namespace Session
