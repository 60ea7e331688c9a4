// SPDX-License-Identifier: MIT
#pragma once

#include "support/files.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

// A session bus of the test's own, so that nothing on the desktop's bus answers in its place.
// start() points DBUS_SESSION_BUS_ADDRESS at it before the first connection is made. It starts no
// services on demand: a real portal installed on the machine must not answer for a missing fake.
class PrivateBus
{
public:
    ~PrivateBus()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished(2000);
    }

    // False when there is no dbus-daemon to run or it does not start.
    bool start()
    {
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        const QString config = m_config.filePath(QStringLiteral("bus.conf"));
        if (daemon.isEmpty()
            || !TestFiles::write(config, "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                         "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>\n"
                                         "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                         "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n"))
            return false;
        m_daemon.start(daemon, {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"), QStringLiteral("--print-address")});
        if (!m_daemon.waitForReadyRead(5000))
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_daemon.readLine().trimmed());
        return true;
    }

    qint64 pid() const { return m_daemon.processId(); }

private:
    QTemporaryDir m_config;
    QProcess m_daemon;
};
