// SPDX-License-Identifier: MIT
#include "platform/portal/portalkeysender.h"

#include <QCoreApplication>
#include <QDBusPendingCall>

namespace {
const QString remoteInterface = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
constexpr uint keyboardDevice = 1;
constexpr int controlKeysym = 0xffe3;  // Control_L
constexpr int shiftKeysym = 0xffe1;    // Shift_L
constexpr int vKeysym = 0x76;          // v

QDBusMessage remoteCall(const QString &method)
{
    return QDBusMessage::createMethodCall(Portal::service, Portal::path, remoteInterface, method);
}
}

PortalKeySender::PortalKeySender(QDBusConnection bus, QObject *parent) : QObject(parent), m_bus(std::move(bus)) {}

bool PortalKeySender::sendPaste(bool terminal)
{
    switch (m_state) {
    case State::Open:
        typePaste(terminal);
        return true;
    case State::Failed:
        return false;
    case State::Idle:
        m_waiting = terminal;
        open();
        return true;
    case State::Opening:
        // Only the latest paste is typed once allowed; the user asked for one paste, not a queue.
        m_waiting = terminal;
        return true;
    }
    return false;
}

// CreateSession, SelectDevices (keyboard), Start: each answered through a Request.
void PortalKeySender::open()
{
    m_state = State::Opening;
    emit permissionAsked();
    QDBusMessage create = remoteCall(QStringLiteral("CreateSession"));
    create << QVariantMap{{QStringLiteral("session_handle_token"), PortalRequest::nextToken()}};
    step(create, [this](const QVariantMap &results) {
        m_session = QDBusObjectPath(results.value(QStringLiteral("session_handle")).toString());
        QDBusMessage select = remoteCall(QStringLiteral("SelectDevices"));
        select << QVariant::fromValue(m_session) << QVariantMap{{QStringLiteral("types"), keyboardDevice}};
        step(select, [this](const QVariantMap &) {
            QDBusMessage start = remoteCall(QStringLiteral("Start"));
            start << QVariant::fromValue(m_session) << QString() << QVariantMap();
            step(start, [this](const QVariantMap &results) {
                if (!(results.value(QStringLiteral("devices")).toUInt() & keyboardDevice))
                    return fail({PortalRequest::Outcome::Cancelled, {}, QCoreApplication::translate("Portal", "The desktop did not allow typing.")});
                m_state = State::Open;
                if (m_waiting)
                    typePaste(*std::exchange(m_waiting, std::nullopt));
            });
        });
    });
}

void PortalKeySender::step(QDBusMessage call, std::function<void(const QVariantMap &)> next)
{
    PortalRequest::send(m_bus, call, m_deadlineMs, this, [this, next](const PortalRequest::Answer &answer) {
        if (answer.outcome != PortalRequest::Outcome::Granted)
            return fail(answer);
        next(answer.results);
    });
}

void PortalKeySender::fail(const PortalRequest::Answer &answer)
{
    m_state = State::Failed;
    m_waiting.reset();
    m_failure = answer.outcome == PortalRequest::Outcome::Unavailable
        ? QCoreApplication::translate("Portal", "This desktop does not let applications type.")
        : answer.reason;
    emit pasteFailed(m_failure);
}

// Calls from one connection arrive in the order sent, so the keys need no waiting in between.
void PortalKeySender::typePaste(bool terminal)
{
    QList<int> order{controlKeysym};
    if (terminal)
        order << shiftKeysym;
    auto notify = [this](int keysym, uint pressed) {
        QDBusMessage call = remoteCall(QStringLiteral("NotifyKeyboardKeysym"));
        call << QVariant::fromValue(m_session) << QVariantMap() << keysym << pressed;
        m_bus.asyncCall(call);
    };
    for (int keysym : std::as_const(order))
        notify(keysym, 1);
    notify(vKeysym, 1);
    notify(vKeysym, 0);
    for (auto it = order.crbegin(); it != order.crend(); ++it)
        notify(*it, 0);
}
