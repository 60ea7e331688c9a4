// SPDX-License-Identifier: MIT
#include "editor/ui/properties/textcontentfield.h"

#include "editor/model/editormodel.h"
#include "look/pixel.h"

TextContentField::TextContentField(EditorModel *model, const QString &text, QWidget *parent)
    : QLineEdit(text, parent)
    , m_model(model)
    , m_layer(model->selectedID())
{
    setFont(Pixel::uiFont());
    setTextMargins(6, 6, 6, 6);
    setAccessibleName(tr("Text"));
    connect(this, &QLineEdit::returnPressed, this, &TextContentField::commit);
}

void TextContentField::commit()
{
    if (m_model->selectedID() == m_layer)
        m_model->setSelectedText(text());
}

void TextContentField::focusOutEvent(QFocusEvent *event)
{
    commit();
    QLineEdit::focusOutEvent(event);
}
