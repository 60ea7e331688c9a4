// SPDX-License-Identifier: MIT
#include "overlaychrome.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "look/kiwano.h"
#include "selection.h"

namespace {

constexpr int magnifiedPixels = 15; // odd, so one pixel sits in the middle
constexpr int magnification = 8;

QFont fontOf(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

QString sizeLabel(const QRect &rect)
{
    return QStringLiteral("%1 × %2").arg(rect.width()).arg(rect.height());
}

} // namespace

QRect OverlayChrome::labelBox(const State &state) const
{
    if (state.highlight.isEmpty())
        return {};
    const QSize text = QFontMetrics(fontOf(scaled(13))).size(0, sizeLabel(state.highlight));
    const QSize box = text + QSize(scaled(12), scaled(6));
    return Selection::labelFor(box, state.highlight, scaled(6), state.monitor);
}

QRect OverlayChrome::hintBox(const State &state) const
{
    const QSize text = QFontMetrics(fontOf(scaled(13))).size(Qt::TextSingleLine, state.hint);
    const QSize size = text + QSize(scaled(20), scaled(10));
    const QRect &screen = state.monitor;
    const int margin = scaled(16);
    QRect box(QPoint(screen.center().x() - size.width() / 2, screen.top() + margin), size);
    // Out of the way of where the user is looking: at the bottom while the pointer is near the top.
    if (state.pointer.y() < box.bottom() + 3 * margin)
        box.moveBottom(screen.bottom() - margin);
    return box;
}

QRect OverlayChrome::magnifierBox(const State &state) const
{
    const int side = scaled(magnifiedPixels * magnification) + 2;
    return Selection::beside(QSize(side, side + scaled(20)), state.pointer, scaled(24), state.monitor);
}

QRegion OverlayChrome::region(const State &state) const
{
    QRegion region;
    const QRect &rect = state.highlight;
    if (!rect.isEmpty()) {
        const QRect outer = rect.adjusted(-2, -2, 2, 2);
        region += QRegion(outer).subtracted(QRegion(rect.adjusted(2, 2, -2, -2)));
        region += labelBox(state);
    }
    if (state.crosshair) {
        region += QRect(state.monitor.left(), state.pointer.y(), state.monitor.width(), 1);
        region += QRect(state.pointer.x(), state.monitor.top(), 1, state.monitor.height());
    }
    region += magnifierBox(state);
    region += hintBox(state);
    return region;
}

void OverlayChrome::paint(QPainter &painter, const QImage &frozen, const State &state) const
{
    if (!state.highlight.isEmpty()) {
        painter.setPen(QPen(Kiwano::yellow, 1));
        painter.drawRect(state.highlight.adjusted(-1, -1, 0, 0));
        paintLabel(painter, state);
    }
    if (state.crosshair)
        paintCrosshair(painter, state);
    paintHint(painter, state);
    paintMagnifier(painter, frozen, state);
}

void OverlayChrome::paintCrosshair(QPainter &painter, const State &state) const
{
    QColor line = Kiwano::cream;
    line.setAlpha(170);
    painter.fillRect(QRect(state.monitor.left(), state.pointer.y(), state.monitor.width(), 1), line);
    painter.fillRect(QRect(state.pointer.x(), state.monitor.top(), 1, state.monitor.height()), line);
}

void OverlayChrome::paintLabel(QPainter &painter, const State &state) const
{
    const QRect box = labelBox(state);
    painter.setFont(fontOf(scaled(13)));
    painter.fillRect(box, Kiwano::cream);
    painter.setPen(Kiwano::peel);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(box, Qt::AlignCenter, sizeLabel(state.highlight));
}

void OverlayChrome::paintHint(QPainter &painter, const State &state) const
{
    const QRect box = hintBox(state);
    painter.setFont(fontOf(scaled(13)));
    painter.fillRect(box, state.warning ? Kiwano::yellow : Kiwano::cream);
    painter.setPen(Kiwano::peel);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.drawText(box, Qt::AlignCenter, state.hint);
}

void OverlayChrome::paintMagnifier(QPainter &painter, const QImage &frozen, const State &state) const
{
    const QRect box = magnifierBox(state);
    const int side = box.width() - 2;
    const QRect lens(box.left() + 1, box.top() + 1, side, side);
    const int half = magnifiedPixels / 2;
    const QRect source(state.pointer - QPoint(half, half), QSize(magnifiedPixels, magnifiedPixels));
    const double cell = double(side) / magnifiedPixels;

    painter.fillRect(box, Kiwano::peel);
    painter.fillRect(lens, Qt::black);
    // Nearest-neighbour scaling shows every pixel as a square, edges included.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect inside = source.intersected(frozen.rect());
    if (!inside.isEmpty()) {
        const QRectF target(lens.left() + (inside.left() - source.left()) * cell,
                            lens.top() + (inside.top() - source.top()) * cell,
                            inside.width() * cell, inside.height() * cell);
        painter.drawImage(target, frozen, inside);
    }
    const QRectF centre(lens.left() + half * cell, lens.top() + half * cell, cell, cell);
    painter.setPen(QPen(Kiwano::yellow, std::max(1.0, m_scale)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(centre);

    painter.setFont(fontOf(scaled(12)));
    painter.setPen(Kiwano::cream);
    const QRect caption(box.left(), lens.bottom() + 1, box.width(), box.bottom() - lens.bottom());
    painter.drawText(caption, Qt::AlignCenter,
                     QStringLiteral("%1, %2").arg(state.pointer.x()).arg(state.pointer.y()));
}
