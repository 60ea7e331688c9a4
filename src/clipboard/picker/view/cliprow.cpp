// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/cliprow.h"

#include "clipboard/picker/view/pickertexts.h"
#include "look/kiwano.h"
#include "look/widgets/pixelpaint.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>

QFont ClipRow::titleFont()
{
    // Titles are what the user copied, in any script: the system font, not the pixel one.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(13);
    return font;
}

QFont ClipRow::badgeFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    font.setWeight(QFont::DemiBold);
    return font;
}

qreal ClipRow::height(const ClipItem &item)
{
    const qreal text = std::max<qreal>(QFontMetricsF(titleFont()).height(), pinSize);
    return std::ceil(item.hasImage ? thumbnailBox.height() : text) + 2 * paddingY;
}

QSizeF ClipRow::fittedSize(const QSize &image)
{
    if (image.isEmpty())
        return {};
    return QSizeF(image).scaled(thumbnailBox, Qt::KeepAspectRatio);
}

bool ClipRow::showsTitle() const
{
    return !(thumbnail && !thumbnail->isNull() && item.title.startsWith(QLatin1String("Image ")));
}

ClipRow::Geometry ClipRow::geometry(const QRectF &rect) const
{
    Geometry g;
    const QRectF inner = rect.adjusted(paddingX, paddingY, -paddingX, -paddingY);
    qreal left = inner.left();
    qreal right = inner.right();

    if (const QString badge = PickerTexts::badge(index); !badge.isEmpty()) {
        const QFontMetricsF metrics(badgeFont());
        const qreal width = std::ceil(metrics.horizontalAdvance(badge));
        g.badge = QRectF(right - width, inner.center().y() - metrics.height() / 2, width, metrics.height());
        right = g.badge.left() - spacing;
    }
    if (item.pinned) {
        g.pin = QRectF(right - pinSize, inner.center().y() - pinSize / 2, pinSize, pinSize);
        right = g.pin.left() - spacing;
    }
    if (thumbnail && !thumbnail->isNull()) {
        const QSizeF size = fittedSize(thumbnail->size());
        g.thumbnail = QRectF(QPointF(left, inner.center().y() - size.height() / 2), size);
        left = g.thumbnail.right() + spacing;
    }
    if (showsTitle()) {
        const qreal height = QFontMetricsF(titleFont()).height();
        g.title = QRectF(left, inner.center().y() - height / 2, std::max<qreal>(0, right - left), height);
    }
    return g;
}

QString ClipRow::shownTitle(const QString &title, qreal width)
{
    // One line: the breaks of a copied paragraph would otherwise be drawn as boxes.
    QString line = title;
    for (QChar &c : line) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return QFontMetricsF(titleFont()).elidedText(line, Qt::ElideMiddle, width);
}

void ClipRow::paint(QPainter &painter, const QRectF &rect) const
{
    painter.save();
    if (selected) {
        Look::fillSnapped(painter, rect, Kiwano::yellow);
        Look::strokeInside(painter, rect, 2, Kiwano::peel);
    }
    const Geometry g = geometry(rect);
    if (!g.thumbnail.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(g.thumbnail, *thumbnail);
        QColor border = Kiwano::peel;
        border.setAlphaF(0.35f);
        Look::strokeInside(painter, g.thumbnail, 1, border);
    }
    painter.setPen(Kiwano::peel);
    if (!g.title.isEmpty()) {
        painter.setFont(titleFont());
        painter.drawText(g.title, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                         shownTitle(item.title, g.title.width()));
    }
    if (!g.pin.isEmpty())
        Look::drawIcon(painter, g.pin, QStringLiteral("bookmark"), pinSize, Kiwano::peel);
    if (!g.badge.isEmpty()) {
        painter.setFont(badgeFont());
        painter.setOpacity(0.55);
        painter.drawText(g.badge, Qt::AlignCenter, PickerTexts::badge(index));
    }
    painter.restore();
}
