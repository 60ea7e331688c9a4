// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardservice.h"
#include "platform/wakepipe.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WaylandClipboardSource;
class WaylandClipboardWatcher;
class WaylandConnection;
class WaylandDataDevice;

// The Wayland clipboard through data-control, on a connection and a thread of its own: that
// thread follows the selection and serves what we copy to every reader without blocking, so
// pasting elsewhere works while the GUI thread is busy. The history reads copies through
// watcher(), which has a connection of its own; types() and data() are for reading once.
class WaylandClipboardService : public QObject, public ClipboardService
{
    Q_OBJECT

public:
    // Connects to the compositor at display (WAYLAND_DISPLAY when empty) without waiting for
    // it: the thread waits for its answer. isValid() is false at once when no one listens there,
    // and false with ended() once the compositor did not answer in time or offers no data-control.
    explicit WaylandClipboardService(const QByteArray &display = {}, QObject *parent = nullptr);
    ~WaylandClipboardService() override;

    // True while the compositor may still answer, and while it serves us.
    bool isValid() const { return m_thread.joinable() && !m_ended; }
    // The compositor answered and offers data-control; changeCount() counts from its answer on.
    bool isReady() const { return m_ready && !m_ended; }

    qint64 changeCount() const override { return m_changeCount; }
    QStringList types() override;
    // Reads on the caller's thread, within copyDeadline; a source that stalled is not asked
    // again until the clipboard changes.
    std::optional<QByteArray> data(const QString &type) override;
    // Returns once the compositor has been asked to give us the clipboard.
    void write(const QList<Item> &items) override;
    ClipboardWatcher *watcher() override;

    static constexpr std::chrono::milliseconds copyDeadline{1000};
    // Reads of one type stop here rather than hold more.
    static constexpr qsizetype maximumSize = qsizetype(256) << 20;

    // How long the compositor has to answer at the start, on our thread. Generous: at login, when
    // the program starts, a busy desktop can take more than a second, and a watch given up here
    // stays given up.
    static constexpr int startDeadlineMs = 3000;

signals:
    // The compositor did not answer at the start, took the clipboard away or went away: nothing
    // more is read or written.
    void ended();

private:
    // On the thread: the compositor's answer, the device and the source.
    bool setUp();
    void run();
    void end();
    // Runs work on the thread; false when the thread is gone or did not get to it in time (then
    // it may still run, later).
    bool onThread(std::function<void()> work);

    QByteArray m_display;
    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WaylandDataDevice> m_device;
    std::unique_ptr<WaylandClipboardSource> m_source;
    std::unique_ptr<WaylandClipboardWatcher> m_watcher;
    std::thread m_thread;
    WakePipe m_wake;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_ended = false;
    std::atomic<bool> m_ready = false;
    std::atomic<qint64> m_changeCount = 0;

    std::mutex m_mutex; // guards the two below, shared with the thread
    std::vector<std::function<void()>> m_work;
    QStringList m_types;

    // The caller's own.
    qint64 m_stalledAt = -1;
};
