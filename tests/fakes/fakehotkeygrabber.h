// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"

#include <QMap>
#include <QSet>

// Keeps grabs in memory; combinations in `taken` are refused as if another client held them.
class FakeHotKeyGrabber : public HotKeyGrabber
{
public:
    QSet<QPair<quint32, quint32>> taken;  // (keyCode, x11Modifiers)
    QMap<Handle, quint32> held;           // handle -> action number
    PressHandler handler;

    void installPressHandler(PressHandler h) override { handler = std::move(h); }
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override
    {
        if (taken.contains({keyCode, x11Modifiers}))
            return std::nullopt;
        held.insert(m_next, id.number);
        return m_next++;
    }
    void release(Handle handle) override { held.remove(handle); }

private:
    Handle m_next = 1;
};
