// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QObject>
#include <QUuid>

#include <optional>
#include <utility>

class EditorDocument;

// The layer the user has chosen, and the commands that edit it. Each command records one undo
// step in the document when it changes something. Main thread only.
class EditorSelection : public QObject
{
    Q_OBJECT
public:
    explicit EditorSelection(EditorDocument &document, QObject *parent = nullptr);

    std::optional<QUuid> id() const { return m_id; }
    void setID(std::optional<QUuid> id);
    // The selected layer; nothing when none is selected or it is no longer in the document.
    std::optional<Annotation> layer() const;

    // Moves the selected layer up (positive) or down the stack, stopping at either end.
    void shift(qsizetype places);
    void remove();
    // False when nothing changed.
    bool setStyle(const Style &style);
    // Gives a selected watermark or picture this size, keeping its top-left corner; a
    // watermark's height follows the mascot's proportions.
    void setSize(QSizeF size);
    // Replaces the text of the text layer with that id, selected or not; blank text is refused.
    void setLayerText(const QUuid &id, const QString &text);
    // Moves the selected layer by the offset. Each call is one undo step, except that a call
    // continuing the one before on the same layer (a held key repeating) joins its step.
    void nudge(QPointF offset, bool continuing);

signals:
    void idChanged();

private:
    EditorDocument &m_document;
    std::optional<QUuid> m_id;
    // The layer the last nudge moved and the undo depth it left, so a repeat can join its step.
    std::optional<std::pair<QUuid, qsizetype>> m_lastNudge;
};

// Blank means nothing but spaces and tabs; a line break is content.
bool isBlankText(const QString &text);
