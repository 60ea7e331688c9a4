// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

#include <functional>

// Draws one grab of the strip: its picture letterboxed in a cream pixel box 110 by 62, the
// selected one lifted with a hard shadow, and the relative date under it. The current item of a
// focused view gets a dashed ring in the spacing around it, so the view must repaint whole when
// its focus or current item changes.
class HistoryDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    static constexpr qreal boxWidth = 110;
    static constexpr qreal boxHeight = 62;
    static constexpr qreal lift = 3;
    static constexpr qreal shadow = 3;
    static constexpr qreal dateSpacing = 3;
    static constexpr qreal focusGap = 4;
    static constexpr qreal focusWidth = 2;

    explicit HistoryDelegate(QObject *parent = nullptr);

    // How far an item is lifted, from 0 to 1; items are at rest unless this says otherwise.
    void setLiftOf(std::function<qreal(const QModelIndex &)> liftOf);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // Where a picture of that size lands inside frame: as large as fits, aspect kept, centred.
    static QRectF letterbox(const QSizeF &picture, const QRectF &frame);
    // The dashed ring of keyboard focus, inside rect.
    static void paintFocusRing(QPainter &painter, const QRectF &rect);

private:
    std::function<qreal(const QModelIndex &)> m_liftOf;
};
