// SPDX-License-Identifier: MIT
#include "editor/ui/properties/swatches.h"

#include "annotation/colortext.h"
#include "editor/ui/properties/chiprow.h"
#include "editor/ui/properties/colorpanelbridge.h"
#include "editor/ui/properties/hexfield.h"
#include "look/kiwano.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixelpaint.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QVBoxLayout>

namespace {

bool sameHex(const std::optional<QColor> &a, const std::optional<QColor> &b)
{
    if (!a || !b)
        return !a && !b;
    return hexString(*a) == hexString(*b);
}

} // namespace

ColorChip::ColorChip(std::optional<QColor> color, int side, QWidget *parent)
    : QAbstractButton(parent)
    , m_side(side)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setColor(color);
}

void ColorChip::setColor(const std::optional<QColor> &color)
{
    m_color = color;
    const QString name = color ? hexString(*color) : tr("No color");
    setAccessibleName(name);
    setToolTip(name);
    update();
}

QSize ColorChip::sizeHint() const
{
    return QSize(m_side, m_side);
}

void ColorChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF face(rect());
    Look::fillSnapped(painter, face, Kiwano::cream);
    if (m_color)
        Look::fillSnapped(painter, face, *m_color);
    else
        Look::drawIcon(painter, face, QStringLiteral("xmark"), m_side - 4, Kiwano::peel);
    Look::strokeInside(painter, face, 2, Kiwano::peel);
    // Focus: a cream and a peel line inside the border, visible on light and dark chips alike.
    if (hasFocus()) {
        Look::strokeInside(painter, face.adjusted(2, 2, -2, -2), 1, Kiwano::cream);
        Look::strokeInside(painter, face.adjusted(3, 3, -3, -3), 1, Kiwano::peel);
    }
}

Swatches::Swatches(bool allowsNone, ColorPanelBridge *chooser, QWidget *parent)
    : QWidget(parent)
{
    const int side = allowsNone ? 18 : 20;
    auto *row = new ChipRow(allowsNone ? 4 : 5, this);
    m_row = row;
    const auto choose = [this](ColorChip *chip) {
        connect(chip, &QAbstractButton::clicked, this, [this, chip] { emit colorEdited(chip->color()); });
    };
    if (allowsNone) {
        m_none = new ColorChip(std::nullopt, side, row);
        choose(m_none);
    }
    for (const QColor &color : Kiwano::palette()) {
        auto *chip = new ColorChip(color, side, row);
        choose(chip);
        m_palette.append(chip);
    }
    m_custom = new ColorChip(std::nullopt, side, row);
    m_custom->hide();
    choose(m_custom);

    m_hex = new HexField(this);
    m_pick = new KiwanoButton(QStringLiteral("palette"), QString(), this);
    m_pick->setToolTip(tr("Pick any color (RGB, hex, eyedropper…)"));
    m_pick->setVisible(chooser != nullptr);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    column->addWidget(row);
    auto *entry = new QHBoxLayout;
    entry->setSpacing(6);
    entry->addWidget(m_hex);
    entry->addWidget(m_pick);
    entry->addStretch();
    column->addLayout(entry);

    connect(m_hex, &HexField::colorEdited, this, [this](const QColor &color) { emit colorEdited(color); });
    connect(m_pick, &QAbstractButton::clicked, this, [this, chooser = QPointer(chooser)] {
        if (!chooser)
            return;
        const QColor start = m_color.value_or(Kiwano::palette().first());
        // The chooser outlives this control; a colour reported after it is gone goes nowhere.
        QPointer<Swatches> self(this);
        chooser->open(start, [self](const QColor &color) {
            if (self)
                emit self->colorEdited(color);
        });
    });
    setColor(std::nullopt);
}

void Swatches::setColor(const std::optional<QColor> &color)
{
    m_color = color;
    bool known = !color;
    for (ColorChip *chip : m_palette)
        known = known || sameHex(chip->color(), color);
    m_custom->setColor(known ? std::nullopt : color);
    m_custom->setVisible(!known);
    ColorChip *chosen = chosenChip();
    static_cast<ChipRow *>(m_row)->setChosen(chosen);
    m_hex->setColor(color);
}

QList<ColorChip *> Swatches::chips() const
{
    QList<ColorChip *> visible;
    if (m_none)
        visible.append(m_none);
    visible.append(m_palette);
    if (!m_custom->isHidden())
        visible.append(m_custom);
    return visible;
}

ColorChip *Swatches::chosenChip() const
{
    for (ColorChip *chip : chips()) {
        if (sameHex(chip->color(), m_color))
            return chip;
    }
    return nullptr;
}
