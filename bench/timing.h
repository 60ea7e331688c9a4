// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

// Median wall-clock milliseconds of runs calls of work; the machine is noisy, medians less so.
template<typename Work>
double medianMs(int runs, Work work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline void printRow(const char *label, double ms)
{
    std::printf("  %-52s %9.1f ms\n", label, ms);
}

inline void printRatio(const char *label, double ratio, const char *goal)
{
    std::printf("  %-52s %9.2f x   (%s)\n", label, ratio, goal);
}
