// SPDX-License-Identifier: MIT
#include "annotation/textlayout.h"

#include "annotation/annotation.h"

#include <QCache>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QString emojiFamily = QStringLiteral("Noto Color Emoji");

QSizeF layoutSize(const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QStringList lines = textLines(text);
    qreal width = 0;
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return QSizeF(width, lines.size() * metrics.lineSpacing());
}

// What a measurement depends on; cheaper to build than QFont::key(), which formats numbers.
struct MeasureKey
{
    QString family;
    QString styleName;
    int pixelSize;
    qreal pointSize; // for fonts sized in points, whose pixelSize is -1
    int weight;
    int stretch;
    bool italic;
    qreal letterSpacing;
    QString text;

    friend bool operator==(const MeasureKey &, const MeasureKey &) = default;
};

size_t qHash(const MeasureKey &key, size_t seed = 0)
{
    // The rarer fields only tell apart keys that collide here; operator== compares them.
    return qHashMulti(seed, key.family, key.pixelSize, key.weight, key.italic, key.text);
}

} // namespace

TextAttributes textAttributes(const Style &style)
{
    TextAttributes attributes;
    attributes.font = font(style.font, style.fontSize);
    attributes.fill = style.color;
    attributes.outline = style.outlineColor;
    const qreal outline = style.outlineWidth / 100 * style.fontSize;
    attributes.outlineWidth = std::isfinite(outline) ? std::max(0.0, outline) : 0;
    return attributes;
}

TextAttributes stampAttributes(const Annotation &annotation)
{
    const qreal size = 14 * annotation.style.width;
    const int pixels = std::isfinite(size) ? std::max(1, qRound(std::min(size, 100000.0))) : 1;
    // Installed faces do not change while the process runs; looking one up is slow.
    static const bool hasEmoji = QFontDatabase::hasFamily(emojiFamily);
    QFont f = hasEmoji ? QFont(emojiFamily) : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setBold(false);
    f.setPixelSize(pixels);
    TextAttributes attributes;
    attributes.font = f;
    return attributes;
}

QString stampGlyph()
{
    return QStringLiteral("🥝");
}

QRectF stampInk(const TextAttributes &attributes)
{
    // Measured once on a large glyph: the emoji is one bitmap scaled to the size asked for, so
    // its ink scales with the pixel size.
    constexpr int reference = 128;
    static const QRectF unit = [font = attributes.font]() mutable -> QRectF {
        font.setPixelSize(reference);
        // The strategy the renderer draws colour glyphs with (a font engine of their own).
        font.setStyleStrategy(QFont::PreferAntialias);
        const QFontMetricsF metrics(font);
        const QPointF origin(reference, reference + metrics.ascent());
        QImage canvas(4 * reference, 4 * reference, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(origin, stampGlyph());
        }
        int left = canvas.width(), top = canvas.height(), right = -1, bottom = -1;
        for (int y = 0; y < canvas.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
            for (int x = 0; x < canvas.width(); ++x) {
                // Faint smoothing at the rim does not count as the picture's edge.
                if (qAlpha(row[x]) > 64) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        if (right < 0)
            return {};
        return QRectF(left - origin.x(), top - origin.y(), right + 1 - left, bottom + 1 - top);
    }();
    const qreal pixels = attributes.font.pixelSize();
    if (unit.isEmpty() || pixels <= 0) {
        const QFontMetricsF metrics(attributes.font);
        const QSizeF size = measuredSize(stampGlyph(), attributes);
        return QRectF(QPointF(0, -metrics.ascent()), size);
    }
    const qreal s = pixels / reference;
    return QRectF(unit.topLeft() * s, unit.size() * s);
}

QStringList textLines(const QString &text)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    unified.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    unified.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    return unified.split(QLatin1Char('\n'));
}

QSizeF measuredSize(const QString &text, const TextAttributes &attributes)
{
    // Hit tests and redraws measure the same few strings over and over, and measuring a colour
    // emoji costs a scaled bitmap glyph each time: remember recent results.
    static QMutex mutex;
    static QCache<MeasureKey, QSizeF> recent(512);
    const QFont &f = attributes.font;
    const MeasureKey key{f.family(), f.styleName(), f.pixelSize(), f.pointSizeF(), f.weight(),
                         f.stretch(), f.italic(), f.letterSpacing(), text};
    {
        QMutexLocker locker(&mutex);
        if (const QSizeF *size = recent.object(key))
            return *size;
    }
    const QSizeF size = layoutSize(text, attributes.font);
    QMutexLocker locker(&mutex);
    recent.insert(key, new QSizeF(size), 1 + int(text.size() / 64));
    return size;
}

QPainterPath textPath(const QString &text, const TextAttributes &attributes, QPointF topLeft)
{
    const QFontMetricsF metrics(attributes.font);
    QPainterPath path;
    const QStringList lines = textLines(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QPointF baseline(topLeft.x(), topLeft.y() + i * metrics.lineSpacing() + metrics.ascent());
        path.addText(baseline, attributes.font, lines[i]);
    }
    return path;
}
