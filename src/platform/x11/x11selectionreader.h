// SPDX-License-Identifier: MIT
#pragma once

#include "platform/x11/x11connection.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <optional>
#include <utility>

// Reads the CLIPBOARD selection on a connection and an unmapped window of its own, so that an
// owner that answers late or never holds up the caller for the patience at most, and Qt not at all.
class X11SelectionReader
{
public:
    using Clock = std::chrono::steady_clock;

    explicit X11SelectionReader(std::chrono::milliseconds patience = std::chrono::seconds(1));
    ~X11SelectionReader();

    bool isValid() const;
    X11Connection &connection() { return m_connection; }
    // Whether the server tells of new owners (XFIXES); without it, owners must be polled.
    bool tellsOfOwners() const { return m_xfixesEvent != 0; }
    // The new owner when the event tells that the clipboard changed hands (or was taken again).
    std::optional<uint32_t> ownerChange(const void *event) const;
    // The window that owns the clipboard now; 0 when none does.
    uint32_t owner();
    // The target names the owner offers, in its order, at most limit of them; nothing when there
    // is no owner or it does not answer, refuses, or goes away.
    std::optional<QList<QByteArray>> targets(int limit = maximumTargets);
    // The owner's bytes for one target, incremental transfers included; nothing when it does not
    // answer or stops sending for longer than the patience, refuses, goes away, or offers more
    // than limit bytes (told by the size it announces, before anything is held).
    std::optional<QByteArray> read(const QByteArray &target, qsizetype limit = maximumSize);
    // Whether the last read failed because the owner stopped answering (not because it refused).
    bool timedOut() const { return m_timedOut; }
    // Whether the last read failed because the owner offered more than the limit.
    bool tooLarge() const { return m_tooLarge; }
    // Whether the clipboard changed hands since the last call; reads notice it on the way.
    bool takeOwnerChanged() { return std::exchange(m_ownerChanged, false); }
    bool ownerChanged() const { return m_ownerChanged; }
    // Every read ends by then, however steadily the owner sends; the patience still applies
    // between pieces. Clock::time_point::max() for no such limit.
    void setDeadline(Clock::time_point deadline) { m_deadline = deadline; }

    // Transfers above this are abandoned rather than held in memory.
    static constexpr qsizetype maximumSize = qsizetype(256) << 20;
    // Target lists are cut here: a real application offers a few dozen.
    static constexpr int maximumTargets = 256;
    // An owner that trickles its data slowly enough never misses the deadline; this bounds it.
    static constexpr std::chrono::seconds longestTransfer{5};

private:
    std::optional<QByteArray> convert(uint32_t target, uint32_t *type, qsizetype limit, bool truncate);
    std::optional<QByteArray> takeProperty(uint32_t *type, qsizetype limit, bool truncate);
    void dropEvents();
    // A fresh window to ask from, the old one destroyed with whatever was still being sent to it.
    void renewWindow();

    X11Connection m_connection;
    std::chrono::milliseconds m_patience;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_property = 0;
    uint32_t m_incr = 0;
    uint8_t m_xfixesEvent = 0; // first event code of XFIXES; 0 without it
    Clock::time_point m_deadline = Clock::time_point::max();
    bool m_timedOut = false;
    bool m_tooLarge = false;
    bool m_ownerChanged = false;
    // The last request ended before its owner had finished with our property.
    bool m_abandoned = false;
};
