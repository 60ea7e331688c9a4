// SPDX-License-Identifier: MIT
#include "look/widgets/pixellabel.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QPainter>

#include <cmath>

namespace {
constexpr qreal labelIcon = 18;
constexpr qreal labelGap = 6;
} // namespace

PixelIconView::PixelIconView(const QString &name, qreal size, QWidget *parent)
    : QWidget(parent)
    , m_name(name)
    , m_size(size)
    , m_color(Kiwano::peel)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PixelIconView::setName(const QString &name)
{
    m_name = name;
    update();
}

void PixelIconView::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QSize PixelIconView::sizeHint() const
{
    const int side = int(std::ceil(m_size));
    return QSize(side, side);
}

void PixelIconView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Look::drawIcon(painter, rect(), m_name, m_size, m_color);
}

PixelLabel::PixelLabel(const QString &icon, const QString &title, Pixel::TextSize size, QWidget *parent)
    : QWidget(parent)
    , m_icon(icon)
    , m_title(title)
    , m_size(size)
    , m_color(Kiwano::peel)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(title);
}

void PixelLabel::setTitle(const QString &title)
{
    m_title = title;
    setAccessibleName(title);
    updateGeometry();
    update();
}

void PixelLabel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

QSize PixelLabel::sizeHint() const
{
    const QFontMetricsF metrics(Pixel::uiFont(m_size));
    qreal w = labelIcon;
    if (!m_title.isEmpty())
        w += labelGap + std::ceil(metrics.horizontalAdvance(m_title));
    return QSize(int(std::ceil(w)), int(std::ceil(qMax(labelIcon, metrics.height()))));
}

void PixelLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal top = std::round((height() - labelIcon) / 2);
    Look::drawIcon(painter, QRectF(0, top, labelIcon, labelIcon), m_icon, labelIcon, m_color);
    if (m_title.isEmpty())
        return;
    painter.setFont(Pixel::uiFont(m_size));
    painter.setPen(m_color);
    painter.drawText(QRectF(labelIcon + labelGap, 0, width() - labelIcon - labelGap, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_title);
}

namespace Look {

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}

QLabel *pixelText(const QString &text, Pixel::TextSize size, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(Pixel::uiFont(size));
    setTextColor(label, color);
    return label;
}

} // namespace Look
