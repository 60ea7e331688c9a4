// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <span>

#include <poll.h>

class WaylandConnection;

// Waits for the compositor's events and for other descriptors at once, for threads that run an
// event loop of their own, and dispatches whatever events arrived. Returns false when the
// connection broke; the descriptors' revents tell the rest. A deadline of time_point::max()
// waits without end.
bool waitAndDispatch(WaylandConnection &connection, std::span<pollfd> others,
                     std::chrono::steady_clock::time_point deadline);
