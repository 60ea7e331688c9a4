// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandkeysender.h"

#include "platform/wayland/waylandconnection.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <QScopeGuard>

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Linux input codes; the keymap names them by these plus 8, as every Linux keymap does.
constexpr quint32 leftControl = 29;
constexpr quint32 leftShift = 42;
constexpr quint32 keyV = 47;
constexpr quint32 xkbOffset = 8;

// Only the three keys we type, at the places a US keyboard has them.
constexpr char keymapText[] = R"(xkb_keymap {
xkb_keycodes "kiwano" {
    minimum = 8;
    maximum = 255;
    <LCTL> = 37;
    <LFSH> = 50;
    <AB04> = 55;
};
xkb_types "kiwano" {
    type "ONE_LEVEL" {
        modifiers = none;
        level_name[Level1] = "Any";
    };
    type "ALPHABETIC" {
        modifiers = Shift;
        map[Shift] = Level2;
        level_name[Level1] = "Base";
        level_name[Level2] = "Caps";
    };
};
xkb_compatibility "kiwano" {
    interpret Control_L { action = SetMods(modifiers = Control); };
    interpret Shift_L { action = SetMods(modifiers = Shift); };
};
xkb_symbols "kiwano" {
    key <LCTL> { type = "ONE_LEVEL", [ Control_L ] };
    key <LFSH> { type = "ONE_LEVEL", [ Shift_L ] };
    key <AB04> { type = "ALPHABETIC", [ v, V ] };
    modifier_map Control { <LCTL> };
    modifier_map Shift { <LFSH> };
};
};
)";

// The keymap compiled here and its text as the compositor will read it; nothing when
// xkbcommon refuses it.
xkb_keymap *compileKeymap()
{
    xkb_context *context = xkb_context_new(
        xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES));
    if (!context)
        return nullptr;
    xkb_keymap *keymap = xkb_keymap_new_from_string(context, keymapText, XKB_KEYMAP_FORMAT_TEXT_V1,
                                                    XKB_KEYMAP_COMPILE_NO_FLAGS);
    xkb_context_unref(context);
    return keymap;
}

// The keymap in a sealed memory file, as the protocol wants it; -1 when that fails.
int keymapFile(const QByteArray &text)
{
    const int fd = memfd_create("kiwano-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0)
        return -1;
    qsizetype written = 0;
    while (written < text.size() + 1) { // the terminating NUL belongs to the keymap
        const ssize_t n = ::write(fd, text.constData() + written, size_t(text.size() + 1 - written));
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        written += n;
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

quint32 milliseconds()
{
    using namespace std::chrono;
    return quint32(duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace

WaylandKeySender::WaylandKeySender(const QByteArray &display, int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_display(display)
    , m_timeoutMs(timeoutMs)
{
    m_thread.post([this] { emit ready(openKeyboard()); });
}

WaylandKeySender::~WaylandKeySender()
{
    // A paste in progress ends within its deadline; the ones queued behind it are dropped.
    m_thread.stop();
    closeKeyboard();
}

bool WaylandKeySender::isTrusted() const
{
    return m_trust != Trust::refused;
}

bool WaylandKeySender::openKeyboard()
{
    auto refused = qScopeGuard([this] { m_trust = Trust::refused; });
    m_connection = WaylandConnection::open(m_display, m_timeoutMs);
    if (!m_connection)
        return false;
    m_seat = static_cast<wl_seat *>(m_connection->bind(&wl_seat_interface, 1));
    m_manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
        m_connection->bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    xkb_keymap *keymap = compileKeymap();
    if (!m_seat || !m_manager || !keymap) {
        xkb_keymap_unref(keymap);
        closeKeyboard();
        return false;
    }
    m_state = xkb_state_new(keymap);
    char *text = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    xkb_keymap_unref(keymap);
    const int fd = text ? keymapFile(QByteArray(text)) : -1;
    const quint32 size = text ? quint32(std::strlen(text) + 1) : 0;
    std::free(text);
    if (fd < 0 || !m_state) {
        if (fd >= 0)
            ::close(fd);
        closeKeyboard();
        return false;
    }
    m_keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_manager, m_seat);
    zwp_virtual_keyboard_v1_keymap(m_keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, size);
    ::close(fd); // the request carries a copy
    // Keys sent before the compositor has taken the keymap are dropped: the first paste would
    // lose its Control.
    if (!m_connection->roundtrip(m_timeoutMs)) {
        closeKeyboard();
        return false;
    }
    refused.dismiss();
    m_trust = Trust::offered;
    return true;
}

void WaylandKeySender::closeKeyboard()
{
    if (m_keyboard)
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    if (m_manager)
        zwp_virtual_keyboard_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_state)
        xkb_state_unref(m_state);
    m_keyboard = nullptr;
    m_manager = nullptr;
    m_seat = nullptr;
    m_state = nullptr;
    if (m_connection && m_connection->isAlive())
        wl_display_flush(m_connection->display());
    m_connection.reset();
}

// The compositor does not work out modifiers from our keys: each key is followed by the state it
// leaves, as a real keyboard reports it.
void WaylandKeySender::key(quint32 code, bool pressed)
{
    xkb_state_update_key(m_state, code + xkbOffset, pressed ? XKB_KEY_DOWN : XKB_KEY_UP);
    zwp_virtual_keyboard_v1_key(m_keyboard, milliseconds(), code,
                                pressed ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    zwp_virtual_keyboard_v1_modifiers(m_keyboard,
                                      xkb_state_serialize_mods(m_state, XKB_STATE_MODS_DEPRESSED),
                                      xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LATCHED),
                                      xkb_state_serialize_mods(m_state, XKB_STATE_MODS_LOCKED),
                                      xkb_state_serialize_layout(m_state, XKB_STATE_LAYOUT_EFFECTIVE));
}

bool WaylandKeySender::sendPaste(bool terminal)
{
    if (m_trust == Trust::refused)
        return false;
    m_thread.post([this, terminal] { typePaste(terminal); });
    return true;
}

void WaylandKeySender::typePaste(bool terminal)
{
    if (!m_keyboard || !m_connection->isAlive()) {
        closeKeyboard();
        if (!openKeyboard()) {
            emit pasted(false);
            return;
        }
    }
    key(leftControl, true);
    if (terminal)
        key(leftShift, true);
    key(keyV, true);
    key(keyV, false);
    if (terminal)
        key(leftShift, false);
    key(leftControl, false);
    if (m_connection->roundtrip(m_timeoutMs)) {
        emit pasted(true);
        return;
    }
    closeKeyboard();
    emit pasted(false);
}
