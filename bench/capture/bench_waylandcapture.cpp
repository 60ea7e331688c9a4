// SPDX-License-Identifier: MIT
// A whole-output grab on Wayland from start to PNG on disk, kiwano-capture -m against grim on the
// same 1280x720 output of the headless sway, in turns; then the two halves of ours on their own;
// then the interactive overlay from start to its first paint, as native Wayland windows and
// through XWayland.
#include "capture/pngfile.h"
#include "platform/wayland/waylandscreen.h"
#include "platform/waylandsession.h"
#include "screenshot.h"
#include "timing.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

constexpr int rounds = 15;

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(WaylandSession::environment());
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitCode() == 0;
}

// The compositor lets only its own user on its XWayland, so the overlays run as that user.
QStringList asCompositorUser(const QStringList &command)
{
    const QString user = qEnvironmentVariable("KIWANO_TEST_WAYLAND_USER");
    QStringList env{"env"};
    const QProcessEnvironment session = WaylandSession::environment();
    for (const QString &key : {"WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "SWAYSOCK", "XDG_SESSION_TYPE", "PATH"})
        env << key + "=" + session.value(key);
    if (user.isEmpty() || user == qEnvironmentVariable("USER", "root"))
        return env + command;
    return QStringList{"runuser", "-u", user, "--"} + env + command;
}

// Start of kiwano-capture -i to the first paint of its overlay, as the tool reports it.
double overlayStartMs(const QStringList &settings, const QString &output)
{
    QProcess tool;
    const QStringList command = asCompositorUser(settings + QStringList{"KIWANO_CAPTURE_TRACE=1", KIWANO_CAPTURE_TOOL, "-i", "-x", output});
    QElapsedTimer clock;
    clock.start();
    tool.setReadChannel(QProcess::StandardError);
    tool.start(command.first(), command.mid(1));
    double ms = -1;
    while (ms < 0 && tool.waitForReadyRead(10000)) {
        while (ms < 0 && tool.canReadLine()) {
            if (tool.readLine().contains("overlay painted"))
                ms = double(clock.nsecsElapsed()) / 1e6;
        }
    }
    tool.terminate();
    if (!tool.waitForFinished(3000)) {
        tool.kill();
        tool.waitForFinished();
    }
    return ms;
}

// The X display of the compositor's XWayland, as its own programs see it; empty without one.
QString xwaylandDisplay(const QString &folder)
{
    const QString file = folder + "/display";
    QProcess::execute("chmod", {"777", folder});
    WaylandSession::swaymsg({"exec", "echo $DISPLAY > " + file});
    for (int i = 0; i < 50 && QFile(file).size() == 0; ++i)
        QThread::msleep(20);
    QFile read(file);
    return read.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(read.readAll().trimmed()) : QString();
}

} // namespace

int main()
{
    std::printf("Wayland capture of the 1280x720 headless output to a PNG\n");
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty()) {
        std::printf("  skipped: %s\n", qPrintable(why));
        return 0;
    }
    QTemporaryDir dir;
    const QString picture = dir.filePath("desktop.png"), ours = dir.filePath("ours.png"),
                  theirs = dir.filePath("grim.png");
    BenchImage::screenshot(QSize(1280, 720)).save(picture);
    // A desktop-like picture on screen, so that encoding costs what it costs on a real desktop.
    QProcess window;
    window.setProcessEnvironment(WaylandSession::environment());
    window.start(KIWANO_TEST_PATTERNWINDOW, {"HEADLESS-1", "0", "--picture=" + picture});
    if (!window.waitForReadyRead(10000)) {
        std::printf("  skipped: the picture window did not show\n");
        return 0;
    }

    bool failed = false;
    const std::vector<double> medians = interleavedMediansMs(rounds, {
        [&] {
            QFile::remove(ours);
            failed |= !run(KIWANO_CAPTURE_TOOL, {"-m", "-x", ours});
        },
        [&] {
            QFile::remove(theirs);
            failed |= !run("grim", {"-o", "HEADLESS-1", theirs});
        },
    });
    if (failed)
        std::printf("  (a run failed: the figures below are not to be trusted)\n");
    printRow("kiwano-capture -m (process start to PNG)", medians[0]);
    printRow("grim -o HEADLESS-1 (baseline)", medians[1]);
    printRatio("kiwano-capture / grim", medians[0] / medians[1], "goal: at most 1.00");
    std::printf("  %-52s %9lld / %lld bytes\n", "PNG size, ours / grim's", QFile(ours).size(), QFile(theirs).size());

    // Where our time goes, in this process: the copy from the compositor, then the encoding.
    qputenv("WAYLAND_DISPLAY", WaylandSession::display());
    const auto screen = WaylandScreen::open();
    if (screen) {
        QImage frame;
        const double copy = medianMs(rounds, [&] { frame = screen->grab({0}, 2000).value(0); });
        const double encode = medianMs(rounds, [&] {
            QFile::remove(ours);
            PngFile::write(frame, ours);
        });
        printRow("  of which: screen copy into shared memory", copy);
        printRow("  of which: PNG encoding and writing", encode);
    }

    // The overlay: native Wayland windows against XWayland ones (woken up first: a lazy XWayland
    // starting for us would cost more still).
    const QString display = xwaylandDisplay(dir.path());
    if (display.isEmpty()) {
        std::printf("  overlay through XWayland: skipped, the compositor runs no XWayland\n");
    } else {
        QProcess::execute("bash", {"-c", asCompositorUser({"DISPLAY=" + display, "xdpyinfo"}).join(' ') + " >/dev/null 2>&1"});
        const QString overlayOut = dir.filePath("overlay.png");
        // Timed from the tool's own report: ending it (and runuser's session) takes longer.
        std::vector<double> native, xwayland;
        for (int round = 0; round < 9; ++round) {
            native.push_back(overlayStartMs({"DISPLAY=" + display}, overlayOut));
            xwayland.push_back(overlayStartMs({"DISPLAY=" + display, "KIWANO_CAPTURE_OVERLAY=xwayland"}, overlayOut));
        }
        std::sort(native.begin(), native.end());
        std::sort(xwayland.begin(), xwayland.end());
        const double overlay[2] = {native[native.size() / 2], xwayland[xwayland.size() / 2]};
        printRow("kiwano-capture -i to first overlay paint, native", overlay[0]);
        printRow("the same through XWayland (baseline)", overlay[1]);
        printRatio("native / XWayland", overlay[0] / overlay[1], "no goal: the choice's price");
    }
    window.kill();
    window.waitForFinished();
    return 0;
}
