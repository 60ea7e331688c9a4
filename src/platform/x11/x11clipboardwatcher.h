// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardwatcher.h"
#include "platform/wakepipe.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

class X11SelectionReader;

// Watches the X11 CLIPBOARD on a thread and a connection of its own: told of every new owner by
// XFIXES (polled every half second only when the server lacks it), it reads the copy there, with
// one deadline and one byte budget for all its types together.
class X11ClipboardWatcher : public ClipboardWatcher
{
    Q_OBJECT

public:
    explicit X11ClipboardWatcher(QObject *parent = nullptr);
    ~X11ClipboardWatcher() override;

    void setChoice(Choice choice) override;
    void setByteLimit(qint64 bytes) override;
    void start() override;
    void stop() override;
    bool isRunning() const override { return m_thread.joinable(); }
    bool isEventDriven() const override { return m_eventDriven; }

    // X protocol targets and Qt's internal image type: never content.
    static bool isProtocolTarget(const QString &type);

    // However the owner sends (at once, in pieces, trickling), one copy is read within this.
    static constexpr std::chrono::milliseconds copyDeadline{1000};
    // An owner that stalled or failed is not asked again for this long while it keeps taking
    // the clipboard back; another owner taking it ends the quiet at once.
    static constexpr std::chrono::seconds quietAfterFailure{10};
    static constexpr std::chrono::milliseconds pollInterval{500};

private:
    void run();
    void readCopy(quint64 change, uint32_t owner);

    std::unique_ptr<X11SelectionReader> m_reader;
    std::thread m_thread;
    WakePipe m_wake;
    std::atomic<bool> m_stop = false;
    bool m_eventDriven = false;

    std::mutex m_mutex; // guards the two below, set from the caller's thread
    Choice m_choice;
    qint64 m_byteLimit = 30 * 1024 * 1024;

    // The thread's own.
    quint64 m_change = 0;
    uint32_t m_offender = 0;
    std::chrono::steady_clock::time_point m_offendedAt;
};
