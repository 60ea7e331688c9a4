// SPDX-License-Identifier: MIT
#include "editor/ui/properties/fontpicker.h"

#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"

#include <QGridLayout>

FontPicker::FontPicker(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    const QList<TextFont> &fonts = TextFonts::allCases();
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        const TextFont face = fonts.at(i);
        auto *button = new KiwanoButton(QString(), label(face), this);
        // The pixel face shows at the look's own size, where its pixels stay whole.
        button->setTitleFont(face == TextFont::pixel ? Pixel::uiFont() : ::font(face, 11));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QAbstractButton::clicked, this, [this, face] { emit fontEdited(face); });
        grid->addWidget(button, int(i / 2), int(i % 2));
        m_buttons.append(button);
    }
    // Every face has its own line height; one height for all keeps the rows and columns aligned.
    int tallest = 0;
    for (const KiwanoButton *button : std::as_const(m_buttons))
        tallest = qMax(tallest, button->sizeHint().height());
    for (KiwanoButton *button : std::as_const(m_buttons))
        button->setFixedHeight(tallest);
}

void FontPicker::setCurrent(TextFont font)
{
    const QList<TextFont> &fonts = TextFonts::allCases();
    for (qsizetype i = 0; i < fonts.size(); ++i)
        m_buttons.at(i)->setSelected(fonts.at(i) == font);
}
