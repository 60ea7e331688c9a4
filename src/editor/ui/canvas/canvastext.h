// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/annotation.h"

#include <QObject>
#include <QPointer>
#include <QUuid>

#include <optional>

class EditorModel;
class ImageCanvas;
class InlineTextField;

// Typing on the canvas: the inline field over the model's text entry for a new text layer, and
// over a placed text layer whose text is edited again (view-local: the model sees only the
// result). What was typed is kept whenever something else is chosen.
class CanvasText : public QObject
{
    Q_OBJECT

public:
    CanvasText(EditorModel *model, ImageCanvas *canvas);

    // The field, once it has been opened.
    InlineTextField *field() const { return m_field; }
    // True while the field takes the keys: pointer drags then go nowhere.
    bool isTyping() const;
    // Opens the field over a placed text layer; a layer of several lines is left alone, as the
    // field holds one line.
    void edit(const Annotation &layer);
    // What a click elsewhere does: what was typed is taken. False when nothing was being typed.
    bool finish();
    // Puts the field back over its text after the canvas's scale changed.
    void place();
    // Follows the model's text entry, and ends an edit when its layer stops being the selection.
    void entryChanged();
    void selectionChanged();
    // The canvas goes away: what is being typed stays as a layer.
    void keepTyped();

private:
    InlineTextField *openField();
    void finishEdit(std::optional<QString> text);
    QFont fontOf(const Style &style) const;

    QPointer<EditorModel> m_model;
    ImageCanvas *m_canvas;
    InlineTextField *m_field = nullptr;
    // The placed layer being edited again.
    std::optional<QUuid> m_editing;
};
