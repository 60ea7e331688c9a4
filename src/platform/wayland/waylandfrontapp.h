// SPDX-License-Identifier: MIT
#pragma once

#include "platform/frontapp.h"

#include <QByteArray>

#include <optional>

class DesktopEntries;

// The application of the focused window, where the compositor says which one it is: sway,
// through its IPC socket. A Wayland window is known by its app_id, an XWayland one by its
// WM_CLASS; both resolve to a desktop file as on X11. Other compositors keep it to themselves:
// empty there.
class WaylandFrontApp : public FrontApp
{
public:
    // swaySocket: sway's IPC socket, none when empty.
    explicit WaylandFrontApp(const QString &swaySocket = qEnvironmentVariable("SWAYSOCK"),
                             int timeoutMs = 200);

    QString identifier() const override;

    struct Window
    {
        QString appId;       // Wayland windows
        QString wmInstance;  // XWayland windows
        QString wmClass;
        qint64 pid = 0;
    };
    // The focused window of a get_tree reply; nothing when the focus is on no window (an empty
    // workspace) or the reply is not a tree.
    static std::optional<Window> focusedWindow(const QByteArray &tree);
    // The desktop-file id of the window's application when one resolves (the file named by the
    // app_id, else by StartupWMClass, else by the program it runs), else its app_id or class.
    static QString identify(const Window &window, const DesktopEntries &entries);

private:
    QString m_socket;
    int m_timeoutMs;
};
