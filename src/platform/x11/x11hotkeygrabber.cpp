// SPDX-License-Identifier: MIT
#include "platform/x11/x11hotkeygrabber.h"

#include "platform/keycodes.h"

#include <QGuiApplication>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr quint16 coreModifierBits = 0xff;
constexpr xcb_keysym_t numLockKeysym = 0xff7f;
constexpr quint8 badAccess = 10;

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t *qtConnection()
{
    auto *app = qGuiApp;
    if (!app)
        return nullptr;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

} // namespace

X11HotKeyGrabber::X11HotKeyGrabber() : m_connection(qtConnection())
{
    if (!m_connection)
        return;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem; xcb_screen_next(&it))
        m_roots.append(it.data->root);
    qGuiApp->installNativeEventFilter(this);
}

X11HotKeyGrabber::~X11HotKeyGrabber()
{
    if (!m_connection)
        return;
    if (qGuiApp)
        qGuiApp->removeNativeEventFilter(this);
    for (const Grab &grab : std::as_const(m_grabs))
        ungrab(grab.x11KeyCode, grab.variants);
    xcb_flush(m_connection);
}

bool X11HotKeyGrabber::isAvailable()
{
    return qtConnection() != nullptr;
}

void X11HotKeyGrabber::installPressHandler(PressHandler handler)
{
    m_handler = std::move(handler);
}

std::optional<HotKeyGrabber::Handle> X11HotKeyGrabber::grab(quint32 keyCode, quint32 x11Modifiers,
                                                            HotKeyId id)
{
    const auto x11KeyCode = KeyCodes::toX11(keyCode);
    if (!m_connection || !x11KeyCode || *x11KeyCode > 255)
        return std::nullopt;
    // The server lets a client grab its own combination twice; releasing either would then drop
    // both, so a second grab is refused here.
    const quint16 modifiers = quint16(x11Modifiers & coreModifierBits);
    for (const Grab &held : std::as_const(m_grabs)) {
        if (held.x11KeyCode == *x11KeyCode && held.modifiers == modifiers)
            return std::nullopt;
    }

    // The locks change the state a press arrives with, so each combination is grabbed once per
    // lock state. Num Lock sits on whichever modifier the keymap gives it.
    const quint16 numLock = numLockMask();
    m_lockMasks = XCB_MOD_MASK_LOCK | numLock;
    QList<quint16> wanted{0, XCB_MOD_MASK_LOCK};
    if (numLock && numLock != XCB_MOD_MASK_LOCK)
        wanted << numLock << quint16(numLock | XCB_MOD_MASK_LOCK);

    QList<std::pair<quint16, xcb_void_cookie_t>> requests;
    for (quint32 root : std::as_const(m_roots)) {
        for (quint16 variant : std::as_const(wanted)) {
            const auto cookie = xcb_grab_key_checked(m_connection, false, root, modifiers | variant,
                                                     quint8(*x11KeyCode), XCB_GRAB_MODE_ASYNC,
                                                     XCB_GRAB_MODE_ASYNC);
            requests.append({quint16(modifiers | variant), cookie});
        }
    }

    // Any refusal (BadAccess: another client holds the combination) fails the whole shortcut, so
    // a half-grabbed key never fires with one lock state and not the other.
    bool refused = false;
    QList<quint16> granted;
    for (const auto &[mask, cookie] : std::as_const(requests)) {
        XcbReply<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie), &std::free);
        if (error)
            refused = true;
        else if (!granted.contains(mask))
            granted.append(mask);
    }
    if (refused || m_roots.isEmpty()) {
        ungrab(quint8(*x11KeyCode), granted);
        xcb_flush(m_connection);
        return std::nullopt;
    }
    const Handle handle = m_nextHandle++;
    m_grabs.insert(handle, Grab{quint8(*x11KeyCode), quint16(modifiers), id, granted});
    return handle;
}

void X11HotKeyGrabber::release(Handle handle)
{
    const auto it = m_grabs.constFind(handle);
    if (it == m_grabs.cend())
        return;
    ungrab(it->x11KeyCode, it->variants);
    m_grabs.erase(it);
    xcb_flush(m_connection);
}

void X11HotKeyGrabber::ungrab(quint8 x11KeyCode, const QList<quint16> &masks) const
{
    for (quint32 root : m_roots) {
        for (quint16 modifiers : masks)
            xcb_ungrab_key(m_connection, x11KeyCode, root, modifiers);
    }
}

quint16 X11HotKeyGrabber::numLockMask() const
{
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_connection);
    if (!symbols)
        return 0;
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> numLockCodes(
        xcb_key_symbols_get_keycode(symbols, numLockKeysym), &std::free);
    xcb_key_symbols_free(symbols);
    if (!numLockCodes)
        return 0;

    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr),
        &std::free);
    if (!mapping)
        return 0;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t code = codes[modifier * perModifier + i];
            if (code == 0)
                continue;
            for (const xcb_keycode_t *n = numLockCodes.get(); *n != XCB_NO_SYMBOL; ++n) {
                if (*n == code)
                    return quint16(1u << modifier);
            }
        }
    }
    return 0;
}

bool X11HotKeyGrabber::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_handler || m_grabs.isEmpty())
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);
    if (type == XCB_KEY_RELEASE) {
        if (key->detail == m_downKey) {
            m_downKey = 0;
            m_releasedKey = key->detail;
            m_releaseTime = key->time;
        }
        return false;
    }
    if (!m_roots.contains(key->event))
        return false;
    const quint16 state = key->state & coreModifierBits & ~m_lockMasks;
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.x11KeyCode != key->detail || grab.modifiers != state)
            continue;
        // Holding a shortcut is one press. The server repeats a held key either as presses
        // without releases (detectable auto-repeat, which Qt asks for) or as a release and a
        // press with the same time. A release that went to another client's keyboard grab
        // (the capture tool's) is not waited for past a second.
        const bool repeated = (key->detail == m_downKey && key->time - m_downTime < 1000)
            || (key->detail == m_releasedKey && key->time == m_releaseTime);
        m_downKey = key->detail;
        m_downTime = key->time;
        return repeated || m_handler(grab.id);
    }
    return false;
}
