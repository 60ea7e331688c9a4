// SPDX-License-Identifier: MIT
#include "editor/ui/canvasarea.h"

#include "editor/model/editormodel.h"
#include "editor/model/imageimport.h"
#include "editor/ui/canvasgeometry.h"
#include "editor/ui/imagecanvas.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace {
constexpr int margin = 20;
constexpr int border = 2;
constexpr QPointF shadowOffset(6, 6);
constexpr qreal shadowOpacity = 0.35;
constexpr qreal startScale = 0.85;
constexpr int entranceMs = 420;
constexpr int dropBorder = 4;

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
{
    setAcceptDrops(true);
    setMinimumSize(2 * margin + 40, 2 * margin + 40);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(model, &EditorModel::baseChanged, this, &CanvasArea::layoutCanvas);
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
    m_scale = CanvasGeometry::scale(image, area, m_model->pixelScale());
    // Whole points, so that the frame and its border sit on device pixels.
    const QSize size(std::max(1, int(std::lround(image.width() * m_scale))),
                     std::max(1, int(std::lround(image.height() * m_scale))));
    const QPointF centred = CanvasGeometry::centredOrigin(area, QSizeF(size), 1);
    const QPoint topLeft(margin + int(std::floor(centred.x())), margin + int(std::floor(centred.y())));
    m_canvas->setGeometry(QRect(topLeft, size));
    m_canvas->setScale(m_scale);
    m_overlay->setGeometry(rect());
    m_overlay->raise();
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
