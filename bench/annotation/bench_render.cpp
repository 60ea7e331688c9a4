// SPDX-License-Identifier: MIT
// Flattening a 5K screenshot with about sixty layers of every kind, against the cost of merely
// copying its pixels into a frame that is already touched (warm) or new (fresh).
#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "annotation/watermark.h"
#include "image/bitmap.h"
#include "image/pixellate.h"
#include "screenshot.h"
#include "timing.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <cstring>

namespace {

Style styled(QColor color, qreal width)
{
    Style style;
    style.color = color;
    style.width = width;
    return style;
}

QList<QPointF> scribble(BenchImage::Random &random, QPointF start, int count)
{
    QList<QPointF> points{start};
    double angle = random.below(628) / 100.0;
    for (int i = 1; i < count; ++i) {
        angle += (random.below(101) - 50) / 200.0;
        points.append(points.last() + 9 * QPointF(std::cos(angle), std::sin(angle)));
    }
    return points;
}

// Sixty layers spread over the image: strokes, marks, boxes, texts, stamps, two blurs of
// different block sizes, a focus, a picture and a watermark.
QList<Annotation> layers(QSize size)
{
    BenchImage::Random random(42);
    const auto anywhere = [&] {
        return QPointF(random.below(size.width() - 800) + 400, random.below(size.height() - 600) + 300);
    };
    const QList<QColor> colours{QColor(230, 38, 38), QColor(250, 200, 25), QColor(140, 180, 50),
                                QColor(40, 120, 220), QColor(90, 64, 51)};
    QList<Annotation> list;
    list.append(Annotation(Shapes::Blur{{300, 400, 1400, 900}}, [] { Style s; s.blurBlock = 16; return s; }()));
    list.append(Annotation(Shapes::Blur{{3000, 1600, 900, 700}}, [] { Style s; s.blurBlock = 28; return s; }()));
    for (int i = 0; i < 20; ++i)
        list.append(Annotation(Shapes::Pen{scribble(random, anywhere(), 60)},
                               styled(colours[i % colours.size()], 4 + i % 8)));
    for (int i = 0; i < 6; ++i)
        list.append(Annotation(Shapes::Highlighter{scribble(random, anywhere(), 40)},
                               styled(colours[(i + 1) % colours.size()], 8)));
    for (int i = 0; i < 8; ++i) {
        const QPointF from = anywhere();
        list.append(Annotation(Shapes::Arrow{from, from + QPointF(random.below(600) - 300, random.below(400) - 200)},
                               styled(colours[i % colours.size()], 6 + i)));
    }
    for (int i = 0; i < 8; ++i) {
        Style style = styled(colours[(i + 2) % colours.size()], 4 + i);
        if (i % 3 == 0)
            style.fillColor = QColor(255, 248, 220, 180);
        style.cornerRadius = 4 * i;
        list.append(Annotation(Shapes::Rect{QRectF(anywhere(), QSizeF(200 + 40 * i, 120 + 30 * i))}, style));
    }
    const QStringList words{QStringLiteral("Look here"), QStringLiteral("Fixed in 2.4"),
                            QStringLiteral("Broken?"), QStringLiteral("Ship it"),
                            QStringLiteral("Two lines\nof text"), QStringLiteral("Kiwano!")};
    for (int i = 0; i < words.size(); ++i) {
        Style style = styled(colours[i % colours.size()], 8);
        style.fontSize = 40 + 12 * i;
        style.font = TextFonts::allCases()[i % TextFonts::allCases().size()];
        list.append(Annotation(Shapes::Text{anywhere(), words[i]}, style));
    }
    for (int i = 0; i < 6; ++i)
        list.append(Annotation(Shapes::Stamp{anywhere()}, styled(Qt::black, 4 + 2 * i)));
    list.append(Annotation(Shapes::Focus{{200, 200, 4600, 2400}}, Style()));
    list.append(Annotation(Shapes::Picture{{3600, 300, 1000, 700}, BenchImage::screenshot({640, 360}, 7)}, Style()));
    list.append(Annotation(Shapes::Watermark{{4600, 2500}, double(size.width())}, Style()));
    return list;
}

void copyPixels(const QImage &base, QImage &frame)
{
    std::memcpy(frame.bits(), base.constBits(), size_t(base.sizeInBytes()));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QSize size(5120, 2880);
    const QImage base = BenchImage::screenshot(size);
    const QList<Annotation> annotations = layers(size);
    std::printf("Flatten of a %dx%d screenshot with %lld layers (watermark %s)\n", size.width(),
                size.height(), qlonglong(annotations.size()),
                Watermark::image() ? "drawn" : "absent: no mascot resource");
    QImage warm = Bitmap::allocate(size);
    copyPixels(base, warm);
    PixelCache warmCache(base);
    QPainter painter(&warm);
    Renderer::draw(annotations, warmCache, size, painter); // fills the pixel and glyph caches
    PixelCache cache(base);
    Renderer::composite(base, annotations, cache);

    const std::vector<double> ms = interleavedMediansMs(9, {
        [&] { copyPixels(base, warm); },
        [&] {
            QImage frame = Bitmap::allocate(size);
            copyPixels(base, frame);
        },
        [&] { pixellate(base, 16); },
        [&] { Renderer::draw(annotations, warmCache, size, painter); },
        [&] {
            PixelCache fresh(base);
            Renderer::composite(base, annotations, fresh);
        },
        [&] { Renderer::composite(base, annotations, cache); },
    });
    painter.end();
    const double warmFloor = ms[0], freshFloor = ms[1], pixellation = ms[2], layersAlone = ms[3],
                 firstFlatten = ms[4], laterFlatten = ms[5];
    const double plainFloor = medianMs(3, [&] {
        QImage frame(size, QImage::Format_ARGB32_Premultiplied);
        copyPixels(base, frame);
    });

    printRow("warm floor: copy into a touched frame", warmFloor);
    printRow("fresh floor: Bitmap::allocate, then the copy", freshFloor);
    printRow("(plain QImage, then the copy)", plainFloor);
    printRow("pixellation of the whole image, block 16", pixellation);
    printRow("layers alone, onto a warm frame", layersAlone);
    printRow("first flatten (two pixellations included)", firstFlatten);
    printRow("later flatten (cache hit)", laterFlatten);
    printRatio("fresh floor / warm floor", freshFloor / warmFloor, "goal <= 4");
    printRatio("later flatten / (fresh floor + layers alone)", laterFlatten / (freshFloor + layersAlone),
               "goal <= 1.1");
    printRatio("pixellation / fresh floor", pixellation / freshFloor, "goal <= 2");
    return 0;
}
