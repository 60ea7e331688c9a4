// SPDX-License-Identifier: MIT
#include "platform/portal/portalrequest.h"

#include <QCoreApplication>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
}

PortalRequest::PortalRequest(const QDBusConnection &bus, QObject *context, Callback done)
    : m_bus(bus), m_context(context), m_done(std::move(done))
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &PortalRequest::expired);
}

QString PortalRequest::handlePath(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService();
    if (sender.startsWith(u':'))
        sender.remove(0, 1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

QString PortalRequest::nextToken()
{
    static quint64 counter = 0;
    return QStringLiteral("kiwano%1").arg(++counter);
}

void PortalRequest::send(const QDBusConnection &bus, QDBusMessage call, int deadlineMs,
                         QObject *context, Callback done)
{
    auto *request = new PortalRequest(bus, context, std::move(done));
    if (!bus.isConnected()) {
        request->finish({Outcome::Unavailable, {}, QCoreApplication::translate("Portal", "There is no session bus.")});
        return;
    }
    QList<QVariant> arguments = call.arguments();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.takeLast().toMap();
    const QString token = nextToken();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    call.setArguments(arguments);

    // Listening first: a quick portal may answer before the call's own reply arrives.
    request->listen(handlePath(bus, token));
    request->m_deadline.start(deadlineMs);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, deadlineMs), request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request, [request](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError()) {
            const QDBusError error = reply.error();
            const bool missing = error.type() == QDBusError::ServiceUnknown
                || error.type() == QDBusError::UnknownInterface
                || error.type() == QDBusError::UnknownMethod
                || error.type() == QDBusError::UnknownObject;
            const bool silent = error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
            request->finish({missing ? Outcome::Unavailable : silent ? Outcome::NoAnswer : Outcome::Failed,
                             {}, error.message()});
            return;
        }
        // Older portals choose the handle themselves.
        const QString handle = reply.value().path();
        if (!request->m_handles.contains(handle))
            request->listen(handle);
    });
}

void PortalRequest::listen(const QString &handle)
{
    m_handles.append(handle);
    m_bus.connect(Portal::service, handle, requestInterface, QStringLiteral("Response"), this,
                  SLOT(responded(uint,QVariantMap)));
}

void PortalRequest::responded(uint code, const QVariantMap &results)
{
    switch (code) {
    case 0:
        finish({Outcome::Granted, results, {}});
        break;
    case 1:
        finish({Outcome::Cancelled, results, QCoreApplication::translate("Portal", "The desktop refused the request.")});
        break;
    default:
        finish({Outcome::Failed, results, QCoreApplication::translate("Portal", "The desktop could not carry out the request.")});
        break;
    }
}

void PortalRequest::expired()
{
    finish({Outcome::NoAnswer, {}, QCoreApplication::translate("Portal", "The desktop did not answer.")});
}

void PortalRequest::finish(const Answer &answer)
{
    if (m_finished)
        return;
    m_finished = true;
    m_deadline.stop();
    for (const QString &handle : std::as_const(m_handles)) {
        m_bus.disconnect(Portal::service, handle, requestInterface, QStringLiteral("Response"), this,
                         SLOT(responded(uint,QVariantMap)));
    }
    // Deferred, so that send() never calls back before it has returned.
    QMetaObject::invokeMethod(this, [this, answer] {
        if (m_context && m_done)
            m_done(answer);
        deleteLater();
    }, Qt::QueuedConnection);
}
