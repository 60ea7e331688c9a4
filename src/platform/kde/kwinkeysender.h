// SPDX-License-Identifier: MIT
#pragma once

#include "platform/jobthread.h"
#include "platform/keysender.h"

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <memory>

class WaylandConnection;
struct org_kde_kwin_fake_input;
struct wl_keyboard;
struct wl_seat;

// Types the paste keystroke through KWin's fake input, which KWin offers only to programs whose
// desktop file lists org_kde_kwin_fake_input under X-KDE-Wayland-Interfaces. The keys are key
// positions that KWin reads with the user's own layout, so the "v" is looked up in the keymap
// KWin hands our keyboard; the keys join those of the user's keyboard, modifiers included.
//
// Like the virtual keyboard's sender, the connection lives on a thread of its own and every wait
// on the compositor happens there: the caller never waits on KWin.
class KWinKeySender : public QObject, public KeySender
{
    Q_OBJECT

public:
    // display: the compositor of WAYLAND_DISPLAY when empty. Starts connecting at once, on the
    // sender's thread; every wait on the compositor ends after timeoutMs.
    explicit KWinKeySender(const QByteArray &display = {}, int timeoutMs = 1000, QObject *parent = nullptr);
    ~KWinKeySender() override;

    // False once KWin is known to refuse us its fake input; presumed there until then, also while
    // KWin did not answer in time.
    bool isTrusted() const override;
    // Hands the keys to the sender's thread and returns at once; false only when KWin is known to
    // refuse them. pasted() tells the outcome.
    bool sendPaste(bool terminal) override;

    // The Linux key code that types "v" in the keymap KWin gave (KEY_V where none came).
    quint32 pasteKey() const { return m_keyV; }
    // The Linux key code that types "v" in the first layout of this keymap (XKB text); KEY_V
    // when it types none or the keymap cannot be read.
    static quint32 pasteKeyIn(const QByteArray &keymap);

signals:
    // The first connection was made with fake input offered, or it failed.
    void ready(bool offered);
    // KWin took the keys of one paste, or did not within the deadline.
    void pasted(bool confirmed);

private:
    enum class Trust { presumed, offered, refused };

    // On the sender's thread, like everything below.
    bool open();
    void close();
    void typePaste(bool terminal);
    static void keymap(void *data, wl_keyboard *keyboard, quint32 format, int fd, quint32 size);

    QByteArray m_display;
    int m_timeoutMs;
    std::atomic<Trust> m_trust = Trust::presumed;
    std::atomic<quint32> m_keyV;

    JobThread m_thread;

    // The thread's own.
    std::unique_ptr<WaylandConnection> m_connection;
    org_kde_kwin_fake_input *m_input = nullptr;
    wl_seat *m_seat = nullptr;
    wl_keyboard *m_keyboard = nullptr;
};
