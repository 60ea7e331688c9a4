// SPDX-License-Identifier: MIT
// Under the headless GNOME Shell with our extension (run-bench.sh starts it): a copy in a native
// Wayland client (wl-copy) and in an X11 client (through XWayland) to the history entry, through
// the extension's signal and pending reads, beside the history's half-second poll of the same
// clipboard, in turns in the same run; and the longest the GUI thread goes without turning while
// copies come and while an X11 owner never hands over its data. Figures from wl-copy's and
// xclip's start include their own start-up. Unit figures: the history is the model in this
// process, not the program.
#include "pollingclipboard.h"
#include "stallwatch.h"
#include "timing.h"
#include "clipboard/clipboard.h"
#include "platform/gnome/gnomeclipboard.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

// When the shell said the clipboard changed hands, seen on a bus connection of the bench's own.
class ShellSignal : public QObject
{
    Q_OBJECT

public:
    ShellSignal()
        : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("bench-signal")))
    {
        m_bus.connect(QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell"),
                      QStringLiteral("/org/kiwanosnapper/KiwanoSnapper/Shell"),
                      QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell1"), QStringLiteral("ClipboardChanged"),
                      this, SLOT(changed()));
        m_clock.start();
    }
    // Nanoseconds on the bench's clock of the latest signal.
    qint64 last() const { return m_last; }
    const QElapsedTimer &clock() const { return m_clock; }

private slots:
    void changed() { m_last = m_clock.nsecsElapsed(); }

private:
    QDBusConnection m_bus;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
};

namespace {

// The extension serves only our own programs, known by their executable's name, and the shell's
// bus admits only the shell's user: the bench runs again as a copy of itself under the app's
// name, as that user.
int runAsOurProgram(int argc, char **argv)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("kiwano-snapper-app"));
    if (!dir.isValid() || !QFile::copy(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")), copy)) {
        std::printf("skipped: no copy of the benchmark under the app's name\n");
        return 0;
    }
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ReadOther | QFile::ExeOther
                                          | QFile::ReadGroup | QFile::ExeGroup);
    QStringList arguments;
    if (getuid() == 0 && qEnvironmentVariable("KIWANO_TEST_GNOME_USER") != QLatin1String("root"))
        arguments << QStringLiteral("runuser") << QStringLiteral("-u") << qEnvironmentVariable("KIWANO_TEST_GNOME_USER")
                  << QStringLiteral("--");
    arguments << QStringLiteral("env") << QStringLiteral("KIWANO_BENCH_AS_OUR_PROGRAM=1");
    for (const char *name : {"KIWANO_TEST_GNOME_BUS", "KIWANO_TEST_GNOME_WAYLAND_DISPLAY", "KIWANO_TEST_GNOME_DISPLAY",
                             "KIWANO_TEST_GNOME_XAUTHORITY", "KIWANO_TEST_GNOME_RUNTIME", "KIWANO_TEST_GNOME_USER"})
        arguments << QStringLiteral("%1=%2").arg(QLatin1String(name), qEnvironmentVariable(name));
    arguments << copy;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return QProcess::execute(arguments.takeFirst(), arguments);
}

QProcessEnvironment sessionEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), qEnvironmentVariable("KIWANO_TEST_GNOME_WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("DISPLAY"), qEnvironmentVariable("KIWANO_TEST_GNOME_DISPLAY"));
    environment.insert(QStringLiteral("XAUTHORITY"), qEnvironmentVariable("KIWANO_TEST_GNOME_XAUTHORITY"));
    return environment;
}

struct Latency
{
    double fromStart = 3000;  // the copying program's start to the history's entry
    double fromSignal = 3000; // the shell's signal to the entry
};

Latency latencyOnce(Clipboard &clipboard, const ShellSignal &signal, const QString &program,
                    const QStringList &arguments, const QString &text)
{
    QEventLoop loop;
    Latency latency;
    qint64 started = 0;
    const auto connection = QObject::connect(&clipboard, &Clipboard::itemsChanged, &loop, [&] {
        if (!clipboard.items().isEmpty() && clipboard.items().first().title == text) {
            const qint64 now = signal.clock().nsecsElapsed();
            latency.fromStart = double(now - started) / 1e6;
            if (signal.last() >= started)
                latency.fromSignal = double(now - signal.last()) / 1e6;
            loop.quit();
        }
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    QProcess source;
    source.setProcessEnvironment(sessionEnvironment());
    source.setStandardOutputFile(QProcess::nullDevice());
    source.setStandardErrorFile(QProcess::nullDevice());
    started = signal.clock().nsecsElapsed();
    source.start(program, arguments);
    source.write(text.toUtf8());
    source.closeWriteChannel();
    loop.exec();
    QObject::disconnect(connection);
    source.kill();
    source.waitForFinished();
    spin(50);
    return latency;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsEmpty("KIWANO_TEST_GNOME_SKIP")) {
        std::printf("skipped: %s\n", qPrintable(qEnvironmentVariable("KIWANO_TEST_GNOME_SKIP")));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("KIWANO_TEST_GNOME_BUS")) {
        std::printf("skipped: no test shell (run the benchmarks through scripts/run-bench.sh)\n");
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("KIWANO_BENCH_AS_OUR_PROGRAM"))
        return runAsOurProgram(argc, argv);
    qputenv("DBUS_SESSION_BUS_ADDRESS", qgetenv("KIWANO_TEST_GNOME_BUS"));
    qputenv("XDG_RUNTIME_DIR", qgetenv("KIWANO_TEST_GNOME_RUNTIME"));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath("config"));

    GnomeClipboardService service;
    PollingClipboard polling(service);
    Clipboard watched(&service, nullptr, nullptr, home.filePath("Clipboard"));
    Clipboard polled(&polling, nullptr, nullptr, home.filePath("Clipboard-polled"));
    if (!QDBusConnection::sessionBus().interface()->isServiceRegistered(
            QStringLiteral("org.kiwanosnapper.KiwanoSnapper.Shell"))) {
        std::printf("skipped: our shell extension does not answer\n");
        return 0;
    }

    ShellSignal signal;
    const auto measure = [&](const QString &program, const QStringList &arguments, int copies) {
        QList<double> entry, poll, ours;
        for (int run = 0; run < copies; ++run) {
            const int phase = (run * 37) % 500;
            for (Clipboard *clipboard : {&watched, &polled}) {
                const QString text = QStringLiteral("copy %1 %2").arg(run).arg(clipboard == &watched);
                clipboard->start();
                spin(phase);
                const Latency latency = latencyOnce(*clipboard, signal, program, arguments, text);
                (clipboard == &watched ? entry : poll) << latency.fromStart;
                if (clipboard == &watched)
                    ours << latency.fromSignal;
                clipboard->stop();
            }
        }
        std::printf("  extension: entry median %.1f ms, p95 %.1f ms; from the shell's signal median %.1f ms, p95 %.1f ms\n",
                    percentile(entry, 0.5), percentile(entry, 0.95), percentile(ours, 0.5), percentile(ours, 0.95));
        std::printf("  poll:      entry median %.1f ms, p95 %.1f ms (poll/extension median %.1fx)\n",
                    percentile(poll, 0.5), percentile(poll, 0.95),
                    percentile(poll, 0.5) / std::max(0.01, percentile(entry, 0.5)));
        return percentile(entry, 0.5);
    };
    std::printf("copy to history under GNOME Shell, 20 copies by wl-copy --foreground (from its start, its start-up included)\n");
    measure(QStringLiteral("wl-copy"), {QStringLiteral("--foreground")}, 20);
    std::printf("copy to history under GNOME Shell, 20 copies by xclip through XWayland (from its start)\n");
    measure(QStringLiteral("xclip"), {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-quiet")}, 20);
    // The copying program's own start, alone: wl-copy --version from start to exit.
    QList<double> bare;
    for (int run = 0; run < 10; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess version;
        version.setStandardOutputFile(QProcess::nullDevice());
        version.start(QStringLiteral("wl-copy"), {QStringLiteral("--version")});
        version.waitForFinished();
        bare << double(clock.nsecsElapsed()) / 1e6;
    }
    std::printf("  baseline: wl-copy --version start to exit median %.1f ms\n", percentile(bare, 0.5));

    // The GUI thread while copies come, and while an X11 owner lists a type and never sends it.
    const auto stalls = [&](Clipboard &clipboard) {
        QList<double> gaps;
        StallWatch watch;
        clipboard.start();
        for (const bool stalling : {false, true}) {
            QProcess source;
            source.setProcessEnvironment(sessionEnvironment());
            source.setStandardOutputFile(QProcess::nullDevice());
            watch.start();
            if (stalling) {
                source.start(QStringLiteral(KIWANO_TEST_CLIPOWNER),
                             {QStringLiteral("--stall-data"), QStringLiteral("--type"), QStringLiteral("text/plain=never"),
                              QStringLiteral("--retake"), QStringLiteral("300")});
                spin(3000);
            } else {
                // Each copy by a process of its own, never waited for on this thread.
                QObject copies;
                for (int i = 0; i < 10; ++i) {
                    auto *copy = new QProcess(&copies);
                    copy->setProcessEnvironment(sessionEnvironment());
                    copy->setStandardOutputFile(QProcess::nullDevice());
                    copy->start(QStringLiteral("wl-copy"), {QStringLiteral("copy %1").arg(i)});
                    spin(150);
                }
            }
            gaps << watch.stop();
            source.kill();
            source.waitForFinished();
        }
        clipboard.stop();
        return gaps;
    };
    const QList<double> ours = stalls(watched);
    const QList<double> poll = stalls(polled);
    std::printf("longest GUI-thread gap (1 ms timer)\n");
    std::printf("  10 copies by wl-copy:                  extension %7.1f ms, poll %7.1f ms\n", ours.value(0), poll.value(0));
    std::printf("  an X11 owner that never sends, 3 s:    extension %7.1f ms, poll %7.1f ms (poll/extension %.0fx)\n",
                ours.value(1), poll.value(1), poll.value(1) / std::max(0.01, ours.value(1)));
    return 0;
}

#include "bench_gnomeclipboard.moc"
