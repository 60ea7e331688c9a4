// SPDX-License-Identifier: MIT
// A whole-output grab on Wayland from start to PNG on disk, kiwano-capture -m against grim on the
// same 1280x720 output of the headless sway, in turns; then the two halves of ours on their own.
#include "capture/pngfile.h"
#include "platform/wayland/waylandscreen.h"
#include "platform/waylandsession.h"
#include "screenshot.h"
#include "timing.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

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
    window.kill();
    window.waitForFinished();
    return 0;
}
