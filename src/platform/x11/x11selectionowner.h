// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"
#include "platform/wakepipe.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class X11Connection;

// Owns the CLIPBOARD selection for this process and answers other clients' requests on a thread
// of its own, so that pasting elsewhere works while the GUI thread is busy, large data included.
class X11SelectionOwner
{
public:
    X11SelectionOwner();
    ~X11SelectionOwner();

    bool isValid() const;
    // Takes the clipboard, offering exactly these items (plain text also as UTF8_STRING for
    // older clients), until another client takes it. False when the server refused or the
    // thread did not confirm within a second.
    bool own(const QList<ClipboardService::Item> &items);
    // The window that owns the clipboard while we hold it.
    uint32_t window() const { return m_window; }

private:
    struct Transfer;
    struct Offer;

    void run();
    void take(const QList<ClipboardService::Item> &items);
    void serve(const void *request);
    void continueTransfer(uint32_t requestor, uint32_t property);
    void dropTransfers(uint32_t requestor);

    std::unique_ptr<X11Connection> m_connection;
    uint32_t m_window = 0;
    WakePipe m_wake;
    std::thread m_thread;

    // Shared with the thread.
    std::mutex m_mutex;
    std::condition_variable m_answered;
    QList<ClipboardService::Item> m_pending;
    quint64 m_asked = 0;
    quint64 m_done = 0;
    bool m_tookIt = false;
    bool m_stop = false;

    // The thread's own.
    std::unique_ptr<Offer> m_offer;
    std::vector<Transfer> m_transfers;
};
