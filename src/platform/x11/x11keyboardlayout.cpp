// SPDX-License-Identifier: MIT
#include "platform/x11/x11keyboardlayout.h"

#include "platform/keycodes.h"

#include <xcb/xcb.h>
// The XKB protocol header names a field "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

X11KeyboardLayout::X11KeyboardLayout(const QByteArray &displayName)
{
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    if (!xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                     XKB_X11_MIN_MINOR_XKB_VERSION,
                                     XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr,
                                     &m_xkbEventBase, nullptr)) {
        return;
    }
    m_context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);

    // A new keymap (setxkbmap), a changed one (xmodmap) and a group switch all change what a key
    // position types.
    const quint16 events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY
        | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    const quint16 mapParts = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS
        | XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS
        | XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_VIRTUAL_MODS
        | XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    xcb_xkb_select_events(m_connection, XCB_XKB_ID_USE_CORE_KBD, events, 0, events, mapParts,
                          mapParts, nullptr);
    readKeymap();
}

X11KeyboardLayout::~X11KeyboardLayout()
{
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    xkb_context_unref(m_context);
    if (m_connection)
        xcb_disconnect(m_connection);
}

void X11KeyboardLayout::readKeymap()
{
    xkb_state_unref(m_state);
    xkb_keymap_unref(m_keymap);
    m_state = nullptr;
    m_keymap = nullptr;
    if (!m_context)
        return;
    m_deviceId = xkb_x11_get_core_keyboard_device_id(m_connection);
    if (m_deviceId < 0)
        return;
    m_keymap = xkb_x11_keymap_new_from_device(m_context, m_connection, m_deviceId,
                                              XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (m_keymap)
        m_state = xkb_x11_state_new_from_device(m_keymap, m_connection, m_deviceId);
    if (!m_state) {
        xkb_keymap_unref(m_keymap);
        m_keymap = nullptr;
    }
}

void X11KeyboardLayout::takeEvents()
{
    if (!m_connection || !m_context)
        return;
    bool reload = false;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        if ((event->response_type & 0x7f) == m_xkbEventBase) {
            // Every XKB event carries its kind in the second byte.
            const quint8 kind = reinterpret_cast<const xcb_xkb_state_notify_event_t *>(event)->xkbType;
            if (kind == XCB_XKB_NEW_KEYBOARD_NOTIFY || kind == XCB_XKB_MAP_NOTIFY) {
                reload = true;
            } else if (kind == XCB_XKB_STATE_NOTIFY && m_state && !reload) {
                const auto *state = reinterpret_cast<const xcb_xkb_state_notify_event_t *>(event);
                xkb_state_update_mask(m_state, state->baseMods, state->latchedMods,
                                      state->lockedMods, state->baseGroup, state->latchedGroup,
                                      state->lockedGroup);
            }
        }
        std::free(event);
    }
    if (reload || !m_keymap)
        readKeymap();
}

std::optional<QString> X11KeyboardLayout::text(quint32 keyCode)
{
    takeEvents();
    const auto x11KeyCode = KeyCodes::toX11(keyCode);
    if (!m_keymap || !x11KeyCode)
        return std::nullopt;
    const xkb_layout_index_t group = xkb_state_key_get_layout(m_state, *x11KeyCode);
    if (group == XKB_LAYOUT_INVALID)
        return std::nullopt;
    const xkb_keysym_t *symbols = nullptr;
    if (xkb_keymap_key_get_syms_by_level(m_keymap, *x11KeyCode, group, 0, &symbols) < 1)
        return std::nullopt;
    // Dead keys and function keys have no text of their own: the conversion yields nothing.
    char utf8[16];
    const int size = xkb_keysym_to_utf8(symbols[0], utf8, sizeof utf8);
    if (size <= 1)
        return std::nullopt;
    const QString text = QString::fromUtf8(utf8, size - 1);
    // Return, Tab, Escape and the like produce control characters, which are no name to show.
    if (text.size() == 1 && (text.at(0) < QChar(0x20) || text.at(0) == QChar(0x7f)))
        return std::nullopt;
    return text;
}
