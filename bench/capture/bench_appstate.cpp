// SPDX-License-Identifier: MIT
// Opening a 5K grab through the application state, against the bare decode of the same file.
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "capture/appstate.h"
#include "capture/history.h"
#include "editor/model/editormodel.h"

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

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(QStringLiteral("data"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
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
    return 0;
}
