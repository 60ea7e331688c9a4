// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandclipboardservice.h"

#include "platform/wayland/waylandclipboardsource.h"
#include "platform/wayland/waylandclipboardwatcher.h"
#include "platform/wayland/waylandconnection.h"
#include "platform/wayland/waylanddatadevice.h"
#include "platform/wayland/waylandeventwait.h"

#include <wayland-client.h>

#include <cerrno>
#include <condition_variable>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

WaylandClipboardService::WaylandClipboardService(const QByteArray &display, QObject *parent)
    : QObject(parent)
    , m_display(display)
{
    // Only the socket is opened here; the compositor is waited for on the thread.
    m_connection = WaylandConnection::connectTo(display);
    if (!m_connection || !m_wake.open()) {
        m_connection.reset();
        return;
    }
    m_thread = std::thread([this] {
        if (setUp())
            run();
        else if (!m_stop)
            end();
    });
}

WaylandClipboardService::~WaylandClipboardService()
{
    m_watcher.reset();
    if (m_thread.joinable()) {
        m_stop = true;
        m_wake.wake();
        m_thread.join();
    }
    m_source.reset();
    m_device.reset();
    m_connection.reset();
}

bool WaylandClipboardService::setUp()
{
    if (!m_connection->roundtrip(startDeadlineMs))
        return false;
    m_device = std::make_unique<WaylandDataDevice>(*m_connection);
    m_device->setSelectionChanged([this] {
        {
            std::lock_guard lock(m_mutex);
            m_types = m_device->types();
        }
        ++m_changeCount;
    });
    if (!m_device->isValid() || !m_connection->roundtrip(startDeadlineMs) || m_device->isFinished())
        return false;
    m_source = std::make_unique<WaylandClipboardSource>(*m_device);
    m_ready = true;
    return true;
}

void WaylandClipboardService::end()
{
    {
        std::lock_guard lock(m_mutex);
        m_types.clear();
    }
    m_ended = true;
    emit ended();
}

void WaylandClipboardService::run()
{
    std::vector<pollfd> fds;
    while (!m_stop) {
        std::vector<std::function<void()>> work;
        {
            std::lock_guard lock(m_mutex);
            work.swap(m_work);
        }
        for (const auto &job : work)
            job();
        if (m_device->isFinished())
            break;
        fds.assign(1, {m_wake.readEnd(), POLLIN, 0});
        m_source->addDescriptors(fds);
        if (!waitAndDispatch(*m_connection, fds, m_source->nextDeadline()))
            break;
        if (fds.front().revents)
            m_wake.drain();
        m_source->progress(fds);
    }
    if (!m_stop)
        end();
}

bool WaylandClipboardService::onThread(std::function<void()> work)
{
    if (!isValid())
        return false;
    struct Done
    {
        std::mutex mutex;
        std::condition_variable ran;
        bool done = false;
    };
    const auto done = std::make_shared<Done>();
    {
        std::lock_guard lock(m_mutex);
        m_work.push_back([work = std::move(work), done] {
            work();
            std::lock_guard lock(done->mutex);
            done->done = true;
            done->ran.notify_all();
        });
    }
    m_wake.wake();
    std::unique_lock lock(done->mutex);
    return done->ran.wait_for(lock, copyDeadline, [&] { return done->done; });
}

QStringList WaylandClipboardService::types()
{
    std::lock_guard lock(m_mutex);
    return m_types;
}

std::optional<QByteArray> WaylandClipboardService::data(const QString &type)
{
    const qint64 change = m_changeCount;
    if (m_stalledAt == change || !types().contains(type))
        return std::nullopt;
    // The read end comes back through shared state: a thread that answers late closes it itself.
    struct Asked
    {
        std::mutex mutex;
        int fd = -1;
        bool abandoned = false;
    };
    const auto asked = std::make_shared<Asked>();
    const bool answered = onThread([this, type, asked] {
        const int fd = m_device->receive(type);
        wl_display_flush(m_connection->display());
        std::lock_guard lock(asked->mutex);
        if (asked->abandoned)
            ::close(fd);
        else
            asked->fd = fd;
    });
    int fd = -1;
    {
        std::lock_guard lock(asked->mutex);
        asked->abandoned = !answered;
        fd = asked->fd;
    }
    if (fd < 0)
        return std::nullopt;

    const auto deadline = Clock::now() + copyDeadline;
    QByteArray bytes;
    constexpr qsizetype piece = 1 << 16;
    for (;;) {
        const qsizetype held = bytes.size();
        bytes.resize(held + piece);
        const ssize_t got = ::read(fd, bytes.data() + held, piece);
        bytes.resize(held + std::max<ssize_t>(got, 0));
        if (got == 0 || bytes.size() > maximumSize || (got < 0 && errno != EAGAIN && errno != EINTR))
            break;
        if (got > 0 || errno == EINTR)
            continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd in{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&in, 1, int(left.count()) + 1) == 0) {
            ::close(fd);
            m_stalledAt = change;
            return std::nullopt;
        }
    }
    ::close(fd);
    if (bytes.size() > maximumSize)
        return std::nullopt;
    return bytes;
}

void WaylandClipboardService::write(const QList<Item> &items)
{
    onThread([this, items] {
        m_source->offer(items);
        wl_display_flush(m_connection->display());
    });
}

ClipboardWatcher *WaylandClipboardService::watcher()
{
    if (!m_watcher)
        m_watcher = std::make_unique<WaylandClipboardWatcher>(m_display);
    return m_watcher.get();
}
