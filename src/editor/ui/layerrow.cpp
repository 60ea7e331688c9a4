// SPDX-License-Identifier: MIT
#include "editor/ui/layerrow.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr int padX = 8;
constexpr int padY = 6;
constexpr int spacing = 6;
constexpr int chip = 10;
constexpr int iconSize = 12;
} // namespace

LayerRow::LayerRow(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void LayerRow::setLayer(const Annotation &annotation, bool selected)
{
    if (m_annotation == annotation && m_selected == selected)
        return;
    m_annotation = annotation;
    m_selected = selected;
    setAccessibleName(selected ? tr("%1, selected").arg(annotation.name()) : annotation.name());
    updateGeometry();
    update();
}

bool LayerRow::hasChip() const
{
    switch (m_annotation.tool()) {
    case Tool::pen:
    case Tool::highlighter:
    case Tool::arrow:
    case Tool::rect:
    case Tool::text:
        return true;
    default:
        return false;
    }
}

QSize LayerRow::sizeHint() const
{
    const QFontMetricsF metrics(Pixel::uiFont());
    const int line = std::max(iconSize, int(std::ceil(metrics.height())));
    return QSize(padX * 2 + chip + spacing + iconSize + spacing
                     + int(std::ceil(metrics.horizontalAdvance(m_annotation.name()))),
                 padY * 2 + line);
}

QSize LayerRow::minimumSizeHint() const
{
    return QSize(padX * 2 + chip + spacing + iconSize, sizeHint().height());
}

void LayerRow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::paintPixelBox(painter, rect(), m_selected ? Kiwano::ripe : Kiwano::cream, m_selected);

    qreal x = padX;
    const qreal mid = height() / 2.0;
    if (hasChip()) {
        const QRectF square(x, std::round(mid - chip / 2.0), chip, chip);
        Look::fillSnapped(painter, square, m_annotation.color());
        Look::strokeInside(painter, square, 2, Kiwano::peel);
        x += chip + spacing;
    }
    Look::drawIcon(painter, QRectF(x, std::round(mid - iconSize / 2.0), iconSize, iconSize),
                   icon(m_annotation.tool()), iconSize, Kiwano::peel);
    x += iconSize + spacing;

    painter.setFont(Pixel::uiFont());
    painter.setPen(Kiwano::peel);
    const QRectF textRect(x, 0, width() - x - padX, height());
    const QString name = QFontMetricsF(painter.font())
                             .elidedText(m_annotation.name(), Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);

    if (hasFocus()) {
        QPen pen(Kiwano::peel, 1, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(4.5, 3.5, -4.5, -3.5));
    }
}

void LayerRow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit toggled(m_annotation.id);
}

void LayerRow::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit toggled(m_annotation.id);
        return;
    case Qt::Key_Up:
        emit focusMoveRequested(-1);
        return;
    case Qt::Key_Down:
        emit focusMoveRequested(1);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void LayerRow::contextMenuEvent(QContextMenuEvent *event)
{
    emit menuRequested(m_annotation.id, event->globalPos());
}

void LayerRow::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void LayerRow::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool LayerRow::focusNextPrevChild(bool next)
{
    emit tabbedOut(next);
    return true;
}
