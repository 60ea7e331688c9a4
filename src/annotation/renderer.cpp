// SPDX-License-Identifier: MIT
#include "annotation/renderer.h"

#include "annotation/geometry.h"
#include "annotation/pixelcache.h"
#include "annotation/textlayout.h"
#include "annotation/watermark.h"
#include "image/bitmap.h"
#include "image/pixellate.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

template<class... Fs>
struct Overloaded : Fs...
{
    using Fs::operator()...;
};

const QString kiwi = QStringLiteral("🥝");

// A Qt pen of width 0 is a one-pixel cosmetic line at every zoom; a layer of width 0 (or of no
// usable width) strokes nothing instead.
bool strokes(qreal width)
{
    return std::isfinite(width) && width > 0;
}

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawHighlighter(const Shapes::Highlighter &shape, const Style &style, QPainter &painter)
{
    if (!strokes(style.width))
        return;
    QColor color = style.color;
    color.setAlphaF(0.4f);
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.setPen(roundPen(color, 4 * style.width));
    // One path stroked once: where the stroke crosses itself it is not darkened twice.
    Renderer::stroke(shape.points, painter);
}

void drawArrow(const Shapes::Arrow &shape, const Style &style, QPainter &painter)
{
    const qreal length = Renderer::arrowHead(style.width);
    const QPointF s = shape.start, e = shape.end;
    const qreal angle = std::atan2(e.y() - s.y(), e.x() - s.x());
    const auto back = [&](qreal a, qreal by) {
        return e - by * QPointF(std::cos(a), std::sin(a));
    };
    if (strokes(style.width))
        Renderer::stroke({s, back(angle, 0.8 * length)}, painter);
    QPainterPath head;
    head.setFillRule(Qt::WindingFill);
    head.moveTo(e);
    head.lineTo(back(angle - std::numbers::pi / 7, length));
    head.lineTo(back(angle + std::numbers::pi / 7, length));
    head.closeSubpath();
    painter.fillPath(head, style.color);
}

void drawBox(const Shapes::Rect &shape, const Style &style, QPainter &painter)
{
    const QRectF r = normalizedRect(shape.rect);
    const qreal corner = std::isfinite(style.cornerRadius) ? style.cornerRadius : 0;
    const qreal radius = std::max(0.0, std::min({corner, r.width() / 2, r.height() / 2}));
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(r, radius, radius);
    if (style.fillColor)
        painter.fillPath(path, *style.fillColor);
    if (strokes(style.width))
        painter.strokePath(path, painter.pen());
}

// The font to set colour glyphs with. Once QPainterPath::addText has asked a colour bitmap face
// for outlines, Qt's engine for that font draws those glyphs blank from then on; a different
// style strategy gets a separate engine that no outline request ever touches.
QFont colourGlyphFont(QFont font)
{
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// True for characters that only colour emoji faces draw: they have no outline to fill or stroke.
bool hasColourGlyphs(const QString &line)
{
    for (const char32_t c : line.toUcs4())
        if ((c >= 0x1F000 && c <= 0x1FAFF) || (c >= 0x2600 && c <= 0x27BF) || c == 0xFE0F)
            return true;
    return false;
}

void drawText(const Shapes::Text &shape, const Style &style, QPainter &painter)
{
    const TextAttributes attributes = textAttributes(style);
    const QPainterPath glyphs = textPath(shape.string, attributes, shape.point);
    painter.fillPath(glyphs, attributes.fill);
    // Emoji have no contours: set them as text, where the path left gaps.
    const QStringList lines = textLines(shape.string);
    const QFontMetricsF metrics(attributes.font);
    painter.setFont(colourGlyphFont(attributes.font));
    painter.setPen(attributes.fill);
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (hasColourGlyphs(lines[i]))
            painter.drawText(shape.point + QPointF(0, i * metrics.lineSpacing() + metrics.ascent()),
                             lines[i]);
    if (strokes(attributes.outlineWidth))
        painter.strokePath(glyphs, roundPen(attributes.outline, attributes.outlineWidth));
}

// The whole pixels a redaction covers: every pixel its rectangle touches, so that no pixel along
// its edges keeps a share of the picture through antialiasing.
QRect redactedPixels(const Shapes::Blur &shape)
{
    return normalizedRect(shape.rect).toAlignedRect();
}

// Noise or black over the pixels, opaque and unsmoothed: nothing of the picture under them is
// read. Noise that cannot be made is black.
void drawRedaction(const QRect &pixelsCovered, const Style &style, PixelCache &pixels, QPainter &painter)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setClipRect(pixelsCovered, Qt::IntersectClip);
    const QImage noise = style.blurMode == BlurMode::noise ? pixels.noise(style.blurBlock) : QImage();
    if (noise.isNull()) {
        painter.fillRect(pixelsCovered, Qt::black);
    } else {
        const int k = PixelCache::key(style.blurBlock);
        Renderer::drawImage(noise, QRectF(0, 0, qreal(noise.width()) * k, qreal(noise.height()) * k), painter);
    }
    painter.restore();
}

struct Redaction
{
    QRect pixels;
    Style style;
};

// The squares of the base's pixellation in block k that the rectangle touches, within the image.
// The pixellation's grid starts at the bottom-left corner.
QRect pixellationSquares(const QRectF &r, int k, QSize imageSize)
{
    const int w = imageSize.width(), h = imageSize.height();
    const QRect touched = r.toAlignedRect().intersected(QRect(QPoint(0, 0), imageSize));
    const int x0 = touched.left() / k * k;
    const int x1 = std::min(w, (touched.right() + 1 + k - 1) / k * k);
    // Rows counted from the bottom edge.
    const int u0 = (h - touched.bottom() - 1) / k * k;
    const int u1 = std::min(h, (h - touched.top() + k - 1) / k * k);
    return QRect(QPoint(x0, h - u1), QPoint(x1 - 1, h - u0 - 1));
}

void drawBlur(const Shapes::Blur &shape, const Style &style, PixelCache &pixels, QSize imageSize,
              const QList<Redaction> &below, QPainter &painter)
{
    const QRectF r = normalizedRect(shape.rect);
    if (r.isEmpty())
        return;
    if (style.blurMode != BlurMode::pixelate) {
        drawRedaction(redactedPixels(shape), style, pixels, painter);
        return;
    }
    painter.setClipRect(r, Qt::IntersectClip);
    // A pixellation over a redaction below it averages the redaction, not the picture it hides:
    // the squares it touches are pixellated afresh from the base with those redactions drawn in.
    const int k = PixelCache::key(style.blurBlock);
    const QRect squares = pixellationSquares(r, k, imageSize);
    QList<Redaction> hidden;
    for (const Redaction &redaction : below)
        if (redaction.pixels.intersects(squares))
            hidden.append(redaction);
    if (!hidden.isEmpty() && !pixels.base().isNull()) {
        QImage patch = pixels.base().copy(squares).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter onPatch(&patch);
        onPatch.translate(-squares.topLeft());
        for (const Redaction &redaction : std::as_const(hidden))
            drawRedaction(redaction.pixels, redaction.style, pixels, onPatch);
        onPatch.end();
        // Without its pixellation the patch shows black rather than the picture.
        QImage pixellated = pixellate(patch, k);
        if (pixellated.isNull()) {
            painter.fillRect(squares, Qt::black);
            return;
        }
        Renderer::drawImage(pixellated, QRectF(squares), painter);
        return;
    }
    // The whole image is pixellated once per block size and clipped, so moving the blur costs
    // no new pixellation.
    Renderer::drawImage(pixels.image(style.blurBlock), QRectF(QPointF(0, 0), imageSize), painter);
}

void drawFocus(const Shapes::Focus &shape, const Style &style, QSize imageSize, QPainter &painter)
{
    QPainterPath veil;
    veil.setFillRule(Qt::OddEvenFill);
    veil.addRect(QRectF(QPointF(0, 0), imageSize));
    veil.addRect(normalizedRect(shape.rect));
    QColor black(Qt::black);
    black.setAlphaF(float(std::clamp(std::isfinite(style.dim) ? style.dim : 0.0, 0.0, 1.0)));
    painter.fillPath(veil, black);
}

void drawStamp(const Annotation &layer, QPainter &painter)
{
    const TextAttributes attributes = stampAttributes(layer);
    // Placed by its ink, which fills the bounds.
    const QPointF origin = layer.bounds().topLeft() - stampInk(attributes).topLeft();
    // The emoji face's own colours; the pen colour is only there for a face without them.
    painter.setFont(colourGlyphFont(attributes.font));
    painter.setPen(layer.style.color);
    painter.drawText(origin, kiwi);
}

void drawPlacedImage(const QImage &image, const QRectF &rect, qreal opacity, QPainter &painter)
{
    if (image.isNull())
        return;
    painter.setOpacity(std::isfinite(opacity) ? opacity : 1);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Renderer::drawImage(image, normalizedRect(rect), painter);
}

void drawLayer(const Annotation &layer, PixelCache &pixels, QSize imageSize,
               const QList<Redaction> &redactions, QPainter &painter)
{
    const Style &style = layer.style;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(roundPen(style.color, style.width));
    painter.setBrush(style.color);
    std::visit(
        Overloaded{
            [&](const Shapes::Pen &s) {
                if (strokes(style.width))
                    Renderer::stroke(s.points, painter);
            },
            [&](const Shapes::Highlighter &s) { drawHighlighter(s, style, painter); },
            [&](const Shapes::Arrow &s) { drawArrow(s, style, painter); },
            [&](const Shapes::Rect &s) { drawBox(s, style, painter); },
            [&](const Shapes::Text &s) { drawText(s, style, painter); },
            [&](const Shapes::Blur &s) { drawBlur(s, style, pixels, imageSize, redactions, painter); },
            [&](const Shapes::Focus &s) { drawFocus(s, style, imageSize, painter); },
            [&](const Shapes::Stamp &) { drawStamp(layer, painter); },
            [&](const Shapes::Watermark &) {
                if (const auto &mascot = ::Watermark::image())
                    drawPlacedImage(*mascot, layer.bounds(), style.opacity, painter);
            },
            [&](const Shapes::Picture &s) { drawPlacedImage(s.image, s.rect, style.opacity, painter); },
        },
        layer.shape);
}

// Copies the base into the frame: a straight copy when the pixels are already premultiplied
// words (opaque RGB32 words are), else converted while drawing.
void copyBase(const QImage &base, QImage &frame)
{
    const QImage::Format format = base.format();
    if (format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGB32) {
        const size_t rowBytes = size_t(base.width()) * 4;
        if (base.bytesPerLine() == frame.bytesPerLine()) {
            std::memcpy(frame.bits(), base.constBits(), size_t(base.sizeInBytes()));
        } else {
            for (int y = 0; y < base.height(); ++y)
                std::memcpy(frame.scanLine(y), base.constScanLine(y), rowBytes);
        }
        return;
    }
    QPainter painter(&frame);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), base);
}

} // namespace

namespace Renderer {

void draw(const QList<Annotation> &annotations, PixelCache &pixels, QSize imageSize,
          QPainter &painter)
{
    QList<Redaction> redactions;
    for (const Annotation &layer : annotations) {
        painter.save();
        drawLayer(layer, pixels, imageSize, redactions, painter);
        painter.restore();
        const auto *blur = std::get_if<Shapes::Blur>(&layer.shape);
        if (blur && layer.style.blurMode != BlurMode::pixelate && !normalizedRect(blur->rect).isEmpty())
            redactions.append({redactedPixels(*blur), layer.style});
    }
}

void drawImage(const QImage &image, const QRectF &rect, QPainter &painter)
{
    // QImage rows run top-down like the painter's y axis, so no flip is needed here.
    painter.drawImage(rect, image);
}

void stroke(const QList<QPointF> &points, QPainter &painter)
{
    if (points.isEmpty())
        return;
    const bool singlePoint = std::all_of(points.begin(), points.end(),
                                         [&](QPointF p) { return p == points.first(); });
    if (singlePoint) {
        // A line of no length, which Qt's stroker skips: its caps alone, a dot as wide as the pen.
        const QPen pen = painter.pen();
        const qreal r = pen.widthF() / 2;
        const QRectF cap(points.first() - QPointF(r, r), QSizeF(2 * r, 2 * r));
        if (pen.capStyle() == Qt::RoundCap) {
            QPainterPath dot;
            dot.addEllipse(cap);
            painter.fillPath(dot, pen.brush());
        } else if (pen.capStyle() == Qt::SquareCap) {
            painter.fillRect(cap, pen.brush());
        }
        return;
    }
    QPainterPath path(points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    painter.strokePath(path, painter.pen());
}

qreal arrowHead(qreal width)
{
    return std::max(4 * width, 16.0);
}

QImage composite(const QImage &base, const QList<Annotation> &annotations, PixelCache &pixels)
{
    if (base.isNull())
        return {};
    QImage frame = Bitmap::allocate(base.size(), QImage::Format_ARGB32_Premultiplied);
    if (frame.isNull())
        return {};
    copyBase(base, frame);
    QPainter painter(&frame);
    draw(annotations, pixels, base.size(), painter);
    painter.end();
    return frame;
}

} // namespace Renderer
