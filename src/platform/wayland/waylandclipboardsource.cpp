// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandclipboardsource.h"

#include "platform/wayland/waylanddatadevice.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

// A reader that closed its end raises SIGPIPE on our write, which would end the process: the
// signal is blocked on this thread while writing and taken back if it came.
class QuietPipe
{
public:
    QuietPipe()
    {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &m_old);
    }
    ~QuietPipe()
    {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec now{0, 0};
        while (sigtimedwait(&pipe, nullptr, &now) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }

private:
    sigset_t m_old;
};

} // namespace

WaylandClipboardSource::WaylandClipboardSource(WaylandDataDevice &device)
    : m_device(device)
{
}

WaylandClipboardSource::~WaylandClipboardSource()
{
    for (const Transfer &transfer : m_transfers)
        ::close(transfer.fd);
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
}

void WaylandClipboardSource::offer(const QList<ClipboardService::Item> &items)
{
    withdraw();
    QStringList types;
    for (const ClipboardService::Item &item : items)
        if (!types.contains(item.type))
            types << item.type;
    m_items = items;
    m_source = m_device.createSource(types, this, listener());
    m_device.setSelection(m_source);
}

void WaylandClipboardSource::withdraw()
{
    // Readers already served keep their bytes; only new requests end.
    if (m_source)
        zwlr_data_control_source_v1_destroy(m_source);
    m_source = nullptr;
    m_items.clear();
}

void WaylandClipboardSource::send(void *data, zwlr_data_control_source_v1 *source, const char *type, int fd)
{
    auto *self = static_cast<WaylandClipboardSource *>(data);
    const QString wanted = QString::fromUtf8(type);
    const auto item = std::find_if(self->m_items.cbegin(), self->m_items.cend(),
                                   [&](const ClipboardService::Item &item) { return item.type == wanted; });
    if (source != self->m_source || item == self->m_items.cend()) {
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    const auto now = Clock::now();
    Transfer transfer{fd, item->data, 0, now, now};
    // Most readers take a small text at once.
    if (self->write(transfer))
        self->m_transfers.push_back(std::move(transfer));
}

void WaylandClipboardSource::cancelled(void *data, zwlr_data_control_source_v1 *source)
{
    auto *self = static_cast<WaylandClipboardSource *>(data);
    // Someone else copied.
    if (source == self->m_source)
        self->withdraw();
}

bool WaylandClipboardSource::write(Transfer &transfer)
{
    const QuietPipe quiet;
    while (transfer.written < transfer.bytes.size()) {
        const ssize_t wrote = ::write(transfer.fd, transfer.bytes.constData() + transfer.written,
                                      size_t(transfer.bytes.size() - transfer.written));
        if (wrote > 0) {
            transfer.written += wrote;
            transfer.lastProgress = Clock::now();
            continue;
        }
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0 && errno == EAGAIN)
            return true;
        break; // the reader went away
    }
    ::close(transfer.fd);
    return false;
}

void WaylandClipboardSource::addDescriptors(std::vector<pollfd> &fds) const
{
    for (const Transfer &transfer : m_transfers)
        fds.push_back({transfer.fd, POLLOUT, 0});
}

void WaylandClipboardSource::progress(const std::vector<pollfd> &fds)
{
    const auto now = Clock::now();
    std::erase_if(m_transfers, [&](Transfer &transfer) {
        const auto polled = std::find_if(fds.cbegin(), fds.cend(),
                                         [&](const pollfd &fd) { return fd.fd == transfer.fd; });
        if (polled != fds.cend() && polled->revents)
            return !write(transfer);
        if (now - transfer.lastProgress >= patience || now - transfer.started >= longestTransfer) {
            ::close(transfer.fd);
            return true;
        }
        return false;
    });
}

Clock::time_point WaylandClipboardSource::nextDeadline() const
{
    auto next = Clock::time_point::max();
    for (const Transfer &transfer : m_transfers)
        next = std::min({next, transfer.lastProgress + patience, transfer.started + longestTransfer});
    return next;
}

const zwlr_data_control_source_v1_listener *WaylandClipboardSource::listener()
{
    static const zwlr_data_control_source_v1_listener listener = {&WaylandClipboardSource::send,
                                                                  &WaylandClipboardSource::cancelled};
    return &listener;
}
