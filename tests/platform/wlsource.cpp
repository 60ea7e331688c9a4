// SPDX-License-Identifier: MIT
// Stands in for another Wayland application that copies, over data-control: offers the given
// types on the clipboard, answers requests (or holds them unanswered) and says what happens on
// stdout: "started", "taking NS" (CLOCK_MONOTONIC nanoseconds, as the request leaves), "ready",
// "request TYPE", "sent TYPE", "cancelled".
//   --type TYPE=TEXT  --type-file TYPE=PATH  --junk-types N  --stall (or --stall-data)  --retake MS
#include "platform/wayland/waylandconnection.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QPair>

#include <wayland-client.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

struct Source
{
    QList<QPair<QByteArray, QByteArray>> types; // in the order offered
    bool stall = false;
    QList<int> held;
    bool cancelled = false;
    zwlr_data_control_manager_v1 *manager = nullptr;
    zwlr_data_control_device_v1 *device = nullptr;
    zwlr_data_control_source_v1 *current = nullptr;
};

// TYPE=VALUE, where the type may carry parameters of its own ("text/plain;charset=utf-8=hi").
QPair<QByteArray, QString> typeAndValue(const QString &argument)
{
    for (qsizetype at = argument.indexOf(u'='); at >= 0; at = argument.indexOf(u'=', at + 1)) {
        const QString type = argument.left(at);
        const qsizetype parameter = type.lastIndexOf(u';');
        if (parameter < 0 || type.mid(parameter).contains(u'='))
            return {type.toUtf8(), argument.mid(at + 1)};
    }
    return {argument.toUtf8(), QString()};
}

void say(const QByteArray &line)
{
    std::fputs(line.constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Plainly, as many applications do: the reader's pipe is expected to block when full.
void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote <= 0)
            break;
        done += wrote;
    }
}

void send(void *data, zwlr_data_control_source_v1 *, const char *type, int fd)
{
    auto *source = static_cast<Source *>(data);
    say("request " + QByteArray(type));
    if (source->stall) {
        source->held << fd; // never written, never closed
        return;
    }
    for (const auto &[name, bytes] : source->types) {
        if (name == type) {
            writeAll(fd, bytes);
            break;
        }
    }
    ::close(fd);
    say("sent " + QByteArray(type));
}

void cancelled(void *data, zwlr_data_control_source_v1 *cancelled)
{
    auto *source = static_cast<Source *>(data);
    if (cancelled == source->current)
        source->cancelled = true;
    zwlr_data_control_source_v1_destroy(cancelled);
}

const zwlr_data_control_source_v1_listener listener = {&send, &cancelled};

void take(Source &source)
{
    source.current = zwlr_data_control_manager_v1_create_data_source(source.manager);
    zwlr_data_control_source_v1_add_listener(source.current, &listener, &source);
    for (const auto &[name, bytes] : source.types)
        zwlr_data_control_source_v1_offer(source.current, name.constData());
    zwlr_data_control_device_v1_set_selection(source.device, source.current);
}

void takeNow(Source &source, wl_display *display)
{
    take(source);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    say("taking " + QByteArray::number(qint64(now.tv_sec) * 1000000000 + now.tv_nsec));
    wl_display_flush(display);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN); // a reader that leaves early ends one transfer, as in toolkits
    say("started");
    Source source;
    int retakeMs = 0;
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString argument = arguments.at(i);
        const QString value = arguments.value(i + 1);
        if (argument == QLatin1String("--stall") || argument == QLatin1String("--stall-data")) {
            source.stall = true;
            continue;
        }
        ++i;
        if (argument == QLatin1String("--type")) {
            const auto [type, text] = typeAndValue(value);
            source.types.append({type, text.toUtf8()});
        } else if (argument == QLatin1String("--type-file")) {
            const auto [type, path] = typeAndValue(value);
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                return 2;
            source.types.append({type, file.readAll()});
        } else if (argument == QLatin1String("--junk-types")) {
            for (int n = 0; n < value.toInt(); ++n)
                source.types.append({"x-junk-" + QByteArray::number(n), "junk"});
        } else if (argument == QLatin1String("--retake")) {
            retakeMs = value.toInt();
        } else {
            return 2;
        }
    }

    const auto connection = WaylandConnection::open({}, 2000);
    if (!connection)
        return 3;
    source.manager = static_cast<zwlr_data_control_manager_v1 *>(
        connection->bind(&zwlr_data_control_manager_v1_interface, 1));
    auto *seat = static_cast<wl_seat *>(connection->bind(&wl_seat_interface, 1));
    if (!source.manager || !seat)
        return 4;
    source.device = zwlr_data_control_manager_v1_get_data_device(source.manager, seat);
    takeNow(source, connection->display());
    if (!connection->roundtrip(2000))
        return 5;
    say("ready");

    using Clock = std::chrono::steady_clock;
    auto next = Clock::now() + std::chrono::milliseconds(retakeMs);
    while (!source.cancelled || retakeMs > 0) {
        const int wait = retakeMs > 0
            ? int(std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count()))
            : -1;
        if (!connection->dispatchPending(wait))
            return 6;
        if (retakeMs > 0 && Clock::now() >= next) {
            takeNow(source, connection->display());
            next = Clock::now() + std::chrono::milliseconds(retakeMs);
        }
    }
    say("cancelled");
    return 0;
}
