// SPDX-License-Identifier: MIT
// From the region shortcut to the capture overlay on a 3840x2160 screen, beside the capture tool
// started directly (no app, no shortcut) on the same screen in the same run.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "timing.h"

#include <cstdio>

namespace {

QString display;

QString binary(const QString &path)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + path);
}

QProcessEnvironment environment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + "/data");
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + "/config");
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + "/runtime");
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

bool run(const QStringList &command, const QString &home = {})
{
    QProcess process;
    if (!home.isEmpty())
        process.setProcessEnvironment(environment(home));
    else {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        process.setProcessEnvironment(env);
    }
    process.start(command.first(), command.mid(1));
    return process.waitForFinished(5000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool overlayShown()
{
    return run({QStringLiteral("xdotool"), QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                QStringLiteral("--classname"), QStringLiteral("kiwano-capture")});
}

// Polls until the overlay is visible; milliseconds since the timer started, or -1.
double waitForOverlay(const QElapsedTimer &timer)
{
    while (timer.elapsed() < 10000) {
        if (overlayShown())
            return double(timer.nsecsElapsed()) / 1e6;
        QThread::msleep(1);
    }
    return -1;
}

void cancelOverlay()
{
    run({QStringLiteral("xdotool"), QStringLiteral("key"), QStringLiteral("Escape")});
    for (int i = 0; i < 500 && overlayShown(); ++i)
        QThread::msleep(10);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int number = 230;
    while (number < 300 && (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
                            || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number))))
        ++number;
    display = QStringLiteral(":%1").arg(number);
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {display, QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("3840x2160x24"), QStringLiteral("-nolisten"),
                                        QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!xvfb.waitForStarted()) {
        std::printf("bench_grabstart: needs Xvfb\n");
        return 0;
    }
    for (int i = 0; i < 200 && !run({QStringLiteral("xdpyinfo")}); ++i)
        QThread::msleep(50);

    QTemporaryDir home(QDir::currentPath() + "/bench-grabstart-XXXXXX");
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcess snapper;
    snapper.setProcessEnvironment(environment(home.path()));
    snapper.start(binary("src/app/kiwano-snapper"), {});
    snapper.waitForStarted();

    // Warm up: the first press also proves the shortcut is registered.
    const QStringList press{QStringLiteral("xdotool"), QStringLiteral("key"), QStringLiteral("super+shift+6")};
    bool ready = false;
    for (int i = 0; i < 50 && !ready; ++i) {
        run(press);
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 200 && !(ready = overlayShown()))
            QThread::msleep(5);
    }
    if (!ready) {
        std::printf("bench_grabstart: the region shortcut never showed the overlay\n");
        return 1;
    }
    cancelOverlay();

    const int rounds = 7;
    std::vector<double> direct, viaShortcut;
    for (int i = 0; i < rounds; ++i) {
        QProcess tool;
        tool.setProcessEnvironment(environment(home.path()));
        QElapsedTimer timer;
        timer.start();
        tool.start(binary("src/app/kiwano-capture"), {QStringLiteral("-i"), home.filePath("direct.png")});
        direct.push_back(waitForOverlay(timer));
        cancelOverlay();
        tool.waitForFinished(5000);

        // A moment between two grabs, as a person takes them: the app starts its next capture
        // tool ahead once a grab is done.
        QThread::msleep(800);
        timer.restart();
        run(press);
        viaShortcut.push_back(waitForOverlay(timer));
        cancelOverlay();
    }
    const auto median = [](std::vector<double> v) { std::sort(v.begin(), v.end()); return v[v.size() / 2]; };
    std::printf("Region shortcut to capture overlay at 3840x2160 (median of %d)\n", rounds);
    printRow("capture tool started directly (baseline)", median(direct));
    printRow("shortcut through the running app", median(viaShortcut));
    printRatio("shortcut vs baseline", median(viaShortcut) / median(direct), "goal: at most 100 ms");

    snapper.terminate();
    snapper.waitForFinished(5000);
    xvfb.terminate();
    xvfb.waitForFinished(5000);
    return 0;
}
