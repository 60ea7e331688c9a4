// SPDX-License-Identifier: MIT
#include "platform/kde/kwinkeysender.h"

#include "platform/wayland/waylandconnection.h"

#include "fake-input-client-protocol.h"

#include <QScopeGuard>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>
#include <optional>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Linux input codes; xkb names them by these plus 8.
constexpr quint32 leftControl = 29;
constexpr quint32 leftShift = 42;
constexpr quint32 keyV = 47;
constexpr quint32 xkbOffset = 8;
constexpr quint32 pressed = 1;
constexpr quint32 released = 0;

// The key that types a lower-case "v" in the keymap's first layout, with no modifier.
std::optional<quint32> keyTyping(xkb_keymap *keymap, xkb_keysym_t wanted)
{
    for (xkb_keycode_t code = xkb_keymap_min_keycode(keymap); code <= xkb_keymap_max_keycode(keymap); ++code) {
        const xkb_keysym_t *symbols = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, code, 0, 0, &symbols);
        if (count == 1 && symbols[0] == wanted && code >= xkbOffset)
            return code - xkbOffset;
    }
    return std::nullopt;
}

} // namespace

KWinKeySender::KWinKeySender(const QByteArray &display, int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_timeoutMs(timeoutMs)
    , m_keyV(keyV)
{
    m_thread.post([this] { emit ready(open()); });
}

KWinKeySender::~KWinKeySender()
{
    m_thread.stop();
    close();
}

bool KWinKeySender::isTrusted() const
{
    return m_trust != Trust::refused;
}

quint32 KWinKeySender::pasteKeyIn(const QByteArray &text)
{
    quint32 found = keyV;
    xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    xkb_keymap *keymap = context ? xkb_keymap_new_from_buffer(context, text.constData(), size_t(text.size()),
                                                              XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
                                 : nullptr;
    if (keymap) {
        if (const auto code = keyTyping(keymap, XKB_KEY_v))
            found = *code;
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    return found;
}

void KWinKeySender::keymap(void *data, wl_keyboard *, quint32 format, int fd, quint32 size)
{
    auto *self = static_cast<KWinKeySender *>(data);
    auto closeFd = qScopeGuard([fd] { ::close(fd); });
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0)
        return;
    void *text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (text == MAP_FAILED)
        return;
    // The keymap ends in a NUL that is no part of it.
    self->m_keyV = pasteKeyIn(QByteArray(static_cast<const char *>(text), qsizetype(strnlen(static_cast<const char *>(text), size))));
    munmap(text, size);
}

bool KWinKeySender::open()
{
    // KWin busy with a session starting up may answer late: that is no refusal, and the next
    // paste asks again.
    m_connection = WaylandConnection::open(m_display, m_timeoutMs);
    if (!m_connection)
        return false;
    m_input = static_cast<org_kde_kwin_fake_input *>(
        m_connection->bind(&org_kde_kwin_fake_input_interface, 4));
    if (!m_input || wl_proxy_get_version(reinterpret_cast<wl_proxy *>(m_input)) < 4) {
        // Connected, and KWin offers us no fake input (no desktop file of ours lists it).
        m_trust = Trust::refused;
        close();
        return false;
    }
    org_kde_kwin_fake_input_authenticate(m_input, "Kiwano Snapper",
                                         "Pastes the chosen clipboard entry into the app in front");
    // The user's layout, for the key that types "v"; a seat without a keyboard gives none.
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    if (m_seat) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        static const wl_keyboard_listener listener = {
            &KWinKeySender::keymap,
            [](void *, wl_keyboard *, quint32, wl_surface *, wl_array *) {},
            [](void *, wl_keyboard *, quint32, wl_surface *) {},
            [](void *, wl_keyboard *, quint32, quint32, quint32, quint32) {},
            [](void *, wl_keyboard *, quint32, quint32, quint32, quint32, quint32) {},
            [](void *, wl_keyboard *, int32_t, int32_t) {},
        };
        wl_keyboard_add_listener(m_keyboard, &listener, this);
    }
    if (!m_connection->roundtrip(m_timeoutMs)) {
        close();
        return false;
    }
    m_trust = Trust::offered;
    return true;
}

void KWinKeySender::close()
{
    if (m_keyboard)
        wl_keyboard_destroy(m_keyboard);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_input)
        org_kde_kwin_fake_input_destroy(m_input);
    m_keyboard = nullptr;
    m_seat = nullptr;
    m_input = nullptr;
    if (m_connection && m_connection->isAlive())
        wl_display_flush(m_connection->display());
    m_connection.reset();
}

bool KWinKeySender::sendPaste(bool terminal)
{
    if (m_trust == Trust::refused)
        return false;
    m_thread.post([this, terminal] { typePaste(terminal); });
    return true;
}

void KWinKeySender::typePaste(bool terminal)
{
    if (!m_input || !m_connection->isAlive()) {
        close();
        if (!open()) {
            emit pasted(false);
            return;
        }
    }
    const quint32 v = m_keyV;
    org_kde_kwin_fake_input_keyboard_key(m_input, leftControl, pressed);
    if (terminal)
        org_kde_kwin_fake_input_keyboard_key(m_input, leftShift, pressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, v, pressed);
    org_kde_kwin_fake_input_keyboard_key(m_input, v, released);
    if (terminal)
        org_kde_kwin_fake_input_keyboard_key(m_input, leftShift, released);
    org_kde_kwin_fake_input_keyboard_key(m_input, leftControl, released);
    if (m_connection->roundtrip(m_timeoutMs)) {
        emit pasted(true);
        return;
    }
    close();
    emit pasted(false);
}
