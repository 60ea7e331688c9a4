// SPDX-License-Identifier: MIT
#include "app/grabcountdown.h"

#include <algorithm>
#include <utility>

GrabCountdown::GrabCountdown(QObject *parent) : QObject(parent)
{
    m_ticks.setTimerType(Qt::PreciseTimer);
    m_ticks.setSingleShot(true);
    connect(&m_ticks, &QTimer::timeout, this, &GrabCountdown::tick);
}

void GrabCountdown::start(int milliseconds, const QString &what, std::function<void()> grab)
{
    m_durationMs = std::max(0, milliseconds);
    m_what = what;
    m_grab = std::move(grab);
    m_clock.start();
    m_shownSeconds = -1;
    m_shown = false;
    tick();
}

void GrabCountdown::cancel()
{
    if (!isRunning())
        return;
    m_ticks.stop();
    m_grab = nullptr;
    emit changed();
}

int GrabCountdown::remainingMs() const
{
    return std::max<qint64>(0, m_durationMs - m_clock.elapsed());
}

int GrabCountdown::secondsLeft() const
{
    return isRunning() ? (remainingMs() + 999) / 1000 : 0;
}

void GrabCountdown::tick()
{
    const int left = remainingMs();
    if (left == 0) {
        const auto grab = std::exchange(m_grab, nullptr);
        emit changed();
        grab();
        return;
    }
    const bool shown = left > clearanceMs;
    if (shown != m_shown || secondsLeft() != m_shownSeconds) {
        m_shown = shown;
        m_shownSeconds = secondsLeft();
        emit changed();
    }
    // Next at the coming whole second, the moment to leave the screen, or the end.
    const int toSecond = left % 1000 == 0 ? 1000 : left % 1000;
    int next = std::min(left, toSecond);
    if (shown)
        next = std::min(next, left - clearanceMs);
    m_ticks.start(std::max(1, next));
}
