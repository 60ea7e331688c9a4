// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QObject>
#include <QPointF>

#include <optional>
#include <utility>

class CropArea;
class EditorDocument;
class EditorSelection;
class EditorToolbox;

// What the pointer does with the tool in hand: drawing a layer's draft, moving or reshaping the
// selected layer by its handles, dragging the crop rectangle, placing a stamp, and opening the
// text entry where the text tool clicks. In image pixels. Main thread only.
class EditorGestures : public QObject
{
    Q_OBJECT
public:
    EditorGestures(EditorDocument &document, EditorSelection &selection, EditorToolbox &toolbox,
                   CropArea &crop, QObject *parent = nullptr);

    const std::optional<Annotation> &draft() const { return m_draft; }
    bool isDragging() const { return m_dragStart.has_value(); }
    // View points per image pixel: the reach of handles and crop edges is divided by it.
    qreal viewScale() const { return m_viewScale; }
    void setViewScale(qreal scale);

    // dragChanged for every pointer move of one drag (always with the drag's start), dragEnded
    // once at its end. shiftHeld frees a picture's proportions while a corner is dragged.
    void dragChanged(QPointF start, QPointF current, bool shiftHeld);
    void dragEnded(QPointF at);
    // The handle of the selected layer near p (an index into its handles()); nothing outside the
    // move tool or away from the handles.
    std::optional<qsizetype> handleAt(QPointF p) const;
    // The handle near p and the point that stays while it is dragged.
    std::optional<std::pair<QPointF, QPointF>> resizeCorner(QPointF p) const;

    std::optional<QPointF> textEntry() const { return m_textEntry; }
    // Opening or closing the entry starts it empty; closing it this way drops what was typed.
    void setTextEntry(std::optional<QPointF> point);
    const QString &typedText() const { return m_typedText; }
    void setTypedText(const QString &text);
    // Adds text at the entry as a layer unless blank, and closes the entry.
    void commitText(const QString &text);

signals:
    void draftChanged();
    void textEntryChanged();

private:
    // The layer a drag on the move tool holds, as it was when the drag began.
    struct Holding
    {
        Annotation original;
        std::optional<qsizetype> handle; // reshaping by this handle; moving without one
    };

    void commit(const Annotation &annotation);
    void setDraft(const std::optional<Annotation> &draft);
    void dragMove(QPointF start, QPointF current, bool first, bool shiftHeld);
    void dragDraw(QPointF start, QPointF current);
    void endMove(QPointF at);

    EditorDocument &m_document;
    EditorSelection &m_selection;
    EditorToolbox &m_toolbox;
    CropArea &m_crop;
    std::optional<Annotation> m_draft;
    std::optional<QPointF> m_dragStart;
    std::optional<Holding> m_holding;
    qreal m_viewScale = 1;
    std::optional<QPointF> m_textEntry;
    QString m_typedText;
};
