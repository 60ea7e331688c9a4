// SPDX-License-Identifier: MIT
// Opening a 5K grab through the application state, against the bare decode of the same file;
// switching to a grab through prepareModel, against decoding it on the main thread; and the
// memory left after visiting a hundred 5K grabs, against the memory before.
#include "stallwatch.h"
#include "timing.h"

#include <QGuiApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/editormodel.h"
#include "image/png.h"

namespace {

// Window-like flat panels with lines of small marks, the way screenshots compress.
QImage screenshotLike(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(236, 236, 236));
    QPainter painter(&image);
    for (int i = 0; i < 12; ++i) {
        const QRect panel(i * 397 % size.width(), i * 211 % size.height(), 1400, 900);
        painter.fillRect(panel, QColor::fromHsv(i * 29 % 360, 40, 250));
        for (int y = panel.top() + 20; y < panel.bottom(); y += 22) {
            for (int x = panel.left() + 16; x < panel.right() - 16; x += 9)
                if ((x * 31 + y * 17 + i) % 7 > 1)
                    painter.fillRect(x, y, 6, 12, QColor(40, 40, 40));
        }
    }
    return image;
}

double medianMs(int runs, const std::function<void()> &setup, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        setup();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Asks for the grab's model the way the editor does and runs the event loop until it is ready;
// false when it failed.
bool prepare(AppState &state, const QUrl &url)
{
    QEventLoop loop;
    bool ready = false;
    const auto done = QObject::connect(&state, &AppState::modelReady, &loop, [&](const QUrl &u) {
        if (u == url)
            ready = true, loop.quit();
    });
    const auto failed = QObject::connect(&state, &AppState::modelFailed, &loop,
                                         [&](const QUrl &u) { if (u == url) loop.quit(); });
    state.prepareModel(url);
    loop.exec();
    QObject::disconnect(done);
    QObject::disconnect(failed);
    return ready;
}

void benchSwitching(const GrabEntry &entry)
{
    const int runs = 7;
    std::vector<double> syncMs, stallMs, cpuMs;
    for (int i = 0; i < runs; ++i) {
        {
            AppState state;
            QElapsedTimer timer;
            timer.start();
            state.model(entry.url);
            syncMs.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        AppState state;
        StallWatch watch;
        watch.start();
        const double cpu = threadCpuMs();
        prepare(state, entry.url);
        cpuMs.push_back(threadCpuMs() - cpu);
        stallMs.push_back(watch.stop());
    }
    for (auto *v : {&syncMs, &stallMs, &cpuMs})
        std::sort(v->begin(), v->end());
    const double sync = syncMs[runs / 2], stall = stallMs[runs / 2], cpu = cpuMs[runs / 2];
    std::printf("Switching to a 5120 x 2880 grab, median of %d runs\n", runs);
    std::printf("  baseline: model(url), decoded on the main thread %8.1f ms  1.00\n", sync);
    std::printf("  prepareModel to modelReady, longest stall        %8.1f ms  %.2f  (goal <= 16 ms)\n",
                stall, stall / sync);
    std::printf("  prepareModel to modelReady, main-thread CPU      %8.1f ms  %.2f\n", cpu, cpu / sync);
}

// Visits every grab of a full history one after the other as the strip does, editing every
// 25th, and compares the memory at the end with the memory before.
void benchVisitingAll(const QString &folder, const QImage &picture)
{
    const QByteArray png = Png::encode(picture);
    for (int i = 0; i < History::limit; ++i) {
        QFile file(QDir(folder).filePath(QStringLiteral("grab-20260101-%1-VISITS.png").arg(i, 6, 10, QChar('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
            std::fprintf(stderr, "cannot write the grabs\n");
            return;
        }
    }
    AppState state;
    const qint64 before = residentBytes();
    QElapsedTimer timer;
    timer.start();
    QList<EditorModel *> edited;
    int visited = 0;
    for (const GrabEntry &entry : state.entries()) {
        state.setSelected(entry.url);
        if (!prepare(state, entry.url))
            continue;
        ++visited;
        EditorModel *model = state.model(entry.url);
        if (visited % 25 == 0) {
            model->commit(Annotation(Shapes::Rect{QRectF(100, 100, 400, 300)}, Style()));
            edited.append(model);
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const qint64 after = residentBytes();
    const bool undoKept = std::all_of(edited.cbegin(), edited.cend(), [&](EditorModel *m) {
        return state.models().values().contains(m) && m->canUndo();
    });
    std::printf("Visiting %d grabs of 5120 x 2880 (%d edited), %.1f s\n", visited,
                int(edited.size()), seconds);
    std::printf("  baseline: resident before                    %8.1f MB  1.00\n", before / 1e6);
    std::printf("  resident after the visits                    %8.1f MB  %.2f  (goal < 600 MB)\n",
                after / 1e6, double(after) / before);
    std::printf("  models alive %lld, edited grabs keep their undo: %s\n",
                qlonglong(state.models().size()), undoKept ? "yes" : "NO");
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("config")));

    const auto entry = History::add(screenshotLike(QSize(5120, 2880)));
    if (!entry) {
        std::fprintf(stderr, "cannot write the sample grab\n");
        return 1;
    }
    const int runs = 7;

    const double decode = medianMs(runs, [] {}, [&] { History::image(*entry); });

    std::unique_ptr<AppState> state;
    const auto fresh = [&] { state = std::make_unique<AppState>(); };
    const double open = medianMs(runs, fresh, [&] { state->model(entry->url); });
    const double celebrate = medianMs(runs, fresh, [&] { state->insert(*entry, true); });
    const double reopen = medianMs(runs, [] {}, [&] { state->model(entry->url); });
    const double load = medianMs(runs, [] {}, [&] { AppState listed; });

    std::printf("5120 x 2880 grab, median of %d runs\n", runs);
    std::printf("  baseline: History::image decode     %8.1f ms  1.00\n", decode);
    std::printf("  first model(url)                     %8.1f ms  %.2f\n", open, open / decode);
    std::printf("  insert(entry, celebrate: true)       %8.1f ms  %.2f\n", celebrate, celebrate / decode);
    std::printf("  model(url) again (kept)              %8.3f ms  %.4f\n", reopen, reopen / decode);
    std::printf("  AppState() listing one grab          %8.3f ms  %.4f\n", load, load / decode);
    state.reset();

    benchSwitching(*entry);
    QFile::remove(entry->path());
    benchVisitingAll(History::dir(), screenshotLike(QSize(5120, 2880)));
    return 0;
}
