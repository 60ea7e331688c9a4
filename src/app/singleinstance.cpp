// SPDX-License-Identifier: MIT
#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <memory>

namespace {

// Requests travel as UTF-8 separated by NUL, which no file path holds. An empty one ends them,
// and the instance answers once it has carried them out (the picker is open and holds the keys),
// so that a script may type at once. The sender's closing of the connection ends them too.
constexpr char endOfRequests[] = {'\0', '\0'};
constexpr char carriedOut = '\n';
// How long a launch waits for that answer before it ends all the same: the requests are there.
constexpr int answerPatienceMs = 3000;

QByteArray pack(const QStringList &requests)
{
    QByteArray bytes;
    for (const QString &request : requests)
        bytes += request.toUtf8() + '\0';
    return bytes + '\0';
}

bool isComplete(const QByteArray &bytes)
{
    return bytes.endsWith(QByteArray(endOfRequests, 2)) || bytes == QByteArray(1, '\0');
}

QStringList unpack(const QByteArray &bytes)
{
    QStringList requests;
    for (const QByteArray &part : bytes.split('\0'))
        if (!part.isEmpty())
            requests << QString::fromUtf8(part);
    return requests;
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_lock(QDir(folder).filePath(QStringLiteral("kiwano-snapper.lock")))
{
    m_lock.setStaleLockTime(0); // held for the life of the instance: only a dead owner makes it stale
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::socketPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("kiwano-snapper.socket"));
}

QString SingleInstance::lockPath() const
{
    return m_lock.fileName();
}

bool SingleInstance::forward(const QStringList &requests, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(pack(requests));
    if (!socket.waitForBytesWritten(timeoutMs) && socket.bytesToWrite() > 0)
        return false;
    // An instance that quits, or one from before the answer, closes the connection instead.
    const QDeadlineTimer patience(std::max(timeoutMs, answerPatienceMs));
    while (!socket.peek(1).contains(carriedOut) && socket.state() == QLocalSocket::ConnectedState
           && !patience.hasExpired())
        socket.waitForReadyRead(int(std::max<qint64>(1, patience.remainingTime())));
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

SingleInstance::Role SingleInstance::start(const QStringList &requests, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (true) {
        if (forward(requests, 1000))
            return Role::forwarded;
        if (m_lock.tryLock(0))
            return listen() ? Role::running : Role::failed;
        // Another launch holds the lock and is about to listen.
        if (deadline.hasExpired())
            return Role::failed;
        QThread::msleep(20);
    }
}

bool SingleInstance::listen()
{
    // The lock is ours, so a socket left there belongs to an instance that died.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath()))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            auto buffer = std::make_shared<QByteArray>();
            auto handled = std::make_shared<bool>(false);
            const auto handle = [this, buffer, handled] {
                if (*handled)
                    return false;
                *handled = true;
                const QStringList requests = unpack(*buffer);
                if (!requests.isEmpty())
                    emit requestsReceived(requests);
                return true;
            };
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer, handle] {
                *buffer += socket->readAll();
                if (!isComplete(*buffer) || !handle())
                    return;
                const QPointer<QLocalSocket> asker(socket);
                const auto answer = [asker] {
                    if (!asker || asker->state() != QLocalSocket::ConnectedState)
                        return;
                    asker->write(&carriedOut, 1);
                    asker->flush();
                };
                if (m_answerWhen)
                    m_answerWhen(answer);
                else
                    answer();
            });
            connect(socket, &QLocalSocket::disconnected, this, [socket, buffer, handle] {
                *buffer += socket->readAll();
                handle();
                socket->deleteLater();
            });
        }
    });
    return true;
}
