// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"
#include "platform/keysender.h"

#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QStringList>

class QDBusServiceWatcher;

// Types the paste keys through our GNOME Shell extension's virtual keyboard, into whichever
// window the shell focuses. The call goes out without waiting; pasted() tells how it went.
class GnomeKeySender : public QObject, public KeySender
{
    Q_OBJECT

public:
    explicit GnomeKeySender(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    bool isTrusted() const override { return true; }
    bool sendPaste(bool terminal) override;

signals:
    // The shell typed the keys (true), or had no focused window or did not answer (false).
    void pasted(bool typed);

private:
    QDBusConnection m_bus;
};

// Global shortcuts bound by our GNOME Shell extension. Grabs are granted at once and handed to
// the shell together, once the event loop runs; refused() names the accelerators it would not
// bind. The shell drops them when we leave the bus, and gets them again when it comes back
// (the extension turned off and on, the shell restarted).
class GnomeHotKeyGrabber : public QObject, public HotKeyGrabber
{
    Q_OBJECT

public:
    explicit GnomeHotKeyGrabber(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);
    ~GnomeHotKeyGrabber() override;

    void installPressHandler(PressHandler handler) override { m_handler = std::move(handler); }
    // Nothing for keys the shell has no name for.
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override;
    void release(Handle handle) override;

signals:
    void refused(const QStringList &accelerators);

private slots:
    void pressed(const QString &name);

private:
    struct Entry
    {
        HotKeyId id;
        QString accelerator;
    };
    void scheduleBind();
    void bind();

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_shellWatch = nullptr;
    PressHandler m_handler;
    QMap<Handle, Entry> m_entries;
    Handle m_nextHandle = 1;
    bool m_bindScheduled = false;
};
