// SPDX-License-Identifier: MIT
#include "editor/ui/properties/hexfield.h"

#include "annotation/colortext.h"
#include "look/pixel.h"

HexField::HexField(QWidget *parent)
    : QLineEdit(parent)
{
    setFont(Pixel::uiFont());
    setTextMargins(5, 5, 5, 5);
    setFixedWidth(132);
    setPlaceholderText(tr("#hex or r,g,b"));
    setAccessibleName(tr("Hex color"));
    connect(this, &QLineEdit::returnPressed, this, &HexField::accept);
}

void HexField::setColor(const std::optional<QColor> &color)
{
    const QString hex = color ? hexString(*color) : QString();
    if (m_hex == hex)
        return;
    m_hex = hex;
    setText(hex);
}

void HexField::accept()
{
    const std::optional<QColor> color = colorFromUserInput(text());
    if (!color) {
        setText(m_hex.value_or(QString()));
        return;
    }
    // Shown canonically even when the colour was already current.
    setText(hexString(*color));
    emit colorEdited(*color);
}
