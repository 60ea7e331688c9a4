// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"

#include <QAbstractNativeEventFilter>
#include <QHash>
#include <QList>

struct xcb_connection_t;

// Global shortcuts through passive key grabs on the root windows of the running Qt app's own X
// connection; presses come back through Qt's event dispatch on the main thread.
class X11HotKeyGrabber : public HotKeyGrabber, public QAbstractNativeEventFilter
{
public:
    // Works only inside a QGuiApplication on the xcb platform; otherwise every grab fails.
    X11HotKeyGrabber();
    // Releases every grab still held.
    ~X11HotKeyGrabber() override;

    // Whether the running app talks to an X server, so that grabs can work at all.
    static bool isAvailable();

    void installPressHandler(PressHandler handler) override;
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override;
    void release(Handle handle) override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    struct Grab
    {
        quint8 x11KeyCode = 0;
        quint16 modifiers = 0;
        HotKeyId id;
        QList<quint16> variants;  // full modifier masks actually grabbed, locks included
    };

    quint16 numLockMask() const;
    void ungrab(quint8 x11KeyCode, const QList<quint16> &masks) const;

    xcb_connection_t *m_connection = nullptr;
    QList<quint32> m_roots;
    PressHandler m_handler;
    QHash<Handle, Grab> m_grabs;
    Handle m_nextHandle = 1;
    quint16 m_lockMasks = 0;  // Lock and NumLock, ignored when a press is compared
    quint8 m_downKey = 0;     // the grabbed key last pressed, until its release
    quint32 m_downTime = 0;
    quint8 m_releasedKey = 0;
    quint32 m_releaseTime = 0;
};
