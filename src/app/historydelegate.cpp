// SPDX-License-Identifier: MIT
#include "app/historydelegate.h"

#include <QImage>
#include <QPainter>

#include "app/historymodel.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

HistoryDelegate::HistoryDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

void HistoryDelegate::setLiftOf(std::function<qreal(const QModelIndex &)> liftOf)
{
    m_liftOf = std::move(liftOf);
}

QSize HistoryDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    const int dateHeight = QFontMetrics(Pixel::uiFont()).height();
    return QSize(int(boxWidth + shadow), int(lift + boxHeight + dateSpacing + dateHeight));
}

QRectF HistoryDelegate::letterbox(const QSizeF &picture, const QRectF &frame)
{
    if (picture.isEmpty() || frame.isEmpty())
        return {};
    const QSizeF fitted = picture.scaled(frame.size(), Qt::KeepAspectRatio);
    return QRectF(frame.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

void HistoryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    const bool selected = index.data(HistoryModel::SelectedRole).toBool();
    const qreal raised = m_liftOf ? m_liftOf(index) : (selected ? 1.0 : 0.0);
    const QRectF item = option.rect;
    const QRectF box(item.left(), item.top() + lift * (1 - raised), boxWidth, boxHeight);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    if (raised > 0)
        Look::fillSnapped(*painter, box.translated(shadow * raised, shadow * raised), Kiwano::peel);
    Look::paintPixelBox(*painter, box, Kiwano::cream, selected);

    const qreal border = selected ? 3 : 2;
    const QRectF frame = box.adjusted(border, border, -border, -border);
    const QImage picture = index.data(HistoryModel::ThumbnailRole).value<QImage>();
    if (picture.isNull()) {
        Look::drawIcon(*painter, frame, QStringLiteral("kiwano"), 24, Kiwano::peel);
    } else {
        painter->setClipRect(frame);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(letterbox(picture.size(), frame), picture);
        painter->setClipping(false);
    }

    const QRectF dateRect(item.left(), item.top() + lift + boxHeight + dateSpacing, boxWidth,
                          item.bottom() - (item.top() + lift + boxHeight + dateSpacing) + 1);
    painter->setFont(Pixel::uiFont());
    painter->setPen(Kiwano::peel);
    const QString date = painter->fontMetrics().elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, int(boxWidth));
    painter->drawText(dateRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, date);

    // The focus ring lies in the spacing around the item, clear of the box's own border.
    if (option.state & QStyle::State_HasFocus)
        paintFocusRing(*painter, item.adjusted(-focusGap, -focusGap, focusGap, focusGap));
    painter->restore();
}

void HistoryDelegate::paintFocusRing(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Kiwano::peel, focusWidth, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({2, 1}); // in units of the pen width
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(focusWidth / 2, focusWidth / 2, -focusWidth / 2, -focusWidth / 2));
    painter.restore();
}
