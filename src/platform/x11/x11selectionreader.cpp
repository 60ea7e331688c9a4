// SPDX-License-Identifier: MIT
#include "platform/x11/x11selectionreader.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QScopeGuard>
#include <QSet>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

using Clock = std::chrono::steady_clock;

} // namespace

X11SelectionReader::X11SelectionReader(std::chrono::milliseconds patience)
    : m_patience(patience)
{
    if (!m_connection.isValid())
        return;
    xcb_connection_t *c = m_connection.xcb();
    m_clipboard = m_connection.atom("CLIPBOARD");
    m_property = m_connection.atom("_KIWANO_SELECTION");
    m_incr = m_connection.atom("INCR");
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (xfixes && xfixes->present) {
        Reply<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
            c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        if (version)
            m_xfixesEvent = xfixes->first_event;
    }
    renewWindow();
}

void X11SelectionReader::renewWindow()
{
    xcb_connection_t *c = m_connection.xcb();
    const uint32_t old = m_window;
    m_window = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, m_connection.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    // Told when the owner changes or goes away, a transfer ends at once instead of at the deadline.
    if (m_xfixesEvent) {
        xcb_xfixes_select_selection_input(
            c, m_window, m_clipboard,
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    }
    // An owner still sending pieces of an abandoned transfer writes to a window that is gone, and
    // learns so from the error, instead of into the property the next owner answers in.
    if (old)
        xcb_destroy_window(c, old);
    m_abandoned = false;
    xcb_flush(c);
}

X11SelectionReader::~X11SelectionReader()
{
    if (m_window && m_connection.isValid())
        xcb_destroy_window(m_connection.xcb(), m_window);
}

bool X11SelectionReader::isValid() const
{
    return m_connection.isValid() && m_window;
}

uint32_t X11SelectionReader::owner()
{
    if (!isValid())
        return 0;
    xcb_connection_t *c = m_connection.xcb();
    Reply<xcb_get_selection_owner_reply_t> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, m_clipboard), nullptr));
    return reply ? reply->owner : 0;
}

std::optional<uint32_t> X11SelectionReader::ownerChange(const void *event) const
{
    const auto *notify = static_cast<const xcb_xfixes_selection_notify_event_t *>(event);
    if (!m_xfixesEvent || (notify->response_type & 0x7f) != m_xfixesEvent + XCB_XFIXES_SELECTION_NOTIFY
        || notify->selection != m_clipboard)
        return std::nullopt;
    return notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER ? notify->owner : 0;
}

std::optional<QList<QByteArray>> X11SelectionReader::targets(int limit)
{
    uint32_t type = 0;
    // Only the first atoms are taken from the server at all: a list of a hundred thousand costs
    // no more than one of a few hundred.
    const auto bytes = convert(m_connection.atom("TARGETS"), &type, qsizetype(limit) * 4, true);
    if (!bytes)
        return std::nullopt;
    QList<uint32_t> atoms(std::min<qsizetype>(bytes->size() / 4, limit));
    std::memcpy(atoms.data(), bytes->constData(), atoms.size() * 4);
    QList<QByteArray> names;
    QSet<QByteArray> seen;
    for (const QByteArray &name : m_connection.atomNames(atoms)) {
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            names << name;
        }
    }
    return names;
}

std::optional<QByteArray> X11SelectionReader::read(const QByteArray &target, qsizetype limit)
{
    if (!isValid() || target.isEmpty())
        return std::nullopt;
    uint32_t type = 0;
    return convert(m_connection.atom(target), &type, limit, false);
}

void X11SelectionReader::dropEvents()
{
    // Whatever came before the request is of no use to it, except news of a new owner.
    while (X11Event event = m_connection.nextEvent(Clock::time_point())) {
        if (ownerChange(event.get()))
            m_ownerChanged = true;
    }
}

std::optional<QByteArray> X11SelectionReader::takeProperty(uint32_t *type, qsizetype limit, bool truncate)
{
    xcb_connection_t *c = m_connection.xcb();
    // Asking for nothing first tells the type and the whole size, so that an owner that put more
    // than we take is refused before any of it is held here.
    Reply<xcb_get_property_reply_t> probe(xcb_get_property_reply(
        c, xcb_get_property(c, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr));
    if (!probe)
        return std::nullopt;
    *type = probe->type;
    qsizetype size = probe->bytes_after;
    if (size > limit && *type != m_incr) {
        if (!truncate) {
            m_tooLarge = true;
            xcb_delete_property(c, m_window, m_property);
            return std::nullopt;
        }
        size = limit;
    }
    QByteArray data;
    data.reserve(size);
    constexpr uint32_t piece = 1 << 18; // in 32-bit units: 1 MiB per reply
    uint32_t offset = 0; // in 32-bit units, as the protocol counts
    for (;;) {
        // Deleting as part of the last read lets an incremental owner write the next piece while
        // this one is still on its way to us.
        const uint32_t want = uint32_t(std::min<qsizetype>(piece, (size - data.size() + 3) / 4));
        const auto cookie = xcb_get_property(c, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY,
                                             offset, std::max<uint32_t>(want, 1));
        Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
        if (!reply)
            return std::nullopt;
        *type = reply->type;
        const int length = xcb_get_property_value_length(reply.get());
        data.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
        if (data.size() >= limit && truncate) {
            data.truncate(limit);
            xcb_delete_property(c, m_window, m_property);
            break;
        }
        if (data.size() > limit) {
            // It grew while we read: the owner is not playing fair.
            m_tooLarge = true;
            xcb_delete_property(c, m_window, m_property);
            return std::nullopt;
        }
        if (reply->bytes_after == 0 || length == 0)
            break;
        offset += uint32_t(length / 4);
    }
    return data;
}

std::optional<QByteArray> X11SelectionReader::convert(uint32_t target, uint32_t *type, qsizetype limit,
                                                      bool truncate)
{
    m_timedOut = false;
    m_tooLarge = false;
    if (!isValid() || target == XCB_ATOM_NONE)
        return std::nullopt;
    xcb_connection_t *c = m_connection.xcb();
    if (m_abandoned)
        renewWindow();
    dropEvents();
    xcb_delete_property(c, m_window, m_property);
    // A real timestamp lets owners check the request and lets us tell their answer from a late
    // one to an earlier request.
    const uint32_t time = m_connection.serverTime(m_window);
    dropEvents();
    const uint32_t asked = owner();
    xcb_convert_selection(c, m_window, m_clipboard, target, m_property, time);
    // Until the owner has refused, or has sent all it will, it may still write to our property.
    auto abandon = qScopeGuard([this] { m_abandoned = true; });

    const auto end = std::min(m_deadline, Clock::now() + longestTransfer);
    auto deadline = std::min(end, Clock::now() + m_patience);
    bool incremental = false;
    QByteArray data;
    while (X11Event event = m_connection.nextEvent(deadline)) {
        void *raw = event.get();
        const uint8_t kind = static_cast<xcb_generic_event_t *>(raw)->response_type & 0x7f;
        if (const auto next = ownerChange(raw)) {
            m_ownerChanged = true;
            // Taking the clipboard again does not cancel our request: the owner may still answer.
            if (*next == asked && asked)
                continue;
            return std::nullopt; // the owner changed or went away: what it sent is stale
        }
        if (kind == XCB_SELECTION_NOTIFY && !incremental) {
            const auto *notify = static_cast<xcb_selection_notify_event_t *>(raw);
            if (notify->requestor != m_window || notify->selection != m_clipboard
                || notify->target != target
                || (notify->time != time && notify->time != XCB_CURRENT_TIME))
                continue;
            if (notify->property == XCB_ATOM_NONE) {
                abandon.dismiss();
                return std::nullopt; // refused
            }
            auto value = takeProperty(type, limit, truncate);
            if (!value)
                return std::nullopt;
            if (*type != m_incr) {
                abandon.dismiss();
                return value;
            }
            // The owner sends the data in pieces, each after we delete the previous one. It
            // announces at least how much will come: more than we take ends it here.
            if (value->size() >= 4) {
                uint32_t announced = 0;
                std::memcpy(&announced, value->constData(), 4);
                if (qsizetype(announced) > limit && !truncate) {
                    m_tooLarge = true;
                    return std::nullopt;
                }
                data.reserve(std::min<qsizetype>(announced, limit));
            }
            incremental = true;
            deadline = std::min(end, Clock::now() + m_patience);
            continue;
        }
        if (kind == XCB_PROPERTY_NOTIFY && incremental) {
            const auto *notify = static_cast<xcb_property_notify_event_t *>(raw);
            if (notify->window != m_window || notify->atom != m_property
                || notify->state != XCB_PROPERTY_NEW_VALUE)
                continue;
            const auto piece = takeProperty(type, limit - data.size(), truncate);
            if (!piece)
                return std::nullopt;
            if (piece->isEmpty()) {
                abandon.dismiss();
                return data;
            }
            data += *piece;
            if (truncate && data.size() >= limit)
                return data;
            deadline = std::min(end, Clock::now() + m_patience);
        }
    }
    m_timedOut = m_connection.isValid() && !m_connection.isInterrupted();
    xcb_delete_property(c, m_window, m_property);
    xcb_flush(c);
    return std::nullopt;
}
