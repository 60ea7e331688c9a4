// SPDX-License-Identifier: MIT
#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "annotation/textlayout.h"
#include "annotation/watermark.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <cmath>
#include <limits>

class TestRenderer : public QObject
{
    Q_OBJECT

private slots:
    void highlighterMultiplies();
    void blurShowsThePixellatedBaseInLayerOrder();
    void focusDimsOnlyOutside_data();
    void focusDimsOnlyOutside();
    void cornerRadiusIsClamped_data();
    void cornerRadiusIsClamped();
    void boxWidthZeroDrawsOnlyItsFill();
    void penDotAndEmptyPen();
    void arrowHasAFilledHead();
    void textIsFilledThenOutlined();
    void stampKeepsItsOwnColours();
    void emojiInTextAreDrawn();
    void laterLayersLieOnTop();
    void picturesAndWatermarksAreTranslucent();
    void painterStateDoesNotLeak();
    void compositeKeepsTheBaseAndItsSize_data();
    void compositeKeepsTheBaseAndItsSize();
    void cacheKeys_data();
    void cacheKeys();
    void cacheKeepsTheFourLatestBlockSizes();
    void failedPixellationFallsBackToTheBase();
};

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

Style colored(QColor color, qreal width = 8)
{
    Style style;
    style.color = color;
    style.width = width;
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

bool near(QRgb actual, QRgb expected, int tolerance = 2)
{
    return std::abs(qRed(actual) - qRed(expected)) <= tolerance
        && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance
        && std::abs(qAlpha(actual) - qAlpha(expected)) <= tolerance;
}

#define QVERIFY_NEAR(actual, expected)                                                             \
    QVERIFY2(near(actual, expected), qPrintable(QStringLiteral("%1 instead of %2")                 \
                                                    .arg(actual, 8, 16)                            \
                                                    .arg(expected, 8, 16)))

} // namespace

void TestRenderer::highlighterMultiplies()
{
    // The stroke runs back over itself: one path, so the overlap is not darkened twice.
    const Annotation marker(Shapes::Highlighter{{{10, 50}, {90, 50}, {30, 50}}},
                            colored(QColor::fromRgbF(0.9f, 0.15f, 0.15f), 5));
    const QImage onWhite = flatten(paper({100, 100}, Qt::white), {marker});
    // White × 40 % of the colour: 255 × (0.6 + 0.4 × c).
    QVERIFY_NEAR(onWhite.pixel(50, 50), qRgb(245, 168, 168));
    QVERIFY_NEAR(onWhite.pixel(20, 50), qRgb(245, 168, 168));
    QVERIFY_NEAR(onWhite.pixel(50, 59), qRgb(245, 168, 168)); // 4 × width: 20 pixels wide
    QVERIFY_NEAR(onWhite.pixel(50, 62), qRgb(255, 255, 255));
    const QImage onBlack = flatten(paper({100, 100}, Qt::black), {marker});
    QVERIFY_NEAR(onBlack.pixel(50, 50), qRgb(0, 0, 0));
}

void TestRenderer::blurShowsThePixellatedBaseInLayerOrder()
{
    const QImage base = stripes({64, 64});
    Style boxStyle = colored(Qt::blue, 0);
    boxStyle.fillColor = QColor(Qt::blue);
    const Annotation box(Shapes::Rect{{8, 8, 48, 48}}, boxStyle);
    Style blurStyle;
    blurStyle.blurBlock = 4;
    const Annotation blur(Shapes::Blur{{16, 16, 32, 32}}, blurStyle);
    const QRgb grey = qRgb(128, 128, 128);

    const QImage boxUnder = flatten(base, {box, blur});
    QVERIFY_NEAR(boxUnder.pixel(20, 20), grey);
    QVERIFY_NEAR(boxUnder.pixel(47, 47), grey);
    QVERIFY_NEAR(boxUnder.pixel(12, 12), qRgb(0, 0, 255));
    QVERIFY_NEAR(boxUnder.pixel(49, 30), qRgb(0, 0, 255));
    QCOMPARE(boxUnder.pixel(3, 3), base.pixel(3, 3));
    QCOMPARE(boxUnder.pixel(4, 60), base.pixel(4, 60));

    const QImage boxOver = flatten(base, {blur, box});
    QVERIFY_NEAR(boxOver.pixel(20, 20), qRgb(0, 0, 255));
    QCOMPARE(boxOver.pixel(3, 3), base.pixel(3, 3));
}

void TestRenderer::focusDimsOnlyOutside_data()
{
    QTest::addColumn<QRectF>("focus");
    QTest::addColumn<QPoint>("inside");
    QTest::addColumn<QPoint>("outside");
    QTest::newRow("middle") << QRectF(20, 20, 40, 30) << QPoint(30, 30) << QPoint(70, 80);
    QTest::newRow("drawn upwards") << QRectF(60, 50, -40, -30) << QPoint(59, 49) << QPoint(10, 10);
    QTest::newRow("whole image") << QRectF(0, 0, 100, 100) << QPoint(0, 0) << QPoint(-1, -1);
    QTest::newRow("beyond the image") << QRectF(-10, -10, 200, 200) << QPoint(99, 99) << QPoint(-1, -1);
}

void TestRenderer::focusDimsOnlyOutside()
{
    QFETCH(QRectF, focus);
    QFETCH(QPoint, inside);
    QFETCH(QPoint, outside);
    Style style;
    style.dim = 0.6;
    const QImage result = flatten(paper({100, 100}, Qt::white), {Annotation(Shapes::Focus{focus}, style)});
    QCOMPARE(result.pixel(inside), qRgb(255, 255, 255));
    if (outside.x() >= 0) {
        QVERIFY_NEAR(result.pixel(outside), qRgb(102, 102, 102));
    } else {
        // Nothing is outside: no pixel is dimmed.
        QCOMPARE(result, paper({100, 100}, Qt::white));
    }
}

void TestRenderer::cornerRadiusIsClamped_data()
{
    QTest::addColumn<qreal>("radius");
    QTest::addColumn<qreal>("drawnRadius");
    QTest::newRow("half the short side") << 8.0 << 5.0;
    QTest::newRow("fits") << 3.0 << 3.0;
    QTest::newRow("negative is square") << -3.0 << 0.0;
}

void TestRenderer::cornerRadiusIsClamped()
{
    QFETCH(qreal, radius);
    QFETCH(qreal, drawnRadius);
    const QRectF box(20, 20, 10, 100);
    Style style = colored(Qt::darkGreen, 2);
    style.cornerRadius = radius;
    style.fillColor = QColor(Qt::yellow);
    const QImage result = flatten(paper({60, 140}, Qt::white), {Annotation(Shapes::Rect{box}, style)});

    QImage expected = paper({60, 140}, Qt::white);
    QPainter painter(&expected);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(box, drawnRadius, drawnRadius);
    painter.fillPath(path, QColor(Qt::yellow));
    painter.strokePath(path, QPen(QColor(Qt::darkGreen), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.end();
    QCOMPARE(result, expected);
}

void TestRenderer::boxWidthZeroDrawsOnlyItsFill()
{
    const QImage white = paper({50, 50}, Qt::white);
    Style style = colored(Qt::red, 0);
    QCOMPARE(flatten(white, {Annotation(Shapes::Rect{{10, 10, 30, 30}}, style)}), white);

    style.fillColor = QColor(Qt::blue);
    const QImage filled = flatten(white, {Annotation(Shapes::Rect{{10, 10, 30, 30}}, style)});
    QCOMPARE(filled.pixel(11, 25), qRgb(0, 0, 255));
    QCOMPARE(filled.pixel(25, 25), qRgb(0, 0, 255));
    QCOMPARE(filled.pixel(9, 25), qRgb(255, 255, 255)); // no outline around it
    QCOMPARE(filled.pixel(41, 25), qRgb(255, 255, 255));

    // An outline of width 4 is centred on the edge and leaves the inside alone.
    style = colored(Qt::red, 4);
    const QImage outlined = flatten(white, {Annotation(Shapes::Rect{{10, 10, 30, 30}}, style)});
    QCOMPARE(outlined.pixel(9, 25), qRgb(255, 0, 0));
    QCOMPARE(outlined.pixel(10, 25), qRgb(255, 0, 0));
    QCOMPARE(outlined.pixel(12, 25), qRgb(255, 255, 255));
    QCOMPARE(outlined.pixel(25, 25), qRgb(255, 255, 255));
}

void TestRenderer::penDotAndEmptyPen()
{
    const QImage white = paper({100, 100}, Qt::white);
    const QImage dot = flatten(white, {Annotation(Shapes::Pen{{{50.5, 50.5}}}, colored(Qt::black, 10))});
    // A disc of diameter 10 around the point's pixel.
    QCOMPARE(dot.pixel(50, 50), qRgb(0, 0, 0));
    QCOMPARE(dot.pixel(54, 50), qRgb(0, 0, 0));
    QCOMPARE(dot.pixel(50, 46), qRgb(0, 0, 0));
    QCOMPARE(dot.pixel(47, 47), qRgb(0, 0, 0));
    QCOMPARE(dot.pixel(57, 50), qRgb(255, 255, 255));
    QCOMPARE(dot.pixel(50, 43), qRgb(255, 255, 255));
    QVERIFY_NEAR(dot.pixel(54, 54), qRgb(255, 255, 255)); // the corner: round, not square

    QCOMPARE(flatten(white, {Annotation(Shapes::Pen{}, colored(Qt::black, 10))}), white);
    QCOMPARE(flatten(white, {Annotation(Shapes::Highlighter{}, colored(Qt::black, 10))}), white);
    // Width 0 would be a hairline in Qt; it draws nothing at all here.
    QCOMPARE(flatten(white, {Annotation(Shapes::Pen{{{10, 10}, {90, 90}}}, colored(Qt::black, 0))}), white);
}

void TestRenderer::arrowHasAFilledHead()
{
    const QImage result = flatten(paper({200, 100}, Qt::white),
                                  {Annotation(Shapes::Arrow{{10, 50.5}, {190, 50.5}}, colored(Qt::blue, 4))});
    QCOMPARE(result.pixel(100, 50), qRgb(0, 0, 255)); // shaft
    QCOMPARE(result.pixel(100, 55), qRgb(255, 255, 255));
    // The head is 16 long and about 7 high at its back, at 180 well outside the shaft's width.
    QCOMPARE(result.pixel(180, 53), qRgb(0, 0, 255));
    QCOMPARE(result.pixel(186, 50), qRgb(0, 0, 255));
    QCOMPARE(result.pixel(192, 50), qRgb(255, 255, 255));
}

void TestRenderer::textIsFilledThenOutlined()
{
    Style style = colored(Qt::red);
    style.fontSize = 80;
    style.outlineWidth = 10;
    style.outlineColor = QColor(Qt::blue);
    const Annotation text(Shapes::Text{{10, 10}, QStringLiteral("HH")}, style);
    const QImage result = flatten(paper({200, 120}, Qt::white), {text});
    int red = 0, blue = 0;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = result.pixel(x, y);
            red += p == qRgb(255, 0, 0);
            blue += p == qRgb(0, 0, 255);
            QVERIFY2(text.bounds().adjusted(-5, -5, 5, 5).contains(QPointF(x, y)) || p == qRgb(255, 255, 255),
                     "ink outside the text's bounds");
        }
    QVERIFY(red > 200);
    QVERIFY(blue > 200);

    style.outlineWidth = 0;
    const QImage plain = flatten(paper({200, 120}, Qt::white),
                                 {Annotation(Shapes::Text{{10, 10}, QStringLiteral("HH")}, style)});
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            QVERIFY(qBlue(plain.pixel(x, y)) <= qRed(plain.pixel(x, y)));
}

void TestRenderer::stampKeepsItsOwnColours()
{
    if (!QFontDatabase::hasFamily(QStringLiteral("Noto Color Emoji")))
        QSKIP("needs the Noto Color Emoji font");
    // A blue style must not tint the fruit: its green flesh and brown skin show.
    const Annotation stamp(Shapes::Stamp{{100, 100}}, colored(Qt::blue, 8));
    // Asking the emoji face for outlines first must not blank the stamp (a Qt font engine trap).
    textPath(QStringLiteral("🥝"), stampAttributes(stamp), QPointF(0, 0));
    const QImage result = flatten(paper({200, 200}, Qt::white), {stamp});
    int green = 0, brown = 0, blue = 0;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const QColor c = QColor::fromRgb(result.pixel(x, y));
            if (c.saturation() < 80 || c.value() < 40)
                continue;
            const int hue = c.hue();
            green += hue >= 60 && hue <= 150;
            brown += hue >= 10 && hue < 50;
            blue += hue >= 200 && hue <= 260;
        }
    QVERIFY2(green > 300, qPrintable(QString::number(green)));
    QVERIFY2(brown > 100, qPrintable(QString::number(brown)));
    QCOMPARE(blue, 0);
}

void TestRenderer::emojiInTextAreDrawn()
{
    if (!QFontDatabase::hasFamily(QStringLiteral("Noto Color Emoji")))
        QSKIP("needs the Noto Color Emoji font");
    // Colour glyphs have no outline path; they must still appear, in their own colours.
    Style style = colored(Qt::red);
    style.fontSize = 60;
    const QImage result = flatten(paper({300, 120}, Qt::white),
                                  {Annotation(Shapes::Text{{10, 10}, QStringLiteral("A🥝")}, style)});
    int green = 0;
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const QColor c = QColor::fromRgb(result.pixel(x, y));
            green += c.saturation() > 80 && c.hue() >= 60 && c.hue() <= 150;
        }
    QVERIFY2(green > 100, qPrintable(QString::number(green)));
}

void TestRenderer::laterLayersLieOnTop()
{
    Style red = colored(Qt::red, 0), blue = colored(Qt::blue, 0);
    red.fillColor = QColor(Qt::red);
    blue.fillColor = QColor(Qt::blue);
    const Annotation first(Shapes::Rect{{0, 0, 30, 30}}, red);
    const Annotation second(Shapes::Rect{{10, 10, 30, 30}}, blue);
    const QImage white = paper({50, 50}, Qt::white);
    QCOMPARE(flatten(white, {first, second}).pixel(20, 20), qRgb(0, 0, 255));
    QCOMPARE(flatten(white, {second, first}).pixel(20, 20), qRgb(255, 0, 0));
}

void TestRenderer::picturesAndWatermarksAreTranslucent()
{
    Style style;
    style.opacity = 0.5;
    const Annotation picture(Shapes::Picture{{10, 10, 20, 20}, paper({2, 2}, Qt::black)}, style);
    const QImage result = flatten(paper({40, 40}, Qt::white), {picture});
    QVERIFY_NEAR(result.pixel(20, 20), qRgb(128, 128, 128));
    QCOMPARE(result.pixel(5, 5), qRgb(255, 255, 255));
    QCOMPARE(result.pixel(31, 31), qRgb(255, 255, 255));

    // The mascot lands inside its bounds (30 wide, centred) and nowhere else.
    const Annotation mark(Shapes::Watermark{{50, 50}, 100}, style);
    const QImage marked = flatten(paper({100, 100}, Qt::white), {mark});
    if (!Watermark::image()) {
        QCOMPARE(marked, paper({100, 100}, Qt::white)); // no mascot: nothing drawn, nothing broken
        return;
    }
    const QRect inside = mark.bounds().toAlignedRect();
    QCOMPARE(inside.width(), 30);
    int changed = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool white = marked.pixel(x, y) == qRgb(255, 255, 255);
            if (!inside.contains(x, y))
                QVERIFY2(white, qPrintable(QStringLiteral("%1,%2 outside the mark").arg(x).arg(y)));
            changed += !white;
        }
    QVERIFY(changed > 100);
}

void TestRenderer::painterStateDoesNotLeak()
{
    QImage image = paper({60, 60}, Qt::white);
    PixelCache pixels(image);
    Style faint;
    faint.opacity = 0.2;
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 3));
    Renderer::draw({Annotation(Shapes::Highlighter{{{0, 30}, {60, 30}}}, colored(Qt::black, 2)),
                    Annotation(Shapes::Blur{{0, 0, 10, 10}}, Style()),
                    Annotation(Shapes::Picture{{40, 40, 5, 5}, paper({1, 1}, Qt::black)}, faint)},
                   pixels, image.size(), painter);
    QCOMPARE(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    QCOMPARE(painter.opacity(), 1.0);
    QCOMPARE(painter.pen().color(), QColor(Qt::green));
    QVERIFY(!painter.hasClipping());
    // A box after the highlighter is opaque, not multiplied into the marker.
    Style box = colored(Qt::red, 0);
    box.fillColor = QColor(Qt::red);
    Renderer::draw({Annotation(Shapes::Rect{{20, 20, 20, 20}}, box)}, pixels, image.size(), painter);
    painter.end();
    QCOMPARE(image.pixel(30, 30), qRgb(255, 0, 0));
}

void TestRenderer::compositeKeepsTheBaseAndItsSize_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("premultiplied") << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("RGB32") << QImage::Format_RGB32;
    QTest::newRow("RGB888") << QImage::Format_RGB888;
    QTest::newRow("straight ARGB32") << QImage::Format_ARGB32;
}

void TestRenderer::compositeKeepsTheBaseAndItsSize()
{
    QFETCH(QImage::Format, format);
    QImage source(37, 23, QImage::Format_ARGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgba(x * 6, y * 11, 90, format == QImage::Format_ARGB32 ? 255 - x : 255));
    const QImage base = source.convertToFormat(format);
    const QImage before = base.copy();
    const QImage result = flatten(base, {Annotation(Shapes::Pen{{{5, 5}, {30, 5}}}, colored(Qt::black, 2))});
    QCOMPARE(result.size(), base.size());
    QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(base, before);
    QCOMPARE(result.pixel(20, 15), base.convertToFormat(QImage::Format_ARGB32_Premultiplied).pixel(20, 15));
    QCOMPARE(qRed(result.pixel(20, 5)), 0);

    PixelCache none{QImage()};
    QVERIFY(Renderer::composite(QImage(), {}, none).isNull());
}

void TestRenderer::cacheKeys_data()
{
    QTest::addColumn<qreal>("block");
    QTest::addColumn<int>("key");
    QTest::newRow("2.5 rounds up") << 2.5 << 3;
    QTest::newRow("3.4 rounds down") << 3.4 << 3;
    QTest::newRow("15.5") << 15.5 << 16;
    QTest::newRow("1 is raised") << 1.0 << 2;
    QTest::newRow("0 is raised") << 0.0 << 2;
    QTest::newRow("negative") << -7.0 << 2;
    QTest::newRow("not a number") << std::numeric_limits<qreal>::quiet_NaN() << 2;
    QTest::newRow("infinite stays an int") << std::numeric_limits<qreal>::infinity() << 65536;
}

void TestRenderer::cacheKeys()
{
    QFETCH(qreal, block);
    QFETCH(int, key);
    QCOMPARE(PixelCache::key(block), key);
    PixelCache cache(stripes({20, 10}));
    cache.image(block);
    QCOMPARE(cache.keys(), QList<int>{key});
}

void TestRenderer::cacheKeepsTheFourLatestBlockSizes()
{
    PixelCache cache(stripes({40, 40}));
    const qint64 two = cache.image(2).cacheKey();
    QCOMPARE(cache.image(2.4).cacheKey(), two); // same key: not pixellated again
    cache.image(3);
    cache.image(4);
    cache.image(5);
    QCOMPARE(cache.keys(), (QList<int>{5, 4, 3, 2}));
    QCOMPARE(cache.image(2).cacheKey(), two); // a hit makes 2 the most recent
    cache.image(6);
    QCOMPARE(cache.keys(), (QList<int>{6, 2, 5, 4}));
    const qint64 three = cache.image(3).cacheKey();
    QCOMPARE(cache.keys(), (QList<int>{3, 6, 2, 5}));
    QCOMPARE(cache.image(3).cacheKey(), three);
    QCOMPARE(cache.image(2).cacheKey(), two);
    // The copies are real pixellations of the base.
    QCOMPARE(cache.image(2).pixel(0, 0), qRgb(128, 128, 128));
}

void TestRenderer::failedPixellationFallsBackToTheBase()
{
    // Wider than any frame that may be allocated: no pixellated copy can be made.
    const QImage wide = paper({40000, 2}, Qt::red);
    PixelCache cache(wide);
    QCOMPARE(cache.image(16).cacheKey(), wide.cacheKey());
    QCOMPARE(cache.keys(), QList<int>{16});
}

QTEST_MAIN(TestRenderer)
#include "test_renderer.moc"
