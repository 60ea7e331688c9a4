// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"

#include <QList>
#include <QMap>
#include <QSet>

// Keeps grabs in memory; combinations listed in `taken` are refused as if another client held them.
class FakeHotKeyGrabber : public HotKeyGrabber
{
public:
    QSet<QPair<quint32, quint32>> taken;  // (keyCode, x11Modifiers)
    int handlersInstalled = 0;

    void installPressHandler(PressHandler handler) override
    {
        m_handler = std::move(handler);
        ++handlersInstalled;
    }
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override
    {
        if (taken.contains({keyCode, x11Modifiers}))
            return std::nullopt;
        m_held.insert(m_next, id.number);
        return m_next++;
    }
    void release(Handle handle) override { m_held.remove(handle); }

    // The action numbers of the grabs held now, in the order they were made.
    QList<quint32> heldNumbers() const { return m_held.values(); }
    // What the desktop does on a press: hands the id to the handler and reports its answer.
    bool press(HotKeyId id) const { return m_handler && m_handler(id); }

private:
    PressHandler m_handler;
    QMap<Handle, quint32> m_held;
    Handle m_next = 1;
};
