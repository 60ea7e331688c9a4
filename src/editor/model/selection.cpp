// SPDX-License-Identifier: MIT
#include "editor/model/selection.h"

#include "annotation/watermark.h"
#include "editor/model/document.h"

bool isBlankText(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

EditorSelection::EditorSelection(EditorDocument &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
{
}

void EditorSelection::setID(std::optional<QUuid> id)
{
    if (id == m_id)
        return;
    m_id = id;
    emit idChanged();
}

std::optional<Annotation> EditorSelection::layer() const
{
    return m_id ? m_document.layer(*m_id) : std::nullopt;
}

void EditorSelection::shift(qsizetype places)
{
    const auto at = m_id ? m_document.index(*m_id) : std::nullopt;
    if (!at)
        return;
    const qsizetype i = *at;
    // Saturate: bringing to front passes the layer count, which must not overflow.
    const qsizetype count = m_document.annotations().size();
    qsizetype target = places > count ? count : (places < -count ? -count : places);
    target = std::max<qsizetype>(std::min(i + target, count - 1), 0);
    if (target == i)
        return;
    m_document.pushUndo();
    QList<Annotation> layers = m_document.annotations();
    layers.move(i, target);
    m_document.setAnnotations(layers);
}

void EditorSelection::remove()
{
    const auto at = m_id ? m_document.index(*m_id) : std::nullopt;
    if (!at)
        return;
    m_document.pushUndo();
    QList<Annotation> layers = m_document.annotations();
    layers.removeAt(*at);
    m_document.setAnnotations(layers);
    setID(std::nullopt);
}

bool EditorSelection::setStyle(const Style &style)
{
    const auto at = m_id ? m_document.index(*m_id) : std::nullopt;
    if (!at || m_document.annotations().at(*at).style == style)
        return false;
    m_document.pushUndo();
    Annotation layer = m_document.annotations().at(*at);
    layer.style = style;
    m_document.replaceLayer(*at, layer);
    return true;
}

void EditorSelection::setSize(QSizeF size)
{
    const auto layer = this->layer();
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
    m_document.pushUndo();
    m_document.replaceLayer(*m_document.index(layer->id), layer->resized(rect));
}

void EditorSelection::setLayerText(const QUuid &id, const QString &text)
{
    const auto at = m_document.index(id);
    if (!at)
        return;
    const Annotation &layer = m_document.annotations().at(*at);
    const auto *shape = std::get_if<Shapes::Text>(&layer.shape);
    if (!shape || shape->string == text || isBlankText(text))
        return;
    Annotation edited = layer;
    std::get<Shapes::Text>(edited.shape).string = text;
    m_document.pushUndo();
    m_document.replaceLayer(*at, edited);
}

void EditorSelection::nudge(QPointF offset, bool continuing)
{
    const auto layer = this->layer();
    if (!layer || offset.isNull())
        return;
    const qsizetype depth = m_document.undoStack().size();
    const bool joins = continuing && m_lastNudge && m_lastNudge->first == layer->id
        && m_lastNudge->second == depth;
    if (!joins)
        m_document.pushUndo();
    m_document.replaceLayer(*m_document.index(layer->id), layer->translated(offset.x(), offset.y()));
    m_lastNudge = std::pair(layer->id, m_document.undoStack().size());
}
