// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// The wait before a timed grab: one at a time, counted down in whole seconds, and the grab run
// when it ends. Its window (CountdownWindow) leaves the screen a moment before, so that what it
// covered has been drawn again when the screen is read.
class GrabCountdown : public QObject
{
    Q_OBJECT

public:
    // How long before the grab the countdown leaves the screen.
    static constexpr int clearanceMs = 150;

    explicit GrabCountdown(QObject *parent = nullptr);

    // Counts down from milliseconds, then runs grab; a countdown already running is dropped.
    // what names the grab for the window (the title of its menu row).
    void start(int milliseconds, const QString &what, std::function<void()> grab);
    // Drops the countdown; nothing is grabbed.
    void cancel();

    bool isRunning() const { return static_cast<bool>(m_grab); }
    // Whether the countdown is on screen: running and not yet cleared for the grab.
    bool isShown() const { return isRunning() && remainingMs() > clearanceMs; }
    // The seconds shown: the remaining time rounded up.
    int secondsLeft() const;
    QString what() const { return m_what; }

signals:
    // Started, a second passed, it left the screen, or it ended (grabbed or cancelled).
    void changed();

private:
    int remainingMs() const;
    void tick();

    QTimer m_ticks;
    QElapsedTimer m_clock;
    int m_durationMs = 0;
    QString m_what;
    std::function<void()> m_grab;
    int m_shownSeconds = -1;
    bool m_shown = false;
};
