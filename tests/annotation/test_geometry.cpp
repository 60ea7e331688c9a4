// SPDX-License-Identifier: MIT
#include "annotation/annotation.h"
#include "annotation/geometry.h"
#include "annotation/textlayout.h"
#include "annotation/watermark.h"
#include "look/pixel.h"

#include <QTest>

using Shapes::Arrow;
using Shapes::Blur;
using Shapes::Focus;
using Shapes::Highlighter;
using Shapes::Pen;
using Shapes::Picture;
using Shapes::Rect;
using Shapes::Stamp;
using Shapes::Text;
// Shapes::Watermark is written out: plain Watermark is the mascot picture.

namespace {

Annotation layer(Shape shape, qreal width = 8)
{
    Style style;
    style.width = width;
    return Annotation(std::move(shape), style);
}

QImage smallPicture()
{
    QImage image(4, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    return image;
}

} // namespace

class TestGeometry : public QObject
{
    Q_OBJECT

private slots:
    void rectangleHelpers();
    void boundsByShape_data();
    void boundsByShape();
    void textAndStampBounds();
    void watermarkBoundsFollowMascotAspect();
    void lineHits_data();
    void lineHits();
    void areaHitsIncludeOnlyMinimumEdges();
    void translatedMovesGeometryOnly();
    void scaledGeometryAndStyle();
    void scaledBlurBlockKeepsAFloor();
    void scaledUnevenFactorsUseGeometricMean();
    void resizedFitsWatermarkAndPicture();
    void resizedLeavesOtherLayersAlone();
    void namesToolsAndResizing();
    void toolAndFontCatalogues();
};

void TestGeometry::rectangleHelpers()
{
    QCOMPARE(enclosing({}), QRectF(0, 0, 0, 0));
    QCOMPARE(enclosing({QPointF(3, 4)}), QRectF(3, 4, 0, 0));
    QCOMPARE(enclosing({QPointF(5, -2), QPointF(-1, 7), QPointF(2, 2)}), QRectF(-1, -2, 6, 9));
    QCOMPARE(rectFrom(QPointF(10, 20), QPointF(4, 2)), QRectF(4, 2, 6, 18));
    QCOMPARE(rectFrom(QPointF(1, 1), QPointF(1, 1)), QRectF(1, 1, 0, 0));
    QCOMPARE(normalizedRect(QRectF(10, 10, -4, -6)), QRectF(6, 4, 4, 6));
}

void TestGeometry::boundsByShape_data()
{
    QTest::addColumn<Annotation>("annotation");
    QTest::addColumn<QRectF>("bounds");

    const QList<QPointF> stroke{QPointF(10, 10), QPointF(30, 20)};
    QTest::newRow("pen grows by half the width") << layer(Pen{stroke}) << QRectF(6, 6, 28, 18);
    QTest::newRow("empty pen is the allowance at the origin") << layer(Pen{}) << QRectF(-4, -4, 8, 8);
    QTest::newRow("highlighter grows by twice the width")
        << layer(Highlighter{stroke}) << QRectF(-6, -6, 52, 42);
    QTest::newRow("thin arrow grows by the 16 pixel head")
        << layer(Arrow{QPointF(50, 40), QPointF(10, 20)}, 2) << QRectF(-6, 4, 72, 52);
    QTest::newRow("wide arrow grows by four widths")
        << layer(Arrow{QPointF(10, 20), QPointF(50, 40)}, 10) << QRectF(-30, -20, 120, 100);
    QTest::newRow("width 1 box grows by 1") << layer(Rect{QRectF(0, 0, 10, 10)}, 1) << QRectF(-1, -1, 12, 12);
    QTest::newRow("width 2 box grows by 1") << layer(Rect{QRectF(0, 0, 10, 10)}, 2) << QRectF(-1, -1, 12, 12);
    QTest::newRow("width 4 box grows by 2") << layer(Rect{QRectF(0, 0, 10, 10)}, 4) << QRectF(-2, -2, 14, 14);
    QTest::newRow("box of negative size") << layer(Rect{QRectF(10, 10, -10, -10)}, 4) << QRectF(-2, -2, 14, 14);
    QTest::newRow("focus of negative size") << layer(Focus{QRectF(10, 10, -4, -6)}) << QRectF(6, 4, 4, 6);
    QTest::newRow("blur is its rectangle") << layer(Blur{QRectF(1, 2, 3, 4)}) << QRectF(1, 2, 3, 4);
    QTest::newRow("focus is its rectangle") << layer(Focus{QRectF(1, 2, 3, 4)}) << QRectF(1, 2, 3, 4);
    QTest::newRow("picture is its rectangle")
        << layer(Picture{QRectF(5, 6, 40, 20), smallPicture()}) << QRectF(5, 6, 40, 20);
}

void TestGeometry::boundsByShape()
{
    QFETCH(Annotation, annotation);
    QFETCH(QRectF, bounds);
    QCOMPARE(annotation.bounds(), bounds);
}

void TestGeometry::textAndStampBounds()
{
    Annotation text(Text{QPointF(20, 30), QStringLiteral("Hello")});
    const QSizeF measured = measuredSize(QStringLiteral("Hello"), textAttributes(text.style));
    QVERIFY(measured.width() > 0 && measured.height() > 0);
    QCOMPARE(text.bounds(), QRectF(QPointF(20, 30), measured));

    Annotation stamp = layer(Stamp{QPointF(100, 50)}, 4);
    const QSizeF kiwi = measuredSize(QStringLiteral("🥝"), stampAttributes(stamp));
    QVERIFY(kiwi.width() > 0 && kiwi.height() > 0);
    QCOMPARE(stamp.bounds().center(), QPointF(100, 50));
    QCOMPARE(stamp.bounds().size(), kiwi);
    // The stamp follows its width: a wider stamp is a bigger kiwi.
    QVERIFY(layer(Stamp{QPointF(100, 50)}, 8).bounds().width() > kiwi.width() * 1.5);
}

void TestGeometry::watermarkBoundsFollowMascotAspect()
{
    Annotation mark(Shapes::Watermark{QPointF(500, 400), 1000});
    mark.style.markSize = 0.3;
    const QRectF bounds = mark.bounds();
    QCOMPARE(bounds.width(), 300.0);
    QCOMPARE(bounds.height(), 300.0 * Watermark::aspect());
    QCOMPARE(bounds.center(), QPointF(500, 400));
    // The mascot comes with the application's resources.
    const std::optional<QImage> &mascot = Watermark::image();
    QVERIFY(mascot && !mascot->isNull());
    QCOMPARE(Watermark::aspect(), qreal(mascot->height()) / mascot->width());
    QCOMPARE(&Watermark::image(), &mascot); // loaded once
}

void TestGeometry::lineHits_data()
{
    QTest::addColumn<Annotation>("annotation");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<qreal>("tolerance");
    QTest::addColumn<bool>("hit");

    const Annotation pen = layer(Pen{{QPointF(0, 0), QPointF(100, 0), QPointF(100, 100)}}, 8);
    QTest::newRow("pen at tolerance plus half width") << pen << QPointF(50, 10) << 6.0 << true;
    QTest::newRow("pen just beyond") << pen << QPointF(50, 10.01) << 6.0 << false;
    QTest::newRow("pen second segment") << pen << QPointF(109, 50) << 5.0 << true;
    QTest::newRow("pen inside the corner it does not cover") << pen << QPointF(50, 50) << 6.0 << false;
    QTest::newRow("pen past the end measures to the end") << pen << QPointF(100, 109) << 5.0 << true;
    QTest::newRow("pen past the end, too far") << pen << QPointF(100, 110) << 5.0 << false;

    const Annotation dot = layer(Pen{{QPointF(5, 5)}}, 4);
    QTest::newRow("one-point pen within reach") << dot << QPointF(5, 9) << 2.0 << true;
    QTest::newRow("one-point pen beyond reach") << dot << QPointF(5, 9.1) << 2.0 << false;
    QTest::newRow("empty pen is never hit") << layer(Pen{}) << QPointF(0, 0) << 100.0 << false;
    QTest::newRow("empty highlighter is never hit") << layer(Highlighter{}) << QPointF(0, 0) << 100.0 << false;

    const Annotation marker = layer(Highlighter{{QPointF(0, 0), QPointF(100, 0)}}, 5);
    QTest::newRow("highlighter reaches twice the width") << marker << QPointF(30, 16) << 6.0 << true;
    QTest::newRow("highlighter beyond") << marker << QPointF(30, 16.5) << 6.0 << false;

    const Annotation arrow = layer(Arrow{QPointF(0, 0), QPointF(100, 100)}, 4);
    QTest::newRow("arrow along the shaft") << arrow << QPointF(52, 48) << 2.0 << true;
    // Inside the bounds but far from the shaft: arrows are hit on the line only.
    QTest::newRow("arrow bounds corner") << arrow << QPointF(95, 5) << 2.0 << false;
    const Annotation point = layer(Arrow{QPointF(10, 10), QPointF(10, 10)}, 4);
    QTest::newRow("degenerate arrow near its point") << point << QPointF(12, 10) << 0.0 << true;
    QTest::newRow("degenerate arrow beyond") << point << QPointF(10, 12.1) << 0.0 << false;
}

void TestGeometry::lineHits()
{
    QFETCH(Annotation, annotation);
    QFETCH(QPointF, point);
    QFETCH(qreal, tolerance);
    QFETCH(bool, hit);
    QCOMPARE(annotation.contains(point, tolerance), hit);
}

void TestGeometry::areaHitsIncludeOnlyMinimumEdges()
{
    const Annotation box = layer(Rect{QRectF(0, 0, 100, 50)}, 2); // bounds (-1, -1, 102, 52)
    QVERIFY(box.contains(QPointF(-1, -1), 0));
    QVERIFY(box.contains(QPointF(100.9, 50.9), 0));
    QVERIFY(!box.contains(QPointF(101, 20), 0));
    QVERIFY(!box.contains(QPointF(20, 51), 0));
    QVERIFY(box.contains(QPointF(105, 20), 5));
    QVERIFY(!box.contains(QPointF(106, 20), 5));

    QVERIFY(!layer(Blur{QRectF(10, 10, 0, 0)}).contains(QPointF(10, 10), 0));
    QVERIFY(layer(Blur{QRectF(10, 10, 0, 0)}).contains(QPointF(10, 10), 1));
    QVERIFY(layer(Focus{QRectF(10, 10, 20, 20)}).contains(QPointF(15, 15), 0));
    QVERIFY(layer(Picture{QRectF(10, 10, 20, 20), smallPicture()}).contains(QPointF(29, 29), 0));
    QVERIFY(!layer(Picture{QRectF(10, 10, 20, 20), smallPicture()}).contains(QPointF(30, 29), 0));
}

void TestGeometry::translatedMovesGeometryOnly()
{
    const QImage image = smallPicture();
    const QList<Annotation> layers{
        layer(Pen{{QPointF(1, 1), QPointF(2, 3)}}),
        layer(Highlighter{{QPointF(1, 1)}}),
        layer(Arrow{QPointF(0, 0), QPointF(10, 10)}),
        layer(Rect{QRectF(0, 0, 10, 20)}),
        layer(Text{QPointF(4, 4), QStringLiteral("hi")}),
        layer(Blur{QRectF(1, 1, 5, 5)}),
        layer(Focus{QRectF(1, 1, 5, 5)}),
        layer(Stamp{QPointF(9, 9)}),
        layer(Shapes::Watermark{QPointF(50, 50), 300}),
        layer(Picture{QRectF(0, 0, 8, 4), image}),
    };
    for (const Annotation &a : layers) {
        const Annotation moved = a.translated(7, -3);
        QCOMPARE(moved.id, a.id);
        QCOMPARE(moved.style, a.style);
        QCOMPARE(moved.bounds(), a.bounds().translated(7, -3));
    }
    const auto picture = std::get<Picture>(layers.last().translated(1, 1).shape);
    QCOMPARE(picture.image.cacheKey(), image.cacheKey());
    QCOMPARE(std::get<Text>(layers[4].translated(1, 1).shape).string, QStringLiteral("hi"));
    QCOMPARE(std::get<Shapes::Watermark>(layers[8].translated(1, 1).shape).refWidth, 300.0);
    QCOMPARE(std::get<Arrow>(layers[2].translated(1, 2).shape).end, QPointF(11, 12));
}

void TestGeometry::scaledGeometryAndStyle()
{
    Style style;
    style.width = 4;
    style.fontSize = 20;
    style.cornerRadius = 6;
    style.outlineWidth = 5;
    style.markSize = 0.25;
    style.dim = 0.4;
    style.opacity = 0.7;

    const Annotation pen = Annotation(Pen{{QPointF(10, 20), QPointF(30, 40)}}, style).scaled(2, 2);
    QCOMPARE(std::get<Pen>(pen.shape).points, (QList<QPointF>{QPointF(20, 40), QPointF(60, 80)}));
    QCOMPARE(pen.style.width, 8.0);
    QCOMPARE(pen.style.fontSize, 40.0);
    QCOMPARE(pen.style.cornerRadius, 12.0);
    QCOMPARE(pen.style.outlineWidth, 5.0);
    QCOMPARE(pen.style.markSize, 0.25);
    QCOMPARE(pen.style.opacity, 0.7);

    // A rectangle of negative size comes out normalised.
    const Annotation box = Annotation(Rect{QRectF(100, 100, -50, -20)}, style).scaled(2, 3);
    QCOMPARE(std::get<Rect>(box.shape).rect, QRectF(100, 240, 100, 60));

    const Annotation mark = Annotation(Shapes::Watermark{QPointF(10, 10), 200}, style).scaled(0.5, 2);
    QCOMPARE(std::get<Shapes::Watermark>(mark.shape).point, QPointF(5, 20));
    QCOMPARE(std::get<Shapes::Watermark>(mark.shape).refWidth, 100.0);

    const QImage image = smallPicture();
    const Annotation picture = Annotation(Picture{QRectF(2, 2, 4, 4), image}, style).scaled(3, 3);
    QCOMPARE(std::get<Picture>(picture.shape).rect, QRectF(6, 6, 12, 12));
    QCOMPARE(std::get<Picture>(picture.shape).image.cacheKey(), image.cacheKey());

    const Annotation text = Annotation(Text{QPointF(3, 5), QStringLiteral("x")}, style).scaled(2, 2);
    QCOMPARE(std::get<Text>(text.shape).point, QPointF(6, 10));
    const Annotation arrow = Annotation(Arrow{QPointF(1, 1), QPointF(2, 3)}, style).scaled(2, 2);
    QCOMPARE(std::get<Arrow>(arrow.shape).end, QPointF(4, 6));
}

void TestGeometry::scaledBlurBlockKeepsAFloor()
{
    Annotation blur(Blur{QRectF(0, 0, 10, 10)});
    blur.style.blurBlock = 3;
    QCOMPARE(blur.scaled(0.5, 0.5).style.blurBlock, 2.0);
    blur.style.blurBlock = 16;
    QCOMPARE(blur.scaled(0.5, 0.5).style.blurBlock, 8.0);
    QCOMPARE(blur.scaled(0.5, 0.5).bounds(), QRectF(0, 0, 5, 5));
}

void TestGeometry::scaledUnevenFactorsUseGeometricMean()
{
    Annotation box(Rect{QRectF(10, 10, 20, 20)});
    const Annotation scaled = box.scaled(2, 0.5);
    QCOMPARE(scaled.style.width, box.style.width);
    QCOMPARE(scaled.style.fontSize, box.style.fontSize);
    QCOMPARE(scaled.style.cornerRadius, box.style.cornerRadius);
    QCOMPARE(std::get<Rect>(scaled.shape).rect, QRectF(20, 5, 40, 10));
}

void TestGeometry::resizedFitsWatermarkAndPicture()
{
    Annotation mark(Shapes::Watermark{QPointF(50, 50), 400});
    const Annotation fitted = mark.resized(QRectF(100, 100, 200, 999));
    QCOMPARE(std::get<Shapes::Watermark>(fitted.shape).point, QPointF(200, 599.5));
    QCOMPARE(std::get<Shapes::Watermark>(fitted.shape).refWidth, 400.0);
    QCOMPARE(fitted.style.markSize, 0.5);
    QCOMPARE(fitted.bounds().width(), 200.0);

    // A corner dragged past the opposite one still gives a positive size.
    const Annotation flipped = mark.resized(QRectF(300, 300, -200, -100));
    QCOMPARE(flipped.style.markSize, 0.5);
    QCOMPARE(std::get<Shapes::Watermark>(flipped.shape).point, QPointF(200, 250));

    // Without a reference width no mark size fits: the size stays finite and unchanged.
    const Annotation unsized = Annotation(Shapes::Watermark{QPointF(0, 0), 0}).resized(QRectF(0, 0, 10, 10));
    QCOMPARE(unsized.style.markSize, Style().markSize);

    const QImage image = smallPicture();
    const Annotation picture = Annotation(Picture{QRectF(0, 0, 4, 2), image}).resized(QRectF(5, 5, 40, 30));
    QCOMPARE(std::get<Picture>(picture.shape).rect, QRectF(5, 5, 40, 30));
    QCOMPARE(std::get<Picture>(picture.shape).image.cacheKey(), image.cacheKey());
}

void TestGeometry::resizedLeavesOtherLayersAlone()
{
    const QList<Annotation> layers{
        layer(Arrow{QPointF(0, 0), QPointF(10, 10)}),
        layer(Text{QPointF(4, 4), QStringLiteral("hi")}),
        layer(Stamp{QPointF(9, 9)}),
        layer(Rect{QRectF(0, 0, 10, 20)}),
        layer(Pen{{QPointF(1, 1)}}),
    };
    for (const Annotation &a : layers)
        QCOMPARE(a.resized(QRectF(100, 100, 50, 50)), a);
}

void TestGeometry::namesToolsAndResizing()
{
    struct Case
    {
        Shape shape;
        QString name;
        Tool tool;
        bool resizable;
    };
    const QList<Case> cases{
        {Pen{}, "Pen", Tool::pen, false},
        {Highlighter{}, "Highlight", Tool::highlighter, false},
        {Arrow{}, "Arrow", Tool::arrow, false},
        {Rect{}, "Box", Tool::rect, false},
        {Text{QPointF(), QStringLiteral("Hi\nthere")}, QStringLiteral("\u201CHi\nthere\u201D"), Tool::text, false},
        {Text{}, QStringLiteral("\u201C\u201D"), Tool::text, false},
        {Blur{}, "Blur", Tool::blur, false},
        {Focus{}, "Focus", Tool::focus, false},
        {Stamp{}, "Stamp", Tool::stamp, false},
        {Shapes::Watermark{}, "Watermark", Tool::watermark, true},
        {Picture{}, "Image", Tool::picture, true},
    };
    for (const Case &c : cases) {
        const Annotation a(c.shape);
        QCOMPARE(a.name(), c.name);
        QCOMPARE(a.tool(), c.tool);
        QCOMPARE(a.isResizable(), c.resizable);
    }
    QVERIFY(Annotation().id != Annotation().id);
    QVERIFY(!Annotation().id.isNull());
}

void TestGeometry::toolAndFontCatalogues()
{
    QCOMPARE(Tools::allCases().size(), 12);
    QCOMPARE(Tools::toolbar(), Tools::allCases().mid(0, 10));
    for (Tool tool : Tools::allCases()) {
        QCOMPARE(Tools::fromRaw(rawValue(tool)).value_or(Tool::move), tool);
        QVERIFY2(Pixel::image(icon(tool)), qPrintable(icon(tool))); // the toolbar can draw it
    }
    for (TextFont font : TextFonts::allCases())
        QCOMPARE(TextFonts::fromRaw(rawValue(font)).value_or(TextFont::chalk), font);
    // Raw values are exact: no case folding, no trimming.
    QVERIFY(!Tools::fromRaw(QStringLiteral("Pen")));
    QVERIFY(!Tools::fromRaw(QStringLiteral("pen ")));
    QVERIFY(!Tools::fromRaw(QString()));
    QVERIFY(!TextFonts::fromRaw(QStringLiteral("comic")));
    QVERIFY(!TextFonts::fromRaw(QStringLiteral("Mono")));
}

QTEST_MAIN(TestGeometry)
#include "test_geometry.moc"
