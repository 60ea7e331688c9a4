// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

// Counts the turns of the calling thread's event loop: a call that blocks the loop shows as few.
struct LoopTurns
{
    LoopTurns()
    {
        tick.setInterval(5);
        QObject::connect(&tick, &QTimer::timeout, [this] { ++count; });
        tick.start();
    }
    QTimer tick;
    int count = 0;
};
