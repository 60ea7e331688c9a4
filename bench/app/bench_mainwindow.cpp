// SPDX-License-Identifier: MIT
// Opening the main window over a history of 100 grabs: main-thread time until the window has
// painted once, against showing an empty QMainWindow of the same size in the same run. The
// thumbnails land afterwards, made on worker threads; the time until all visible ones are in is
// printed beside.
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <memory>

#include "app/editorwindowcontroller.h"
#include "app/historymodel.h"
#include "app/historystrip.h"
#include "app/rootview.h"
#include "app/stripview.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "capture/thumbnailcache.h"
#include "timing.h"

namespace {

// 1920 x 1080 grabs with panels and lines of marks, the way screenshots compress.
QImage screenshotLike(int seed)
{
    QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor::fromHsv(seed * 37 % 360, 60, 220));
    QPainter painter(&image);
    for (int i = 0; i < 4; ++i) {
        const QRect panel((seed * 131 + i * 397) % 1200, (i * 211) % 500, 900, 560);
        painter.fillRect(panel, QColor(248, 248, 246));
        for (int y = panel.top() + 30; y < panel.bottom(); y += 22)
            painter.fillRect(panel.left() + 16, y, (y * 7 + seed) % 700 + 100, 10, QColor(60, 60, 60));
    }
    return image;
}

// Spins the event loop until the widget has been painted once; the time it took.
double untilPainted(QWidget *widget, const std::function<void()> &start)
{
    struct Watch : QObject
    {
        bool painted = false;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted = true;
            return false;
        }
    } watch;
    widget->installEventFilter(&watch);
    QElapsedTimer timer;
    timer.start();
    start();
    while (!watch.painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // The paint itself is part of the work.
    QCoreApplication::processEvents();
    const double ms = timer.nsecsElapsed() / 1e6;
    widget->removeEventFilter(&watch);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("config")));

    const QString folder = History::dir();
    for (int i = 0; i < History::limit; ++i) {
        const QString name = QStringLiteral("grab-20260101-%1-%2.png")
            .arg(i, 6, 10, QLatin1Char('0'))
            .arg(QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(6));
        screenshotLike(i).save(QDir(folder).filePath(name), "png");
    }

    std::printf("Opening the main window over %d grabs of 1920 x 1080 (%s)\n", History::limit,
                qPrintable(QGuiApplication::platformName()));
    std::vector<double> baseline, opened, created, thumbnails;
    for (int round = 0; round < 7; ++round) {
        {
            QMainWindow window;
            window.resize(1200, 820);
            baseline.push_back(untilPainted(&window, [&] { window.show(); }));
        }
        QCoreApplication::processEvents();

        History::thumbnails()->clear();
        QElapsedTimer timer;
        timer.start();
        auto state = std::make_unique<AppState>();
        state->selectLatestIfNeeded();
        auto controller = std::make_unique<EditorWindowController>(state.get());
        StripView *strip = controller->rootView()->strip()->view();
        const double made = timer.nsecsElapsed() / 1e6;
        created.push_back(made);
        opened.push_back(made + untilPainted(strip->viewport(), [&] { controller->show(); }));
        // Then the visible thumbnails, as they land.
        HistoryModel *model = controller->rootView()->strip()->model();
        auto visibleMissing = [&] {
            for (int row = 0; row < model->rowCount(); ++row) {
                const QRect item = strip->visualRect(model->index(row));
                if (item.intersects(strip->viewport()->rect())
                    && History::thumbnails()->cached(state->entries().at(row).url).isNull())
                    return true;
            }
            return false;
        };
        while (visibleMissing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        thumbnails.push_back(timer.nsecsElapsed() / 1e6);
        controller.reset();
        state.reset();
        QCoreApplication::processEvents();
    }
    auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    const double base = median(baseline);
    const double first = median(opened);
    printRow("empty QMainWindow, show to first paint (baseline)", base);
    printRow("main window, 100 grabs: create + show to first paint", first);
    printRow("  of which making the state and the window", median(created));
    printRatio("main window / baseline", first / base, "first paint <= 150 ms");
    printRow("until the visible thumbnails are in", median(thumbnails));
    return 0;
}
