// SPDX-License-Identifier: MIT
#include "driver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolTip>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

#include <xcb/xcb.h>

bool Driver::waitFor(const QString &what, const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            fail(QStringLiteral("gave up waiting for ") + what);
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qWait(20);
    }
    return true;
}

void Driver::settle(int ms)
{
    QTest::qWait(ms);
}

bool Driver::waitShown(QWidget *window)
{
    if (!window)
        return false;
    // A window shown while the window manager is still settling in may never be mapped; once
    // more then.
    if (!QTest::qWaitForWindowExposed(window, 4000)) {
        window->hide();
        settle(200);
        window->show();
    }
    if (!QTest::qWaitForWindowExposed(window, 4000)) {
        fail(QStringLiteral("the window %1 never showed").arg(window->windowTitle()));
        return false;
    }
    // The canvas grows in and the strip slides; let them finish.
    settle(700);
    return true;
}

void Driver::click(QWidget *widget, QPoint at)
{
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    QTest::mouseMove(widget, at);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    settle(120);
}

void Driver::drag(QWidget *widget, const QList<QPointF> &path)
{
    if (path.isEmpty())
        return;
    const QPoint start = path.first().toPoint();
    QTest::mouseMove(widget, start);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, start);
    constexpr int steps = 8;
    for (qsizetype leg = 1; leg < path.size(); ++leg) {
        const QPointF from = path.at(leg - 1), to = path.at(leg);
        for (int i = 1; i <= steps; ++i) {
            const QPoint at = (from + (to - from) * i / steps).toPoint();
            // QTest::mouseMove carries no buttons; send the move a dragging pointer makes.
            QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(widget, &move);
            QTest::qWait(10);
        }
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, path.last().toPoint());
    settle(120);
}

void Driver::type(QWidget *widget, const QString &text)
{
    QTest::keyClicks(widget, text);
    settle(80);
}

void Driver::key(QWidget *widget, Qt::Key key)
{
    QTest::keyClick(widget, key);
    settle(120);
}

namespace {

// Where the window lies on the root, in device pixels, as the X server has it: at scale 2 a
// window manager's one-pixel border leaves a client at an odd pixel, half a point that the
// window's geometry in points rounds away.
QRect nativeFrame(QWidget *window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return QRect();
    xcb_connection_t *connection = x11->connection();
    const auto id = xcb_window_t(window->winId());
    auto *geometry = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
    if (!geometry)
        return QRect();
    auto *place = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr);
    QRect frame;
    if (place)
        frame = QRect(place->dst_x, place->dst_y, geometry->width, geometry->height);
    std::free(place);
    std::free(geometry);
    return frame;
}

} // namespace

bool Driver::shoot(const QString &name, QWidget *widget)
{
    if (!widget) {
        fail(name + QStringLiteral(": nothing to shoot"));
        return false;
    }
    QWidget *window = widget->window();
    const QRect frame = nativeFrame(window);
    if (frame.isEmpty()) {
        fail(name + QStringLiteral(": the window has no place on the X server"));
        return false;
    }
    return shootPixels(name, frame);
}

bool Driver::shootPixels(const QString &name, const QRect &pixels)
{
    // No tooltip of the last control the pointer rested on.
    QToolTip::hideText();
    settle(300);
    QScreen *screen = QGuiApplication::primaryScreen();
    // Two pictures alike in a row: nothing is moving any more. The whole screen is read, popups
    // over the window included, and the window's pixels cut out of it.
    QImage shot;
    for (int i = 0; i < 20; ++i) {
        const QImage next = screen->grabWindow(0).toImage().copy(pixels);
        if (!shot.isNull() && next == shot)
            break;
        shot = next;
        settle(150);
    }
    shot.setDevicePixelRatio(1);
    if (!m_language.isEmpty() && name != u"main-window" && name != u"settings")
        return true;
    const QString shown = m_language.isEmpty() ? name : name + u'-' + m_language;
    const QString file = QDir(m_folder).filePath(QStringLiteral("%1@%2x.png").arg(shown).arg(m_scale));
    if (shot.isNull() || !shot.save(file)) {
        fail(QStringLiteral("cannot write ") + file);
        return false;
    }
    std::printf("  %s (%dx%d)\n", qPrintable(QFileInfo(file).fileName()), shot.width(), shot.height());
    std::fflush(stdout);
    return true;
}

void Driver::fail(const QString &what)
{
    ++m_failures;
    std::fprintf(stderr, "screenshots: %s\n", qPrintable(what));
}
