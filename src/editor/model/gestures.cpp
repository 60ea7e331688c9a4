// SPDX-License-Identifier: MIT
#include "editor/model/gestures.h"

#include "annotation/geometry.h"
#include "editor/model/croparea.h"
#include "editor/model/document.h"
#include "editor/model/selection.h"
#include "editor/model/toolbox.h"

#include <cmath>

namespace {

constexpr qreal hitTolerancePoints = 6;
constexpr qreal handleReachPoints = 10;
constexpr qreal minimumDraft = 2;

} // namespace

EditorGestures::EditorGestures(EditorDocument &document, EditorSelection &selection,
                               EditorToolbox &toolbox, CropArea &crop, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_selection(selection)
    , m_toolbox(toolbox)
    , m_crop(crop)
{
}

void EditorGestures::setViewScale(qreal scale)
{
    // Reaches are divided by it; a zero or broken zoom must not make them infinite.
    if (qIsFinite(scale) && scale > 0)
        m_viewScale = scale;
}

void EditorGestures::dragChanged(QPointF start, QPointF current, bool shiftHeld)
{
    const bool first = !m_dragStart;
    if (first)
        m_dragStart = start;
    const QPointF s = *m_dragStart;

    switch (m_toolbox.tool()) {
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
        m_crop.drag(s, current, first, m_document.imageSize(), m_viewScale);
        break;
    case Tool::text:
    case Tool::stamp:
    case Tool::watermark:
    case Tool::picture:
        break;
    }
}

void EditorGestures::dragMove(QPointF s, QPointF c, bool first, bool shiftHeld)
{
    if (first) {
        const auto selection = m_selection.layer();
        const auto handle = handleAt(s);
        if (selection && handle) {
            m_holding = Holding{*selection, handle};
        } else {
            std::optional<Annotation> hit;
            const qreal tolerance = hitTolerancePoints * m_toolbox.pixelScale();
            const QList<Annotation> &layers = m_document.annotations();
            for (auto it = layers.crbegin(); it != layers.crend(); ++it) {
                if (it->contains(s, tolerance)) {
                    hit = *it;
                    break;
                }
            }
            m_selection.setID(hit ? std::optional(hit->id) : std::nullopt);
            if (hit)
                m_holding = Holding{*hit, std::nullopt};
        }
        if (m_holding)
            m_document.holdStep();
    }
    if (!m_holding)
        return;
    const Annotation &original = m_holding->original;
    if (const auto at = m_document.index(original.id)) {
        m_document.replaceLayer(*at, m_holding->handle
                                         ? original.reshaped(*m_holding->handle, c, shiftHeld)
                                         : original.translated(c.x() - s.x(), c.y() - s.y()));
    }
}

void EditorGestures::dragDraw(QPointF s, QPointF c)
{
    const Tool tool = m_toolbox.tool();
    const Style style = m_toolbox.style(tool);
    switch (tool) {
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
        if (tool == Tool::pen)
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

std::optional<qsizetype> EditorGestures::handleAt(QPointF p) const
{
    if (m_toolbox.tool() != Tool::move)
        return std::nullopt;
    const auto layer = m_selection.layer();
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

std::optional<std::pair<QPointF, QPointF>> EditorGestures::resizeCorner(QPointF p) const
{
    const auto handle = handleAt(p);
    if (!handle)
        return std::nullopt;
    const QList<QPointF> handles = m_selection.layer()->handles();
    return std::pair(handles[*handle], handles[handles.size() - 1 - *handle]);
}

void EditorGestures::dragEnded(QPointF p)
{
    switch (m_toolbox.tool()) {
    case Tool::move:
        endMove(p);
        break;
    case Tool::text:
        setTextEntry(p);
        break;
    case Tool::stamp:
        commit(Annotation(Shapes::Stamp{p}, m_toolbox.style(Tool::stamp)));
        break;
    case Tool::crop:
        m_crop.endDrag();
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
    m_crop.endDrag();
    m_holding.reset();
    m_document.dropHeldStep();
}

void EditorGestures::endMove(QPointF p)
{
    if (!m_holding || !m_dragStart)
        return;
    // Recorded only now, so a press that did not move leaves the history alone. A drag that ends
    // on its start point after the last move went elsewhere has still changed the layer, and
    // that change must be undoable too.
    const auto now = m_document.layer(m_holding->original.id);
    const bool changed = now && !(*now == m_holding->original);
    if (p != *m_dragStart || changed)
        m_document.recordHeldStep();
}

void EditorGestures::commit(const Annotation &annotation)
{
    m_document.add(annotation);
    m_selection.setID(annotation.id);
}

void EditorGestures::setDraft(const std::optional<Annotation> &draft)
{
    if (!draft && !m_draft)
        return;
    m_draft = draft;
    emit draftChanged();
}

void EditorGestures::setTextEntry(std::optional<QPointF> point)
{
    if (point == m_textEntry)
        return;
    m_textEntry = point;
    m_typedText.clear();
    emit textEntryChanged();
}

void EditorGestures::setTypedText(const QString &text)
{
    if (m_textEntry)
        m_typedText = text;
}

void EditorGestures::commitText(const QString &typed)
{
    // A copy: typed may be typedText itself, which is cleared here.
    const QString text = typed;
    // Taken before committing: the commit selects the new layer, which must not reach back here.
    const auto entry = std::exchange(m_textEntry, std::nullopt);
    m_typedText.clear();
    if (entry && !isBlankText(text))
        commit(Annotation(Shapes::Text{*entry, text}, m_toolbox.style(Tool::text)));
    if (entry)
        emit textEntryChanged();
}
