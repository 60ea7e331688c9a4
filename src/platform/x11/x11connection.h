// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>

struct xcb_connection_t;

struct X11EventDeleter
{
    void operator()(void *event) const;
};
// One xcb_generic_event_t (or error) as the server sent it.
using X11Event = std::unique_ptr<void, X11EventDeleter>;

// A connection of our own to the X server of $DISPLAY, used by one thread at a time, so that a
// slow client or a long wait never holds up Qt's connection.
class X11Connection
{
public:
    using Deadline = std::chrono::steady_clock::time_point;

    X11Connection();
    ~X11Connection();
    X11Connection(const X11Connection &) = delete;
    X11Connection &operator=(const X11Connection &) = delete;

    // False when the server could not be reached or the connection broke.
    bool isValid() const;
    xcb_connection_t *xcb() const { return m_connection; }
    uint32_t root() const { return m_root; }

    // The atom of this name, interned once.
    uint32_t atom(const QByteArray &name);
    // The name of an atom; empty when the server knows none.
    QByteArray atomName(uint32_t atom);
    // Names of many atoms, fetched in one round trip for those not known yet.
    QList<QByteArray> atomNames(const QList<uint32_t> &atoms);

    // Flushes, then the next event; null once the deadline passes, the connection broke or the
    // interrupt descriptor became readable.
    X11Event nextEvent(Deadline deadline);
    // A descriptor (a pipe's read end) that ends every wait as soon as it is readable; -1 for none.
    void setInterrupt(int fd) { m_interrupt = fd; }
    bool isInterrupted() const;
    // Drops every event received so far.
    void discardEvents();
    // A server timestamp, taken from a property change on this window (which must select
    // property changes); 0 (CurrentTime) when none came in time. Other events that arrive in the
    // meantime are kept for nextEvent.
    uint32_t serverTime(uint32_t window);

private:
    static constexpr qsizetype maximumCachedNames = 4096;

    xcb_connection_t *m_connection = nullptr;
    uint32_t m_root = 0;
    QHash<QByteArray, uint32_t> m_atoms;
    QHash<uint32_t, QByteArray> m_names;
    std::deque<X11Event> m_kept;
    int m_interrupt = -1;
};
