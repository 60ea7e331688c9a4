// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandconnection.h"

#include <QDeadlineTimer>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <poll.h>


std::unique_ptr<WaylandConnection> WaylandConnection::open(const QByteArray &display, int timeoutMs)
{
    std::unique_ptr<WaylandConnection> result = connectTo(display);
    if (!result || !result->roundtrip(timeoutMs))
        return nullptr;
    return result;
}

std::unique_ptr<WaylandConnection> WaylandConnection::connectTo(const QByteArray &display)
{
    wl_display *connection = wl_display_connect(display.isEmpty() ? nullptr : display.constData());
    if (!connection)
        return nullptr;
    return std::unique_ptr<WaylandConnection>(new WaylandConnection(connection));
}

WaylandConnection::WaylandConnection(wl_display *display)
    : m_display(display)
{
    m_registry = wl_display_get_registry(m_display);
    static const wl_registry_listener listener = {&WaylandConnection::announced, &WaylandConnection::removed};
    wl_registry_add_listener(m_registry, &listener, this);
}

WaylandConnection::~WaylandConnection()
{
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_disconnect(m_display);
}

void WaylandConnection::announced(void *data, wl_registry *, quint32 name, const char *interface,
                                  quint32 version)
{
    static_cast<WaylandConnection *>(data)->m_globals.append({name, QByteArray(interface), version});
}

void WaylandConnection::removed(void *data, wl_registry *, quint32 name)
{
    auto &globals = static_cast<WaylandConnection *>(data)->m_globals;
    globals.removeIf([name](const Global &global) { return global.name == name; });
}

bool WaylandConnection::has(const char *interface) const
{
    for (const Global &global : m_globals)
        if (global.interface == interface)
            return true;
    return false;
}

void *WaylandConnection::bind(const wl_interface *interface, quint32 version) const
{
    for (const Global &global : m_globals)
        if (global.interface == interface->name)
            return wl_registry_bind(m_registry, global.name, interface, std::min(version, global.version));
    return nullptr;
}

QList<void *> WaylandConnection::bindAll(const wl_interface *interface, quint32 version) const
{
    QList<void *> bound;
    for (const Global &global : m_globals)
        if (global.interface == interface->name)
            bound << wl_registry_bind(m_registry, global.name, interface, std::min(version, global.version));
    return bound;
}

bool WaylandConnection::roundtrip(int timeoutMs)
{
    bool done = false;
    wl_callback *callback = wl_display_sync(m_display);
    static const wl_callback_listener listener = {
        [](void *data, wl_callback *, uint32_t) { *static_cast<bool *>(data) = true; }};
    wl_callback_add_listener(callback, &listener, &done);
    const bool answered = dispatchUntil([&done] { return done; }, timeoutMs);
    wl_callback_destroy(callback);
    return answered;
}

bool WaylandConnection::dispatchUntil(const std::function<bool()> &done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (!dispatchPending(int(deadline.remainingTime())))
            return false;
        if (deadline.hasExpired() && !done())
            return false;
    }
    return true;
}

bool WaylandConnection::dispatchPending(int timeoutMs)
{
    // The usual prepare-read dance: whatever is already queued is dispatched first, then the
    // socket is read only when it has something, so a silent compositor never blocks us.
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
    }
    while (wl_display_flush(m_display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(m_display);
            return false;
        }
        pollfd out = {wl_display_get_fd(m_display), POLLOUT, 0};
        if (poll(&out, 1, timeoutMs) <= 0) {
            wl_display_cancel_read(m_display);
            return isAlive();
        }
    }
    pollfd in = {wl_display_get_fd(m_display), POLLIN, 0};
    const int ready = poll(&in, 1, timeoutMs);
    if (ready <= 0) {
        wl_display_cancel_read(m_display);
        return ready == 0 || errno == EINTR;
    }
    if (wl_display_read_events(m_display) < 0)
        return false;
    return wl_display_dispatch_pending(m_display) >= 0;
}

int WaylandConnection::fd() const
{
    return wl_display_get_fd(m_display);
}

bool WaylandConnection::isAlive() const
{
    return wl_display_get_error(m_display) == 0;
}

WaylandConnection::Offers WaylandConnection::offers(const QByteArray &display, int timeoutMs)
{
    Offers offered;
    const auto connection = open(display, std::clamp(timeoutMs, 1, 1500));
    if (!connection)
        return offered;
    offered.screencopy = connection->has("zwlr_screencopy_manager_v1");
    offered.dataControl = connection->has("zwlr_data_control_manager_v1");
    offered.virtualKeyboard = connection->has("zwp_virtual_keyboard_manager_v1");
    offered.fakeInput = connection->has("org_kde_kwin_fake_input");
    return offered;
}
