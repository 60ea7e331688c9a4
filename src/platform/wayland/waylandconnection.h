// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QList>

#include <functional>
#include <memory>

struct wl_display;
struct wl_registry;
struct wl_interface;

// A connection of our own to the Wayland compositor, apart from the one Qt may hold, with the
// globals it announced. Every wait on the compositor has a deadline: a compositor that stops
// answering costs at most that long, never a hang.
class WaylandConnection
{
public:
    struct Global
    {
        quint32 name = 0;
        QByteArray interface;
        quint32 version = 0;
    };

    // Connects to WAYLAND_DISPLAY (a socket name in XDG_RUNTIME_DIR, or an absolute path) or to
    // the given one, and reads the globals; nothing when no compositor answers within timeoutMs.
    static std::unique_ptr<WaylandConnection> open(const QByteArray &display = {}, int timeoutMs = 500);

    // What the compositor offers the services that need more than a window: screen copies, the
    // clipboard of every app, a keyboard of our own.
    struct Offers
    {
        bool screencopy = false;
        bool dataControl = false;
        bool virtualKeyboard = false;
        bool fakeInput = false;  // KWin's, offered only to clients its desktop file names
    };
    // Asks on a connection of its own (WAYLAND_DISPLAY when display is empty); nothing offered
    // when no compositor answers within timeoutMs. Blocks the calling thread meanwhile.
    static Offers offers(const QByteArray &display, int timeoutMs);
    // Connects without waiting for the compositor: nothing when no one listens there; the globals
    // come with the first roundtrip, which the caller makes where waiting costs nothing.
    static std::unique_ptr<WaylandConnection> connectTo(const QByteArray &display = {});
    ~WaylandConnection();
    WaylandConnection(const WaylandConnection &) = delete;
    WaylandConnection &operator=(const WaylandConnection &) = delete;

    wl_display *display() const { return m_display; }
    wl_registry *registry() const { return m_registry; }
    // As announced so far, in the order the compositor announced them.
    const QList<Global> &globals() const { return m_globals; }
    bool has(const char *interface) const;
    // Binds the first global of this interface at the lower of version and what is offered; null
    // when the compositor offers none.
    void *bind(const wl_interface *interface, quint32 version) const;
    // Binds every global of this interface (outputs, seats), in announcement order.
    QList<void *> bindAll(const wl_interface *interface, quint32 version) const;

    // Sends what is queued and waits until the compositor has handled it and every event it sent
    // back has been dispatched; false on timeout or a broken connection.
    bool roundtrip(int timeoutMs);
    // Dispatches events until done() says so; false on timeout or a broken connection.
    bool dispatchUntil(const std::function<bool()> &done, int timeoutMs);
    // Reads and dispatches whatever has arrived, waiting at most timeoutMs (forever when negative)
    // for the first event;
    // false when the connection broke. For event loops of their own.
    bool dispatchPending(int timeoutMs);
    // The descriptor to wait on for events, for loops that also watch other descriptors.
    int fd() const;
    // False once the compositor went away or reported a protocol error.
    bool isAlive() const;

private:
    explicit WaylandConnection(wl_display *display);
    static void announced(void *data, wl_registry *registry, quint32 name, const char *interface,
                          quint32 version);
    static void removed(void *data, wl_registry *registry, quint32 name);

    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    QList<Global> m_globals;
};
