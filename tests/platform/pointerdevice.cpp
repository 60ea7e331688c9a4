// SPDX-License-Identifier: MIT
// A pointer device for the headless test compositor, which has none: the seat gains a pointer,
// and lines on stdin drive it like a hand would (sway's own cursor commands do not move the
// pointer for a window while a button is held):
//   move X Y   to X, Y of the layout, whose size the device was started with
//   press / release   the left button
// Prints "ready" once the device exists and "ok" after each line has reached the compositor.
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>

namespace {
zwlr_virtual_pointer_manager_v1 *manager = nullptr;

void announced(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
{
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = static_cast<zwlr_virtual_pointer_manager_v1 *>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void removed(void *, wl_registry *, uint32_t) {}
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    const uint32_t width = uint32_t(std::atoi(argv[1])), height = uint32_t(std::atoi(argv[2]));
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    wl_registry *registry = wl_display_get_registry(display);
    static const wl_registry_listener listener = {&announced, &removed};
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (!manager)
        return 1;
    zwlr_virtual_pointer_v1 *pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    std::printf("ready\n");
    std::fflush(stdout);
    uint32_t time = 0;
    char line[128];
    while (std::fgets(line, sizeof line, stdin)) {
        time += 10;
        unsigned x = 0, y = 0;
        if (std::sscanf(line, "move %u %u", &x, &y) == 2)
            zwlr_virtual_pointer_v1_motion_absolute(pointer, time, x, y, width, height);
        else if (std::strncmp(line, "press", 5) == 0)
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, 1);
        else if (std::strncmp(line, "release", 7) == 0)
            zwlr_virtual_pointer_v1_button(pointer, time, BTN_LEFT, 0);
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0)
            return 1;
        std::printf("ok\n");
        std::fflush(stdout);
    }
    return 0;
}
