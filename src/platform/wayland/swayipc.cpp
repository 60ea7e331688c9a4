// SPDX-License-Identifier: MIT
#include "platform/wayland/swayipc.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr char magic[] = "i3-ipc";
constexpr qsizetype magicSize = sizeof magic - 1;
constexpr qsizetype headerSize = magicSize + 8;
// A tree of a few hundred windows is well under this; anything larger is not sway talking.
constexpr quint32 largestReply = 64 * 1024 * 1024;

class Socket
{
public:
    explicit Socket(int fd) : m_fd(fd) { }
    ~Socket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

bool wait(int fd, short events, const QDeadlineTimer &deadline)
{
    for (;;) {
        pollfd p = {fd, events, 0};
        const int ready = poll(&p, 1, int(deadline.remainingTime()));
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray &bytes, const QDeadlineTimer &deadline)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (!wait(fd, POLLOUT, deadline))
            return false;
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        sent += qMax<ssize_t>(n, 0);
    }
    return true;
}

bool receive(int fd, char *into, qsizetype size, const QDeadlineTimer &deadline)
{
    qsizetype got = 0;
    while (got < size) {
        if (!wait(fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(fd, into + got, size_t(size - got), 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            return false;
        got += qMax<ssize_t>(n, 0);
    }
    return true;
}

} // namespace

namespace SwayIpc {

std::optional<QByteArray> request(const QString &socketPath, Message type, const QByteArray &payload,
                                  int timeoutMs)
{
    const QByteArray path = socketPath.toLocal8Bit();
    sockaddr_un address = {};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.fd() < 0
        || ::connect(socket.fd(), reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return std::nullopt;

    const QDeadlineTimer deadline(timeoutMs);
    QByteArray message(magic, magicSize);
    const quint32 header[2] = {quint32(payload.size()), quint32(type)};
    message.append(reinterpret_cast<const char *>(header), sizeof header);
    message.append(payload);
    if (!sendAll(socket.fd(), message, deadline))
        return std::nullopt;

    // Replies come in the order asked, and sway sends events only to subscribers: the first
    // message back is ours.
    char replyHeader[headerSize];
    if (!receive(socket.fd(), replyHeader, headerSize, deadline)
        || std::memcmp(replyHeader, magic, magicSize) != 0)
        return std::nullopt;
    quint32 fields[2];
    std::memcpy(fields, replyHeader + magicSize, sizeof fields);
    if (fields[1] != quint32(type) || fields[0] > largestReply)
        return std::nullopt;
    QByteArray reply(qsizetype(fields[0]), Qt::Uninitialized);
    if (!receive(socket.fd(), reply.data(), reply.size(), deadline))
        return std::nullopt;
    return reply;
}

} // namespace SwayIpc
