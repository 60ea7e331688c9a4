// SPDX-License-Identifier: MIT
#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "annotation/textlayout.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QImage paper(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QImage flatten(const QImage &base, const QList<Annotation> &layers)
{
    PixelCache pixels(base);
    return Renderer::composite(base, layers, pixels);
}

Style colored(QColor color, qreal width = 8, std::optional<QColor> fill = {})
{
    Style style;
    style.color = color, style.width = width, style.fillColor = fill;
    return style;
}

// Columns of single black and white pixels: any block mean is grey, the original never is.
QImage stripes(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

int pixelsWithHue(const QImage &image, int from, int to)
{
    int count = 0;
    for (int i = 0; i < image.width() * image.height(); ++i) {
        const QColor c = QColor::fromRgb(image.pixel(i % image.width(), i / image.width()));
        count += c.saturation() >= 80 && c.value() >= 40 && c.hue() >= from && c.hue() <= to;
    }
    return count;
}

// Within 2 of expected in every channel.
#define QVERIFY_NEAR(actual, expected)                                                             \
    for (const int shift : {0, 8, 16, 24})                                                         \
        QVERIFY2(std::abs(int((actual) >> shift & 0xff) - int((expected) >> shift & 0xff)) <= 2,  \
                 qPrintable(QString::number(actual, 16)))

} // namespace

class TestRenderer : public QObject
{
    Q_OBJECT

private slots:
    void highlighterMultiplies()
    {
        // The stroke runs back over itself: one path, so the overlap is not darkened twice.
        const Annotation marker(Shapes::Highlighter{{{10, 50}, {90, 50}, {30, 50}}},
                                colored(QColor::fromRgbF(0.9f, 0.15f, 0.15f), 5));
        const QImage onWhite = flatten(paper({100, 100}, Qt::white), {marker});
        // White × 40 % of the colour: 255 × (0.6 + 0.4 × c).
        for (QPoint inked : {QPoint(50, 50), QPoint(20, 50), QPoint(50, 59)}) // 4 × width: 20 pixels wide
            QVERIFY_NEAR(onWhite.pixel(inked), qRgb(245, 168, 168));
        QVERIFY_NEAR(onWhite.pixel(50, 62), qRgb(255, 255, 255));
        QVERIFY_NEAR(flatten(paper({100, 100}, Qt::black), {marker}).pixel(50, 50), qRgb(0, 0, 0));
    }

    void blurAndBoxesInLayerOrder()
    {
        const QImage base = stripes({64, 64});
        const Annotation box(Shapes::Rect{{8, 8, 48, 48}}, colored(Qt::blue, 0, QColor(Qt::blue)));
        Style blurStyle;
        blurStyle.blurBlock = 4;
        const Annotation blur(Shapes::Blur{{16, 16, 32, 32}}, blurStyle);

        const QImage boxUnder = flatten(base, {box, blur});
        for (QPoint blurred : {QPoint(20, 20), QPoint(47, 47)})
            QVERIFY_NEAR(boxUnder.pixel(blurred), qRgb(128, 128, 128));
        QVERIFY_NEAR(boxUnder.pixel(12, 12), qRgb(0, 0, 255));
        QCOMPARE(boxUnder.pixel(3, 3), base.pixel(3, 3));

        const QImage boxOver = flatten(base, {blur, box});
        QVERIFY_NEAR(boxOver.pixel(20, 20), qRgb(0, 0, 255));

        const Annotation red(Shapes::Rect{{0, 0, 30, 30}}, colored(Qt::red, 0, QColor(Qt::red)));
        const QImage white = paper({50, 50}, Qt::white);
        QCOMPARE(flatten(white, {red, box}).pixel(20, 20), qRgb(0, 0, 255));
        QCOMPARE(flatten(white, {box, red}).pixel(20, 20), qRgb(255, 0, 0));
        // A box after a highlighter is opaque, not multiplied into the marker.
        const Annotation marker(Shapes::Highlighter{{{0, 20}, {50, 20}}}, colored(Qt::black, 2));
        QCOMPARE(flatten(white, {marker, red}).pixel(20, 20), qRgb(255, 0, 0));
    }

    void focusDimsOnlyOutsideAndCornersAreClamped()
    {
        Style focusStyle;
        focusStyle.dim = 0.6;
        const QImage white = paper({100, 100}, Qt::white);
        for (QRectF focus : {QRectF(20, 20, 40, 30), QRectF(60, 50, -40, -30)}) { // the second drawn upwards
            const QImage result = flatten(white, {Annotation(Shapes::Focus{focus}, focusStyle)});
            QCOMPARE(result.pixel(59, 49), qRgb(255, 255, 255));
            QCOMPARE(result.pixel(20, 20), qRgb(255, 255, 255));
            QVERIFY_NEAR(result.pixel(70, 80), qRgb(102, 102, 102));
            QVERIFY_NEAR(result.pixel(19, 20), qRgb(102, 102, 102));
        }
        QCOMPARE(flatten(white, {Annotation(Shapes::Focus{QRectF(-10, -10, 200, 200)}, focusStyle)}), white);

        // Radius: half the short side at most, negative is square.
        const QRectF box(20, 20, 10, 100);
        for (const auto &[radius, cornerInked] : {std::pair{8.0, false}, {-3.0, true}}) {
            Style style = colored(Qt::yellow, 0, QColor(Qt::yellow));
            style.cornerRadius = radius;
            const QImage drawn = flatten(paper({60, 140}, Qt::white), {Annotation(Shapes::Rect{box}, style)});
            QCOMPARE(drawn.pixel(20, 20) == qRgb(255, 255, 0), cornerInked);
            QCOMPARE(drawn.pixel(21, 24), qRgb(255, 255, 0));
        }
    }

    void arrowHeadsGrowWithTheWidth_data()
    {
        QTest::addColumn<qreal>("width"); QTest::addColumn<QPoint>("inHead"); QTest::addColumn<QPoint>("pastHead");
        // Pointing right to (180, 50); the head is max(4 × width, 16) long, 2 × π/7 wide.
        QTest::newRow("thin: 16 long") << 2.0 << QPoint(168, 52) << QPoint(160, 56);
        QTest::newRow("wide: four widths") << 10.0 << QPoint(150, 62) << QPoint(130, 62);
    }
    void arrowHeadsGrowWithTheWidth()
    {
        QFETCH(qreal, width); QFETCH(QPoint, inHead); QFETCH(QPoint, pastHead);
        const QImage drawn = flatten(paper({200, 100}, Qt::white),
                                     {Annotation(Shapes::Arrow{{20, 50}, {180, 50}}, colored(Qt::black, width))});
        QCOMPARE(drawn.pixel(inHead), qRgb(0, 0, 0));
        QCOMPARE(drawn.pixel(pastHead), qRgb(255, 255, 255));
        QCOMPARE(drawn.pixel(185, 50), qRgb(255, 255, 255)); // nothing past the tip
    }

    void textOutlinesAndPictureOpacity()
    {
        Style text = colored(Qt::red);
        text.fontSize = 60, text.outlineColor = Qt::blue;
        const auto blueOf = [&](qreal outline) {
            text.outlineWidth = outline;
            return pixelsWithHue(flatten(paper({200, 100}, Qt::white),
                                         {Annotation(Shapes::Text{{10, 10}, QStringLiteral("HI")}, text)}),
                                 200, 260);
        };
        const int thin = blueOf(3), thick = blueOf(10);
        QCOMPARE(blueOf(0), 0);
        QVERIFY2(thin > 50 && thick > 2 * thin, qPrintable(QString("%1, %2").arg(thin).arg(thick)));

        Style half;
        half.opacity = 0.5;
        const Annotation picture(Shapes::Picture{{10, 10, 20, 20}, paper({4, 4}, Qt::red)}, half);
        const QImage placed = flatten(paper({40, 40}, Qt::white), {picture});
        QVERIFY_NEAR(placed.pixel(20, 20), qRgb(255, 128, 128));
        QCOMPARE(placed.pixel(5, 5), qRgb(255, 255, 255));
    }

    void penDotAndNothingForEmptyStrokes()
    {
        const QImage white = paper({100, 100}, Qt::white);
        const QImage dot = flatten(white, {Annotation(Shapes::Pen{{{50.5, 50.5}}}, colored(Qt::black, 10))});
        QCOMPARE(dot.pixel(54, 50), qRgb(0, 0, 0));
        QCOMPARE(dot.pixel(50, 46), qRgb(0, 0, 0));
        QCOMPARE(dot.pixel(57, 50), qRgb(255, 255, 255));
        QVERIFY_NEAR(dot.pixel(54, 54), qRgb(255, 255, 255)); // round, not square

        // Width 0 would be a hairline in Qt; it draws nothing at all here.
        for (const Annotation &nothing : {Annotation(Shapes::Pen{}, colored(Qt::black, 10)),
                                          Annotation(Shapes::Highlighter{}, colored(Qt::black, 10)),
                                          Annotation(Shapes::Pen{{{10, 10}, {90, 90}}}, colored(Qt::black, 0)),
                                          Annotation(Shapes::Rect{{10, 10, 30, 30}}, colored(Qt::red, 0))})
            QCOMPARE(flatten(white, {nothing}), white);
    }

    // The stamp's picture fills its bounds (the selection box and the handles) at any size and
    // on either side of a pixel.
    void stampFillsItsBounds()
    {
        if (!QFontDatabase::hasFamily(QStringLiteral("Noto Color Emoji")))
            QSKIP("needs the Noto Color Emoji font");
        for (const auto &[width, centre] : {std::pair(4.0, QPointF(100, 100)), std::pair(9.0, QPointF(150.5, 140.25)),
                                            std::pair(20.0, QPointF(200, 200))}) {
            const Annotation stamp(Shapes::Stamp{centre}, colored(Qt::blue, width));
            const QImage stamped = flatten(paper({400, 400}, Qt::transparent), {stamp});
            int left = 400, top = 400, right = -1, bottom = -1;
            for (int y = 0; y < 400; ++y)
                for (int x = 0; x < 400; ++x)
                    if (qAlpha(stamped.pixel(x, y)) > 64) {
                        left = std::min(left, x), right = std::max(right, x + 1);
                        top = std::min(top, y), bottom = std::max(bottom, y + 1);
                    }
            const QRectF b = stamp.bounds();
            QVERIFY(std::abs(left - b.left()) <= 1.5 && std::abs(right - b.right()) <= 1.5
                    && std::abs(top - b.top()) <= 1.5 && std::abs(bottom - b.bottom()) <= 1.5);
        }
    }

    void emojiKeepTheirOwnColours()
    {
        if (!QFontDatabase::hasFamily(QStringLiteral("Noto Color Emoji")))
            QSKIP("needs the Noto Color Emoji font");
        // A blue style must not tint the fruit: its green flesh and brown skin show.
        const Annotation stamp(Shapes::Stamp{{100, 100}}, colored(Qt::blue, 8));
        // Asking the emoji face for outlines first must not blank the stamp (a Qt font engine trap).
        textPath(QStringLiteral("🥝"), stampAttributes(stamp), QPointF(0, 0));
        const QImage stamped = flatten(paper({200, 200}, Qt::white), {stamp});
        QVERIFY(pixelsWithHue(stamped, 60, 150) > 300);
        QVERIFY(pixelsWithHue(stamped, 10, 49) > 100);
        QCOMPARE(pixelsWithHue(stamped, 200, 260), 0);

        // Colour glyphs in text have no outline path; they must still appear.
        Style style = colored(Qt::red);
        style.fontSize = 60;
        const QImage text = flatten(paper({300, 120}, Qt::white),
                                    {Annotation(Shapes::Text{{10, 10}, QStringLiteral("A🥝")}, style)});
        QVERIFY(pixelsWithHue(text, 60, 150) > 100);
    }

    void cacheKeysOfAnyBlockAndTooWideABase()
    {
        const qreal nan = std::numeric_limits<qreal>::quiet_NaN(), inf = std::numeric_limits<qreal>::infinity();
        for (const auto &[block, key] : {std::pair{2.5, 3}, {3.4, 3}, {1.0, 2}, {-7.0, 2}, {nan, 2}, {inf, 65536}}) {
            PixelCache keyed(stripes({4, 2}));
            keyed.image(block);
            QCOMPARE(keyed.keys(), QList<int>{key});
        }

        // (Which sizes the cache keeps, and for how long, is a matter for the benchmarks.)
        QCOMPARE(PixelCache(stripes({40, 40})).image(2.4).pixel(0, 0), qRgb(128, 128, 128));
        // Wider than any frame that may be allocated: the base stands in for the pixellation.
        const QImage wide = paper({40000, 2}, Qt::red);
        QCOMPARE(PixelCache(wide).image(16).cacheKey(), wide.cacheKey());
    }
};

KIWANO_TEST_MAIN(TestRenderer)
#include "test_renderer.moc"
