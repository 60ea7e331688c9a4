// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandeventwait.h"

#include "platform/wayland/waylandconnection.h"

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <vector>

bool waitAndDispatch(WaylandConnection &connection, std::span<pollfd> others,
                     std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    wl_display *display = connection.display();
    for (pollfd &other : others)
        other.revents = 0;
    // Events already read are dispatched before waiting, or they would wait for the next one.
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0)
            return false;
    }
    // A full socket buffer (a compositor slow to read) only delays our requests: the rest goes
    // out once the socket takes it.
    short events = POLLIN;
    if (wl_display_flush(display) < 0) {
        if (errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        events |= POLLOUT;
    }
    std::vector<pollfd> fds;
    fds.reserve(others.size() + 1);
    fds.push_back({wl_display_get_fd(display), events, 0});
    fds.insert(fds.end(), others.begin(), others.end());
    int timeout = -1;
    if (deadline != steady_clock::time_point::max()) {
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count() + 1;
        timeout = int(std::clamp<long long>(left, 0, 60000));
    }
    const int ready = ::poll(fds.data(), nfds_t(fds.size()), timeout);
    if (ready <= 0) {
        wl_display_cancel_read(display);
        return ready == 0 || errno == EINTR;
    }
    std::copy(fds.begin() + 1, fds.end(), others.begin());
    if (fds.front().revents & POLLIN) {
        if (wl_display_read_events(display) < 0)
            return false;
        return wl_display_dispatch_pending(display) >= 0;
    }
    wl_display_cancel_read(display);
    return !(fds.front().revents & (POLLERR | POLLHUP | POLLNVAL));
}
