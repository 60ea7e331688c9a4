// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keysender.h"

#include <chrono>
#include <memory>

class X11Connection;

// Types the paste shortcut through XTEST on a connection of its own.
class X11KeySender : public KeySender
{
public:
    // modifierPatience: how long sendPaste waits for the user to let go of held modifiers.
    explicit X11KeySender(std::chrono::milliseconds modifierPatience = std::chrono::seconds(1));
    ~X11KeySender() override;

    bool isTrusted() const override;
    // Types the keys even when modifiers are still held after the patience: a paste with a stray
    // modifier is likelier to land than none at all.
    bool sendPaste(bool terminal) override;

private:
    struct Keys;
    Keys currentKeys() const;
    void waitForModifiersReleased(uint16_t ignoredMask) const;

    std::unique_ptr<X11Connection> m_connection;
    std::chrono::milliseconds m_modifierPatience;
    bool m_xtest = false;
    bool m_xkb = false;
};
