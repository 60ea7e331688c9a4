// SPDX-License-Identifier: MIT
// The tray program at rest: time from process start to its icon in the tray with a full clipboard
// history (1,000 entries) and 100 grabs, resident memory once started, and how often it wakes
// while idle. Each figure stands beside a Qt program that only shows a tray icon, run here too.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include "clipboard/clipboard.h"
#include "timing.h"

#include <cstdio>

namespace {

// A program of the build tree, from its top.
QString binary(const QString &path)
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + path);
}

// XDG folders holding a history of this many clips and grabs.
void fill(const QString &home, int clips, int grabs)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + "/data"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + "/config"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home + "/config");
    {
        Clipboard clipboard(nullptr, nullptr, nullptr);
        clipboard.setLimit(qMax(clips, 200));
        for (int i = 0; i < clips; ++i)
            clipboard.add({{QStringLiteral("text/plain"), QStringLiteral("clip number %1 of the bench").arg(i).toUtf8()}},
                          std::nullopt);
        clipboard.finishPendingCopies();
    }
    const QString history = home + "/data/KiwanoSnapper/History";
    QDir().mkpath(history);
    QImage image(1280, 800, QImage::Format_RGB32);
    for (int i = 0; i < grabs; ++i) {
        image.fill(QColor::fromHsv(i * 3 % 360, 120, 220));
        image.save(history + QStringLiteral("/grab-20260101-%1-ABCDEF.png").arg(i, 6, 10, QChar('0')));
    }
}

bool trayIconOf(const QString &className)
{
    QProcess tree;
    tree.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    tree.waitForFinished();
    // The icon is a small window of that class, reparented into the tray host.
    const QRegularExpression icon(QStringLiteral("\\(\"%1\" \"[^\"]*\"\\)\\s+(\\d+)x(\\d+)\\+")
                                      .arg(QRegularExpression::escape(className)));
    const QString text = QString::fromUtf8(tree.readAllStandardOutput());
    for (auto it = icon.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        const int width = match.captured(1).toInt();
        if (width >= 8 && width <= 64)
            return true;
    }
    return false;
}

long rssKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Context switches of every thread of the process: each one is a wake-up.
long wakeups(qint64 pid)
{
    long total = 0;
    for (const QString &task : QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(QStringLiteral("/proc/%1/task/%2/status").arg(pid).arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:") || line.startsWith("nonvoluntary_ctxt_switches:"))
                total += line.split(':').last().trimmed().toLong();
    }
    return total;
}

struct Run
{
    double startMs = -1;
    long rss = -1;
    long wakes = -1;
};

Run measure(const QString &program, const QString &className, const QString &home, int idleSeconds)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + "/data");
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + "/config");
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + "/runtime");
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QDir().mkpath(home + "/runtime");
    QFile::setPermissions(home + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    process.setProcessEnvironment(env);
    Run run;
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForStarted())
        return run;
    while (timer.elapsed() < 10000 && !trayIconOf(className))
        QThread::msleep(2);
    run.startMs = double(timer.nsecsElapsed()) / 1e6;
    QThread::msleep(1000); // let the first turns of the event loop settle
    run.rss = rssKb(process.processId());
    if (idleSeconds > 0) {
        const long before = wakeups(process.processId());
        QThread::sleep(idleSeconds);
        run.wakes = wakeups(process.processId()) - before;
    }
    process.terminate();
    process.waitForFinished(5000);
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("bench_startup: needs an X server\n");
        return 0;
    }
    QProcess tray;
    tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                                          QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                                          QStringLiteral("--width"), QStringLiteral("100"), QStringLiteral("--height"),
                                          QStringLiteral("28")});
    if (!tray.waitForStarted()) {
        std::printf("bench_startup: needs trayer as the tray host\n");
        return 0;
    }
    QThread::msleep(500);

    QTemporaryDir full(QDir::currentPath() + "/bench-startup-XXXXXX");
    QTemporaryDir empty(QDir::currentPath() + "/bench-startup-XXXXXX");
    fill(full.path(), 1000, 100);
    fill(empty.path(), 0, 0);

    const int rounds = 5;
    std::vector<double> app1, base1, appEmpty;
    Run last, lastBase, lastEmpty;
    for (int i = 0; i < rounds; ++i) {
        lastBase = measure(binary("bench/probes/trayprobe"), QStringLiteral("trayprobe"), empty.path(), 0);
        last = measure(binary("src/app/kiwano-snapper"), QStringLiteral("kiwano-snapper"), full.path(), 0);
        lastEmpty = measure(binary("src/app/kiwano-snapper"), QStringLiteral("kiwano-snapper"), empty.path(), 0);
        base1.push_back(lastBase.startMs);
        app1.push_back(last.startMs);
        appEmpty.push_back(lastEmpty.startMs);
    }
    const auto median = [](std::vector<double> v) { std::sort(v.begin(), v.end()); return v[v.size() / 2]; };
    std::printf("Start to tray icon (median of %d)\n", rounds);
    printRow("bare Qt tray program (baseline)", median(base1));
    printRow("kiwano-snapper, empty history", median(appEmpty));
    printRow("kiwano-snapper, 1,000 clips and 100 grabs", median(app1));
    printRatio("full history vs baseline", median(app1) / median(base1), "goal: at most 200 ms");

    std::printf("Resident memory once started\n");
    std::printf("  %-52s %9ld kB\n", "bare Qt tray program (baseline)", lastBase.rss);
    std::printf("  %-52s %9ld kB\n", "kiwano-snapper, empty history", lastEmpty.rss);
    std::printf("  %-52s %9ld kB\n", "kiwano-snapper, 1,000 clips and 100 grabs", last.rss);
    printRatio("full history vs baseline", double(last.rss) / lastBase.rss, "goal: at most 40 MB");

    const int idle = 10;
    const Run idleBase = measure(binary("bench/probes/trayprobe"), QStringLiteral("trayprobe"), empty.path(), idle);
    const Run idleApp = measure(binary("src/app/kiwano-snapper"), QStringLiteral("kiwano-snapper"), full.path(), idle);
    std::printf("Wake-ups over %d s idle (context switches of all threads)\n", idle);
    std::printf("  %-52s %9ld\n", "bare Qt tray program (baseline)", idleBase.wakes);
    std::printf("  %-52s %9ld\n", "kiwano-snapper, 1,000 clips and 100 grabs", idleApp.wakes);

    tray.terminate();
    tray.waitForFinished(2000);
    return 0;
}
