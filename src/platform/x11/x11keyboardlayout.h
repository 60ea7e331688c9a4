// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keyboardlayout.h"

#include <QByteArray>

struct xcb_connection_t;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// The X server's keyboard layout read through XKB on a connection of its own. Layout and group
// changes (setxkbmap, a layout switch) are noticed at the next lookup.
class X11KeyboardLayout : public KeyboardLayout
{
public:
    // Connects to this display ($DISPLAY when empty); without a server or XKB, no layout.
    explicit X11KeyboardLayout(const QByteArray &displayName = {});
    ~X11KeyboardLayout() override;

    X11KeyboardLayout(const X11KeyboardLayout &) = delete;
    X11KeyboardLayout &operator=(const X11KeyboardLayout &) = delete;

    // Whether a keymap could be read from the server.
    bool isReadable() const { return m_keymap != nullptr; }

    std::optional<QString> text(quint32 keyCode) override;

private:
    void readKeymap();
    void takeEvents();

    xcb_connection_t *m_connection = nullptr;
    xkb_context *m_context = nullptr;
    xkb_keymap *m_keymap = nullptr;
    xkb_state *m_state = nullptr;
    qint32 m_deviceId = -1;
    quint8 m_xkbEventBase = 0;
};
