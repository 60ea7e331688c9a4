// SPDX-License-Identifier: MIT
// The clipboard monitor against a real owner in another process: how soon a copy is in the
// history, how long hostile owners hold the GUI thread, and how often an idle monitor wakes the
// process; the watcher beside the half-second poll, measured in the same run.
#include "pollingclipboard.h"
#include "stallwatch.h"
#include "timing.h"
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "platform/clipboardwatcher.h"
#include "platform/x11/x11clipboardservice.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// Milliseconds from the owner saying it holds the clipboard to the copy's entry in items.
double latencyOnce(Clipboard &clipboard, int run)
{
    const QString text = QStringLiteral("copy number %1").arg(run);
    QElapsedTimer timer;
    timer.start();
    qint64 ready = -1;
    qint64 recorded = -1;
    QEventLoop loop;
    QProcess owner;
    QObject::connect(&owner, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (ready < 0 && owner.readAllStandardOutput().startsWith("ready"))
            ready = timer.nsecsElapsed();
        if (ready >= 0 && recorded >= 0)
            loop.quit();
    });
    const auto connection = QObject::connect(&clipboard, &Clipboard::itemsChanged, &loop, [&] {
        if (recorded < 0 && !clipboard.items().isEmpty() && clipboard.items().first().title == text)
            recorded = timer.nsecsElapsed();
        if (ready >= 0 && recorded >= 0)
            loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    owner.start(QStringLiteral(KIWANO_TEST_CLIPOWNER), {"--type", "text/plain=" + text});
    loop.exec();
    QObject::disconnect(connection);
    owner.kill();
    owner.waitForFinished();
    spin(50);
    if (ready < 0 || recorded < 0)
        return 3000;
    return std::max<double>(0, double(recorded - ready) / 1e6);
}

// The longest gap between ticks of a 1 ms timer on the GUI thread while hostile owners hold the
// clipboard one after another.
QList<double> longestStallsMs(const QString &dir)
{
    QFile slow(dir + "/slow");
    slow.open(QIODevice::WriteOnly);
    slow.write(QByteArray(10240, 's'));
    slow.close();
    QFile huge(dir + "/huge");
    huge.open(QIODevice::WriteOnly);
    huge.write(QByteArray(40 << 20, 'h'));
    huge.close();
    const QList<QStringList> owners{
        {}, // nobody: what the machine's load alone does to the timer
        {"--type-file", "text/plain=" + slow.fileName(), "--chunk", "1024", "--piece-delay", "300"},
        {"--stall", "--retake", "200", "--type", "text/plain=never"},
        {"--type", "text/plain=listed", "--junk-targets", "20000"},
        {"--type", "text/plain=x", "--type-file", "text/html=" + huge.fileName(), "--single-piece", "--chunk", "4194304"},
    };
    StallWatch watch;
    QList<double> stalls;
    for (const QStringList &arguments : owners) {
        QProcess owner;
        if (!arguments.isEmpty()) {
            owner.start(QStringLiteral(KIWANO_TEST_CLIPOWNER), arguments);
            owner.waitForReadyRead(20000);
        }
        watch.start();
        spin(2000);
        stalls << watch.stop();
        owner.kill();
        owner.waitForFinished();
    }
    return stalls;
}

// Context switches of every thread of this process, ended ones included.
qint64 contextSwitches()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw + usage.ru_nivcsw;
}

double wakeupsPerSecond(int seconds)
{
    const qint64 before = contextSwitches();
    spin(seconds * 1000);
    return double(contextSwitches() - before) / seconds;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));
    X11ClipboardService service;
    PollingClipboard polling(service);
    Clipboard watched(&service, nullptr, nullptr, home.filePath("Clipboard"));
    Clipboard polled(&polling, nullptr, nullptr, home.filePath("Clipboard-polled"));
    if (!service.watcher()) {
        std::fprintf(stderr, "no watcher\n");
        return 1;
    }

    // Turns, so that both meet the same moments of a shared machine.
    QList<double> ours;
    QList<double> poll;
    // The poll's phase against the copy varies as in real use: each copy some time after start.
    for (int run = 0; run < 30; ++run) {
        const int phase = (run * 37) % 500;
        watched.start();
        spin(phase);
        ours << latencyOnce(watched, 2 * run);
        watched.stop();
        polled.start();
        spin(phase);
        poll << latencyOnce(polled, 2 * run + 1);
        polled.stop();
    }
    std::printf("copy to entry, 30 copies by another process (event: %s)\n",
                service.watcher()->isEventDriven() ? "XFIXES" : "polled");
    std::printf("  watcher median %.1f ms, p95 %.1f ms; poll median %.1f ms, p95 %.1f ms (poll/watcher median %.1fx)\n",
                percentile(ours, 0.5), percentile(ours, 0.95), percentile(poll, 0.5), percentile(poll, 0.95),
                percentile(poll, 0.5) / std::max(0.01, percentile(ours, 0.5)));

    watched.start();
    const QList<double> ourStalls = longestStallsMs(home.path());
    watched.stop();
    polled.start();
    const QList<double> pollStalls = longestStallsMs(home.path());
    polled.stop();
    std::printf("longest GUI-thread gap (1 ms timer) while a hostile owner holds the clipboard for 2 s\n");
    const char *names[] = {"no owner (the timer's own jitter)", "trickling 1 KiB per 300 ms", "stalls, takes it again every 200 ms",
                           "20000 targets", "40 MiB in one property"};
    for (int i = 0; i < 5; ++i)
        std::printf("  %-40s watcher %7.1f ms, poll %7.1f ms (poll/watcher %.0fx)\n", names[i],
                    ourStalls.value(i), pollStalls.value(i), pollStalls.value(i) / std::max(0.01, ourStalls.value(i)));

    // Idle: nothing copied for ten seconds, the monitor running.
    spin(500);
    const double idleNone = wakeupsPerSecond(10);
    watched.start();
    spin(500);
    const double idleOurs = wakeupsPerSecond(10);
    watched.stop();
    polled.start();
    const double idlePoll = wakeupsPerSecond(10);
    polled.stop();
    std::printf("context switches per second of the whole process while nothing is copied, 10 s each\n");
    std::printf("  no monitor %.1f, watcher %.1f, poll %.1f\n", idleNone, idleOurs, idlePoll);
    return 0;
}
