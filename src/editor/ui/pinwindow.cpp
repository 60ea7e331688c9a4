// SPDX-License-Identifier: MIT
#include "editor/ui/pinwindow.h"

#include "image/png.h"
#include "look/kiwano.h"
#include "look/pixel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QWindow>

#include <cmath>

namespace {
constexpr qreal zoomFactor = 1.2;      // one notch of the wheel, one press of + or -
constexpr qreal opacityStep = 0.1;
constexpr int bigStep = 10;            // an arrow key moves the pin this far; with Shift, one pixel
constexpr int badgeMs = 1200;
constexpr int ring = 2;
} // namespace

PinWindow::PinWindow(const QImage &picture, const QString &name, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_picture(picture)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    setWindowTitle(tr("Pinned %1").arg(name));
    setAccessibleName(tr("Pinned grab %1").arg(name));
    setAccessibleDescription(tr("Drag or use the arrow keys to move it, the wheel or + and - to "
                                "zoom, Ctrl+wheel to fade it, Ctrl+C to copy it, Esc to close it."));
    resize(naturalSize().toSize().expandedTo(QSize(1, 1)));
    m_badgeTimer.setSingleShot(true);
    m_badgeTimer.setInterval(badgeMs);
    connect(&m_badgeTimer, &QTimer::timeout, this, [this] {
        m_badge.clear();
        update();
    });
}

QSizeF PinWindow::naturalSize() const
{
    const qreal ratio = windowHandle() ? windowHandle()->devicePixelRatio()
                                       : (screen() ? screen()->devicePixelRatio() : 1.0);
    return QSizeF(m_picture.size()) / (ratio > 0 ? ratio : 1.0);
}

qreal PinWindow::zoomedBy(qreal zoom, int steps)
{
    return std::clamp(zoom * std::pow(zoomFactor, steps), minimumZoom, maximumZoom);
}

qreal PinWindow::zoomToFit(QSize area) const
{
    const QSizeF natural = naturalSize();
    if (natural.isEmpty() || area.isEmpty())
        return 1.0;
    return std::clamp(std::min({1.0, area.width() / natural.width(), area.height() / natural.height()}),
                      minimumZoom, 1.0);
}

void PinWindow::setZoom(qreal zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, minimumZoom, maximumZoom);
    if (zoom == m_zoom)
        return;
    // The picture's point under the anchor stays under it.
    const QPointF onScreen = mapToGlobal(anchor);
    const QPointF inPicture = anchor / m_zoom;
    m_zoom = zoom;
    const QSize size = (naturalSize() * zoom).toSize().expandedTo(QSize(1, 1));
    setGeometry(QRect((onScreen - inPicture * zoom).toPoint(), size));
    tell(tr("%1 %").arg(std::lround(zoom * 100)));
}

void PinWindow::fade(int steps)
{
    const qreal opacity = std::clamp(std::round((windowOpacity() + steps * opacityStep) * 10) / 10,
                                     minimumOpacity, 1.0);
    setWindowOpacity(opacity);
    tell(tr("Opacity %1 %").arg(std::lround(opacity * 100)));
}

void PinWindow::copy()
{
    const QByteArray png = Png::encode(m_picture);
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (png.isEmpty() || !clipboard) {
        tell(tr("Couldn't copy"));
        return;
    }
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), png);
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    tell(tr("Copied"));
}

void PinWindow::tell(const QString &text)
{
    m_badge = text;
    m_badgeTimer.start();
    update();
}

void PinWindow::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    QPainter painter(this);
    if (pixels == m_picture.size()) {
        m_shown = QImage();
        painter.drawImage(QRectF(rect()), m_picture);
    } else {
        if (m_shown.size() != pixels) {
            // Smooth when it shrinks; pixels drawn whole when it grows.
            m_shown = m_picture.scaled(pixels, Qt::IgnoreAspectRatio,
                                       m_zoom < 1.0 ? Qt::SmoothTransformation : Qt::FastTransformation);
            m_shown.setDevicePixelRatio(ratio);
        }
        painter.drawImage(QPointF(0, 0), m_shown);
    }
    // The keys go here: a ring that shows on any picture, yellow edged with peel.
    if (isActiveWindow()) {
        painter.setPen(QPen(Kiwano::yellow, ring, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(ring / 2.0, ring / 2.0, -ring / 2.0, -ring / 2.0));
        painter.setPen(QPen(Kiwano::peel, 1));
        painter.drawRect(QRectF(rect()).adjusted(ring + 0.5, ring + 0.5, -ring - 0.5, -ring - 0.5));
    }
    if (!m_badge.isEmpty()) {
        painter.setFont(Pixel::uiFont());
        const QFontMetrics metrics(painter.font());
        const QRect text = metrics.boundingRect(m_badge);
        const QRect badge(ring + 4, ring + 4, text.width() + 12, metrics.height() + 8);
        painter.fillRect(badge, Kiwano::peel);
        painter.setPen(Kiwano::cream);
        painter.drawText(badge, Qt::AlignCenter, m_badge);
    }
}

void PinWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Where windows cannot place themselves, the desktop moves the pin.
    if (QGuiApplication::platformName() != QLatin1String("xcb") && windowHandle()
        && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    m_held = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
    event->accept();
}

void PinWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_held && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *m_held);
    event->accept();
}

void PinWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_held.reset();
    setCursor(Qt::OpenHandCursor);
    event->accept();
}

void PinWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        close();
    event->accept();
}

void PinWindow::wheelEvent(QWheelEvent *event)
{
    const QPoint angle = event->angleDelta();
    m_wheelAngle += std::abs(angle.y()) >= std::abs(angle.x()) ? angle.y() : angle.x();
    const int steps = m_wheelAngle / 120;
    m_wheelAngle %= 120;
    if (steps != 0) {
        if (event->modifiers() & Qt::ControlModifier)
            fade(steps);
        else
            setZoom(zoomedBy(m_zoom, steps), event->position());
    }
    event->accept();
}

void PinWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    const int step = event->modifiers() & Qt::ShiftModifier ? 1 : bigStep;
    const QPointF middle = QRectF(rect()).center();
    switch (event->key()) {
    case Qt::Key_Escape: close(); break;
    case Qt::Key_Left: move(pos() - QPoint(step, 0)); break;
    case Qt::Key_Right: move(pos() + QPoint(step, 0)); break;
    case Qt::Key_Up: move(pos() - QPoint(0, step)); break;
    case Qt::Key_Down: move(pos() + QPoint(0, step)); break;
    case Qt::Key_Plus:
    case Qt::Key_Equal: setZoom(zoomedBy(m_zoom, 1), middle); break;
    case Qt::Key_Minus: setZoom(zoomedBy(m_zoom, -1), middle); break;
    case Qt::Key_0: setZoom(1.0, middle); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void PinWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange)
        update();
}
