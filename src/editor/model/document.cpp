// SPDX-License-Identifier: MIT
#include "editor/model/document.h"

#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "image/bitmap.h"

#include <cmath>

EditorDocument::EditorDocument(const QImage &image, QObject *parent)
    : QObject(parent)
    , m_base(image)
    , m_sourceKey(image.cacheKey())
    , m_pixels(std::make_unique<PixelCache>(image))
{
}

EditorDocument::~EditorDocument() = default;

std::optional<qsizetype> EditorDocument::index(const QUuid &id) const
{
    for (qsizetype i = 0; i < m_annotations.size(); ++i) {
        if (m_annotations.at(i).id == id)
            return i;
    }
    return std::nullopt;
}

std::optional<Annotation> EditorDocument::layer(const QUuid &id) const
{
    if (const auto at = index(id))
        return m_annotations.at(*at);
    return std::nullopt;
}

void EditorDocument::setBase(const QImage &image)
{
    // Undoing an edit that kept the image hands back the same bitmap; its blur cache still holds.
    const bool sameBitmap = image.cacheKey() == m_base.cacheKey();
    m_base = image;
    if (!sameBitmap) {
        m_pixels = std::make_unique<PixelCache>(image);
        pinBlurSizes();
    }
    emit baseChanged();
}

void EditorDocument::setAnnotations(const QList<Annotation> &annotations)
{
    m_annotations = annotations;
    pinBlurSizes();
    emit annotationsChanged();
}

void EditorDocument::replaceLayer(qsizetype at, const Annotation &annotation)
{
    m_annotations.replace(at, annotation);
    pinBlurSizes();
    emit annotationsChanged();
}

void EditorDocument::add(const Annotation &annotation)
{
    pushUndo();
    QList<Annotation> layers = m_annotations;
    layers.append(annotation);
    setAnnotations(layers);
}

Snapshot EditorDocument::present()
{
    Snapshot snapshot{m_base, {}};
    snapshot.layers.reserve(m_annotations.size());
    for (const Annotation &layer : m_annotations) {
        auto &weak = m_sharedLayers[layer.id];
        std::shared_ptr<const Annotation> shared = weak.lock();
        if (!shared || !(*shared == layer)) {
            // Not make_shared: its single block would keep the layer's memory until the last
            // weak reference went, too.
            shared = std::shared_ptr<const Annotation>(new Annotation(layer));
            weak = shared;
        }
        snapshot.layers.append(shared);
    }
    return snapshot;
}

void EditorDocument::recordUndo(const Snapshot &before)
{
    m_undoStack.append(before);
    m_redoStack.clear();
    m_sharedLayers.removeIf([](const auto &entry) { return entry.value().expired(); });
    emit historyChanged();
}

void EditorDocument::pushUndo()
{
    recordUndo(present());
}

void EditorDocument::undo()
{
    if (m_undoStack.isEmpty())
        return;
    const Snapshot snapshot = m_undoStack.takeLast();
    m_redoStack.append(present());
    restore(snapshot);
    emit historyChanged();
}

void EditorDocument::redo()
{
    if (m_redoStack.isEmpty())
        return;
    const Snapshot snapshot = m_redoStack.takeLast();
    m_undoStack.append(present());
    restore(snapshot);
    emit historyChanged();
}

void EditorDocument::restore(const Snapshot &snapshot)
{
    setBase(snapshot.base);
    for (const auto &layer : snapshot.layers)
        m_sharedLayers.insert(layer->id, layer);
    setAnnotations(snapshot.annotations());
    emit restored();
}

void EditorDocument::holdStep()
{
    m_held = present();
}

void EditorDocument::recordHeldStep()
{
    if (m_held)
        recordUndo(*std::exchange(m_held, std::nullopt));
}

void EditorDocument::dropHeldStep()
{
    m_held.reset();
}

bool EditorDocument::cropTo(const QRectF &wanted)
{
    const QRectF area = wanted.intersected(fullRect());
    const QRect r(QPoint(int(std::floor(area.left())), int(std::floor(area.top()))),
                  QPoint(int(std::ceil(area.right())) - 1, int(std::ceil(area.bottom())) - 1));
    if (area.isEmpty() || r == m_base.rect())
        return false;
    const QImage cut = m_base.copy(r);
    if (cut.isNull())
        return false;
    pushUndo();
    setBase(cut);
    QList<Annotation> layers;
    layers.reserve(m_annotations.size());
    for (const Annotation &layer : m_annotations)
        layers.append(layer.translated(-r.left(), -r.top()));
    setAnnotations(layers);
    return true;
}

std::optional<QSize> EditorDocument::resize(QSizeF size)
{
    constexpr qint64 largestSide = Bitmap::largestSide;
    if (!qIsFinite(size.width()) || !qIsFinite(size.height()))
        return std::nullopt;
    // Halves round away from zero; llround does exactly that.
    const qint64 w = std::llround(std::clamp(size.width(), -1.0, double(largestSide) + 1));
    const qint64 h = std::llround(std::clamp(size.height(), -1.0, double(largestSide) + 1));
    if (w <= 0 || h <= 0 || w > largestSide || h > largestSide)
        return std::nullopt;
    if (QSize(int(w), int(h)) == m_base.size())
        return std::nullopt;

    QImage scaled = m_base.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (scaled.isNull())
        return std::nullopt;
    if (scaled.format() != QImage::Format_ARGB32_Premultiplied)
        scaled.convertTo(QImage::Format_ARGB32_Premultiplied);

    pushUndo();
    const QSizeF old = imageSize();
    setBase(scaled);
    const qreal sx = qreal(w) / old.width();
    const qreal sy = qreal(h) / old.height();
    QList<Annotation> layers;
    layers.reserve(m_annotations.size());
    for (const Annotation &layer : m_annotations)
        layers.append(layer.scaled(sx, sy));
    setAnnotations(layers);
    return QSize(int(w), int(h));
}

QImage EditorDocument::flatten() const
{
    return Renderer::composite(m_base, m_annotations, *m_pixels);
}

bool EditorDocument::flattenLayers()
{
    if (m_annotations.isEmpty())
        return false;
    const QImage composite = flatten();
    if (composite.isNull())
        return false;
    pushUndo();
    setBase(composite);
    setAnnotations({});
    return true;
}

void EditorDocument::forEachBase(const std::function<void(QImage &)> &visit)
{
    visit(m_base);
    for (Snapshot &snapshot : m_undoStack)
        visit(snapshot.base);
    for (Snapshot &snapshot : m_redoStack)
        visit(snapshot.base);
    if (m_held)
        visit(m_held->base);
}

bool EditorDocument::releaseBase()
{
    if (m_released)
        return true;
    // A snapshot's base is never null otherwise: a null one stands for the file's picture.
    bool released = false;
    const auto drop = [this, &released](QImage &image) {
        if (!image.isNull() && image.cacheKey() == m_sourceKey) {
            image = QImage();
            released = true;
        }
    };
    forEachBase(drop);
    // The pixellations are made again from whatever base is shown next.
    m_pixels = std::make_unique<PixelCache>(m_base);
    m_released = released;
    return released;
}

bool EditorDocument::restoreBase(const QImage &image)
{
    if (image.isNull())
        return false;
    if (!m_released)
        return true;
    const auto fill = [&image](QImage &slot) {
        if (slot.isNull())
            slot = image;
    };
    forEachBase(fill);
    m_sourceKey = image.cacheKey();
    m_released = false;
    m_pixels = std::make_unique<PixelCache>(m_base);
    pinBlurSizes();
    emit baseChanged();
    return true;
}

void EditorDocument::pinBlurSizes()
{
    QList<qreal> blocks;
    for (const Annotation &layer : std::as_const(m_annotations))
        if (std::holds_alternative<Shapes::Blur>(layer.shape))
            blocks.append(layer.style.blurBlock);
    m_pixels->pin(blocks);
}
