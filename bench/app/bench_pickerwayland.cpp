// SPDX-License-Identifier: MIT
// In a Wayland session the picker is a window of ours that takes the focus, either as a native
// Wayland client or through XWayland. Measures, under the headless sway, the time from asking the
// running program for the picker to the compositor focusing it, for both at once (two instances,
// each with a runtime folder of its own, in turns).
#include "platform/waylandsession.h"
#include "timing.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

QString focusedName()
{
    return WaylandSession::focusedWindow().value(QStringLiteral("name")).toString();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}

struct Instance
{
    QString command;
    QString title;
};

Instance start(const QString &folder, bool xwayland)
{
    QDir().mkpath(folder + QStringLiteral("/run"));
    for (const QString &path : {folder, folder + QStringLiteral("/run")})
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                        | QFile::WriteOther | QFile::ExeOther);
    Instance instance;
    instance.command = QStringLiteral("env %1 XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=%2 HOME=%3 "
                                      "XDG_RUNTIME_DIR=%3/run XDG_CONFIG_HOME=%3/config XDG_DATA_HOME=%3/data "
                                      "XDG_CACHE_HOME=%3/cache %4")
                           .arg(xwayland ? QString() : QStringLiteral("-u DISPLAY"),
                                QString::fromLocal8Bit(WaylandSession::display()), folder,
                                WaylandSession::programForCompositor(KIWANO_SNAPPER_PATH));
    WaylandSession::swaymsg({QStringLiteral("exec"), instance.command});
    return instance;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::printf("== picker in a Wayland session: native window against XWayland\n");
    if (const QString why = WaylandSession::skipReason(); !why.isEmpty()) {
        std::printf("  skipped: %s\n", qPrintable(why));
        return 0;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("Xwayland")).isEmpty()) {
        std::printf("  skipped: Xwayland is not installed\n");
        return 0;
    }
    QTemporaryDir root;
    const Instance native = start(root.filePath(QStringLiteral("native")), false);
    const Instance xwayland = start(root.filePath(QStringLiteral("xwayland")), true);
    // Both main windows up, the second one focused last; a first open of each makes its panel.
    QThread::msleep(3000);
    auto openAndClose = [](const Instance &instance) {
        WaylandSession::swaymsg({QStringLiteral("exec"), instance.command + QStringLiteral(" --clipboard")});
        if (!waitFor([] { return focusedName() == QStringLiteral("Clipboard"); }, 10000))
            std::printf("  the picker did not take the focus\n");
    };
    auto close = [] {
        QProcess wtype;
        wtype.setProcessEnvironment(WaylandSession::environment());
        wtype.start(QStringLiteral("wtype"), {QStringLiteral("-k"), QStringLiteral("Escape")});
        wtype.waitForFinished(5000);
        waitFor([] { return focusedName() != QStringLiteral("Clipboard"); }, 5000);
    };
    openAndClose(native);
    close();
    openAndClose(xwayland);
    close();

    QElapsedTimer total;
    total.start();
    const std::vector<double> medians = interleavedMediansMs(
        10, {[&] { openAndClose(native); }, [&] { close(); }, [&] { openAndClose(xwayland); }, [&] { close(); }});
    printRow("ask for the picker -> focused, native Wayland", medians[0]);
    printRow("ask for the picker -> focused, XWayland", medians[2]);
    printRatio("native / XWayland", medians[0] / medians[2], "lower is faster");
    for (const Instance &instance : {native, xwayland})
        WaylandSession::swaymsg({QStringLiteral("exec"), instance.command + QStringLiteral(" --quit")});
    QThread::msleep(1000);
    return 0;
}
