// SPDX-License-Identifier: MIT
// A compositor that offers one output and the wlroots screen copy, and then fails the copy in the
// way the test asks, for the faults a real compositor shows only by chance:
//   kiwano-test-fakecompositor SOCKET [--fail | --remove-output | --silent]
// listens on SOCKET (a name in XDG_RUNTIME_DIR) and prints "ready".
//   --fail            every copy fails (the default)
//   --remove-output   the output goes away as the copy is asked for, and the copy fails
//   --silent          copies are never answered
// It also offers a seat with a virtual keyboard that takes keys and does nothing with them: a test
// that stops the process (SIGSTOP) has a compositor that falls silent in the middle of a paste.
#include "virtual-keyboard-unstable-v1-server-protocol.h"
#include "wlr-screencopy-unstable-v1-server-protocol.h"

#include <wayland-server.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

enum class Fault { fail, removeOutput, silent };
Fault fault = Fault::fail;
wl_global *outputGlobal = nullptr;

void bindOutput(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource *output = wl_resource_create(client, &wl_output_interface, int(std::min(version, 3u)), id);
    wl_resource_set_implementation(output, nullptr, nullptr, nullptr);
    wl_output_send_geometry(output, 0, 0, 300, 200, WL_OUTPUT_SUBPIXEL_UNKNOWN, "fake", "fake",
                            WL_OUTPUT_TRANSFORM_NORMAL);
    wl_output_send_mode(output, WL_OUTPUT_MODE_CURRENT, 640, 480, 60000);
    if (version >= 2) {
        wl_output_send_scale(output, 1);
        wl_output_send_done(output);
    }
}

void destroyResource(wl_client *, wl_resource *resource) { wl_resource_destroy(resource); }

const struct zwlr_screencopy_frame_v1_interface frameImplementation = {
    [](wl_client *, wl_resource *, wl_resource *) {},  // copy: the buffer is never offered
    destroyResource,
};

void captureOutput(wl_client *client, wl_resource *manager, uint32_t id, int32_t, wl_resource *)
{
    wl_resource *frame = wl_resource_create(client, &zwlr_screencopy_frame_v1_interface,
                                            wl_resource_get_version(manager), id);
    wl_resource_set_implementation(frame, &frameImplementation, nullptr, nullptr);
    if (fault == Fault::removeOutput && outputGlobal) {
        wl_global_destroy(outputGlobal);
        outputGlobal = nullptr;
    }
    if (fault != Fault::silent)
        zwlr_screencopy_frame_v1_send_failed(frame);
}

const struct zwlr_screencopy_manager_v1_interface managerImplementation = {
    captureOutput,
    [](wl_client *, wl_resource *, uint32_t, int32_t, wl_resource *, int32_t, int32_t, int32_t, int32_t) {},
    destroyResource,
};

// A global whose objects take this implementation.
template <const wl_interface *interface, auto implementation>
void bind(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource_set_implementation(wl_resource_create(client, interface, int(version), id), implementation, nullptr, nullptr);
}

const struct zwp_virtual_keyboard_v1_interface keyboardImplementation = {
    [](wl_client *, wl_resource *, uint32_t, int32_t fd, uint32_t) { close(fd); },
    [](wl_client *, wl_resource *, uint32_t, uint32_t, uint32_t) {},
    [](wl_client *, wl_resource *, uint32_t, uint32_t, uint32_t, uint32_t) {},
    destroyResource,
};

void createKeyboard(wl_client *client, wl_resource *manager, wl_resource *, uint32_t id)
{
    wl_resource *keyboard = wl_resource_create(client, &zwp_virtual_keyboard_v1_interface,
                                               wl_resource_get_version(manager), id);
    wl_resource_set_implementation(keyboard, &keyboardImplementation, nullptr, nullptr);
}

const struct zwp_virtual_keyboard_manager_v1_interface keyboardManagerImplementation = {createKeyboard};

void bindSeat(wl_client *client, void *, uint32_t version, uint32_t id)
{
    wl_resource *seat = wl_resource_create(client, &wl_seat_interface, int(std::min(version, 1u)), id);
    wl_resource_set_implementation(seat, nullptr, nullptr, nullptr);
    wl_seat_send_capabilities(seat, 0);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    if (argc > 2 && std::strcmp(argv[2], "--remove-output") == 0)
        fault = Fault::removeOutput;
    else if (argc > 2 && std::strcmp(argv[2], "--silent") == 0)
        fault = Fault::silent;
    wl_display *display = wl_display_create();
    if (!display || wl_display_add_socket(display, argv[1]) != 0)
        return 1;
    wl_display_init_shm(display);
    outputGlobal = wl_global_create(display, &wl_output_interface, 3, nullptr, bindOutput);
    wl_global_create(display, &zwlr_screencopy_manager_v1_interface, 1, nullptr,
                     bind<&zwlr_screencopy_manager_v1_interface, &managerImplementation>);
    wl_global_create(display, &wl_seat_interface, 1, nullptr, bindSeat);
    wl_global_create(display, &zwp_virtual_keyboard_manager_v1_interface, 1, nullptr,
                     bind<&zwp_virtual_keyboard_manager_v1_interface, &keyboardManagerImplementation>);
    std::printf("ready\n");
    std::fflush(stdout);
    wl_display_run(display);
    return 0;
}
