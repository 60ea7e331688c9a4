// SPDX-License-Identifier: MIT
#pragma once

#include "editor/model/cropgrab.h"

#include <QObject>
#include <QRectF>

#include <optional>

// The crop rectangle while the crop tool is in hand, and the drags that move, resize or redraw
// it inside the image. Main thread only.
class CropArea : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    std::optional<QRectF> rect() const { return m_rect; }
    void setRect(std::optional<QRectF> rect);

    // What a press at p takes hold of, with edges within reach view points (divided by
    // viewScale into image pixels).
    CropGrab grab(QPointF p, qreal viewScale) const;
    // One pointer move of a drag from start inside an image of that size; first on its first.
    void drag(QPointF start, QPointF current, bool first, QSizeF image, qreal viewScale);
    // A drag has ended: a rectangle left too small goes back to the one it started from.
    void endDrag();

signals:
    void rectChanged();

private:
    struct Drag
    {
        CropGrab grab;
        QRectF original;
    };

    std::optional<QRectF> m_rect;
    std::optional<Drag> m_drag;
};
