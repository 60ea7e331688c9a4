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

bool Driver::shoot(const QString &name, QWidget *widget)
{
    if (!widget) {
        fail(name + QStringLiteral(": nothing to shoot"));
        return false;
    }
    QWidget *window = widget->window();
    return shootArea(name, QRect(window->mapToGlobal(QPoint(0, 0)), window->size()));
}

bool Driver::shootArea(const QString &name, const QRect &area)
{
    // No tooltip of the last control the pointer rested on.
    QToolTip::hideText();
    settle(300);
    QScreen *screen = QGuiApplication::screenAt(area.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QPoint local = area.topLeft() - screen->geometry().topLeft();
    // Two pictures alike in a row: nothing is moving any more.
    QImage shot;
    for (int i = 0; i < 20; ++i) {
        const QImage next = screen->grabWindow(0, local.x(), local.y(), area.width(), area.height()).toImage();
        if (!shot.isNull() && next == shot)
            break;
        shot = next;
        settle(150);
    }
    const QString file = QDir(m_folder).filePath(QStringLiteral("%1@%2x.png").arg(name).arg(m_scale));
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
