// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStandardPaths>

// A session bus of the test's own, so that nothing on the desktop's bus answers in its place.
// start() points DBUS_SESSION_BUS_ADDRESS at it before the first connection is made.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(2000);
        }
    }

    // False when there is no dbus-daemon to run or it does not start.
    bool start()
    {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            return false;
        m_daemon.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address")});
        if (!m_daemon.waitForReadyRead(5000))
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_daemon.readLine().trimmed());
        return true;
    }

private:
    QProcess m_daemon;
};
