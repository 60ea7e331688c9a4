// SPDX-License-Identifier: MIT
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QList>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// Medians of several kinds of work run in turns, round after round, so that every kind meets the
// same moments of a shared machine's load and their ratios stay meaningful.
inline std::vector<double> interleavedMediansMs(int rounds,
                                                const std::vector<std::function<void()>> &works)
{
    std::vector<std::vector<double>> times(works.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < works.size(); ++i) {
            QElapsedTimer timer;
            timer.start();
            works[i]();
            times[i].push_back(double(timer.nsecsElapsed()) / 1e6);
        }
    std::vector<double> medians;
    for (auto &t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

// Runs the event loop for ms milliseconds.
inline void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The sample at fraction p (0.5 the median, 0.95 the p95) of the sorted samples.
inline double percentile(QList<double> samples, double p)
{
    std::sort(samples.begin(), samples.end());
    return samples.at(std::min<qsizetype>(samples.size() - 1, qsizetype(p * samples.size())));
}

inline void printRow(const char *label, double ms)
{
    std::printf("  %-52s %9.1f ms\n", label, ms);
}

inline void printRatio(const char *label, double ratio, const char *goal)
{
    std::printf("  %-52s %9.2f x   (%s)\n", label, ratio, goal);
}

// The process's resident memory in bytes, from /proc/self/statm; 0 when it cannot be read.
inline qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : 0;
}
