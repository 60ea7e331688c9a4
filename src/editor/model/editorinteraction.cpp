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
        const auto handle = handleAt(s);
        if (selection && handle) {
            m_resizing = Resizing{*selection, *handle, present()};
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
            replaceLayer(*at, m_resizing->original.reshaped(m_resizing->handle, c, shiftHeld));
    } else if (m_moving) {
        if (const auto at = index(m_moving->original.id))
            replaceLayer(*at, m_moving->original.translated(c.x() - s.x(), c.y() - s.y()));
    }
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

std::optional<qsizetype> EditorModel::handleAt(QPointF p) const
{
    if (m_tool != Tool::move)
        return std::nullopt;
    const auto layer = selected();
    if (!layer)
        return std::nullopt;
    const qreal t = handleReachPoints / m_viewScale;
    const QList<QPointF> handles = layer->handles();
    // The last one wins a tie: an arrow's head over its tail.
    for (qsizetype i = handles.size() - 1; i >= 0; --i) {
        const QPointF h = handles[i];
        if (std::abs(p.x() - h.x()) <= t && std::abs(p.y() - h.y()) <= t)
            return i;
    }
    return std::nullopt;
}

std::optional<std::pair<QPointF, QPointF>> EditorModel::resizeCorner(QPointF p) const
{
    const auto handle = handleAt(p);
    if (!handle)
        return std::nullopt;
    const QList<QPointF> handles = selected()->handles();
    return std::pair(handles[*handle], handles[handles.size() - 1 - *handle]);
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
    if (m_selectedID)
        setLayerText(*m_selectedID, text);
}

void EditorModel::setLayerText(const QUuid &id, const QString &text)
{
    const auto at = index(id);
    if (!at)
        return;
    const Annotation &layer = m_annotations.at(*at);
    const auto *shape = std::get_if<Shapes::Text>(&layer.shape);
    if (!shape || shape->string == text || isBlank(text))
        return;
    pushUndo();
    Annotation edited = layer;
    std::get<Shapes::Text>(edited.shape).string = text;
    replaceLayer(*at, edited);
}

void EditorModel::commitText(const QString &typed)
{
    // A copy: typed may be typedText itself, which is cleared here.
    const QString text = typed;
    // Taken before committing: the commit selects the new layer, which must not reach back here.
    const auto entry = std::exchange(m_textEntry, std::nullopt);
    m_typedText.clear();
    if (entry && !isBlank(text))
        commit(Annotation(Shapes::Text{*entry, text}, m_toolStyles.value(Tool::text,
                                                 ToolDefaults::builtIn(Tool::text, m_pixelScale))));
    if (entry) {
        emit textEntryChanged();
        emit changed();
    }
}

void EditorModel::finishTextEntry()
{
    commitText(m_typedText);
}

void EditorModel::nudgeSelected(QPointF offset, bool continuing)
{
    const auto layer = selected();
    if (!layer || offset.isNull())
        return;
    const bool joins = continuing && m_lastNudge && m_lastNudge->first == layer->id
        && m_lastNudge->second == m_undoStack.size();
    if (!joins)
        pushUndo();
    replaceLayer(*index(layer->id), layer->translated(offset.x(), offset.y()));
    m_lastNudge = std::pair(layer->id, m_undoStack.size());
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
    const QImage image = ImageImport::fromClipboard(QGuiApplication::clipboard());
    if (image.isNull()) {
        showToast(tr("Nothing to paste"));
        return false;
    }
    addPicture(image);
    return true;
}
