// SPDX-License-Identifier: MIT
// Keys and a pointer for the headless KWin, which has no input devices: each argument is typed
// through KWin's fake input, which KWin offers only to a program its desktop files name (the
// test writes one). Arguments, in order:
//   key COMBO    a combination as xdotool names it ("shift+super+c", "Return", "ctrl+v")
//   type TEXT    lower-case letters, digits and spaces of a US keyboard
//   move X Y     the pointer to X, Y of the layout
// Exits 0 once KWin has taken every step, 1 when KWin offers no fake input to this program.
#include "fake-input-client-protocol.h"

#include <wayland-client.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <linux/input-event-codes.h>
#include <string>
#include <thread>
#include <vector>

namespace {
org_kde_kwin_fake_input *input = nullptr;

void announced(void *, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        input = static_cast<org_kde_kwin_fake_input *>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}
void removed(void *, wl_registry *, uint32_t) {}

struct Name
{
    const char *name;
    uint32_t code;
};
const Name names[] = {
    {"ctrl", KEY_LEFTCTRL}, {"shift", KEY_LEFTSHIFT}, {"alt", KEY_LEFTALT}, {"super", KEY_LEFTMETA},
    {"Return", KEY_ENTER}, {"Escape", KEY_ESC}, {"BackSpace", KEY_BACKSPACE}, {"space", KEY_SPACE},
    {"Down", KEY_DOWN}, {"Right", KEY_RIGHT},
};
const char letters[] = "qwertyuiopasdfghjklzxcvbnm";
const uint32_t letterCodes[] = {KEY_Q, KEY_W, KEY_E, KEY_R, KEY_T, KEY_Y, KEY_U, KEY_I, KEY_O, KEY_P,
                                KEY_A, KEY_S, KEY_D, KEY_F, KEY_G, KEY_H, KEY_J, KEY_K, KEY_L,
                                KEY_Z, KEY_X, KEY_C, KEY_V, KEY_B, KEY_N, KEY_M};

// The key at a name's US position; 0 for names we do not know.
uint32_t code(const std::string &name)
{
    for (const Name &n : names)
        if (name == n.name)
            return n.code;
    if (name.size() == 1) {
        const char c = name[0];
        if (const char *at = std::strchr(letters, c | 0x20); at && std::isalpha(static_cast<unsigned char>(c)))
            return letterCodes[at - letters];
        if (c == '0')
            return KEY_0;
        if (c >= '1' && c <= '9')
            return KEY_1 + uint32_t(c - '1');
        if (c == ' ')
            return KEY_SPACE;
    }
    return 0;
}

bool combo(const std::string &text)
{
    std::vector<uint32_t> keys;
    size_t start = 0;
    while (start <= text.size()) {
        size_t plus = text.find('+', start);
        if (plus == start) // "ctrl++" would name the plus key: not needed
            return false;
        const std::string part = text.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        const uint32_t c = code(part);
        if (!c) {
            std::fprintf(stderr, "kdeinput: no key named %s\n", part.c_str());
            return false;
        }
        keys.push_back(c);
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    for (uint32_t key : keys)
        org_kde_kwin_fake_input_keyboard_key(input, key, 1);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        org_kde_kwin_fake_input_keyboard_key(input, *key, 0);
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "kdeinput: no compositor\n");
        return 1;
    }
    wl_registry *registry = wl_display_get_registry(display);
    static const wl_registry_listener listener = {&announced, &removed};
    wl_registry_add_listener(registry, &listener, nullptr);
    wl_display_roundtrip(display);
    if (!input) {
        std::fprintf(stderr, "kdeinput: KWin offers this program no fake input\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "Kiwano Snapper tests", "drives the program in a test");
    for (int i = 1; i < argc; ++i) {
        const std::string step = argv[i];
        bool ok = true;
        if (step == "key" && i + 1 < argc) {
            ok = combo(argv[++i]);
        } else if (step == "type" && i + 1 < argc) {
            for (const char *c = argv[++i]; *c && ok; ++c) {
                ok = combo(std::string(1, *c));
                wl_display_roundtrip(display);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        } else if (step == "move" && i + 2 < argc) {
            const double x = std::atof(argv[i + 1]), y = std::atof(argv[i + 2]);
            i += 2;
            org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_double(x), wl_fixed_from_double(y));
        } else {
            std::fprintf(stderr, "kdeinput: cannot do %s\n", step.c_str());
            ok = false;
        }
        if (!ok || wl_display_roundtrip(display) < 0)
            return 1;
    }
    org_kde_kwin_fake_input_destroy(input);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
