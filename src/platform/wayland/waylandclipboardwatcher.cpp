// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandclipboardwatcher.h"

#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylanddatadevice.h"
#include "platform/wayland/waylandeventwait.h"

#include <cerrno>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

WaylandClipboardWatcher::WaylandClipboardWatcher(const QByteArray &display, QObject *parent)
    : ClipboardWatcher(parent)
    , m_display(display)
{
    qRegisterMetaType<ClipboardWatcher::Copy>();
}

WaylandClipboardWatcher::~WaylandClipboardWatcher()
{
    stop();
}

void WaylandClipboardWatcher::setChoice(Choice choice)
{
    std::lock_guard lock(m_mutex);
    m_choice = std::move(choice);
}

void WaylandClipboardWatcher::setByteLimit(qint64 bytes)
{
    std::lock_guard lock(m_mutex);
    m_byteLimit = bytes;
}

void WaylandClipboardWatcher::start()
{
    if (m_thread.joinable()) {
        if (!m_ended)
            return;
        stop(); // ended by the compositor: try afresh
    }
    // A fresh connection each time: the selection present when the compositor answers is told
    // first, and passed over. Only the socket is opened here; the thread waits for the answer.
    m_connection = WaylandConnection::connectTo(m_display);
    if (!m_connection || !m_wake.open()) {
        m_connection.reset();
        return;
    }
    m_offender.clear();
    m_stop = false;
    m_ended = false;
    m_ready = false;
    m_thread = std::thread([this] {
        if (setUp())
            run();
        else if (!m_stop)
            end();
    });
}

bool WaylandClipboardWatcher::setUp()
{
    if (!m_connection->roundtrip(startDeadlineMs))
        return false;
    m_device = std::make_unique<WaylandDataDevice>(*m_connection);
    if (!m_device->isValid() || !m_connection->roundtrip(startDeadlineMs) || m_device->isFinished())
        return false;
    m_seen = m_device->selections();
    m_ready = true;
    return true;
}

void WaylandClipboardWatcher::stop()
{
    if (!m_thread.joinable())
        return;
    m_stop = true;
    m_wake.wake();
    // A read in progress sees the wake-up and ends at once.
    m_thread.join();
    m_device.reset();
    m_connection.reset();
    m_wake.close();
}

void WaylandClipboardWatcher::end()
{
    m_ended = true;
    emit ended();
}

void WaylandClipboardWatcher::run()
{
    while (!m_stop) {
        if (m_device->isFinished())
            return end();
        if (m_device->selections() != m_seen) {
            // Several selections in quick succession: only the latest has anything to give.
            m_seen = m_device->selections();
            if (m_device->hasSelection())
                readCopy(++m_change);
            continue;
        }
        pollfd wake{m_wake.readEnd(), POLLIN, 0};
        if (!waitAndDispatch(*m_connection, {&wake, 1}, Clock::time_point::max()))
            return end();
    }
}

void WaylandClipboardWatcher::readCopy(quint64 change)
{
    const QStringList types = m_device->types();
    // An offender offering again and again costs one comparison here and nothing on the thread
    // that listens.
    if (types == m_offender && Clock::now() - m_offendedAt < quietAfterFailure) {
        emit copyRefused(change);
        return;
    }
    m_offender.clear();
    emit changed(change);
    Choice choice;
    qint64 left = 0;
    {
        std::lock_guard lock(m_mutex);
        choice = m_choice;
        left = m_byteLimit;
    }
    Copy copy;
    copy.change = change;
    copy.types = types;
    const QStringList wanted = choice ? choice(types) : QStringList();
    const auto deadline = Clock::now() + copyDeadline;
    // A newer copy while this one is read ends it: its source may stop answering halfway when it
    // loses the clipboard, and the types still to ask would come from the newer copy. The run
    // loop reads that one next.
    const quint64 selection = m_device->selections();
    const auto superseded = [this, selection] {
        return !m_connection->roundtrip(250) || m_device->selections() != selection;
    };
    for (const QString &type : wanted) {
        if (!types.contains(type))
            continue;
        const int fd = m_device->receive(type);
        if (fd < 0)
            continue;
        QByteArray bytes;
        const Outcome outcome = readPipe(fd, types, left, deadline, &bytes);
        ::close(fd);
        if (outcome == Outcome::timedOut) {
            // What came before the deadline is kept; the types after it count as not given.
            m_offender = types;
            m_offendedAt = Clock::now();
            copy.timedOut = true;
            break;
        }
        if (outcome != Outcome::read) {
            // Too much, a newer copy, or stopping: nothing of this one is kept.
            emit copyRefused(change);
            return;
        }
        if (superseded()) {
            emit copyRefused(change);
            return;
        }
        left -= bytes.size();
        copy.items.append({type, std::move(bytes)});
    }
    emit copyArrived(copy);
}

WaylandClipboardWatcher::Outcome WaylandClipboardWatcher::readPipe(int fd, const QStringList &types, qint64 limit,
                                                                   Clock::time_point deadline, QByteArray *bytes)
{
    constexpr qsizetype piece = 1 << 16;
    quint64 selection = m_device->selections();
    for (;;) {
        const qsizetype held = bytes->size();
        bytes->resize(held + piece);
        const ssize_t got = ::read(fd, bytes->data() + held, piece);
        bytes->resize(held + std::max<ssize_t>(got, 0));
        if (got == 0)
            return Outcome::read;
        if (bytes->size() > limit) {
            *bytes = QByteArray();
            return Outcome::tooLarge;
        }
        if (got > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN)
            return Outcome::read; // the source closed its end badly: what came is what it gave
        if (Clock::now() >= deadline)
            return Outcome::timedOut;
        pollfd fds[2] = {{m_wake.readEnd(), POLLIN, 0}, {fd, POLLIN, 0}};
        if (!waitAndDispatch(*m_connection, fds, deadline) || m_device->isFinished() || m_stop)
            return Outcome::stopped;
        if (m_device->selections() != selection) {
            // The same types offered again may well be the same source taking the clipboard
            // back, which cancels nothing: it may still answer, or stall on purpose.
            if (m_device->types() != types)
                return Outcome::replaced;
            selection = m_device->selections();
        }
    }
}
