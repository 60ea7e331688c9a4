// SPDX-License-Identifier: MIT
#include "platform/x11/x11connection.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

} // namespace

void X11EventDeleter::operator()(void *event) const
{
    std::free(event);
}

X11Connection::X11Connection()
{
    int screenNumber = 0;
    m_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(m_connection))
        return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    if (it.rem)
        m_root = it.data->root;
}

X11Connection::~X11Connection()
{
    m_kept.clear();
    xcb_disconnect(m_connection);
}

bool X11Connection::isValid() const
{
    return m_connection && !xcb_connection_has_error(m_connection) && m_root;
}

uint32_t X11Connection::atom(const QByteArray &name)
{
    const auto it = m_atoms.constFind(name);
    if (it != m_atoms.cend())
        return *it;
    const auto cookie = xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData());
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> reply(
        xcb_intern_atom_reply(m_connection, cookie, nullptr));
    if (!reply)
        return XCB_ATOM_NONE;
    m_atoms.insert(name, reply->atom);
    m_names.insert(reply->atom, name);
    return reply->atom;
}

QByteArray X11Connection::atomName(uint32_t atom)
{
    return atomNames({atom}).value(0);
}

QList<QByteArray> X11Connection::atomNames(const QList<uint32_t> &atoms)
{
    QHash<uint32_t, xcb_get_atom_name_cookie_t> cookies;
    QHash<uint32_t, QByteArray> fetched;
    for (uint32_t atom : atoms) {
        if (atom != XCB_ATOM_NONE && !m_names.contains(atom) && !cookies.contains(atom))
            cookies.insert(atom, xcb_get_atom_name(m_connection, atom));
    }
    for (auto it = cookies.cbegin(); it != cookies.cend(); ++it) {
        std::unique_ptr<xcb_get_atom_name_reply_t, FreeDeleter> reply(
            xcb_get_atom_name_reply(m_connection, it.value(), nullptr));
        if (!reply)
            continue;
        const QByteArray name(xcb_get_atom_name_name(reply.get()),
                              xcb_get_atom_name_name_length(reply.get()));
        fetched.insert(it.key(), name);
    }
    QList<QByteArray> names;
    names.reserve(atoms.size());
    for (uint32_t atom : atoms)
        names << m_names.value(atom, fetched.value(atom));
    // Names other clients make up are kept only up to a point: an owner that offers new ones
    // with every copy must not grow this for ever.
    for (auto it = fetched.cbegin(); it != fetched.cend() && m_names.size() < maximumCachedNames; ++it) {
        m_names.insert(it.key(), it.value());
        m_atoms.insert(it.value(), it.key());
    }
    return names;
}

X11Event X11Connection::nextEvent(Deadline deadline)
{
    if (!m_kept.empty()) {
        X11Event event = std::move(m_kept.front());
        m_kept.pop_front();
        return event;
    }
    xcb_flush(m_connection);
    for (;;) {
        if (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
            return X11Event(event);
        if (xcb_connection_has_error(m_connection))
            return nullptr;
        if (isInterrupted())
            return nullptr;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return nullptr;
        // A waiting thread sleeps in poll until the server or the interrupt speaks: no ticks.
        pollfd fds[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_interrupt, POLLIN, 0}};
        const bool unbounded = deadline == Deadline::max();
        ::poll(fds, m_interrupt >= 0 ? 2 : 1, unbounded ? -1 : int(std::min<long long>(left, 1000)) + 1);
    }
}

bool X11Connection::isInterrupted() const
{
    if (m_interrupt < 0)
        return false;
    pollfd fd{m_interrupt, POLLIN, 0};
    return ::poll(&fd, 1, 0) > 0;
}

void X11Connection::discardEvents()
{
    m_kept.clear();
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
}

uint32_t X11Connection::serverTime(uint32_t window)
{
    const uint32_t property = atom("_KIWANO_TIMESTAMP");
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, window, property, XCB_ATOM_INTEGER,
                        32, 0, nullptr);
    uint32_t time = XCB_CURRENT_TIME;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    // Events kept from before stay first, followed by the ones that arrive meanwhile.
    std::deque<X11Event> kept;
    kept.swap(m_kept);
    while (X11Event event = nextEvent(deadline)) {
        const auto *notify = static_cast<xcb_property_notify_event_t *>(event.get());
        if ((notify->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == window
            && notify->atom == property) {
            time = notify->time;
            break;
        }
        kept.push_back(std::move(event));
    }
    m_kept.swap(kept);
    return time;
}
