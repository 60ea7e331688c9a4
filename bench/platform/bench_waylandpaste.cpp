// SPDX-License-Identifier: MIT
// From the paste request to the text landing in a native Wayland window: our virtual keyboard
// against wtype typing the same keys, in turns, under the test compositor.

#include "platform/testprograms.h"
#include "platform/wayland/waylandkeysender.h"
#include "platform/waylandsession.h"
#include "timing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>

#include <cstdio>

namespace {
// The sender connects on its own thread: wait for its keyboard to be in place.
void waitUntilReady(WaylandKeySender &sender)
{
    QEventLoop loop;
    QObject::connect(&sender, &WaylandKeySender::ready, &loop, &QEventLoop::quit);
    if (!sender.isReady())
        loop.exec();
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty()) {
        std::printf("  skipped: %s\n", qPrintable(why));
        return 0;
    }
    // Made before the window, so the seat has a keyboard when the window maps.
    WaylandKeySender sender(WaylandSession::display(), 1000);
    waitUntilReady(sender);
    if (!sender.isTrusted()) {
        std::printf("  skipped: the compositor offers no virtual keyboard\n");
        return 0;
    }
    QProcess copy;
    copy.setProcessEnvironment(WaylandSession::environment());
    copy.start(QStringLiteral("wl-copy"), {QStringLiteral("kiwi")});
    copy.waitForFinished(5000);

    TestProgram probe;
    QProcessEnvironment env = WaylandSession::environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    probe.process().setProcessEnvironment(env);
    if (!probe.start(TestProgram::pasteWindowPath(), {}, 10000)) {
        std::printf("  skipped: the probe window did not take the focus\n");
        return 1;
    }

    constexpr int rounds = 20;
    int lost = 0;
    std::vector<double> blocked;
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
            QProcess wtype;
            wtype.setProcessEnvironment(WaylandSession::environment());
            wtype.start(QStringLiteral("wtype"), {"-M", "ctrl", "-k", "v", "-m", "ctrl"});
            landed();
            wtype.waitForFinished(5000);
        },
    });
    std::sort(blocked.begin(), blocked.end());
    // What making the keyboard takes, on the sender's thread: the connection, the keymap and its
    // roundtrip.
    const double setUp = medianMs(5, [] {
        WaylandKeySender made(WaylandSession::display(), 1000);
        waitUntilReady(made);
    });

    std::printf("  paste to text in the window, median of %d\n", rounds);
    printRow("wtype -M ctrl -k v -m ctrl (baseline)", medians[1]);
    printRow("WaylandKeySender::sendPaste", medians[0]);
    printRow("  of which the caller waits in sendPaste", blocked[blocked.size() / 2]);
    printRow("  the longest wait in sendPaste", blocked.back());
    printRow("  making the keyboard (once, off the GUI thread)", setUp);
    printRatio("virtual keyboard vs wtype", medians[0] / medians[1], "lower is better");
    if (lost)
        std::printf("  %d pastes did not arrive\n", lost);
    probe.stop();
    return lost ? 1 : 0;
}
