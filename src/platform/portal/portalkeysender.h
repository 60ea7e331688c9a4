// SPDX-License-Identifier: MIT
#pragma once

#include "platform/keysender.h"
#include "platform/portal/portalrequest.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>

#include <optional>

// Types the paste keystroke through the desktop's remote-desktop portal. The desktop asks the
// user the first time something is pasted; until then nothing is asked for.
class PortalKeySender : public QObject, public KeySender
{
    Q_OBJECT
public:
    explicit PortalKeySender(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    // True until the desktop has said no: it is asked at the first paste, so pasting must be
    // offered before it has been asked at all.
    bool isTrusted() const override { return m_state != State::Failed; }
    // Sends at once when allowed; the first paste waits for the user's permission and reports
    // through pasteFailed() if it does not come. False once the desktop has said no.
    bool sendPaste(bool terminal) override;

    void setDeadline(int milliseconds) { m_deadlineMs = milliseconds; }
    QString failureReason() const { return m_failure; }

signals:
    // The desktop is being asked, at the first paste; it may show the user a dialog now.
    void permissionAsked();
    void pasteFailed(const QString &reason);

private:
    enum class State { Idle, Opening, Open, Failed };

    void open();
    void step(QDBusMessage call, std::function<void(const QVariantMap &)> next);
    void fail(const PortalRequest::Answer &answer);
    void typePaste(bool terminal);

    QDBusConnection m_bus;
    State m_state = State::Idle;
    QDBusObjectPath m_session;
    std::optional<bool> m_waiting;  // a paste asked for before the session was open
    int m_deadlineMs = 60000;
    QString m_failure;
};
