// SPDX-License-Identifier: MIT
#pragma once

#include "platform/x11/x11connection.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <optional>

// Reads the CLIPBOARD selection on a connection and an unmapped window of its own, so that an
// owner that answers late or never holds up the caller for the patience at most, and Qt not at all.
class X11SelectionReader
{
public:
    explicit X11SelectionReader(std::chrono::milliseconds patience = std::chrono::seconds(1));
    ~X11SelectionReader();

    bool isValid() const;
    // The window that owns the clipboard now; 0 when none does.
    uint32_t owner();
    // The target names the owner offers, in its order; nothing when there is no owner or it does
    // not answer, refuses, or goes away.
    std::optional<QList<QByteArray>> targets();
    // The owner's bytes for one target, incremental transfers included; nothing when it does not
    // answer or stops sending for longer than the patience, refuses, or goes away.
    std::optional<QByteArray> read(const QByteArray &target);
    // Whether the last read failed because the owner stopped answering (not because it refused).
    bool timedOut() const { return m_timedOut; }

    // Transfers above this are abandoned rather than held in memory.
    static constexpr qsizetype maximumSize = qsizetype(256) << 20;
    // An owner that trickles its data slowly enough never misses the deadline; this bounds it.
    static constexpr std::chrono::seconds longestTransfer{5};

private:
    std::optional<QByteArray> convert(uint32_t target, uint32_t *type);
    std::optional<QByteArray> takeProperty(uint32_t *type, uint8_t *format);

    X11Connection m_connection;
    std::chrono::milliseconds m_patience;
    uint32_t m_window = 0;
    uint32_t m_clipboard = 0;
    uint32_t m_property = 0;
    uint32_t m_incr = 0;
    uint8_t m_xfixesEvent = 0; // first event code of XFIXES; 0 without it
    bool m_timedOut = false;
};
