// SPDX-License-Identifier: MIT
#include "platform/x11/x11keysender.h"

#include "platform/x11/x11connection.h"

#include <xcb/xcb.h>
#include <xcb/xtest.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <memory>
#include <thread>

namespace {

// Where the keys sit on a US keyboard, for when the layout cannot be read.
constexpr uint8_t fallbackV = 55;
constexpr uint8_t fallbackControl = 37;
constexpr uint8_t fallbackShift = 50;

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
struct KeymapDeleter
{
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};
struct StateDeleter
{
    void operator()(xkb_state *state) const { xkb_state_unref(state); }
};
struct ContextDeleter
{
    void operator()(xkb_context *context) const { xkb_context_unref(context); }
};

// The first key that yields this symbol without modifiers in the given layout.
uint8_t keyFor(xkb_keymap *keymap, xkb_layout_index_t layout, xkb_keysym_t wanted)
{
    const xkb_keycode_t last = std::min<xkb_keycode_t>(xkb_keymap_max_keycode(keymap), 255);
    for (xkb_keycode_t key = xkb_keymap_min_keycode(keymap); key <= last; ++key) {
        const xkb_keysym_t *symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, key, layout, 0, &symbols);
        for (int i = 0; i < count; ++i) {
            if (symbols[i] == wanted)
                return uint8_t(key);
        }
    }
    return 0;
}

} // namespace

struct X11KeySender::Keys
{
    uint8_t v = fallbackV;
    uint8_t control = fallbackControl;
    uint8_t shift = fallbackShift;
    uint16_t numLockMask = 0;
};

X11KeySender::X11KeySender(std::chrono::milliseconds modifierPatience)
    : m_connection(std::make_unique<X11Connection>())
    , m_modifierPatience(modifierPatience)
{
    if (!m_connection->isValid())
        return;
    xcb_connection_t *c = m_connection->xcb();
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(c, &xcb_test_id);
    m_xtest = xtest && xtest->present;
    m_xkb = xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                        XKB_X11_MIN_MINOR_XKB_VERSION,
                                        XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                        nullptr, nullptr);
}

X11KeySender::~X11KeySender() = default;

bool X11KeySender::isTrusted() const
{
    return m_xtest && m_connection->isValid();
}

X11KeySender::Keys X11KeySender::currentKeys() const
{
    Keys keys;
    if (!m_xkb)
        return keys;
    // Read afresh each time: the user may have switched layouts since the last paste.
    xcb_connection_t *c = m_connection->xcb();
    std::unique_ptr<xkb_context, ContextDeleter> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const int32_t device = xkb_x11_get_core_keyboard_device_id(c);
    if (!context || device < 0)
        return keys;
    std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_x11_keymap_new_from_device(context.get(), c, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!keymap)
        return keys;
    std::unique_ptr<xkb_state, StateDeleter> state(
        xkb_x11_state_new_from_device(keymap.get(), c, device));
    const xkb_layout_index_t layout =
        state ? xkb_state_serialize_layout(state.get(), XKB_STATE_LAYOUT_EFFECTIVE) : 0;

    if (const uint8_t key = keyFor(keymap.get(), layout, XKB_KEY_v))
        keys.v = key;
    if (const uint8_t key = keyFor(keymap.get(), layout, XKB_KEY_Control_L))
        keys.control = key;
    if (const uint8_t key = keyFor(keymap.get(), layout, XKB_KEY_Shift_L))
        keys.shift = key;

    // NumLock is a modifier bit that is set while nothing is held; which bit it is varies.
    if (const uint8_t numLock = keyFor(keymap.get(), layout, XKB_KEY_Num_Lock)) {
        std::unique_ptr<xcb_get_modifier_mapping_reply_t, FreeDeleter> mapping(
            xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
        if (mapping) {
            const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping.get());
            const int perModifier = mapping->keycodes_per_modifier;
            for (int modifier = 0; modifier < 8; ++modifier) {
                for (int i = 0; i < perModifier; ++i) {
                    if (codes[modifier * perModifier + i] == numLock)
                        keys.numLockMask |= uint16_t(1u << modifier);
                }
            }
        }
    }
    return keys;
}

void X11KeySender::waitForModifiersReleased(uint16_t ignoredMask) const
{
    xcb_connection_t *c = m_connection->xcb();
    const uint16_t modifiers = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1
        | XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 | XCB_MOD_MASK_5;
    const uint16_t watched = modifiers & ~ignoredMask;
    const auto deadline = std::chrono::steady_clock::now() + m_modifierPatience;
    for (;;) {
        std::unique_ptr<xcb_query_pointer_reply_t, FreeDeleter> pointer(xcb_query_pointer_reply(
            c, xcb_query_pointer(c, m_connection->root()), nullptr));
        if (!pointer || !(pointer->mask & watched) || std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool X11KeySender::sendPaste(bool terminal)
{
    if (!isTrusted())
        return false;
    const Keys keys = currentKeys();
    waitForModifiersReleased(keys.numLockMask);

    xcb_connection_t *c = m_connection->xcb();
    QList<std::pair<uint8_t, uint8_t>> events; // type, key
    events << std::pair{uint8_t(XCB_KEY_PRESS), keys.control};
    if (terminal)
        events << std::pair{uint8_t(XCB_KEY_PRESS), keys.shift};
    events << std::pair{uint8_t(XCB_KEY_PRESS), keys.v} << std::pair{uint8_t(XCB_KEY_RELEASE), keys.v};
    if (terminal)
        events << std::pair{uint8_t(XCB_KEY_RELEASE), keys.shift};
    events << std::pair{uint8_t(XCB_KEY_RELEASE), keys.control};

    QList<xcb_void_cookie_t> cookies;
    for (const auto &[type, key] : events)
        cookies << xcb_test_fake_input_checked(c, type, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    bool sent = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (xcb_generic_error_t *error = xcb_request_check(c, cookie)) {
            sent = false;
            std::free(error);
        }
    }
    return sent && m_connection->isValid();
}
