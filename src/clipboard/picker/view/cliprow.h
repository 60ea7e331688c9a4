// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QFont>
#include <QImage>
#include <QRectF>

#include <optional>

class QPainter;

// One entry of the picker's list: an optional thumbnail, the title, the pin and the Ctrl+digit
// badge of the first nine rows, drawn into a rectangle the list gives it.
struct ClipRow
{
    ClipItem item;
    int index = 0;
    bool selected = false;
    std::optional<QImage> thumbnail;

    // Where each piece goes inside the row's rectangle; empty rectangles are not drawn.
    struct Geometry
    {
        QRectF thumbnail;
        QRectF title;
        QRectF pin;
        QRectF badge;
    };

    static constexpr qreal paddingX = 10;
    static constexpr qreal paddingY = 7;
    static constexpr qreal spacing = 10;
    static constexpr QSizeF thumbnailBox{140, 60};
    static constexpr qreal pinSize = 12;

    static QFont titleFont();
    static QFont badgeFont();
    // A row's height; rows of image entries leave room for the largest thumbnail, so the list
    // can lay out a thousand rows without reading a picture.
    static qreal height(const ClipItem &item);
    // The thumbnail's size once scaled to fit the thumbnail box, aspect kept.
    static QSizeF fittedSize(const QSize &image);
    // Whether the title is shown: a thumbnail stands alone when the title only names the image.
    bool showsTitle() const;
    Geometry geometry(const QRectF &rect) const;
    // The title on one line, shortened in the middle to fit width.
    static QString shownTitle(const QString &title, qreal width);
    // Draws the row; the thumbnail is drawn into its place at whatever size it comes in.
    void paint(QPainter &painter, const QRectF &rect) const;
};
