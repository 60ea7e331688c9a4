// SPDX-License-Identifier: MIT
#include "pickershots.h"

#include "driver.h"

#include "clipboard/clipboard.h"
#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpanelhost.h"
#include "clipboard/picker/view/clipboardpickerview.h"

#include <QBuffer>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>

namespace {

QByteArray png(const QSize &size, const QColor &colour)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour.darker(140));
    painter.drawEllipse(QRect(QPoint(size.width() / 5, size.height() / 5), size * 0.6));
    painter.setBrush(QColor(250, 250, 248));
    painter.drawRect(QRect(size.width() / 10, size.height() * 3 / 4, size.width() * 8 / 10, size.height() / 10));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

void copy(Clipboard &clipboard, const QList<Representation> &representations, const QString &app)
{
    clipboard.add(representations, app);
    clipboard.finishPendingCopies();
}

void fill(Clipboard &clipboard)
{
    const QString editor = QStringLiteral("org.gnome.TextEditor");
    const QString browser = QStringLiteral("firefox");
    const QString files = QStringLiteral("org.gnome.Nautilus");
    copy(clipboard, {{QStringLiteral("image/png"), png({1280, 800}, QColor(90, 150, 200))}}, QStringLiteral("org.gnome.Screenshot"));
    copy(clipboard, {{QStringLiteral("text/uri-list"),
                      "file:///home/sam/Pictures/kiwano-1.png\r\nfile:///home/sam/Pictures/kiwano-2.png\r\n"
                      "file:///home/sam/Documents/notes.txt\r\n"}}, files);
    copy(clipboard, {{QStringLiteral("text/html"), "<p>Meeting moved to <b>Thursday 10:30</b>, room 4</p>"},
                     {QStringLiteral("text/plain"), "Meeting moved to Thursday 10:30, room 4"}}, browser);
    copy(clipboard, {{QStringLiteral("text/rtf"), "{\\rtf1\\ansi{\\fonttbl\\f0 Helvetica;}\\f0 Ripe kiwanos are "
                                                  "{\\b yellow-orange} with soft spikes.}"}}, editor);
    copy(clipboard, {{QStringLiteral("text/plain"), "git switch -c screenshots && make screenshots"}},
         QStringLiteral("org.gnome.Terminal"));
    copy(clipboard, {{QStringLiteral("image/png"), png({600, 600}, QColor(230, 170, 60))}}, browser);
    copy(clipboard, {{QStringLiteral("text/plain"), "sam@example.org"}}, editor);
    copy(clipboard, {{QStringLiteral("text/plain"),
                      "A longer note that runs well past the width of a row, so that its end has to be cut "
                      "off somewhere sensible instead of spilling out of the panel."}}, editor);
    // Two kept at the top.
    const QList<ClipItem> items = clipboard.items();
    for (const ClipItem &item : items) {
        if (item.title.startsWith(QLatin1String("sam@")) || item.title.startsWith(QLatin1String("git ")))
            clipboard.togglePin(item);
    }
}

bool open(Driver &driver, ClipboardPanelHost &host)
{
    QScreen *screen = QGuiApplication::primaryScreen();
    QCursor::setPos(screen, screen->geometry().topLeft() + QPoint(120, 90));
    host.openFromMenu();
    ClipboardPanel &panel = host.panel();
    if (!driver.waitFor(QStringLiteral("the picker"), [&] { return panel.isVisible(); }))
        return false;
    return driver.waitShown(&panel);
}

void shoot(Driver &driver, const QString &name, ClipboardPanel &panel)
{
    driver.shoot(name, &panel);
}

} // namespace

namespace PickerShots {

void run(Driver &driver, Clipboard &clipboard, HotKeyCenter &hotKeys)
{
    ClipboardPanelHost host(clipboard, hotKeys);
    ClipboardPanel &panel = host.panel();

    if (open(driver, host)) {
        shoot(driver, QStringLiteral("picker-empty"), panel);
        panel.close();
        driver.waitFor(QStringLiteral("the picker to close"), [&] { return !panel.isVisible(); });
    }

    fill(clipboard);
    if (!open(driver, host))
        return;
    shoot(driver, QStringLiteral("picker-entries"), panel);

    QLineEdit *search = panel.view()->searchField();
    Driver::type(search, QStringLiteral("kiwano"));
    shoot(driver, QStringLiteral("picker-search"), panel);
    Driver::type(search, QStringLiteral(" zebra"));
    shoot(driver, QStringLiteral("picker-no-result"), panel);
    panel.close();
    driver.waitFor(QStringLiteral("the picker to close"), [&] { return !panel.isVisible(); });
}

} // namespace PickerShots
