// SPDX-License-Identifier: MIT
#include "platform/wayland/swayipc.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray magic("i3-ipc");
constexpr int headerSize = 14;               // magic, payload length, message type
constexpr quint32 largestReply = 64u << 20;  // a tree of thousands of windows is far smaller

// Moves all of buffer through the socket, reading when reading; false on error or deadline.
bool transfer(int fd, char *buffer, size_t size, bool reading, const QDeadlineTimer &deadline)
{
    size_t done = 0;
    while (done < size) {
        pollfd ready = {fd, short(reading ? POLLIN : POLLOUT), 0};
        const int polled = poll(&ready, 1, int(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        const ssize_t n = reading ? recv(fd, buffer + done, size - done, 0)
                                  : send(fd, buffer + done, size - done, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

void collect(const QJsonObject &node, QList<QRect> &fullscreen, QList<QRect> &floating,
             QList<QRect> &tiled, bool isFloating)
{
    const QJsonArray children = node.value(QLatin1String("nodes")).toArray();
    const QJsonArray floats = node.value(QLatin1String("floating_nodes")).toArray();
    if (children.isEmpty() && floats.isEmpty() && node.contains(QLatin1String("pid"))) {
        if (!node.value(QLatin1String("visible")).toBool())
            return;
        const QJsonObject r = node.value(QLatin1String("rect")).toObject();
        const QRect rect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
                         r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
        if (rect.isEmpty())
            return;
        if (node.value(QLatin1String("fullscreen_mode")).toInt() != 0)
            fullscreen.append(rect);
        else if (isFloating)
            floating.prepend(rect);  // listed bottom first
        else
            tiled.append(rect);
        return;
    }
    for (const QJsonValue &child : children)
        collect(child.toObject(), fullscreen, floating, tiled, isFloating);
    for (const QJsonValue &child : floats)
        collect(child.toObject(), fullscreen, floating, tiled, true);
}

} // namespace

namespace SwayIpc {

QByteArray ask(Message type, const QString &path, int timeoutMs)
{
    return ask(type, QByteArray(), path, timeoutMs);
}

QByteArray ask(Message type, const QByteArray &payload, const QString &path, int timeoutMs)
{
    const QByteArray socketPath = (path.isEmpty() ? qEnvironmentVariable("SWAYSOCK") : path).toLocal8Bit();
    sockaddr_un address = {};
    if (socketPath.isEmpty() || size_t(socketPath.size()) >= sizeof(address.sun_path))
        return {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return {};
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray reply;
    // A local socket connects at once or not at all.
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0) {
        QByteArray request = magic;
        const quint32 header[2] = {quint32(payload.size()), quint32(type)};
        request.append(reinterpret_cast<const char *>(header), sizeof(header));
        request.append(payload);
        char answer[headerSize];
        quint32 fields[2] = {};
        if (transfer(fd, request.data(), size_t(request.size()), false, deadline)
            && transfer(fd, answer, headerSize, true, deadline)
            && QByteArray(answer, magic.size()) == magic) {
            std::memcpy(fields, answer + magic.size(), sizeof(fields));
            if (fields[1] == quint32(type) && fields[0] <= largestReply) {
                reply.resize(qsizetype(fields[0]));
                if (!transfer(fd, reply.data(), size_t(reply.size()), true, deadline))
                    reply.clear();
            }
        }
    }
    close(fd);
    return reply;
}

QList<QRect> windows(const QByteArray &tree)
{
    QList<QRect> fullscreen, floating, tiled;
    const QJsonObject root = QJsonDocument::fromJson(tree).object();
    for (const QJsonValue &output : root.value(QLatin1String("nodes")).toArray()) {
        // The scratchpad's windows are hidden.
        if (output.toObject().value(QLatin1String("name")).toString() == QLatin1String("__i3"))
            continue;
        collect(output.toObject(), fullscreen, floating, tiled, false);
    }
    return fullscreen + floating + tiled;
}

std::optional<qint64> windowId(const QByteArray &tree, qint64 pid, const QString &title)
{
    QList<QJsonObject> left{QJsonDocument::fromJson(tree).object()};
    while (!left.isEmpty()) {
        const QJsonObject node = left.takeLast();
        if (node.value(QLatin1String("pid")).toInteger(-1) == pid
            && node.value(QLatin1String("name")).toString() == title)
            return node.value(QLatin1String("id")).toInteger();
        for (const char *children : {"nodes", "floating_nodes"})
            for (const QJsonValue &child : node.value(QLatin1String(children)).toArray())
                left.append(child.toObject());
    }
    return std::nullopt;
}

QString focusedOutput(const QByteArray &outputs)
{
    for (const QJsonValue &output : QJsonDocument::fromJson(outputs).array()) {
        const QJsonObject object = output.toObject();
        if (object.value(QLatin1String("focused")).toBool() && object.value(QLatin1String("active")).toBool(true))
            return object.value(QLatin1String("name")).toString();
    }
    return {};
}

} // namespace SwayIpc
