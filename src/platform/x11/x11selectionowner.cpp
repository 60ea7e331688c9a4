// SPDX-License-Identifier: MIT
#include "platform/x11/x11selectionowner.h"

#include "platform/x11/x11connection.h"

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// A requestor that stops taking pieces for this long is given up.
constexpr auto abandonedAfter = std::chrono::seconds(5);

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

} // namespace

struct X11SelectionOwner::Offer
{
    struct Entry
    {
        uint32_t atom;
        QByteArray data;
    };
    uint32_t time = XCB_CURRENT_TIME;
    QList<Entry> entries;
};

struct X11SelectionOwner::Transfer
{
    uint32_t requestor;
    uint32_t property;
    uint32_t type;
    QByteArray data;
    qsizetype offset = 0;
    Clock::time_point lastProgress;
};

X11SelectionOwner::X11SelectionOwner()
    : m_connection(std::make_unique<X11Connection>())
{
    if (!m_connection->isValid())
        return;
    if (!m_wake.open())
        return;

    xcb_connection_t *c = m_connection->xcb();
    m_window = xcb_generate_id(c);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_window, m_connection->root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    // Atoms the thread needs are interned now, while nothing else uses the connection.
    for (const char *name : {"CLIPBOARD", "TARGETS", "TIMESTAMP", "INCR", "UTF8_STRING",
                             "_KIWANO_TIMESTAMP"})
        m_connection->atom(name);
    xcb_flush(c);
    m_thread = std::thread([this] { run(); });
}

X11SelectionOwner::~X11SelectionOwner()
{
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.wake();
        m_thread.join();
    }
}

bool X11SelectionOwner::isValid() const
{
    return m_thread.joinable() && m_connection->isValid();
}

bool X11SelectionOwner::own(const QList<ClipboardService::Item> &items)
{
    if (!isValid())
        return false;
    std::unique_lock lock(m_mutex);
    m_pending = items;
    const quint64 ticket = ++m_asked;
    m_wake.wake();
    const bool answered = m_answered.wait_for(lock, std::chrono::seconds(1),
                                              [&] { return m_done >= ticket; });
    return answered && m_done == ticket && m_tookIt;
}

void X11SelectionOwner::run()
{
    xcb_connection_t *c = m_connection->xcb();
    for (;;) {
        {
            std::unique_lock lock(m_mutex);
            if (m_stop)
                return;
            if (m_asked != m_done) {
                const QList<ClipboardService::Item> items = std::exchange(m_pending, {});
                const quint64 ticket = m_asked;
                lock.unlock();
                take(items);
                lock.lock();
                m_done = ticket;
                m_answered.notify_all();
            }
        }

        while (X11Event held = m_connection->nextEvent(Clock::now())) {
            void *event = held.get();
            const uint8_t kind = static_cast<xcb_generic_event_t *>(event)->response_type & 0x7f;
            if (kind == XCB_SELECTION_REQUEST) {
                serve(event);
            } else if (kind == XCB_SELECTION_CLEAR) {
                const auto *clear = static_cast<xcb_selection_clear_event_t *>(event);
                if (clear->owner == m_window)
                    m_offer.reset(); // pieces already promised still go out
            } else if (kind == XCB_PROPERTY_NOTIFY) {
                const auto *notify = static_cast<xcb_property_notify_event_t *>(event);
                if (notify->state == XCB_PROPERTY_DELETE)
                    continueTransfer(notify->window, notify->atom);
            } else if (kind == 0) {
                const auto *error = static_cast<xcb_generic_error_t *>(event);
                if (error->error_code == XCB_WINDOW)
                    dropTransfers(error->resource_id); // the requestor went away
            }
        }
        if (!m_connection->isValid())
            return; // own() sees the broken connection and no longer asks

        const auto now = Clock::now();
        std::erase_if(m_transfers, [&](const Transfer &t) {
            return now - t.lastProgress > abandonedAfter;
        });
        xcb_flush(c);
        // Asleep until the server or take() speaks; a transfer in progress wakes it once more
        // when it would count as abandoned, and no sooner.
        int timeout = -1;
        for (const Transfer &t : m_transfers) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                t.lastProgress + abandonedAfter - now).count() + 1;
            timeout = timeout < 0 ? int(left) : std::min(timeout, int(left));
        }
        pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {m_wake.readEnd(), POLLIN, 0}};
        ::poll(fds, 2, timeout);
        if (fds[1].revents & POLLIN)
            m_wake.drain();
    }
}

void X11SelectionOwner::take(const QList<ClipboardService::Item> &items)
{
    xcb_connection_t *c = m_connection->xcb();
    auto offer = std::make_unique<Offer>();
    const ClipboardService::Item *text = nullptr;
    bool hasUtf8String = false;
    for (const ClipboardService::Item &item : items) {
        const uint32_t atom = m_connection->atom(item.type.toUtf8());
        if (atom == XCB_ATOM_NONE)
            continue;
        offer->entries.append({atom, item.data});
        if (item.type == QLatin1String("text/plain;charset=utf-8")
            || (item.type == QLatin1String("text/plain") && !text))
            text = &item;
        hasUtf8String = hasUtf8String || item.type == QLatin1String("UTF8_STRING");
    }
    // Clients older than MIME targets ask for UTF8_STRING only.
    if (text && !hasUtf8String)
        offer->entries.append({m_connection->atom("UTF8_STRING"), text->data});

    const uint32_t clipboard = m_connection->atom("CLIPBOARD");
    offer->time = m_connection->serverTime(m_window);
    xcb_set_selection_owner(c, m_window, clipboard, offer->time);
    std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> reply(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    const bool tookIt = reply && reply->owner == m_window;
    m_offer = tookIt ? std::move(offer) : nullptr;
    std::lock_guard lock(m_mutex);
    m_tookIt = tookIt;
}

void X11SelectionOwner::serve(const void *event)
{
    const auto *request = static_cast<const xcb_selection_request_event_t *>(event);
    xcb_connection_t *c = m_connection->xcb();
    const uint32_t property = request->property ? request->property : request->target;
    const uint32_t targets = m_connection->atom("TARGETS");
    const uint32_t timestamp = m_connection->atom("TIMESTAMP");

    bool answered = false;
    const bool current = m_offer && request->owner == m_window
        && request->selection == m_connection->atom("CLIPBOARD")
        && (request->time == XCB_CURRENT_TIME || request->time >= m_offer->time);
    if (current && request->target == targets) {
        QList<uint32_t> atoms{targets, timestamp};
        for (const Offer::Entry &entry : std::as_const(m_offer->entries))
            atoms << entry.atom;
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property, XCB_ATOM_ATOM,
                            32, uint32_t(atoms.size()), atoms.constData());
        answered = true;
    } else if (current && request->target == timestamp) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                            XCB_ATOM_INTEGER, 32, 1, &m_offer->time);
        answered = true;
    } else if (current) {
        const auto entry = std::find_if(m_offer->entries.cbegin(), m_offer->entries.cend(),
                                        [&](const Offer::Entry &e) { return e.atom == request->target; });
        if (entry != m_offer->entries.cend()) {
            // Larger data goes in pieces: one request may carry only so much.
            const qsizetype piece = std::min<qsizetype>(
                qsizetype(1) << 20, qsizetype(xcb_get_maximum_request_length(c)) * 4 - 1024);
            if (entry->data.size() > piece) {
                std::erase_if(m_transfers, [&](const Transfer &t) {
                    return t.requestor == request->requestor && t.property == property;
                });
                const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &mask);
                const uint32_t size = uint32_t(std::min<qsizetype>(entry->data.size(), UINT32_MAX));
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    m_connection->atom("INCR"), 32, 1, &size);
                m_transfers.push_back({request->requestor, property, entry->atom, entry->data, 0,
                                       Clock::now()});
            } else {
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    entry->atom, 8, uint32_t(entry->data.size()),
                                    entry->data.constData());
            }
            answered = true;
        }
    }

    xcb_selection_notify_event_t notify;
    std::memset(&notify, 0, sizeof notify);
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = answered ? property : uint32_t(XCB_ATOM_NONE);
    xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&notify));
    xcb_flush(c);
}

void X11SelectionOwner::continueTransfer(uint32_t requestor, uint32_t property)
{
    const auto it = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const Transfer &t) {
        return t.requestor == requestor && t.property == property;
    });
    if (it == m_transfers.end())
        return;
    xcb_connection_t *c = m_connection->xcb();
    const qsizetype piece = std::min<qsizetype>(
        qsizetype(1) << 20, qsizetype(xcb_get_maximum_request_length(c)) * 4 - 1024);
    const qsizetype length = std::min(piece, it->data.size() - it->offset);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, requestor, property, it->type, 8,
                        uint32_t(length), it->data.constData() + it->offset);
    it->offset += length;
    it->lastProgress = Clock::now();
    // The empty piece ends the transfer.
    if (length == 0) {
        m_transfers.erase(it);
        const bool stillUsed = std::any_of(m_transfers.cbegin(), m_transfers.cend(),
                                           [&](const Transfer &t) { return t.requestor == requestor; });
        if (!stillUsed) {
            const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
            xcb_change_window_attributes(c, requestor, XCB_CW_EVENT_MASK, &none);
        }
    }
    xcb_flush(c);
}

void X11SelectionOwner::dropTransfers(uint32_t requestor)
{
    std::erase_if(m_transfers, [&](const Transfer &t) { return t.requestor == requestor; });
}
