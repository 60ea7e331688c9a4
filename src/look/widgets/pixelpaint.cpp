// SPDX-License-Identifier: MIT
#include "look/widgets/pixelpaint.h"

#include "look/kiwano.h"
#include "look/pixel.h"

#include <QPaintDevice>
#include <QPainter>

#include <cmath>

namespace Look {

namespace {

// Paints in device pixels for the lifetime of the object: the world transform is replaced by one
// under which a unit is one device pixel at the same place.
class DevicePixels
{
public:
    explicit DevicePixels(QPainter &painter)
        : m_painter(painter)
        , m_toDevice(painter.deviceTransform())
    {
        m_painter.save();
        // deviceTransform = world * rest; painting with world' = rest^-1 draws in device units.
        const QTransform rest = painter.worldTransform().inverted() * m_toDevice;
        m_painter.setWorldTransform(rest.inverted());
        m_painter.setRenderHint(QPainter::Antialiasing, false);
    }
    ~DevicePixels() { m_painter.restore(); }

    QRect map(const QRectF &rect) const
    {
        const QRectF r = m_toDevice.mapRect(rect);
        const int left = qRound(r.left());
        const int top = qRound(r.top());
        return QRect(QPoint(left, top), QPoint(qRound(r.right()) - 1, qRound(r.bottom()) - 1));
    }
    int length(qreal points) const { return qMax(1, qRound(points * m_toDevice.m11())); }
    qreal scale() const { return m_toDevice.m11(); }

private:
    QPainter &m_painter;
    QTransform m_toDevice;
};

void strokeDevice(QPainter &painter, const QRect &r, int w, const QColor &color)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    w = qMin(w, qMin(r.width(), r.height()) / 2 + 1);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), color);
    painter.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), color);
    painter.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), color);
}

} // namespace

void fillSnapped(QPainter &painter, const QRectF &rect, const QColor &color)
{
    DevicePixels device(painter);
    painter.fillRect(device.map(rect), color);
}

void strokeInside(QPainter &painter, const QRectF &rect, qreal width, const QColor &color)
{
    DevicePixels device(painter);
    strokeDevice(painter, device.map(rect), device.length(width), color);
}

void paintPixelBox(QPainter &painter, const QRectF &rect, const QColor &fill, bool selected)
{
    DevicePixels device(painter);
    const QRect r = device.map(rect);
    painter.fillRect(r, fill);
    QColor border = Kiwano::peel;
    if (!selected)
        border.setAlphaF(0.35f);
    strokeDevice(painter, r, device.length(selected ? 3 : 2), border);
}

void drawIcon(QPainter &painter, const QRectF &frame, const QString &name, qreal size,
              const QColor &color)
{
    DevicePixels device(painter);
    // The icons are drawn on a grid of 12 cells (24 units, 2 per cell): whole cells only.
    const qreal wanted = size * device.scale();
    const int cells = 12;
    const int pixels = qMax(cells, int(std::lround(wanted / cells)) * cells);
    const std::optional<QImage> mask = Pixel::image(name, pixels);
    if (!mask)
        return;
    const QRect target = device.map(frame);
    const QPoint topLeft(target.left() + (target.width() - pixels) / 2,
                         target.top() + (target.height() - pixels) / 2);
    painter.drawImage(topLeft, Pixel::tinted(*mask, color));
}

} // namespace Look
