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
    bool hasScreenshotPortal = false;
    // What the Wayland compositor itself offers to a client of ours.
    bool hasScreencopy = false;      // zwlr_screencopy_manager_v1
    bool hasDataControl = false;     // zwlr_data_control_manager_v1
    bool hasVirtualKeyboard = false; // zwp_virtual_keyboard_manager_v1
};

// Which implementation serves global shortcuts and the paste keystroke.
struct ServicePlan
{
    enum class Shortcuts { x11, portal, none };
    enum class Paste { xtest, virtualKeyboard, portal, none };
    enum class Capture { x11, screencopy, portal, none };
    // x11 reads the X server's clipboard (on Wayland, the copy the desktop mirrors to XWayland);
    // whileActive records only while one of our windows has the focus.
    enum class Clipboard { x11, dataControl, whileActive };

    Shortcuts shortcuts = Shortcuts::none;
    Paste paste = Paste::none;
    Capture capture = Capture::none;
    Clipboard clipboard = Clipboard::whileActive;
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
    // Fills in the portal facts; the questions go out together.
    static void probePortals(SessionFacts &facts, QDBusConnection bus, int timeoutMs);
    // Fills in what the compositor offers, on a connection of its own (WAYLAND_DISPLAY when
    // display is empty); nothing when no compositor answers within timeoutMs.
    static void probeCompositor(SessionFacts &facts, const QByteArray &display, int timeoutMs);
};
