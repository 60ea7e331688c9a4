// SPDX-License-Identifier: MIT
#pragma once

#include "platform/jobthread.h"
#include "platform/keysender.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
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
//
// The connection lives on a thread of its own, and every wait on the compositor happens there:
// a compositor that stops answering costs the caller nothing, and the keys of one paste never
// mix with those of the next.
class WaylandKeySender : public QObject, public KeySender
{
    Q_OBJECT

public:
    // display: the compositor of WAYLAND_DISPLAY when empty. Starts connecting at once, on the
    // sender's thread; every wait on the compositor, there and for each paste, ends after
    // timeoutMs.
    explicit WaylandKeySender(const QByteArray &display = {}, int timeoutMs = 250, QObject *parent = nullptr);
    ~WaylandKeySender() override;

    // False once the compositor is known to offer no virtual keyboard (or no compositor
    // answered); while the first connection is being made the keyboard is presumed there.
    bool isTrusted() const override;
    // Whether the first connection is settled, either way.
    bool isReady() const { return m_trust != Trust::presumed; }
    // Hands the keys to the sender's thread and returns at once; false only when the compositor
    // is known to offer no keyboard. The thread types them once the connection is made and waits
    // for the compositor to confirm them; pasted() tells the outcome. A broken connection is
    // replaced by a fresh one at the next paste, for a compositor that restarted.
    bool sendPaste(bool terminal) override;

signals:
    // The first connection was made with the keyboard in place (offered), or it failed.
    void ready(bool offered);
    // The compositor confirmed the keys of one paste, or did not within the deadline.
    void pasted(bool confirmed);

private:
    enum class Trust { presumed, offered, refused };

    // On the sender's thread, like everything below.
    bool openKeyboard();
    void closeKeyboard();
    void key(quint32 code, bool pressed);
    void typePaste(bool terminal);

    QByteArray m_display;
    int m_timeoutMs;
    std::atomic<Trust> m_trust = Trust::presumed;

    JobThread m_thread;

    // The thread's own.
    std::unique_ptr<WaylandConnection> m_connection;
    wl_seat *m_seat = nullptr;
    zwp_virtual_keyboard_manager_v1 *m_manager = nullptr;
    zwp_virtual_keyboard_v1 *m_keyboard = nullptr;
    xkb_state *m_state = nullptr;
};
