// SPDX-License-Identifier: MIT
#include "editor/ui/imagecanvas.h"

#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "editor/model/editormodel.h"
#include "editor/ui/canvas/canvascursor.h"
#include "editor/ui/canvas/canvastext.h"
#include "editor/ui/canvas/cropcontrols.h"
#include "editor/ui/canvas/cropframe.h"
#include "editor/ui/canvas/damage.h"
#include "editor/ui/canvas/inlinetextfield.h"
#include "editor/ui/canvas/selectionmarks.h"
#include "look/kiwano.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>

#include <cmath>
#include <utility>

namespace {

constexpr int cropBarGap = 12;

} // namespace

ImageCanvas::ImageCanvas(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_text(new CanvasText(model, this))
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Image"));
    setAttribute(Qt::WA_OpaquePaintEvent, !m_model->base().hasAlphaChannel());
    m_cache.takeLayers(m_model->annotations());
    chooseLive();
    m_shownDraft = m_model->draft();

    connect(m_model, &EditorModel::baseChanged, this, [this] {
        setAttribute(Qt::WA_OpaquePaintEvent, !m_model->base().hasAlphaChannel());
        m_cache.dropBase();
        update();
    });
    connect(m_model, &EditorModel::annotationsChanged, this, &ImageCanvas::layersChanged);
    connect(m_model, &EditorModel::draftChanged, this, &ImageCanvas::draftChanged);
    connect(m_model, &EditorModel::selectedIDChanged, this, &ImageCanvas::selectionChanged);
    connect(m_model, &EditorModel::toolChanged, this, &ImageCanvas::selectionChanged);
    connect(m_model, &EditorModel::cropRectChanged, this, &ImageCanvas::cropChanged);
    connect(m_model, &EditorModel::textEntryChanged, m_text, &CanvasText::entryChanged);
    cropChanged();
    m_text->entryChanged();
}

ImageCanvas::~ImageCanvas()
{
    // The editor goes away when another grab is chosen: what is being typed stays as a layer.
    if (!m_model)
        return;
    disconnect(m_model, nullptr, this, nullptr);
    disconnect(m_model, nullptr, m_text, nullptr);
    m_text->keepTyped();
}

void ImageCanvas::setScale(qreal scale)
{
    if (!std::isfinite(scale) || scale <= 0)
        return;
    m_scale = scale;
    m_model->setViewScale(scale);
    m_shownSelection = selectionExtent();
    placeCropControls();
    m_text->place();
    update();
}

QRectF ImageCanvas::toView(const QRectF &imageRect) const
{
    return QRectF(toView(imageRect.topLeft()), imageRect.size() * m_scale);
}

QPointF ImageCanvas::toView(QPointF imagePoint) const
{
    return imagePoint * m_scale;
}

Qt::CursorShape ImageCanvas::cursorAt(QPointF imagePoint) const
{
    return canvasCursor(*m_model, imagePoint);
}

QRect ImageCanvas::dirtyRect(const QRectF &imageRect) const
{
    // Two points more for smoothing that spills over a rounded edge.
    return toView(imageRect).toAlignedRect().adjusted(-2, -2, 2, 2) & rect();
}

QRectF ImageCanvas::selectionExtent() const
{
    const auto layer = m_model->selected();
    if (!layer)
        return {};
    return SelectionMarks::extent(toView(layer->bounds()));
}

void ImageCanvas::chooseLive()
{
    // Only the move tool changes one layer pointer move after pointer move; it is drawn apart
    // so that the pictures under and over it stay valid through the drag.
    std::optional<qsizetype> live;
    if (m_model->tool() == Tool::move)
        if (const auto id = m_model->selectedID())
            live = m_model->index(*id);
    m_cache.setLive(live);
}

void ImageCanvas::layersChanged()
{
    const QList<Annotation> before = m_cache.layers();
    const auto liveBefore = m_cache.live();
    const bool kept = m_cache.takeLayers(m_model->annotations());
    chooseLive();
    const auto live = m_cache.live();
    if (!kept || live != liveBefore) {
        m_shownSelection = selectionExtent();
        update();
    } else if (live) {
        const QRectF image = m_model->fullRect();
        const QRectF changed = Damage::ofLayer(before[*live], image)
                             | Damage::ofLayer(m_cache.layers()[*live], image);
        QRect dirty = dirtyRect(changed);
        if (m_shownSelection)
            dirty |= m_shownSelection->toAlignedRect();
        m_shownSelection = selectionExtent();
        dirty |= m_shownSelection->toAlignedRect();
        update(dirty);
    }
}

void ImageCanvas::draftChanged()
{
    const std::optional<Annotation> after = m_model->draft();
    const QRectF extent = Damage::ofDraft(m_shownDraft, after, m_model->fullRect());
    m_shownDraft = after;
    if (!extent.isEmpty())
        update(dirtyRect(extent));
}

void ImageCanvas::selectionChanged()
{
    m_text->selectionChanged();
    chooseLive();
    m_shownSelection = selectionExtent();
    update();
}

void ImageCanvas::cropChanged()
{
    const auto crop = m_model->cropRect();
    if (!crop) {
        if (m_cropLabel)
            m_cropLabel->hide();
        if (m_cropBar) {
            const bool hadFocus = m_cropBar->isAncestorOf(QApplication::focusWidget());
            m_cropBar->hide();
            if (hadFocus)
                setFocus(Qt::OtherFocusReason);
        }
        update();
        return;
    }
    if (!m_cropLabel) {
        m_cropLabel = new CropSizeLabel(this);
        m_cropBar = new CropBar(this);
        connect(m_cropBar, &CropBar::cancelled, m_model, &EditorModel::cancelCrop);
        connect(m_cropBar, &CropBar::applied, m_model, &EditorModel::applyCrop);
    }
    m_cropLabel->setText(CropFrame::sizeText(*crop));
    placeCropControls();
    m_cropLabel->show();
    m_cropBar->show();
    m_cropBar->raise();
    update();
}

void ImageCanvas::placeCropControls()
{
    const auto crop = m_model->cropRect();
    if (!crop || !m_cropLabel)
        return;
    const QPointF corner = toView(crop->normalized().topLeft()) + QPointF(14, 16);
    m_cropLabel->move(corner.toPoint());
    const QSize bar = m_cropBar->sizeHint();
    m_cropBar->setGeometry((width() - bar.width()) / 2,
                           height() - cropBarGap - (bar.height() - 4), bar.width(), bar.height());
}

InlineTextField *ImageCanvas::textField() const
{
    return m_text->field();
}

bool ImageCanvas::typing() const
{
    return m_text->isTyping();
}

void ImageCanvas::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    // Zoomed past one image pixel per device pixel, the pictures stay at the image's own pixels
    // and are blown up without smoothing, each image pixel a block of whole device pixels.
    const qreal cacheScale = std::min(m_scale, 1 / ratio);
    const bool enlarged = m_scale > cacheScale * (1 + 1e-9);
    const QSizeF frame = m_model->imageSize() * cacheScale * ratio;
    m_cache.setView(QSize(int(std::ceil(frame.width())), int(std::ceil(frame.height()))), ratio,
                    cacheScale);
    m_cache.prepare(m_model->base(), m_model->pixels());
    const auto drawCached = [&](QPainter &painter, const QImage &picture) {
        if (!enlarged)
            return painter.drawImage(QPointF(0, 0), picture);
        painter.drawImage(QRectF(QPointF(0, 0), QSizeF(picture.size()) * (m_scale / cacheScale) / ratio),
                          picture, QRectF(picture.rect()));
    };

    QPainter painter(this);
    drawCached(painter, m_cache.below());

    const QList<Annotation> &layers = m_cache.layers();
    PixelCache &pixels = m_model->pixels();
    const QSize imageSize = m_model->base().size();
    painter.save();
    painter.scale(m_scale, m_scale);
    if (const auto live = m_cache.live()) {
        Renderer::draw({layers[*live]}, pixels, imageSize, painter);
        if (m_cache.drawsAboveDirectly())
            Renderer::draw(layers.mid(*live + 1), pixels, imageSize, painter);
    }
    painter.restore();
    if (!m_cache.above().isNull())
        drawCached(painter, m_cache.above());
    if (const auto &draft = m_model->draft()) {
        painter.save();
        painter.scale(m_scale, m_scale);
        Renderer::draw({*draft}, pixels, imageSize, painter);
        painter.restore();
    }
    if (const auto layer = m_model->selected()) {
        QList<QPointF> handles;
        if (m_model->tool() == Tool::move)
            for (const QPointF h : layer->handles())
                handles.append(toView(h));
        SelectionMarks::draw(painter, toView(layer->bounds()), handles);
    }
    if (const auto crop = m_model->cropRect())
        CropFrame::draw(painter, *crop, m_scale, m_model->imageSize());
    if (m_focusShown && hasFocus()) {
        QPen dashed(Kiwano::ripe, 2, Qt::DashLine);
        painter.setPen(dashed);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(3, 3, -3, -3));
    }
}

void ImageCanvas::focusInEvent(QFocusEvent *event)
{
    // Coming back to the window restores the outline as it was.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
        || reason == Qt::ShortcutFocusReason)
        m_focusShown = true;
    else if (reason == Qt::MouseFocusReason)
        m_focusShown = false;
    update();
    QWidget::focusInEvent(event);
}

void ImageCanvas::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_focusShown = false;
    update();
    QWidget::focusOutEvent(event);
}

void ImageCanvas::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    m_dragStart = toImage(event->position());
    if (!typing())
        m_model->dragChanged(*m_dragStart, *m_dragStart,
                             event->modifiers().testFlag(Qt::ShiftModifier));
}

void ImageCanvas::mouseMoveEvent(QMouseEvent *event)
{
    // A drag with the middle button scrolls the area around the canvas.
    if (event->buttons().testFlag(Qt::MiddleButton) && !event->buttons().testFlag(Qt::LeftButton))
        return event->ignore();
    const QPointF at = toImage(event->position());
    setCursor(cursorAt(at));
    if (m_dragStart && event->buttons().testFlag(Qt::LeftButton) && !typing())
        m_model->dragChanged(*m_dragStart, at, event->modifiers().testFlag(Qt::ShiftModifier));
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragStart)
        return QWidget::mouseReleaseEvent(event);
    m_dragStart.reset();
    // A click anywhere else takes what was typed.
    if (m_text->finish())
        return;
    m_model->dragEnded(toImage(event->position()));
}

void ImageCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first click of the pair selected the layer under the pointer; the second opens its
    // text for editing.
    const auto layer = m_model->selected();
    if (event->button() != Qt::LeftButton || typing() || m_model->tool() != Tool::move || !layer
        || !layer->bounds().contains(toImage(event->position())))
        return QWidget::mouseDoubleClickEvent(event);
    m_text->edit(*layer);
}

void ImageCanvas::leaveEvent(QEvent *event)
{
    setCursor(Qt::ArrowCursor);
    QWidget::leaveEvent(event);
}

void ImageCanvas::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    QPointF step;
    switch (event->key()) {
    case Qt::Key_Left: step = QPointF(-1, 0); break;
    case Qt::Key_Right: step = QPointF(1, 0); break;
    case Qt::Key_Up: step = QPointF(0, -1); break;
    case Qt::Key_Down: step = QPointF(0, 1); break;
    default: break;
    }
    if (!step.isNull() && (held == Qt::NoModifier || held == Qt::ShiftModifier)
        && m_model->selectedID() && !typing()) {
        // One image pixel, or ten with Shift, whatever the display scale.
        m_model->nudgeSelected(held == Qt::ShiftModifier ? 10 * step : step, event->isAutoRepeat());
        return;
    }
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier)
        return QWidget::keyPressEvent(event);
    if (m_model->cropRect())
        m_model->cancelCrop();
    else
        m_model->select(std::nullopt);
}

void ImageCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCropControls();
}

void ImageCanvas::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_model->setViewScale(m_scale);
}
