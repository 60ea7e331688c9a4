// SPDX-License-Identifier: MIT
#include "editor/ui/canvas/canvastext.h"

#include "annotation/textfont.h"
#include "editor/model/editormodel.h"
#include "editor/ui/canvas/inlinetextfield.h"
#include "editor/ui/imagecanvas.h"

#include <utility>

CanvasText::CanvasText(EditorModel *model, ImageCanvas *canvas)
    : QObject(canvas)
    , m_model(model)
    , m_canvas(canvas)
{
}

bool CanvasText::isTyping() const
{
    return (m_model && m_model->textEntry()) || m_editing;
}

QFont CanvasText::fontOf(const Style &style) const
{
    return ::font(style.font, style.fontSize * m_canvas->scale());
}

InlineTextField *CanvasText::openField()
{
    if (!m_field) {
        m_field = new InlineTextField(m_canvas);
        connect(m_field, &InlineTextField::submitted, this, [this](const QString &text) {
            if (m_editing)
                finishEdit(text);
            else
                m_model->commitText(text);
        });
        connect(m_field, &QLineEdit::textChanged, this, [this](const QString &text) {
            if (!m_editing)
                m_model->setTypedText(text);
        });
        connect(m_field, &InlineTextField::abandoned, this, [this] {
            if (m_editing)
                finishEdit(std::nullopt);
            else
                m_model->setTextEntry(std::nullopt);
        });
    }
    return m_field;
}

void CanvasText::edit(const Annotation &layer)
{
    const auto *text = std::get_if<Shapes::Text>(&layer.shape);
    if (!text || text->string.contains(QLatin1Char('\n')))
        return;
    m_editing = layer.id;
    openField()->open(m_canvas->toView(text->point), fontOf(layer.style), layer.style.color,
                      text->string);
}

bool CanvasText::finish()
{
    if (m_model->textEntry()) {
        m_model->finishTextEntry();
        return true;
    }
    if (!m_editing)
        return false;
    finishEdit(m_field->text());
    return true;
}

void CanvasText::finishEdit(std::optional<QString> text)
{
    const auto id = std::exchange(m_editing, std::nullopt);
    if (!id)
        return;
    // The model refuses blank text and ignores an unchanged one.
    if (text && m_model->selectedID() == id)
        m_model->setSelectedText(*text);
    entryChanged();
}

void CanvasText::place()
{
    if (!m_field || !m_field->isVisible())
        return;
    if (const auto entry = m_model->textEntry()) {
        const Style style = m_model->toolStyle();
        m_field->place(m_canvas->toView(*entry), fontOf(style), style.color);
    } else if (const auto layer = m_model->selected(); layer && layer->id == m_editing) {
        if (const auto *text = std::get_if<Shapes::Text>(&layer->shape))
            m_field->place(m_canvas->toView(text->point), fontOf(layer->style), layer->style.color);
    }
}

void CanvasText::entryChanged()
{
    const auto entry = m_model->textEntry();
    if (entry)
        m_editing.reset();
    if (!entry && !m_editing) {
        if (m_field && m_field->isVisible()) {
            const bool hadFocus = m_field->hasFocus();
            m_field->hide();
            if (hadFocus)
                m_canvas->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (!entry)
        return;
    const Style style = m_model->toolStyle();
    openField()->open(m_canvas->toView(*entry), fontOf(style), style.color);
}

void CanvasText::selectionChanged()
{
    if (m_editing && (m_model->selectedID() != m_editing || m_model->tool() != Tool::move)) {
        // Choosing something else keeps what was typed.
        const QUuid id = *std::exchange(m_editing, std::nullopt);
        m_model->setLayerText(id, m_field->text());
        entryChanged();
    }
}

void CanvasText::keepTyped()
{
    if (!m_model)
        return;
    if (m_editing && m_field)
        m_model->setLayerText(*m_editing, m_field->text());
    else if (m_model->textEntry())
        m_model->finishTextEntry();
}
