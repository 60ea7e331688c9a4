// SPDX-License-Identifier: MIT
#pragma once

#include <QtGlobal>

#include <array>
#include <functional>
#include <optional>

// The identity a global shortcut is registered under: a four-character signature and a number.
struct HotKeyId
{
    quint32 signature = 0;
    quint32 number = 0;

    friend bool operator==(const HotKeyId &, const HotKeyId &) = default;
};

// The actions a desktop binds for us where it owns the keys, by HotKeyId number: the name the
// shortcut is stored under and the words the desktop shows for it.
struct BoundAction
{
    const char *name;
    const char *title;
};
inline constexpr std::array<BoundAction, 4> boundActions{{
    {"grabRegion", "Grab Region"},
    {"grabWindow", "Grab Window"},
    {"grabScreen", "Grab Whole Screen"},
    {"clipboard", "Clipboard History"},
}};

// Takes key combinations for the whole desktop, so that they reach this app whichever window
// has the focus.
class HotKeyGrabber
{
public:
    using Handle = quint64;
    // Receives the id of a grabbed combination that was pressed; returns whether it was consumed.
    using PressHandler = std::function<bool(HotKeyId)>;

    virtual ~HotKeyGrabber() = default;

    // Sets the one handler every press goes to, on the main thread; replaces any earlier one.
    virtual void installPressHandler(PressHandler handler) = 0;
    // Grabs the key at this virtual key position with exactly these X11 modifier bits (whatever
    // Caps Lock and Num Lock say); nothing when another client holds the combination or the key
    // has no position here.
    virtual std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) = 0;
    // Releases one grab; a handle that is not held is ignored.
    virtual void release(Handle handle) = 0;
};
