// SPDX-License-Identifier: MIT
// Pointer gestures and the commands that edit or add single layers.
#include "editor/model/editormodel.h"

#include "annotation/geometry.h"
#include "annotation/tooldefaults.h"
#include "annotation/watermark.h"
#include "editor/model/imageimport.h"

#include <QGuiApplication>

#include <cmath>

namespace {

constexpr qreal hitTolerancePoints = 6;
constexpr qreal handleReachPoints = 10;
constexpr qreal minimumResize = 8;
constexpr qreal minimumDraft = 2;
constexpr qreal pictureFit = 0.8;

// Blank means nothing but spaces and tabs; a line break is content.
bool isBlank(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

} // namespace

void EditorModel::dragChanged(QPointF start, QPointF current, bool shiftHeld)
{
    const bool first = !m_dragStart;
    if (first) {
        m_dragStart = start;
        setQuote(std::nullopt);
    }
    const QPointF s = *m_dragStart;

    switch (m_tool) {
    case Tool::move:
        dragMove(s, current, first, shiftHeld);
        break;
    case Tool::pen:
    case Tool::highlighter:
    case Tool::arrow:
    case Tool::rect:
    case Tool::blur:
    case Tool::focus:
        dragDraw(s, current);
        break;
    case Tool::crop:
        dragCrop(s, current, first);
        break;
    case Tool::text:
    case Tool::stamp:
    case Tool::watermark:
    case Tool::picture:
        break;
    }
}

void EditorModel::dragMove(QPointF s, QPointF c, bool first, bool shiftHeld)
{
    if (first) {
        const auto selection = selected();
        const auto corner = resizeCorner(s);
        if (selection && corner) {
            m_resizing = Resizing{*selection, corner->first, corner->second, present()};
        } else {
            std::optional<Annotation> hit;
            const qreal tolerance = hitTolerancePoints * m_pixelScale;
            for (auto it = m_annotations.crbegin(); it != m_annotations.crend(); ++it) {
                if (it->contains(s, tolerance)) {
                    hit = *it;
                    break;
                }
            }
            setSelectedID(hit ? std::optional(hit->id) : std::nullopt);
            if (hit)
                m_moving = Moving{*hit, present()};
        }
    }

    if (m_resizing) {
        if (const auto at = index(m_resizing->original.id))
            replaceLayer(*at, cornerResized(*m_resizing, c, shiftHeld));
    } else if (m_moving) {
        if (const auto at = index(m_moving->original.id))
            replaceLayer(*at, m_moving->original.translated(c.x() - s.x(), c.y() - s.y()));
    }
}

Annotation EditorModel::cornerResized(const Resizing &resizing, QPointF c, bool shiftHeld) const
{
    const QRectF b = resizing.original.bounds();
    const QPointF a = resizing.anchor;
    const QPointF k = resizing.corner;
    const qreal sx = a.x() > k.x() ? -1 : 1;
    const qreal sy = a.y() > k.y() ? -1 : 1;
    qreal w = std::max((c.x() - a.x()) * sx, minimumResize);
    qreal h = std::max((c.y() - a.y()) * sy, minimumResize);

    const Tool kind = resizing.original.tool();
    const bool locked = kind == Tool::watermark || (kind == Tool::picture && !shiftHeld);
    // A layer without area has no proportions to keep.
    if (locked && b.width() > 0 && b.height() > 0) {
        const qreal r = b.width() / b.height();
        if (w / h <= r)
            w = h * r;
        else
            h = w / r;
    }

    const QRectF rect(sx > 0 ? a.x() : a.x() - w, sy > 0 ? a.y() : a.y() - h, w, h);
    return resizing.original.resized(rect);
}

void EditorModel::dragDraw(QPointF s, QPointF c)
{
    const Style style = toolStyle();
    switch (m_tool) {
    case Tool::pen:
    case Tool::highlighter: {
        if (m_draft) {
            Annotation extended = *m_draft;
            if (auto *pen = std::get_if<Shapes::Pen>(&extended.shape)) {
                pen->points.append(c);
                setDraft(extended);
                return;
            }
            if (auto *marker = std::get_if<Shapes::Highlighter>(&extended.shape)) {
                marker->points.append(c);
                setDraft(extended);
                return;
            }
        }
        if (m_tool == Tool::pen)
            setDraft(Annotation(Shapes::Pen{{s, c}}, style));
        else
            setDraft(Annotation(Shapes::Highlighter{{s, c}}, style));
        break;
    }
    case Tool::arrow:
        setDraft(Annotation(Shapes::Arrow{s, c}, style));
        break;
    case Tool::rect:
        setDraft(Annotation(Shapes::Rect{rectFrom(s, c)}, style));
        break;
    case Tool::blur:
        setDraft(Annotation(Shapes::Blur{rectFrom(s, c)}, style));
        break;
    case Tool::focus:
        setDraft(Annotation(Shapes::Focus{rectFrom(s, c)}, style));
        break;
    default:
        break;
    }
}

std::optional<std::pair<QPointF, QPointF>> EditorModel::resizeCorner(QPointF p) const
{
    if (m_tool != Tool::move)
        return std::nullopt;
    const auto layer = selected();
    if (!layer || !layer->isResizable())
        return std::nullopt;

    const QRectF b = layer->bounds();
    const qreal t = handleReachPoints / m_viewScale;
    const std::pair<QPointF, QPointF> corners[] = {
        {b.topLeft(), b.bottomRight()},
        {b.topRight(), b.bottomLeft()},
        {b.bottomLeft(), b.topRight()},
        {b.bottomRight(), b.topLeft()},
    };
    for (const auto &corner : corners) {
        if (std::abs(p.x() - corner.first.x()) <= t && std::abs(p.y() - corner.first.y()) <= t)
            return corner;
    }
    return std::nullopt;
}

void EditorModel::dragEnded(QPointF p)
{
    switch (m_tool) {
    case Tool::move: {
        const Snapshot *before = m_resizing ? &m_resizing->before
                                 : m_moving ? &m_moving->before
                                            : nullptr;
        const Annotation *original = m_resizing ? &m_resizing->original
                                     : m_moving ? &m_moving->original
                                                : nullptr;
        // Recorded only now, so a press that did not move leaves the history alone. A drag that
        // ends on its start point after the last move went elsewhere has still changed the layer,
        // and that change must be undoable too.
        if (before && m_dragStart) {
            const auto at = index(original->id);
            const bool changed = at && !(m_annotations.at(*at) == *original);
            if (p != *m_dragStart || changed)
                recordUndo(*before);
        }
        break;
    }
    case Tool::text:
        setTextEntry(p);
        break;
    case Tool::stamp:
        commit(Annotation(Shapes::Stamp{p}, toolStyle()));
        break;
    case Tool::crop:
        endCropDrag();
        break;
    default:
        if (m_draft) {
            const QRectF b = m_draft->bounds();
            if (b.width() > minimumDraft || b.height() > minimumDraft)
                commit(*m_draft);
        }
        break;
    }

    m_dragStart.reset();
    setDraft(std::nullopt);
    m_cropDrag.reset();
    m_moving.reset();
    m_resizing.reset();
}

void EditorModel::shiftSelected(qsizetype places)
{
    if (!m_selectedID)
        return;
    const auto at = index(*m_selectedID);
    if (!at)
        return;
    const qsizetype i = *at;
    // Saturate: bringing to front passes the layer count, which must not overflow.
    const qsizetype count = m_annotations.size();
    qsizetype target = places > count ? count : (places < -count ? -count : places);
    target = std::max<qsizetype>(std::min(i + target, count - 1), 0);
    if (target == i)
        return;
    pushUndo();
    QList<Annotation> layers = m_annotations;
    layers.move(i, target);
    setAnnotations(layers);
}

void EditorModel::bringSelectedToFront()
{
    shiftSelected(m_annotations.size());
}

void EditorModel::sendSelectedToBack()
{
    shiftSelected(-m_annotations.size());
}

void EditorModel::deleteSelected()
{
    if (!m_selectedID)
        return;
    const auto at = index(*m_selectedID);
    if (!at)
        return;
    pushUndo();
    QList<Annotation> layers = m_annotations;
    layers.removeAt(*at);
    setAnnotations(layers);
    setSelectedID(std::nullopt);
}

void EditorModel::setSelectedStyle(const Style &style)
{
    if (!m_selectedID)
        return;
    const auto at = index(*m_selectedID);
    if (!at || m_annotations.at(*at).style == style)
        return;
    pushUndo();
    Annotation layer = m_annotations.at(*at);
    layer.style = style;
    replaceLayer(*at, layer);
    if (layer.tool() == m_tool)
        setToolStyle(style);
}

void EditorModel::setSelectedSize(QSizeF size)
{
    const auto layer = selected();
    const qreal w = size.width();
    qreal h = size.height();
    // The comparisons are written so that NaN fails them.
    if (!layer || !layer->isResizable() || !(w >= 1) || !(h >= 1) || !qIsFinite(w) ||
        !qIsFinite(h))
        return;
    if (layer->tool() == Tool::watermark)
        h = w * Watermark::aspect();

    const QRectF bounds = layer->bounds();
    const QRectF rect(bounds.topLeft(), QSizeF(w, h));
    if (rect == bounds)
        return;
    pushUndo();
    replaceLayer(*index(layer->id), layer->resized(rect));
}

void EditorModel::setSelectedText(const QString &text)
{
    const auto layer = selected();
    if (!layer)
        return;
    const auto *shape = std::get_if<Shapes::Text>(&layer->shape);
    if (!shape || shape->string == text || isBlank(text))
        return;
    pushUndo();
    Annotation edited = *layer;
    std::get<Shapes::Text>(edited.shape).string = text;
    replaceLayer(*index(layer->id), edited);
}

void EditorModel::commitText(const QString &text)
{
    if (m_textEntry && !isBlank(text))
        commit(Annotation(Shapes::Text{*m_textEntry, text}, toolStyle()));
    setTextEntry(std::nullopt);
}

void EditorModel::addWatermark()
{
    setQuote(std::nullopt);
    const Style style = m_toolStyles.value(Tool::watermark,
                                           ToolDefaults::builtIn(Tool::watermark, m_pixelScale));
    const QSizeF size = imageSize();
    commit(Annotation(Shapes::Watermark{QPointF(size.width() / 2, size.height() / 2),
                                        size.width()},
                      style));
    setTool(Tool::move);
}

void EditorModel::addPicture(const QImage &image, std::optional<QPointF> at)
{
    if (image.isNull())
        return;
    setQuote(std::nullopt);
    const QSizeF size = imageSize();
    const QPointF centre = at.value_or(QPointF(size.width() / 2, size.height() / 2));
    const Style style = m_toolStyles.value(Tool::picture,
                                           ToolDefaults::builtIn(Tool::picture, m_pixelScale));
    const qreal iw = image.width();
    const qreal ih = image.height();
    const qreal s = std::min({1.0, pictureFit * size.width() / iw, pictureFit * size.height() / ih});
    const QSizeF placed(iw * s, ih * s);
    const QRectF rect(centre.x() - placed.width() / 2, centre.y() - placed.height() / 2,
                      placed.width(), placed.height());
    commit(Annotation(Shapes::Picture{rect, image}, style));
    setTool(Tool::move);
}

bool EditorModel::pasteImage()
{
    const QImage image = ImageImport::fromPasteboard(QGuiApplication::clipboard());
    if (image.isNull()) {
        showToast(tr("Nothing to paste"));
        return false;
    }
    addPicture(image);
    return true;
}
