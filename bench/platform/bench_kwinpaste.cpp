// SPDX-License-Identifier: MIT
// Under the headless KWin (KDE Plasma's compositor): from the paste request to the text landing
// in a native Wayland window, through KWin's fake input, beside a separate program typing the
// same keys the same way; and the longest time the GUI thread's loop stood still meanwhile and
// while the four shortcuts were registered with KGlobalAccel. Unit figures, through the
// services' own calls.
//
// KWin gives its fake input only to a program its desktop files name, by its executable, and
// serves only its own user on its bus: under root this program hands itself, stripped (KWin reads
// the whole executable of every client), to KWin's user in a folder of its own and runs there.
#include "platform/kde/kglobalaccelgrabber.h"
#include "platform/kde/kwinkeysender.h"
#include "platform/testprograms.h"
#include "stallwatch.h"
#include "timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

QString kwinUser()
{
    return qEnvironmentVariable("KIWANO_TEST_KWIN_USER");
}

// A desktop file that lets program use KWin's fake input, named after it: KWin notices new files
// in the folder, not a file written over.
QString trust(const QString &program, const QString &name)
{
    const QString path = qEnvironmentVariable("KIWANO_TEST_KWIN_APPLICATIONS") + QLatin1Char('/') + name + QLatin1Char('-')
        + QFileInfo(QFileInfo(program).absolutePath()).fileName() + QStringLiteral(".desktop");
    QFile entry(path);
    if (!entry.open(QIODevice::WriteOnly))
        return {};
    entry.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=" + program.toUtf8()
                + "\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n");
    entry.setPermissions(entry.permissions() | QFile::ReadOther);
    return path;
}

// Copies this program and the helpers it starts where KWin's user runs them, and runs the copy.
int handOver()
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kiwano-bench-kwin.XXXXXX"));
    const QString self = dir.filePath(QStringLiteral("bench_kwinpaste"));
    const QString window = dir.filePath(QStringLiteral("kiwano-test-pastewindow"));
    for (const auto &[from, to] : {std::pair{QCoreApplication::applicationFilePath(), self},
                                   std::pair{TestProgram::pasteWindowPath(), window},
                                   std::pair{QStringLiteral(KIWANO_KDEINPUT), dir.filePath(QStringLiteral("kiwano-kdeinput"))}}) {
        if (QProcess::execute(QStringLiteral("objcopy"), {QStringLiteral("--strip-debug"), from, to}) != 0) {
            std::printf("  skipped: could not copy %s\n", qPrintable(from));
            return 0;
        }
    }
    const QStringList entries{trust(self, QStringLiteral("kiwano-bench-paste")),
                              trust(dir.filePath(QStringLiteral("kiwano-kdeinput")), QStringLiteral("kiwano-bench-input"))};
    const auto removeEntries = qScopeGuard([&entries] {
        for (const QString &entry : entries)
            QFile::remove(entry);
    });
    if (entries.contains(QString())) {
        std::printf("  skipped: KWin's applications folder is not writable\n");
        return 0;
    }
    QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), kwinUser(), dir.path()});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QThread::msleep(1600); // KWin reads its desktop files again at most every 1.5 s
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral("runuser"), {QStringLiteral("-u"), kwinUser(), QStringLiteral("--"), QStringLiteral("env"), QStringLiteral("-i"),
        QStringLiteral("PATH=") + qEnvironmentVariable("PATH"), QStringLiteral("HOME=") + dir.path(),
        QStringLiteral("XDG_RUNTIME_DIR=") + dir.path(),
        QStringLiteral("WAYLAND_DISPLAY=") + qEnvironmentVariable("KIWANO_TEST_KWIN_DISPLAY"),
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS=") + qEnvironmentVariable("KIWANO_TEST_KWIN_DBUS"),
        QStringLiteral("KIWANO_BENCH_HANDED_OVER=1"), self});
    child.waitForFinished(120000);
    return child.exitCode();
}

template<typename Signal>
void waitFor(KWinKeySender &sender, Signal signal, int timeoutMs)
{
    QEventLoop loop;
    QObject::connect(&sender, signal, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
}

int measure()
{
    KWinKeySender sender({}, 1000);
    waitFor(sender, &KWinKeySender::ready, 3000);
    if (!sender.isTrusted()) {
        std::printf("  skipped: KWin offers this program no fake input\n");
        return 0;
    }
    const QString dir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    // Serves the text to paste until the end.
    QProcess copy;
    copy.start(QStringLiteral("wl-copy"), {QStringLiteral("--foreground"), QStringLiteral("kiwi")});
    spin(200);
    TestProgram probe;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    probe.process().setProcessEnvironment(env);
    if (!probe.start(dir + QStringLiteral("/kiwano-test-pastewindow"), {}, 10000)) {
        std::printf("  skipped: the probe window did not take the focus\n");
        return 1;
    }

    constexpr int rounds = 20;
    int lost = 0;
    std::vector<double> blocked;
    StallWatch watch;
    auto landed = [&] {
        if (probe.waitForLine(QStringLiteral("text "), 5000).isEmpty())
            ++lost;
    };
    const std::vector<double> medians = interleavedMediansMs(rounds, {
        [&] {
            QElapsedTimer call;
            call.start();
            if (!sender.sendPaste(false))
                ++lost;
            blocked.push_back(double(call.nsecsElapsed()) / 1e6);
            landed();
        },
        [&] {
            QProcess keys;
            keys.start(dir + QStringLiteral("/kiwano-kdeinput"), {QStringLiteral("key"), QStringLiteral("ctrl+v")});
            landed();
            keys.waitForFinished(5000);
        },
    });
    std::sort(blocked.begin(), blocked.end());
    // The GUI thread's loop keeps turning while the keys go out: 10 pastes, each given 100 ms.
    double stalled = 0, idle = 0;
    for (int paste = 0; paste < 10; ++paste) {
        watch.start();
        spin(100);
        idle = std::max(idle, watch.stop());
        watch.start();
        if (!sender.sendPaste(false))
            ++lost;
        spin(100);
        stalled = std::max(stalled, watch.stop());
        landed();
    }
    probe.stop();
    copy.kill();
    copy.waitForFinished();

    // The four shortcuts registered as at start, until KGlobalAccel confirmed each.
    watch.start();
    QElapsedTimer registering;
    registering.start();
    double confirmed = -1;
    {
        KGlobalAccelGrabber grabber;
        QEventLoop loop;
        QObject::connect(&grabber, &KGlobalAccelGrabber::shortcutsBound, &loop, [&](const QMap<QString, QString> &bound) {
            if (bound.size() == 4)
                loop.quit();
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        // Shift+Super+6, 5 and 7 and Shift+Super+C, in the stored key numbering.
        grabber.grab(22, 65, {0, 0});
        grabber.grab(23, 65, {0, 1});
        grabber.grab(26, 65, {0, 2});
        grabber.grab(8, 65, {0, 3});
        const double handed = double(registering.nsecsElapsed()) / 1e6;
        loop.exec();
        if (grabber.boundTriggers().size() == 4)
            confirmed = double(registering.nsecsElapsed()) / 1e6;
        std::printf("  four shortcuts handed to KGlobalAccel in %.2f ms on the GUI thread\n", handed);
    }
    const double registerStall = watch.stop();

    std::printf("  paste to text in the window, median of %d\n", rounds);
    printRow("kiwano-kdeinput key ctrl+v, a process of its own (baseline)", medians[1]);
    printRow("KWinKeySender::sendPaste", medians[0]);
    printRow("  of which the caller waits in sendPaste", blocked[blocked.size() / 2]);
    printRow("  the longest wait in sendPaste", blocked.back());
    printRow("  the longest GUI-thread gap (1 ms timer) while pasting", stalled);
    printRow("  the same timer's longest gap with nothing to do (baseline)", idle);
    printRatio("fake input from the running app vs a process", medians[0] / medians[1], "lower is better");
    printRow("shortcuts confirmed by KGlobalAccel", confirmed);
    printRow("  the longest GUI-thread gap meanwhile", registerStall);
    if (lost)
        std::printf("  %d pastes did not arrive\n", lost);
    return lost ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const QString why = qEnvironmentVariable("KIWANO_TEST_KWIN_SKIP"); !why.isEmpty()) {
        std::printf("  skipped: %s\n", qPrintable(why));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("KIWANO_TEST_KWIN_DISPLAY") && qEnvironmentVariableIsEmpty("KIWANO_BENCH_HANDED_OVER")) {
        std::printf("  skipped: no test KWin (run through scripts/run-bench.sh)\n");
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("KIWANO_BENCH_HANDED_OVER"))
        return handOver();
    return measure();
}
