// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QProcess>

#include "platform/waylandsession.h"

// Programs on the test compositor: the pattern windows the captures look at and the pointer
// device that drags over them.

inline QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

inline bool sway(const QString &command) { return WaylandSession::swaymsg({command}); }

inline int runOnCompositor(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(WaylandSession::environment());
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Pictures on the compositor's outputs: native Wayland windows showing the test pattern.
class Patterns
{
public:
    ~Patterns()
    {
        for (QProcess *process : std::as_const(m_processes)) {
            process->kill();
            process->waitForFinished(2000);
            delete process;
        }
    }
    // Arguments of kiwano-test-patternwindow: the output and the pattern's seed.
    bool show(const QStringList &arguments)
    {
        auto *process = new QProcess;
        m_processes.append(process);
        process->setProcessEnvironment(WaylandSession::environment());
        process->start(KIWANO_TEST_PATTERNWINDOW, arguments);
        return process->waitForReadyRead(10000) && process->readAll().contains("ready");
    }

private:
    QList<QProcess *> m_processes;
};


// The seat's pointer: positions span the layout, in logical pixels, given at start.
class PointerDevice
{
public:
    ~PointerDevice() { stop(); }
    bool start(int width, int height)
    {
        stop();
        m_process.setProcessEnvironment(WaylandSession::environment());
        m_process.start(KIWANO_TEST_POINTERDEVICE, {QString::number(width), QString::number(height)});
        const bool ready = m_process.waitForReadyRead(10000);
        m_process.readAll();
        return ready;
    }
    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // "move X Y", "press" or "release"; true once the compositor has it.
    bool send(const QString &command)
    {
        m_process.write(command.toLatin1() + '\n');
        return m_process.waitForReadyRead(5000) && m_process.readAll().contains("ok");
    }

private:
    QProcess m_process;
};
