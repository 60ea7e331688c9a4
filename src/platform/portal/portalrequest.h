// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <functional>

namespace Portal {
inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
}

// One call that the portal answers later through a Request object's Response signal. The
// answer is awaited without blocking: the call goes out asynchronously, and a deadline turns a
// portal that never answers into an answer of its own.
class PortalRequest : public QObject
{
    Q_OBJECT
public:
    enum class Outcome { Granted, Cancelled, Failed, NoAnswer, Unavailable };
    struct Answer
    {
        Outcome outcome = Outcome::Failed;
        QVariantMap results;
        QString reason;  // empty when granted
    };
    using Callback = std::function<void(const Answer &)>;

    // Sends call, whose last argument must be its options map (the handle token is added
    // there), and calls done once on this thread, unless context is gone by then.
    static void send(const QDBusConnection &bus, QDBusMessage call, int deadlineMs,
                     QObject *context, Callback done);
    // Where the portal will put the Request object for this connection and token.
    static QString handlePath(const QDBusConnection &bus, const QString &token);
    // A token no other request of this process has used.
    static QString nextToken();

private slots:
    void responded(uint code, const QVariantMap &results);
    void expired();

private:
    PortalRequest(const QDBusConnection &bus, QObject *context, Callback done);
    void listen(const QString &handle);
    void finish(const Answer &answer);

    QDBusConnection m_bus;
    QPointer<QObject> m_context;
    Callback m_done;
    QStringList m_handles;
    QTimer m_deadline;
    bool m_finished = false;
};
