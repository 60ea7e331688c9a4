// SPDX-License-Identifier: MIT
// The clipboard picker with a thousand entries, a fifth of them pictures: the GUI thread's time
// from the shortcut to a painted panel, one keystroke of search, and the memory the open panel
// takes, beside plain Qt lists measured in the same run.
#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpickerview.h"
#include "clipboard/picker/view/cliplist.h"
#include "clipboard/store.h"
#include "fakes/fakeclipboardservice.h"
#include "fakes/fakefrontapp.h"
#include "fakes/fakekeysender.h"
#include "hotkeys/hotkeycenter.h"
#include "timing.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QWindow>

#include <malloc.h>

namespace {

constexpr int entries = 1000;
constexpr int pictures = 200;

QByteArray png(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor::fromHsv(seed * 7 % 360, 200, 220));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

double residentMiB()
{
    return double(residentBytes()) / (1024.0 * 1024.0);
}

// Lets the window system map and paint the window, then paints it once more synchronously, so
// that the whole GUI-thread cost of showing it is inside the measurement.
void settle(QWidget &window)
{
    for (int i = 0; i < 50 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    window.repaint();
    QCoreApplication::processEvents();
}

void type(QWidget *field, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(field, &release);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.filePath(QStringLiteral("config")));
    FakeClipboardService board;
    FakeFrontApp front;
    FakeKeySender keys;
    Clipboard clipboard(&board, &front, &keys, home.filePath(QStringLiteral("Clipboard")));
    clipboard.setLimit(entries + 10);

    QStringList titles;
    QDateTime now(QDate(2026, 12, 5), QTime(9, 0));
    clipboard.setClock([&now] { return now = now.addSecs(1); });
    for (int i = 0; i < entries; ++i) {
        if (i % (entries / pictures) == 0)
            clipboard.add({{QStringLiteral("image/png"), png(640 + i % 97, 400, i)}}, std::nullopt);
        else
            clipboard.add({{QStringLiteral("text/plain"),
                            QStringLiteral("Entry %1: the quick brown fox jumps over the lazy dog %2")
                                .arg(i).arg(i * 7919 % 1000).toUtf8()}},
                          std::nullopt);
    }
    clipboard.finishPendingCopies();
    clipboard.store().waitForThumbnails();
    for (const ClipItem &item : clipboard.items())
        titles << item.title;

    HotKeyCenter hotKeys;
    ClipboardPanel panel(clipboard, hotKeys);
    panel.heldModifiers = [] { return Qt::KeyboardModifiers(); };
    QListWidget baselineList;
    baselineList.resize(ClipboardPanel::panelSize);

    std::printf("Clipboard picker, %d entries (%d pictures), platform %s\n", int(clipboard.items().size()),
                pictures, qPrintable(QGuiApplication::platformName()));

    // The first opening also builds the panel's rows once; later ones are what the user meets.
    QElapsedTimer first;
    first.start();
    panel.open(false);
    settle(panel);
    printRow("first opening", first.nsecsElapsed() / 1e6);
    panel.close();

    const std::vector<double> open = interleavedMediansMs(15, {
        [&] {
            panel.open(false);
            settle(panel);
            panel.close();
        },
        [&] {
            baselineList.clear();
            baselineList.addItems(titles);
            baselineList.show();
            settle(baselineList);
            baselineList.hide();
        },
    });
    printRow("shortcut to painted panel (open, map, paint, close)", open[0]);
    printRow("baseline: QListWidget of the same titles shown", open[1]);
    printRatio("panel / baseline", open[0] / open[1], "goal: panel at most 30 ms");

    // One keystroke: type a digit, then take it back, each filtering and painting the list.
    QStringListModel titleModel(titles);
    QSortFilterProxyModel filter;
    filter.setSourceModel(&titleModel);
    filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
    QListView baselineView;
    baselineView.setModel(&filter);
    baselineView.resize(ClipboardPanel::panelSize);
    baselineView.show();
    settle(baselineView);
    panel.open(false);
    settle(panel);
    QLineEdit *field = panel.view()->searchField();
    bool typed = false;
    bool baselineTyped = false;
    const std::vector<double> keystroke = interleavedMediansMs(41, {
        [&] {
            if (typed)
                type(field, Qt::Key_Backspace, QString());
            else
                type(field, Qt::Key_7, QStringLiteral("7"));
            typed = !typed;
            panel.repaint();
        },
        [&] {
            filter.setFilterFixedString(baselineTyped ? QString() : QStringLiteral("7"));
            baselineTyped = !baselineTyped;
            baselineView.repaint();
        },
    });
    printRow("one keystroke: filter and paint", keystroke[0]);
    printRow("baseline: QSortFilterProxyModel filter and paint", keystroke[1]);
    printRatio("panel / baseline", keystroke[0] / keystroke[1], "goal: panel within 8 ms");
    panel.close();
    baselineView.hide();

    // Memory: what the open panel adds, and what is left once it is closed. The store's own
    // thumbnail cache starts cold, as after a restart, and counts against the panel.
    for (int i = 0; i < 3; ++i) {
        panel.open(false);
        settle(panel);
        panel.close();
    }
    clipboard.store().forgetThumbnails();
    malloc_trim(0);
    const double closed = residentMiB();
    panel.open(false);
    settle(panel);
    const double opened = residentMiB();
    const qsizetype shown = panel.view()->list()->delegate().thumbnailCount();
    // Then through the whole list, as a user looking for an old picture would.
    QListView *list = panel.view()->list();
    for (int row = 0; row < list->model()->rowCount(); row += 5) {
        list->scrollTo(list->model()->index(row, 0));
        list->viewport()->repaint();
    }
    const double scrolled = residentMiB();
    const qsizetype all = panel.view()->list()->delegate().thumbnailCount();
    panel.close();
    malloc_trim(0);
    const double after = residentMiB();
    std::printf("  %-52s %9.1f MiB\n", "resident, panel closed", closed);
    std::printf("  %-52s %9.1f MiB  (%lld thumbnails read; goal: at most 10 MiB)\n", "added by opening",
                opened - closed, static_cast<long long>(shown));
    std::printf("  %-52s %9.1f MiB  (%lld thumbnails read)\n", "added after scrolling through every row",
                scrolled - closed, static_cast<long long>(all));
    std::printf("  %-52s %9.1f MiB  (goal: given back when closed)\n",
                "left after closing", after - closed);
    return 0;
}
