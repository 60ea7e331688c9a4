// SPDX-License-Identifier: MIT
#pragma once

#include "platform/hotkeygrabber.h"
#include "platform/portal/portalrequest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QMap>
#include <QObject>

// Global shortcuts through the desktop portal. The desktop, not this app, decides which keys
// end up bound, so a grab is a wish: it is granted at once and bound shortly after on the bus,
// and shortcutsBound() or bindingFailed() tell how it went.
class PortalHotKeyGrabber : public QObject, public HotKeyGrabber
{
    Q_OBJECT
public:
    explicit PortalHotKeyGrabber(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 QObject *parent = nullptr);

    void installPressHandler(PressHandler handler) override;
    // Nothing for keys the portal cannot name, and once the portal has failed (see failureReason).
    std::optional<Handle> grab(quint32 keyCode, quint32 x11Modifiers, HotKeyId id) override;
    void release(Handle handle) override;

    // How long the portal may take to answer one request, dialogs included.
    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    // The desktop's own words for each bound shortcut, by shortcut id ("grabRegion" ...).
    QMap<QString, QString> boundTriggers() const { return m_bound; }
    QString failureReason() const { return m_failure; }

    // The portal's id for a registration number: the action's name.
    static QString shortcutId(quint32 number);

signals:
    void shortcutsBound(const QMap<QString, QString> &triggers);
    void bindingFailed(const QString &reason);

private slots:
    void activated(const QDBusObjectPath &session, const QString &shortcut, qulonglong timestamp,
                   const QVariantMap &options);
    void changed(const QDBusMessage &message);

private:
    struct Entry
    {
        HotKeyId id;
        QString shortcut;
        QString trigger;
    };
    enum class State { Idle, Opening, Open, Failed };

    void scheduleBind();
    void bind();
    void fail(const PortalRequest::Answer &answer);
    void takeBound(const QVariant &shortcuts);

    QDBusConnection m_bus;
    PressHandler m_handler;
    QMap<Handle, Entry> m_entries;
    Handle m_nextHandle = 1;
    State m_state = State::Idle;
    QDBusObjectPath m_session;
    bool m_bindScheduled = false;
    int m_deadlineMs = 60000;
    QMap<QString, QString> m_bound;
    QString m_failure;
};
