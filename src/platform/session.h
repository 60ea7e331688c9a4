// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QList>
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

// How one service reaches the user in this session, in the user's words.
struct ServiceAccount
{
    enum class State { native, fallsBack, unavailable };

    QString service;  // "Shortcuts", "Grabs", "Clipboard history", "Paste"
    State state = State::unavailable;
    QString means;    // what serves it: "the desktop's screen copy"
    QString advice;   // what the user can do about it; empty when nothing is needed

    // "native", "falls back", "not available"
    static QString stateText(State state);
    // The means as a sentence, then the advice: "Copies only: press Ctrl+V yourself."
    QString detail() const;
    // "Paste: not available. Copies only: press Ctrl+V yourself."
    QString text() const;

    friend bool operator==(const ServiceAccount &, const ServiceAccount &) = default;
};

// Which implementation serves each platform service.
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

    // Shortcuts, grabs, the clipboard history and paste, in that order.
    QList<ServiceAccount> account() const;
    // The picker's line when nothing in this session can type the paste for us; empty when
    // something can.
    QString copyOnlyLine() const;

    friend bool operator==(const ServicePlan &, const ServicePlan &) = default;
};

ServicePlan plan(const SessionFacts &facts);
// The shortcuts' account once the desktop refused to bind them, for the reason it gave.
ServiceAccount refusedShortcutsAccount(const QString &reason);

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
