// SPDX-License-Identifier: MIT
#include "look/widgets/kiwanobutton.h"

#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/pixelpaint.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace {
constexpr int padX = 8;
constexpr int padY = 6;
constexpr int shadow = 2;
constexpr int iconGap = 6;
constexpr int underGap = 4;
} // namespace

KiwanoButton::KiwanoButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

KiwanoButton::KiwanoButton(const QString &icon, const QString &title, QWidget *parent)
    : KiwanoButton(parent)
{
    m_icon = icon;
    setText(title);
    updateAccessibleName();
}

void KiwanoButton::setIconName(const QString &name)
{
    m_icon = name;
    updateGeometry();
    update();
}

void KiwanoButton::setLayout(Layout layout)
{
    m_layout = layout;
    updateGeometry();
    update();
}

void KiwanoButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

void KiwanoButton::setIconSize(qreal size)
{
    m_iconSize = size;
    updateGeometry();
    update();
}

void KiwanoButton::setMinimumFaceWidth(int width)
{
    m_minimumFaceWidth = width;
    updateGeometry();
}

void KiwanoButton::setTitleFont(const QFont &font)
{
    m_titleFont = font;
    updateGeometry();
    update();
}

QFont KiwanoButton::titleFont() const
{
    return m_titleFont ? *m_titleFont : Pixel::uiFont();
}

void KiwanoButton::setTitleShown(bool shown)
{
    if (shown == m_titleShown)
        return;
    m_titleShown = shown;
    if (!shown && toolTip().isEmpty())
        setToolTip(text());
    updateGeometry();
    update();
}

QSize KiwanoButton::faceSize(bool titled) const
{
    const QFontMetricsF metrics(titleFont());
    const QString title = titled ? text() : QString();
    const qreal textWidth = title.isEmpty() ? 0 : std::ceil(metrics.horizontalAdvance(title));
    const qreal textHeight = title.isEmpty() ? 0 : std::ceil(metrics.height());
    const qreal icon = m_icon.isEmpty() ? 0 : m_iconSize;
    qreal w = 0;
    qreal h = 0;
    if (m_layout == Layout::under) {
        w = qMax(textWidth, icon);
        h = icon + (icon > 0 && textHeight > 0 ? underGap : 0) + textHeight;
    } else {
        w = icon + (icon > 0 && textWidth > 0 ? iconGap : 0) + textWidth;
        h = qMax(icon, textHeight);
    }
    const int width = qMax(titled ? m_minimumFaceWidth : 0, int(std::ceil(w)) + 2 * padX);
    return QSize(width, int(std::ceil(h)) + 2 * padY);
}

QSize KiwanoButton::sizeHint() const
{
    return faceSize(m_titleShown) + QSize(shadow, shadow);
}

QSize KiwanoButton::titledSizeHint() const
{
    return faceSize(true) + QSize(shadow, shadow);
}

QSize KiwanoButton::minimumSizeHint() const
{
    return sizeHint();
}

void KiwanoButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.4);
    const bool sunk = isDown() || m_selected || isChecked();
    const QRectF faceRect(QPointF(sunk ? shadow : 0, sunk ? shadow : 0),
                          QSizeF(width() - shadow, height() - shadow));
    if (!sunk)
        Look::fillSnapped(painter, faceRect.translated(shadow, shadow), Kiwano::peel);
    Look::fillSnapped(painter, faceRect, m_selected || isChecked() ? Kiwano::ripe : Kiwano::cream);
    Look::strokeInside(painter, faceRect, 2, Kiwano::peel);

    // Content centred in the face.
    const QFont font = titleFont();
    const QFontMetricsF metrics(font);
    const QRectF content = faceRect.adjusted(padX, padY, -padX, -padY);
    painter.setFont(font);
    painter.setPen(Kiwano::peel);
    const bool hasIcon = !m_icon.isEmpty();
    const QString title = m_titleShown ? text() : QString();
    const bool hasText = !title.isEmpty();
    if (m_layout == Layout::under) {
        const qreal textHeight = hasText ? std::ceil(metrics.height()) : 0;
        const qreal total = (hasIcon ? m_iconSize : 0) + (hasIcon && hasText ? underGap : 0) + textHeight;
        qreal y = content.top() + (content.height() - total) / 2;
        if (hasIcon) {
            Look::drawIcon(painter, QRectF(content.center().x() - m_iconSize / 2, std::round(y), m_iconSize, m_iconSize),
                           m_icon, m_iconSize, Kiwano::peel);
            y += m_iconSize + underGap;
        }
        if (hasText)
            painter.drawText(QRectF(content.left(), std::round(y), content.width(), textHeight),
                             Qt::AlignHCenter | Qt::AlignTop, title);
    } else {
        const qreal textWidth = hasText ? std::ceil(metrics.horizontalAdvance(title)) : 0;
        const qreal total = (hasIcon ? m_iconSize : 0) + (hasIcon && hasText ? iconGap : 0) + textWidth;
        qreal x = std::round(content.left() + (content.width() - total) / 2);
        if (hasIcon) {
            Look::drawIcon(painter, QRectF(x, std::round(content.center().y() - m_iconSize / 2), m_iconSize, m_iconSize),
                           m_icon, m_iconSize, Kiwano::peel);
            x += m_iconSize + iconGap;
        }
        if (hasText)
            painter.drawText(QRectF(x, content.top(), textWidth + 1, content.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, title);
    }

    if (hasFocus()) {
        painter.setOpacity(1);
        QPen pen(Kiwano::peel, 1, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(faceRect.adjusted(3.5, 3.5, -3.5, -3.5));
    }
}

bool KiwanoButton::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTipChange)
        updateAccessibleName();
    return QAbstractButton::event(event);
}

void KiwanoButton::updateAccessibleName()
{
    if (!accessibleName().isEmpty() && accessibleName() != m_autoAccessibleName)
        return; // named by its owner
    m_autoAccessibleName = text().isEmpty() ? toolTip() : text();
    setAccessibleName(m_autoAccessibleName);
}
