// SPDX-License-Identifier: MIT
#pragma once

#include "platform/clipboardwatcher.h"
#include "platform/wakepipe.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

class WaylandConnection;
class WaylandDataDevice;

// Watches the Wayland clipboard through data-control, on a thread and a connection of its own:
// the compositor tells of every new selection, and the copy is read there through pipes, with one
// deadline for all its types together and the byte limit counted while reading (Wayland announces
// no sizes, so too much is noticed only on its way in, and dropped then).
class WaylandClipboardWatcher : public ClipboardWatcher
{
    Q_OBJECT

public:
    // Watches the compositor at display (WAYLAND_DISPLAY when empty) once started.
    explicit WaylandClipboardWatcher(const QByteArray &display = {}, QObject *parent = nullptr);
    ~WaylandClipboardWatcher() override;

    void setChoice(Choice choice) override;
    void setByteLimit(qint64 bytes) override;
    // Does nothing when no one listens at display. Waits for nothing: the thread waits for the
    // compositor's answer, and ends the watch (ended()) when none comes in time or it offers no
    // data-control. Copies are read from the compositor's answer on.
    void start() override;
    void stop() override;
    bool isRunning() const override { return m_thread.joinable() && !m_ended; }
    // The compositor answered: copies made from now on are read.
    bool isReady() const { return m_ready && !m_ended; }
    bool isEventDriven() const override { return true; }
    // The compositor ended the watch (it took the device back or went away).
    bool hasEnded() const { return m_ended; }

    static constexpr std::chrono::milliseconds copyDeadline{1000};
    // Wayland names no owner: a source is known by the types it offers. One that stalled is not
    // asked again for this long while the same types keep coming; other types end the quiet.
    static constexpr std::chrono::seconds quietAfterFailure{10};
    // How long the compositor has to answer at the start, on our thread. Generous: at login, when
    // the program starts, a busy desktop can take more than a second, and a watch given up here
    // stays given up.
    static constexpr int startDeadlineMs = 3000;

signals:
    // The compositor ended the watch; no more copies come until start() succeeds again.
    void ended();

private:
    enum class Outcome { read, tooLarge, replaced, timedOut, stopped };
    // On the thread: the compositor's answer and the device.
    bool setUp();
    void run();
    void readCopy(quint64 change);
    Outcome readPipe(int fd, const QStringList &types, qint64 limit,
                     std::chrono::steady_clock::time_point deadline, QByteArray *bytes);
    void end();

    QByteArray m_display;
    std::unique_ptr<WaylandConnection> m_connection;
    std::unique_ptr<WaylandDataDevice> m_device;
    std::thread m_thread;
    WakePipe m_wake;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_ended = false;
    std::atomic<bool> m_ready = false;

    std::mutex m_mutex; // guards the two below, set from the caller's thread
    Choice m_choice;
    qint64 m_byteLimit = 30 * 1024 * 1024;

    // The thread's own.
    quint64 m_change = 0;
    quint64 m_seen = 0; // selections told so far that were read or passed over
    QStringList m_offender;
    std::chrono::steady_clock::time_point m_offendedAt;
};
