// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keysender.h"

#include <QByteArray>

#include <memory>

class WaylandConnection;
struct wl_seat;
struct xkb_state;
struct zwp_virtual_keyboard_manager_v1;
struct zwp_virtual_keyboard_v1;

// Types the paste keystroke through the compositor's virtual keyboard (wlroots compositors), on
// a connection of its own. The keyboard carries a small keymap of its own, so its keys mean
// Control, Shift and "v" whatever layout the user types with. The compositor keeps its modifiers
// apart from those of the user's keyboard: a modifier the user still holds does not mix in, so
// nothing waits for it to be let go.
class WaylandKeySender : public KeySender
{
public:
    // display: the compositor of WAYLAND_DISPLAY when empty. Connects at once; every wait on the
    // compositor, here and in sendPaste, ends after timeoutMs.
    explicit WaylandKeySender(const QByteArray &display = {}, int timeoutMs = 250);
    ~WaylandKeySender() override;

    // True when the compositor offers the virtual keyboard.
    bool isTrusted() const override;
    // Types the keys and waits for the compositor to confirm them. False when no compositor
    // answered, it lacks the protocol, or the connection broke; a broken connection is replaced
    // by a fresh one at the next paste, for a compositor that restarted.
    bool sendPaste(bool terminal) override;

private:
    bool connect();
    void disconnect();
    void key(quint32 code, bool pressed);

    QByteArray m_display;
    int m_timeoutMs;
    std::unique_ptr<WaylandConnection> m_connection;
    wl_seat *m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1 *m_manager = nullptr;
    zwp_virtual_keyboard_v1 *m_keyboard = nullptr;
    xkb_state *m_state = nullptr;
    bool m_offered = false;
};
