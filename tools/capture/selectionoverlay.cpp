// SPDX-License-Identifier: MIT
#include "selectionoverlay.h"

#include <algorithm>

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "selection.h"

namespace {

const QColor dim(0, 0, 0, 110);

} // namespace

SelectionOverlay::SelectionOverlay(const QImage &frozen, const QList<QRect> &monitors,
                                   const QList<QRect> &windows, Mode mode, double uiScale)
    : m_frozen(frozen)
    , m_monitors(monitors)
    , m_windows(windows)
    , m_mode(mode)
    , m_chrome(uiScale)
{
    setFlags(Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint
             | Qt::WindowStaysOnTopHint);
    setGeometry(QRect(QPoint(0, 0), frozen.size()));
    setTitle(QStringLiteral("kiwano-capture"));
    setCursor(Qt::CrossCursor);
    m_pointer = QCursor::pos();
    m_grabRetry.setInterval(10);
    connect(&m_grabRetry, &QTimer::timeout, this, &SelectionOverlay::retryGrabs);
    m_clickHint.setSingleShot(true);
    m_clickHint.setInterval(2500);
    connect(&m_clickHint, &QTimer::timeout, this, &SelectionOverlay::refresh);
}

double SelectionOverlay::prepareApplication(const QByteArray &platform)
{
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_AUTO_SCREEN_SCALE_FACTOR");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_QPA_PLATFORM", platform);
    // Frameless and fullscreen, the overlay never shows a decoration; loading Qt's Wayland
    // decorations still costs some 80 ms before the first frame.
    if (platform == "wayland")
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    return ok && factor > 0 ? factor : 1.0;
}

void SelectionOverlay::exposeEvent(QExposeEvent *event)
{
    QRasterWindow::exposeEvent(event);
    // Grabs need a viewable window, so they start with the first exposure; the shortcut that
    // started us may still hold the keyboard for a moment, so they are tried again until then.
    // A Wayland compositor gives a focused fullscreen window the keys and pointer by itself.
    const bool canGrab = QGuiApplication::platformName() == QLatin1String("xcb");
    if (canGrab && isExposed() && !m_grabbed && !m_grabRetry.isActive()) {
        m_grabAttempts = 0;
        retryGrabs();
    }
}

void SelectionOverlay::retryGrabs()
{
    m_grabbed = setKeyboardGrabEnabled(true) && setMouseGrabEnabled(true);
    if (m_grabbed || ++m_grabAttempts > 200)
        m_grabRetry.stop();
    else if (!m_grabRetry.isActive())
        m_grabRetry.start();
}

QRect SelectionOverlay::monitor() const
{
    return Selection::monitorAt(m_monitors, m_pointer);
}

QRect SelectionOverlay::highlight() const
{
    if (m_mode == Mode::Window)
        return Selection::windowAt(m_windows, m_monitors, m_frozen.rect(), m_pointer);
    return m_dragging ? Selection::fromDrag(m_anchor, m_pointer) : QRect();
}

QString SelectionOverlay::hint() const
{
    if (m_clickHint.isActive())
        return tr("A click selects nothing: drag over the region to grab");
    if (m_keyboardDrag)
        return tr("Arrows: size (Shift: 10 px) · Return: grab · Esc: cancel");
    if (m_mode == Mode::Window)
        return tr("Click a window · Space: region · Esc: cancel");
    if (!m_windowsKnown)
        return tr("Drag to select · Return: select by keys · Esc: cancel");
    return tr("Drag to select · Return: select by keys · Space: window · Esc: cancel");
}

OverlayChrome::State SelectionOverlay::chromeState() const
{
    OverlayChrome::State state;
    state.pointer = m_pointer;
    state.monitor = monitor();
    state.highlight = highlight();
    state.crosshair = m_mode == Mode::Region && !m_dragging;
    state.hint = hint();
    state.warning = m_clickHint.isActive();
    return state;
}

QPoint SelectionOverlay::toDevice(const QPointF &point) const
{
    return (point * devicePixelRatio()).toPoint();
}

void SelectionOverlay::refresh()
{
    const QRect now = highlight();
    QRegion dirty = m_shownDecorations + m_chrome.region(chromeState());
    if (now != m_shownHighlight)
        dirty += QRegion(now).xored(QRegion(m_shownHighlight));
    const double ratio = devicePixelRatio();
    if (ratio == 1.0) {
        update(dirty);
        return;
    }
    QRegion logical;
    for (const QRect &rect : dirty)
        logical += QRectF(QPointF(rect.topLeft()) / ratio, QSizeF(rect.size()) / ratio).toAlignedRect();
    update(logical);
}

void SelectionOverlay::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    // Where the compositor scales the output (Wayland), the window is in logical pixels over a
    // buffer of device pixels: painting goes straight to the device pixels.
    const double ratio = devicePixelRatio();
    QRegion region = event->region();
    if (ratio != 1.0) {
        painter.scale(1 / ratio, 1 / ratio);
        QRegion device;
        for (const QRect &rect : region)
            device += QRectF(QPointF(rect.topLeft()) * ratio, QSizeF(rect.size()) * ratio).toAlignedRect();
        region = device;
    }
    for (const QRect &rect : region)
        painter.drawImage(rect, m_frozen, rect);
    painter.setClipRegion(region);

    const OverlayChrome::State chrome = chromeState();
    for (const QRect &rect : QRegion(m_frozen.rect()).subtracted(QRegion(chrome.highlight)).intersected(region))
        painter.fillRect(rect, dim);
    m_chrome.paint(painter, m_frozen, chrome);
    m_shownHighlight = chrome.highlight;
    m_shownDecorations = m_chrome.region(chrome);
    if (!m_painted) {
        m_painted = true;
        QMetaObject::invokeMethod(this, &SelectionOverlay::painted, Qt::QueuedConnection);
    }
}

void SelectionOverlay::setWindowsUnknown()
{
    m_windowsKnown = false;
    setMode(Mode::Region);
}

void SelectionOverlay::setMode(Mode mode)
{
    if (mode == m_mode || m_dragging || (mode == Mode::Window && !m_windowsKnown))
        return;
    m_mode = mode;
    update();
}

bool SelectionOverlay::event(QEvent *event)
{
    // Qt's Wayland plugin can deliver a paint to an overlay whose platform window it has already
    // dropped (seen with several outputs); there is nothing to paint on then, and trying crashes.
    if ((event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest) && !handle())
        return true;
    return QRasterWindow::event(event);
}

void SelectionOverlay::pointerMoved(const QPoint &point)
{
    if (point == m_pointer)
        return;
    m_pointer = point;
    refresh();
}

void SelectionOverlay::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        emit cancelled();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    m_pointer = toDevice(event->position());
    m_keyboardDrag = false;
    if (m_mode == Mode::Region) {
        m_anchor = m_pointer;
        m_dragging = true;
    }
    refresh();
}

void SelectionOverlay::mouseMoveEvent(QMouseEvent *event)
{
    pointerMoved(toDevice(event->position()));
}

void SelectionOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pointer = toDevice(event->position());
    const QRect rect = highlight();
    if (m_mode == Mode::Window || (m_dragging && !rect.isEmpty())) {
        if (!rect.isEmpty()) {
            emit chosen(rect);
            return;
        }
    }
    // A click without a drag picks nothing; selecting goes on, and the hint says why.
    m_dragging = false;
    if (m_mode == Mode::Region)
        m_clickHint.start();
    refresh();
}

void SelectionOverlay::moveBy(const QPoint &step)
{
    const QPoint moved(std::clamp(m_pointer.x() + step.x(), 0, m_frozen.width()),
                       std::clamp(m_pointer.y() + step.y(), 0, m_frozen.height()));
    // On X11 the pointer follows, so a mouse movement goes on from here; a Wayland client cannot
    // move the pointer, so the overlay keeps its own.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        QCursor::setPos(moved);
    pointerMoved(moved);
}

void SelectionOverlay::keyPressEvent(QKeyEvent *event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        emit cancelled();
        return;
    case Qt::Key_Space:
        if (!m_dragging && m_windowsKnown) {
            setMode(m_mode == Mode::Region ? Mode::Window : Mode::Region);
            emit modeChanged(m_mode);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_mode == Mode::Window) {
            if (!highlight().isEmpty())
                emit chosen(highlight());
        } else if (!m_dragging) {
            // Return starts a rectangle at the pointer; the arrows size it, Return ends it.
            m_anchor = m_pointer;
            m_dragging = true;
            m_keyboardDrag = true;
            m_clickHint.stop();
            refresh();
        } else if (m_keyboardDrag && !highlight().isEmpty()) {
            emit chosen(highlight());
        }
        return;
    // Arrows move the pointer by single pixels for exact edges.
    case Qt::Key_Left:
        moveBy(QPoint(-step, 0));
        return;
    case Qt::Key_Right:
        moveBy(QPoint(step, 0));
        return;
    case Qt::Key_Up:
        moveBy(QPoint(0, -step));
        return;
    case Qt::Key_Down:
        moveBy(QPoint(0, step));
        return;
    default:
        return;
    }
}
