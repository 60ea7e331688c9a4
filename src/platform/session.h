// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QProcessEnvironment>
#include <QString>

// What the running desktop session offers, as far as the shortcut and paste services care.
struct SessionFacts
{
    enum class Kind { x11, wayland, other };

    Kind kind = Kind::other;
    QString desktop;  // XDG_CURRENT_DESKTOP: "GNOME", "KDE", "sway" ...
    bool hasX11 = false;
    bool hasGlobalShortcutsPortal = false;
    bool hasRemoteDesktopPortal = false;
};

// Which implementation serves global shortcuts and the paste keystroke.
struct ServicePlan
{
    enum class Shortcuts { x11, portal, none };
    enum class Paste { xtest, portal, none };

    Shortcuts shortcuts = Shortcuts::none;
    Paste paste = Paste::none;
    // X11 services in a Wayland session reach only the X11 apps, through XWayland.
    bool throughXWayland = false;

    // One line for the settings, e.g. "Shortcuts: desktop portal. Paste: X11 apps only."
    QString describe() const;

    friend bool operator==(const ServicePlan &, const ServicePlan &) = default;
};

ServicePlan plan(const SessionFacts &facts);

class Session
{
public:
    // Reads the environment and asks the portal what it offers; never waits longer than
    // timeoutMs for the bus, whether or not anything answers.
    static SessionFacts current(QDBusConnection bus = QDBusConnection::sessionBus(), int timeoutMs = 500);
    // The facts the environment alone gives; hasX11 means DISPLAY is set.
    static SessionFacts fromEnvironment(const QProcessEnvironment &environment);
    // Fills in the portal facts; both questions go out together.
    static void probePortals(SessionFacts &facts, QDBusConnection bus, int timeoutMs);
};
