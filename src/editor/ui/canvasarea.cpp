// SPDX-License-Identifier: MIT
#include "editor/ui/canvasarea.h"

#include "editor/model/editormodel.h"
#include "editor/model/imageimport.h"
#include "editor/ui/canvasgeometry.h"
#include "editor/ui/imagecanvas.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <cmath>

namespace {
constexpr int margin = 20;
constexpr int border = 2;
constexpr QPointF shadowOffset(6, 6);
constexpr qreal shadowOpacity = 0.35;
constexpr qreal startScale = 0.85;
constexpr int entranceMs = 420;
constexpr int dropBorder = 4;
// One notch of a mouse wheel, in eighths of a degree, and how far it scrolls.
constexpr int notch = 120;
constexpr qreal notchScroll = 60;
constexpr int barThickness = 12;

bool acceptable(const QMimeData *mime)
{
    if (!mime)
        return false;
    const QStringList types = ImageImport::dropTypes();
    for (const QString &format : mime->formats()) {
        if (types.contains(format))
            return true;
    }
    return false;
}
} // namespace

// Drawn above the canvas: its border, and the drop outline over everything. Clicks go through.
class CanvasArea::Overlay : public QWidget
{
public:
    explicit Overlay(CanvasArea *area)
        : QWidget(area)
        , m_area(area)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (m_area->m_canvas->isVisible())
            Look::strokeInside(painter, m_area->canvasFrame(), border, Kiwano::peel);
        if (m_area->m_dropTargeted) {
            QPen pen(Kiwano::ripe, dropBorder);
            pen.setDashPattern({8.0 / dropBorder, 6.0 / dropBorder});
            pen.setCapStyle(Qt::FlatCap);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.drawRect(QRectF(rect()).adjusted(dropBorder / 2.0, dropBorder / 2.0,
                                                     -dropBorder / 2.0, -dropBorder / 2.0));
        }
    }

private:
    CanvasArea *m_area;
};

CanvasArea::CanvasArea(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_canvas(new ImageCanvas(model, this))
    , m_overlay(new Overlay(this))
    , m_horizontal(new QScrollBar(Qt::Horizontal, this))
    , m_vertical(new QScrollBar(Qt::Vertical, this))
    , m_zoomLabel(new QLabel(this))
{
    setAcceptDrops(true);
    setMinimumSize(2 * margin + 40, 2 * margin + 40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (QScrollBar *bar : {m_horizontal, m_vertical}) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
    }
    m_horizontal->setAccessibleName(tr("Scroll horizontally"));
    m_vertical->setAccessibleName(tr("Scroll vertically"));
    connect(m_horizontal, &QScrollBar::valueChanged, this, [this](int value) {
        scrollBy(QPointF(value - m_offset.x(), 0));
    });
    connect(m_vertical, &QScrollBar::valueChanged, this, [this](int value) {
        scrollBy(QPointF(0, value - m_offset.y()));
    });
    m_zoomLabel->setAccessibleName(tr("Zoom"));
    m_zoomLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_zoomLabel->setAutoFillBackground(true);
    QPalette palette = m_zoomLabel->palette();
    palette.setColor(QPalette::Window, Kiwano::cream);
    palette.setColor(QPalette::WindowText, Kiwano::peel);
    m_zoomLabel->setPalette(palette);
    m_zoomLabel->setContentsMargins(4, 1, 4, 1);

    using Keys = QList<QKeySequence>;
    addZoomAction(Keys{QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal),
                       QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)},
                  [this] { zoomTo(CanvasGeometry::zoomIn(zoom())); })
        ->setText(tr("Zoom in"));
    addZoomAction(Keys{QKeySequence(Qt::CTRL | Qt::Key_Minus),
                       QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)},
                  [this] { zoomTo(CanvasGeometry::zoomOut(zoom())); })
        ->setText(tr("Zoom out"));
    addZoomAction(Keys{QKeySequence(Qt::CTRL | Qt::Key_0),
                       QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_0)},
                  [this] { zoomTo(std::nullopt); })
        ->setText(tr("Fit to window"));
    addZoomAction(Keys{QKeySequence(Qt::CTRL | Qt::Key_1),
                       QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_1)},
                  [this] { zoomTo(1.0); })
        ->setText(tr("Actual pixels"));

    connect(model, &EditorModel::baseChanged, this, &CanvasArea::layoutCanvas);
    layoutCanvas();
}

QAction *CanvasArea::addZoomAction(const QList<QKeySequence> &keys, std::function<void()> act)
{
    auto *action = new QAction(this);
    action->setShortcuts(keys);
    // Like the editor's other commands: wherever the focus is in the window.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, std::move(act));
    addAction(action);
    return action;
}

qreal CanvasArea::zoom() const
{
    return m_scale * m_model->pixelScale();
}

void CanvasArea::zoomTo(std::optional<qreal> zoom)
{
    zoomTo(zoom, QPointF(width() / 2.0, height() / 2.0));
}

void CanvasArea::zoomTo(std::optional<qreal> zoom, QPointF anchor)
{
    const qreal before = m_scale;
    const QPointF start = m_canvas->pos();
    m_zoom = zoom;
    if (!zoom) {
        m_offset = {};
    } else {
        const qreal after = CanvasGeometry::zoomScale(*zoom, m_model->pixelScale());
        m_offset = {CanvasGeometry::anchoredOffset(anchor.x(), start.x(), before, after, margin),
                    CanvasGeometry::anchoredOffset(anchor.y(), start.y(), before, after, margin)};
    }
    layoutCanvas();
}

void CanvasArea::scrollBy(QPointF delta)
{
    if (delta.isNull())
        return;
    m_offset += delta;
    layoutCanvas();
}

QSizeF CanvasArea::space() const
{
    return QSizeF(std::max(0, width() - 2 * margin), std::max(0, height() - 2 * margin));
}

QRect CanvasArea::canvasFrame() const
{
    return m_canvas->geometry();
}

void CanvasArea::layoutCanvas()
{
    const QSizeF image = m_model->imageSize();
    const QSizeF area = space();
    m_scale = m_zoom ? CanvasGeometry::zoomScale(*m_zoom, m_model->pixelScale())
                     : CanvasGeometry::scale(image, area, m_model->pixelScale());
    // Whole points, so that the frame and its border sit on device pixels.
    const QSize size(std::max(1, int(std::lround(image.width() * m_scale))),
                     std::max(1, int(std::lround(image.height() * m_scale))));
    const auto x = CanvasGeometry::place(size.width(), area.width(), margin, m_offset.x());
    const auto y = CanvasGeometry::place(size.height(), area.height(), margin, m_offset.y());
    m_offset = {x.offset, y.offset};
    m_canvas->setGeometry(QRect(QPoint(int(x.start), int(y.start)), size));
    m_canvas->setScale(m_scale);
    m_overlay->setGeometry(rect());
    m_overlay->raise();

    // The scroll bars lie in the margin along the right and bottom edges.
    const bool wide = size.width() > area.width();
    const bool tall = size.height() > area.height();
    const QSignalBlocker blockH(m_horizontal);
    const QSignalBlocker blockV(m_vertical);
    m_horizontal->setVisible(wide);
    m_vertical->setVisible(tall);
    if (wide) {
        m_horizontal->setRange(0, size.width() - int(area.width()));
        m_horizontal->setPageStep(int(area.width()));
        m_horizontal->setValue(int(x.offset));
        m_horizontal->setGeometry(0, height() - barThickness, width() - (tall ? barThickness : 0),
                                  barThickness);
        m_horizontal->raise();
    }
    if (tall) {
        m_vertical->setRange(0, size.height() - int(area.height()));
        m_vertical->setPageStep(int(area.height()));
        m_vertical->setValue(int(y.offset));
        m_vertical->setGeometry(width() - barThickness, 0, barThickness,
                                height() - (wide ? barThickness : 0));
        m_vertical->raise();
    }
    //: The editor's zoom, in percent of one image pixel per screen pixel.
    m_zoomLabel->setText(tr("%1 %").arg(std::lround(zoom() * 100)));
    m_zoomLabel->adjustSize();
    m_zoomLabel->move(width() - m_zoomLabel->width() - (tall ? barThickness : 0) - 4,
                      height() - m_zoomLabel->height() - (wide ? barThickness : 0) - 4);
    m_zoomLabel->raise();
    update();
}

void CanvasArea::resizeEvent(QResizeEvent *)
{
    layoutCanvas();
}

void CanvasArea::showEvent(QShowEvent *)
{
    if (m_peeled)
        return;
    m_peeled = true;
    layoutCanvas();
    m_still = m_canvas->grab();
    m_canvas->hide();
    m_peel = 0;
    m_entrance = new QVariantAnimation(this);
    m_entrance->setDuration(entranceMs);
    m_entrance->setStartValue(0.0);
    m_entrance->setEndValue(1.0);
    // A little overshoot, like a lively spring.
    m_entrance->setEasingCurve(QEasingCurve(QEasingCurve::OutBack));
    connect(m_entrance, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_peel = value.toReal();
        update();
    });
    connect(m_entrance, &QVariantAnimation::finished, this, [this] {
        m_peel = 1;
        m_still = QPixmap();
        m_canvas->show();
        m_overlay->update();
        update();
    });
    m_entrance->start(QAbstractAnimation::DeleteWhenStopped);
}

void CanvasArea::paintFramed(QPainter &painter, const QRectF &frame, const QPixmap *picture) const
{
    painter.save();
    painter.setOpacity(painter.opacity() * shadowOpacity);
    Look::fillSnapped(painter, frame.translated(shadowOffset), Kiwano::peel);
    painter.restore();
    if (picture) {
        painter.drawPixmap(frame, *picture, QRectF(picture->rect()));
        Look::strokeInside(painter, frame, border, Kiwano::peel);
    }
}

void CanvasArea::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
    const QRectF frame = canvasFrame();
    if (m_canvas->isVisible() || m_still.isNull()) {
        paintFramed(painter, frame, nullptr);
        return;
    }
    const qreal grow = startScale + (1 - startScale) * m_peel;
    painter.setOpacity(std::clamp(m_peel, 0.0, 1.0));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(frame.center());
    painter.scale(grow, grow);
    painter.translate(-frame.center());
    paintFramed(painter, frame, &m_still);
}

void CanvasArea::setDropTargeted(bool targeted)
{
    if (m_dropTargeted == targeted)
        return;
    m_dropTargeted = targeted;
    m_overlay->update();
}

void CanvasArea::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptable(event->mimeData()))
        return;
    event->acceptProposedAction();
    setDropTargeted(true);
}

void CanvasArea::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptable(event->mimeData()))
        event->acceptProposedAction();
}

void CanvasArea::dragLeaveEvent(QDragLeaveEvent *)
{
    setDropTargeted(false);
}

void CanvasArea::wheelEvent(QWheelEvent *event)
{
    const QPoint angle = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // Whole notches step the zoom; a smooth wheel's small deltas add up to one.
        m_wheelZoom += angle.y() ? angle.y() : angle.x();
        while (std::abs(m_wheelZoom) >= notch) {
            const bool in = m_wheelZoom > 0;
            m_wheelZoom += in ? -notch : notch;
            zoomTo(in ? CanvasGeometry::zoomIn(zoom()) : CanvasGeometry::zoomOut(zoom()),
                   event->position());
        }
        event->accept();
        return;
    }
    QPointF delta = !event->pixelDelta().isNull() ? QPointF(event->pixelDelta())
                                                  : QPointF(angle) * notchScroll / notch;
    // Shift turns a plain wheel sideways.
    if (event->modifiers().testFlag(Qt::ShiftModifier) && delta.x() == 0)
        delta = QPointF(delta.y(), 0);
    scrollBy(-delta);
    event->accept();
}

void CanvasArea::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::MiddleButton)
        return QWidget::mousePressEvent(event);
    m_panFrom = event->globalPosition();
    setCursor(Qt::ClosedHandCursor);
}

void CanvasArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_panFrom || !event->buttons().testFlag(Qt::MiddleButton))
        return QWidget::mouseMoveEvent(event);
    const QPointF at = event->globalPosition();
    scrollBy(*m_panFrom - at);
    m_panFrom = at;
}

void CanvasArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::MiddleButton || !m_panFrom)
        return QWidget::mouseReleaseEvent(event);
    m_panFrom.reset();
    unsetCursor();
}

void CanvasArea::dropEvent(QDropEvent *event)
{
    setDropTargeted(false);
    // Measured from the frame as placed, which sits on whole points, rather than the exact centre.
    const QPointF at = CanvasGeometry::imagePoint(event->position(), canvasFrame().topLeft(),
                                                  m_model->imageSize(), m_scale);
    EditorModel *model = m_model;
    const bool accepted = ImageImport::load(event->mimeData(), this, [model, at](QImage image) {
        model->addPicture(image, at);
    });
    if (accepted)
        event->acceptProposedAction();
    else
        event->ignore();
}
