// SPDX-License-Identifier: MIT
#include "editor/ui/properties/field.h"

#include "look/kiwano.h"
#include "look/pixel.h"

#include <QLabel>
#include <QVBoxLayout>

Field::Field(const QString &title, QWidget *control, QWidget *parent)
    : QWidget(parent)
    , m_control(control)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    if (!title.isEmpty()) {
        auto *label = new QLabel(title, this);
        label->setFont(Pixel::uiFont());
        label->setBuddy(control);
        column->addWidget(label);
    }
    column->addWidget(control);
    setAccessibleName(title);
}

QLabel *hintLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(Pixel::uiFont());
    label->setWordWrap(true);
    QPalette palette = label->palette();
    QColor faded = Kiwano::peel;
    faded.setAlphaF(0.7f);
    palette.setColor(QPalette::WindowText, faded);
    label->setPalette(palette);
    return label;
}
