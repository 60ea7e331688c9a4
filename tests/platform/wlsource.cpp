// SPDX-License-Identifier: MIT
// Stands in for another Wayland application that copies, over data-control: offers what its
// command line says (owneroptions.h) on the clipboard, answers requests (or holds them unanswered)
// and says on stdout "taking NS" (CLOCK_MONOTONIC nanoseconds, as the request leaves), "ready"
// and "request TYPE".
#include "owneroptions.h"
#include "platform/wayland/waylandconnection.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <QCoreApplication>

#include <wayland-client.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

struct Source
{
    OwnerOptions options;
    bool cancelled = false;
    zwlr_data_control_manager_v1 *manager = nullptr;
    zwlr_data_control_device_v1 *device = nullptr;
    zwlr_data_control_source_v1 *current = nullptr;
};

void say(const QByteArray &line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

void send(void *data, zwlr_data_control_source_v1 *, const char *type, int fd)
{
    const OwnerOptions &options = static_cast<Source *>(data)->options;
    say("request " + QByteArray(type));
    if (options.isSet("stall") || options.isSet("stall-data"))
        return; // the pipe is never written nor closed
    for (const OwnerOptions::Offer &offer : options.offers) {
        // Plainly, as many applications do: the reader's pipe is expected to block when full.
        for (qsizetype done = 0, wrote = 0; offer.type == type && !offer.refused && done < offer.data.size(); done += wrote)
            if ((wrote = ::write(fd, offer.data.constData() + done, size_t(offer.data.size() - done))) <= 0)
                break;
    }
    ::close(fd);
}

void cancelled(void *data, zwlr_data_control_source_v1 *cancelled)
{
    auto *source = static_cast<Source *>(data);
    if (cancelled == source->current)
        source->cancelled = true;
    zwlr_data_control_source_v1_destroy(cancelled);
}

const zwlr_data_control_source_v1_listener listener = {&send, &cancelled};

void take(Source &source, wl_display *display)
{
    source.current = zwlr_data_control_manager_v1_create_data_source(source.manager);
    zwlr_data_control_source_v1_add_listener(source.current, &listener, &source);
    for (const OwnerOptions::Offer &offer : std::as_const(source.options.offers))
        zwlr_data_control_source_v1_offer(source.current, offer.type.constData());
    zwlr_data_control_device_v1_set_selection(source.device, source.current);
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
    Source source;
    if (!source.options.parse(app.arguments()))
        return 2;
    const int retakeMs = source.options.number("retake");
    const auto connection = WaylandConnection::open({}, 2000);
    if (!connection)
        return 3;
    source.manager = static_cast<zwlr_data_control_manager_v1 *>(
        connection->bind(&zwlr_data_control_manager_v1_interface, 1));
    auto *seat = static_cast<wl_seat *>(connection->bind(&wl_seat_interface, 1));
    if (!source.manager || !seat)
        return 4;
    source.device = zwlr_data_control_manager_v1_get_data_device(source.manager, seat);
    take(source, connection->display());
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
            take(source, connection->display());
            next = Clock::now() + std::chrono::milliseconds(retakeMs);
        }
    }
    return 0;
}
