// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"

#include <QDBusConnection>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QStringList>

class KeyboardLayout;

// Global shortcuts through KDE's shortcut service (KGlobalAccel, served by KWin on Plasma), so
// that they are listed under Kiwano Snapper in System Settings and can be changed there. A grab
// registers the action with the keys of our settings and is granted at once; the service answers
// on the bus later, and shortcutsBound() tells which keys it holds for each action (none where
// another program has the keys). A change made in System Settings comes the same way.
// Every call on the bus is asynchronous: the caller never waits on the desktop.
class KGlobalAccelGrabber : public QObject, public HotKeyGrabber
{
    Q_OBJECT
public:
    // layout, when given, names a key position by what it types now ("z" on a German keyboard's
    // Y key); without it the positions of a US keyboard are used.
    explicit KGlobalAccelGrabber(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 KeyboardLayout *layout = nullptr, QObject *parent = nullptr);
    ~KGlobalAccelGrabber() override;

    void installPressHandler(PressHandler handler) override;
    // Nothing for keys KDE cannot name.
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override;
    void release(Handle handle) override;

    // The service's own words for each bound shortcut, by action name ("grabRegion" ...).
    QMap<QString, QString> boundTriggers() const { return m_bound; }

    // The Qt key code (key and modifiers, as KGlobalAccel takes them) for a key position and X11
    // modifier bits; 0 for keys it cannot name.
    static int qtKey(quint32 keyCode, quint32 x11Modifiers, KeyboardLayout *layout = nullptr);
    // The keys registered for it: that one, and for a key Shift changes, the symbol it types
    // without the Shift ("Meta+^" beside "Shift+Meta+6"), which is how KWin matches it.
    static QList<int> qtKeys(quint32 keyCode, quint32 x11Modifiers, KeyboardLayout *layout = nullptr);
    // Our component's name on the bus, and the action's name for a registration number.
    static QString component();
    static QString actionName(quint32 number);

signals:
    void shortcutsBound(const QMap<QString, QString> &triggers);

private slots:
    void pressed(const QString &component, const QString &action, qlonglong timestamp);
    void changed(const QStringList &actionId, const QList<int> &keys);

private:
    struct Entry
    {
        HotKeyId id;
        QList<int> keys;
    };
    static int qtModifiers(quint32 x11Modifiers);
    QStringList actionId(quint32 number) const;
    void call(const QString &method, const QList<QVariant> &arguments,
              std::function<void(const QDBusMessage &)> answered = {});
    void take(quint32 number, const QList<int> &keys);

    QDBusConnection m_bus;
    KeyboardLayout *m_layout = nullptr;
    PressHandler m_handler;
    QMap<Handle, Entry> m_entries;
    Handle m_nextHandle = 1;
    QMap<QString, QString> m_bound;
    QSet<quint32> m_grabbed;  // the actions grabbed before, in this run
};
