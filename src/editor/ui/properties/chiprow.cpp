// SPDX-License-Identifier: MIT
#include "editor/ui/properties/chiprow.h"

#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QEvent>
#include <QPainter>

namespace {
// Room around the chips for the chosen ring: 4 wide, from 1 to 5 outside the chip.
constexpr int padding = 5;
constexpr int ringGap = 1;
constexpr int ringWidth = 4;
} // namespace

ChipRow::ChipRow(int spacing, QWidget *parent)
    : QWidget(parent)
    , m_spacing(spacing)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void ChipRow::setChosen(QWidget *chip)
{
    m_chosen = chip;
    // The custom chip may have come or gone with the colour.
    fit();
    update();
}

QList<QWidget *> ChipRow::visibleChips() const
{
    QList<QWidget *> chips;
    for (QObject *child : children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isHidden())
            chips.append(widget);
    }
    return chips;
}

int ChipRow::place(int width, bool move) const
{
    int x = padding;
    int y = padding;
    int lineHeight = 0;
    for (QWidget *chip : visibleChips()) {
        const QSize size = chip->sizeHint();
        if (x > padding && x + size.width() + padding > width) {
            x = padding;
            y += lineHeight + m_spacing + 2 * ringWidth;
            lineHeight = 0;
        }
        if (move)
            chip->setGeometry(QRect(QPoint(x, y), size));
        x += size.width() + m_spacing;
        lineHeight = qMax(lineHeight, size.height());
    }
    return y + lineHeight + padding;
}

QSize ChipRow::sizeHint() const
{
    int width = padding;
    for (QWidget *chip : visibleChips())
        width += chip->sizeHint().width() + m_spacing;
    width += padding - m_spacing;
    return QSize(width, place(width, false));
}

QSize ChipRow::minimumSizeHint() const
{
    int widest = 0;
    for (QWidget *chip : visibleChips())
        widest = qMax(widest, chip->sizeHint().width());
    return QSize(widest + 2 * padding, place(sizeHint().width(), false));
}

bool ChipRow::event(QEvent *event)
{
    // A chip shown or hidden changes the row's shape.
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved ||
        event->type() == QEvent::LayoutRequest) {
        fit();
    }
    return QWidget::event(event);
}

void ChipRow::resizeEvent(QResizeEvent *)
{
    fit();
}

void ChipRow::fit()
{
    // Layouts ask the height for a width only now and then; a fixed height that follows the
    // width keeps a wrapped line from being cut off.
    const int height = place(width(), true);
    if (height != minimumHeight() || height != maximumHeight())
        setFixedHeight(height);
}

void ChipRow::paintEvent(QPaintEvent *)
{
    if (!m_chosen || m_chosen->isHidden())
        return;
    QPainter painter(this);
    const QRectF ring = QRectF(m_chosen->geometry()).adjusted(-ringGap - ringWidth, -ringGap - ringWidth,
                                                              ringGap + ringWidth, ringGap + ringWidth);
    Look::strokeInside(painter, ring, ringWidth, Kiwano::peel);
}
