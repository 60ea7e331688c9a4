// SPDX-License-Identifier: MIT
#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>

#include <functional>

class QLocalServer;

// One running program per user session. The first to take the lock in the folder listens on a
// socket beside it for the requests of later launches; a launch that finds it hands its
// requests over and ends. The lock is held for the life of the listening instance, so that two
// launches at once still end with one instance.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Role { running, forwarded, failed };

    // folder: private to the user (the runtime folder).
    explicit SingleInstance(const QString &folder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Hands the requests to the running instance, or becomes it. failed when neither can be
    // had before the deadline (a lock held by a program that never listens).
    Role start(const QStringList &requests, int timeoutMs = 5000);
    // Hands the requests to the running instance only; false when none runs.
    bool forward(const QStringList &requests, int timeoutMs = 2000);

    // What decides when a launch hears that its requests are carried out: given the answer to
    // send, it sends it at once (the default) or once the requests' effect is ready, such as the
    // picker holding the keys that will be typed next.
    void setAnswerWhen(std::function<void(std::function<void()> answer)> gate) { m_answerWhen = std::move(gate); }

    QString socketPath() const;
    QString lockPath() const;

signals:
    // Requests from another launch, on the main thread.
    void requestsReceived(const QStringList &requests);

private:
    bool listen();

    QString m_folder;
    QLockFile m_lock;
    QLocalServer *m_server = nullptr;
    std::function<void(std::function<void()>)> m_answerWhen;
};
