// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"

#include <chrono>
#include <vector>

#include <poll.h>

class WaylandDataDevice;
struct zwlr_data_control_source_v1;
struct zwlr_data_control_source_v1_listener;

// What this process offers on the clipboard: one data-control source at a time, and every
// reader's pipe written without blocking, so that several readers, large images and a reader
// that never reads all leave the thread free. Used on the thread that dispatches the device.
class WaylandClipboardSource
{
public:
    explicit WaylandClipboardSource(WaylandDataDevice &device);
    ~WaylandClipboardSource();
    WaylandClipboardSource(const WaylandClipboardSource &) = delete;
    WaylandClipboardSource &operator=(const WaylandClipboardSource &) = delete;

    // Takes the clipboard with exactly these items; the source before it, if any, is withdrawn.
    void offer(const QList<ClipboardService::Item> &items);
    // Whether our source holds the clipboard (until another client copies).
    bool isOffering() const { return m_source; }

    // The pipes waiting to be written, for the thread's wait; then progress() with what came of it.
    void addDescriptors(std::vector<pollfd> &fds) const;
    void progress(const std::vector<pollfd> &fds);
    // When the next reader's patience runs out; time_point::max() when no one reads.
    std::chrono::steady_clock::time_point nextDeadline() const;
    qsizetype readers() const { return qsizetype(m_transfers.size()); }

    // A reader that takes nothing for this long is dropped.
    static constexpr std::chrono::milliseconds patience{1000};
    // However steadily a reader takes, its pipe is closed after this long.
    static constexpr std::chrono::seconds longestTransfer{10};

private:
    struct Transfer
    {
        int fd = -1;
        QByteArray bytes;
        qsizetype written = 0;
        std::chrono::steady_clock::time_point started;
        std::chrono::steady_clock::time_point lastProgress;
    };
    static const zwlr_data_control_source_v1_listener *listener();
    static void send(void *data, zwlr_data_control_source_v1 *source, const char *type, int fd);
    static void cancelled(void *data, zwlr_data_control_source_v1 *source);
    void withdraw();
    // False when the transfer is over, finished or failed.
    bool write(Transfer &transfer);

    WaylandDataDevice &m_device;
    zwlr_data_control_source_v1 *m_source = nullptr;
    QList<ClipboardService::Item> m_items;
    std::vector<Transfer> m_transfers;
};
