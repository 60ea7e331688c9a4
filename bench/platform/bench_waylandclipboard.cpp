// SPDX-License-Identifier: MIT
// A copy in another Wayland client to the history: through the data-control watcher, beside the
// history's half-second poll of the same clipboard, in turns in the same run; and how long
// hostile sources hold the GUI thread either way. Needs the test compositor (run-bench.sh).
#include "pollingclipboard.h"
#include "stallwatch.h"
#include "timing.h"
#include "clipboard/clipboard.h"
#include "clipboard/store.h"
#include "platform/wayland/waylandclipboardservice.h"
#include "platform/waylandsession.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Latency
{
    double entry = 3000;   // the source sending its copy to the entry in items
    double arrived = 3000; // the same to the watcher's copyArrived
};

// One copy by the source, a separate process; its "taking" stamp is taken as the request leaves.
Latency latencyOnce(Clipboard &clipboard, const QString &program, const QStringList &arguments,
                    const QString &text, std::atomic<qint64> &arrivedNs)
{
    arrivedNs = 0;
    qint64 taking = -1;
    qint64 recorded = -1;
    QEventLoop loop;
    QProcess source;
    source.setProcessEnvironment(WaylandSession::environment());
    QByteArray out;
    QObject::connect(&source, &QProcess::readyReadStandardOutput, &loop, [&] {
        out += source.readAllStandardOutput();
        const qsizetype at = out.indexOf("taking ");
        if (taking < 0 && at >= 0 && out.indexOf('\n', at) > at)
            taking = out.mid(at + 7, out.indexOf('\n', at) - at - 7).toLongLong();
        if (taking >= 0 && recorded >= 0)
            loop.quit();
    });
    const auto connection = QObject::connect(&clipboard, &Clipboard::itemsChanged, &loop, [&] {
        if (recorded < 0 && !clipboard.items().isEmpty() && clipboard.items().first().title == text)
            recorded = monotonicNs();
        if (recorded >= 0 && (taking >= 0 || program != QLatin1String(KIWANO_TEST_WLSOURCE)))
            loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    const qint64 started = monotonicNs();
    source.start(program, arguments);
    loop.exec();
    QObject::disconnect(connection);
    source.kill();
    source.waitForFinished();
    spin(50);
    if (taking < 0)
        taking = started; // wl-copy tells nothing: from its start
    Latency latency;
    if (recorded >= 0)
        latency.entry = std::max<double>(0, double(recorded - taking) / 1e6);
    if (arrivedNs > 0)
        latency.arrived = std::max<double>(0, double(arrivedNs - taking) / 1e6);
    return latency;
}

// The longest gap between ticks of a 1 ms timer on the GUI thread while each source holds the
// clipboard for two seconds.
QList<double> longestStallsMs(const QList<QStringList> &sources)
{
    StallWatch watch;
    QList<double> stalls;
    for (const QStringList &arguments : sources) {
        QProcess source;
        source.setProcessEnvironment(WaylandSession::environment());
        if (!arguments.isEmpty()) {
            source.start(QStringLiteral(KIWANO_TEST_WLSOURCE), arguments);
            source.waitForReadyRead(5000);
        }
        watch.start();
        spin(2000);
        stalls << watch.stop();
        source.kill();
        source.waitForFinished();
    }
    return stalls;
}

// Every figure below on the test compositor WaylandSession names.
void measureSession(const QTemporaryDir &home)
{
    WaylandClipboardService service(WaylandSession::display());
    while (service.isValid() && !service.isReady())
        spin(5);
    if (!service.isValid()) {
        std::printf("skipped: the compositor offers no data-control\n");
        return;
    }
    PollingClipboard polling(service);
    Clipboard watched(&service, nullptr, nullptr, home.filePath("Clipboard"));
    Clipboard polled(&polling, nullptr, nullptr, home.filePath("Clipboard-polled"));
    std::atomic<qint64> arrivedNs = 0;
    QObject::connect(service.watcher(), &ClipboardWatcher::copyArrived, service.watcher(),
                     [&arrivedNs] { arrivedNs = monotonicNs(); }, Qt::DirectConnection);

    // In turns, so that both meet the same moments of a shared machine; the poll's phase against
    // the copy varies as in real use.
    const auto measure = [&](const QString &program, int copies, bool stamped) {
        QList<double> entry, arrived, poll;
        for (int run = 0; run < copies; ++run) {
            const int phase = (run * 37) % 500;
            for (Clipboard *clipboard : {&watched, &polled}) {
                const QString text = QStringLiteral("copy %1 %2").arg(run).arg(clipboard == &watched);
                const QStringList arguments = stamped ? QStringList{"--type", "text/plain=" + text}
                                                      : QStringList{"--foreground", text};
                clipboard->start();
                spin(phase);
                const Latency latency = latencyOnce(*clipboard, program, arguments, text, arrivedNs);
                clipboard->stop();
                (clipboard == &watched ? entry : poll) << latency.entry;
                if (clipboard == &watched)
                    arrived << latency.arrived;
            }
        }
        std::printf("  watcher: copyArrived median %.1f ms, p95 %.1f ms; entry median %.1f ms, p95 %.1f ms\n",
                    percentile(arrived, 0.5), percentile(arrived, 0.95), percentile(entry, 0.5),
                    percentile(entry, 0.95));
        std::printf("  poll:    entry median %.1f ms, p95 %.1f ms (poll/watcher entry median %.1fx, goal: watcher median <= 20 ms)\n",
                    percentile(poll, 0.5), percentile(poll, 0.95),
                    percentile(poll, 0.5) / std::max(0.01, percentile(entry, 0.5)));
    };
    std::printf("copy to history, 50 copies by a data-control client (from the request leaving it)\n");
    measure(QStringLiteral(KIWANO_TEST_WLSOURCE), 50, true);
    std::printf("copy to history, 20 copies by wl-copy (from starting the process, its start-up included)\n");
    measure(QStringLiteral("wl-copy"), 20, false);

    QFile huge(home.filePath("huge"));
    huge.open(QIODevice::WriteOnly);
    huge.write(QByteArray(40 << 20, 'h'));
    huge.close();
    const QList<QStringList> sources{
        {}, // nobody: what the machine's load alone does to the timer
        {"--stall", "--retake", "200", "--type", "text/plain=never"},
        {"--stall", "--retake", "200", "--type", "text/plain=never", "--type", "text/html=never"},
        {"--type", "text/plain=listed", "--junk-types", "300"},
        {"--type", "text/plain=x", "--type-file", "text/html=" + huge.fileName()},
    };
    watched.start();
    const QList<double> ours = longestStallsMs(sources);
    watched.stop();
    polled.start();
    const QList<double> poll = longestStallsMs(sources);
    polled.stop();
    std::printf("longest GUI-thread gap (1 ms timer) while a source holds the clipboard for 2 s\n");
    const char *names[] = {"no source (the timer's own jitter)", "stalls, takes it again every 200 ms",
                           "stalls on two types, takes it again", "300 types", "40 MiB of HTML"};
    for (int i = 0; i < int(sources.size()); ++i)
        std::printf("  %-38s watcher %7.1f ms, poll %7.1f ms (poll/watcher %.0fx)\n", names[i], ours.value(i),
                    poll.value(i), poll.value(i) / std::max(0.01, ours.value(i)));
}

} // namespace

// The headless sway, then the headless KWin (KDE Plasma's compositor) where the runner started it.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));
    std::printf("== sway\n");
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        std::printf("skipped: %s\n", qPrintable(why));
    else
        measureSession(home);
    std::printf("== KWin (KDE Plasma)\n");
    if (const QString why = qEnvironmentVariable("KIWANO_TEST_KWIN_SKIP"); !why.isEmpty()) {
        std::printf("skipped: %s\n", qPrintable(why));
        return 0;
    }
    qputenv("KIWANO_TEST_WAYLAND_DISPLAY", qgetenv("KIWANO_TEST_KWIN_DISPLAY"));
    qunsetenv("KIWANO_TEST_WAYLAND_SKIP");
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty())
        std::printf("skipped: %s\n", qPrintable(why));
    else
        measureSession(home);
    return 0;
}
