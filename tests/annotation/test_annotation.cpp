// SPDX-License-Identifier: MIT
#include "annotation/annotation.h"
#include "annotation/colortext.h"
#include "annotation/geometry.h"
#include "annotation/stylecoding.h"
#include "annotation/textfont.h"
#include "annotation/textlayout.h"
#include "annotation/tooldefaults.h"
#include "annotation/watermark.h"
#include "look/pixel.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <limits>

using namespace Shapes;

namespace {

Annotation layer(Shape shape, qreal width = 8)
{
    Style style;
    style.width = width;
    return Annotation(std::move(shape), style);
}

Style everyFieldChanged()
{
    Style style;
    style.color = QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), style.width = 3.5, style.font = TextFont::chalk;
    style.fontSize = 31, style.outlineWidth = 7, style.outlineColor = QColor::fromRgbF(0, 0, 0), style.dim = 0.25;
    style.fillColor = QColor::fromRgbF(1, 0.5f, 0, 0.75f), style.cornerRadius = 2, style.blurBlock = 24;
    style.markSize = 0.45, style.opacity = 0.5, style.blurMode = BlurMode::solid;
    return style;
}

} // namespace

class TestAnnotation : public QObject
{
    Q_OBJECT

private slots:
    // (The pixel font's fallback before it is registered is the look's test.)
    void wholePixelSizesAndMeasuring()
    {
        for (TextFont textFont : TextFonts::allCases())
            QCOMPARE(font(textFont, 27.6).pixelSize(), 28);
        // Sizes no face can take still give a usable font.
        QCOMPARE(font(TextFont::serif, -5).pixelSize(), 1);
        QCOMPARE(font(TextFont::rounded, std::numeric_limits<qreal>::quiet_NaN()).pixelSize(), 1);

        // Measuring breaks only at line breaks.
        const TextAttributes attributes = textAttributes(Style());
        const QSizeF one = measuredSize(QStringLiteral("Kiwano"), attributes);
        QVERIFY(one.width() > 0);
        QCOMPARE(measuredSize(QString(), attributes), QSizeF(0, one.height()));
        const QSizeF two = measuredSize(QStringLiteral("Kiwano\nK"), attributes);
        QCOMPARE(two, QSizeF(one.width(), 2 * one.height()));
        QCOMPARE(measuredSize(QStringLiteral("K\r\nKiwano"), attributes), two);
        QCOMPARE(measuredSize(QStringLiteral("Kiwano\n"), attributes), two);
        QCOMPARE(measuredSize(QStringLiteral("Kiwano ").repeated(200), attributes).height(), one.height());
    }

    void boundsByShape_data()
    {
        QTest::addColumn<Annotation>("annotation"); QTest::addColumn<QRectF>("bounds");

        const QList<QPointF> stroke{QPointF(10, 10), QPointF(30, 20)};
        QTest::newRow("pen grows by half the width") << layer(Pen{stroke}) << QRectF(6, 6, 28, 18);
        QTest::newRow("empty pen is the allowance at the origin") << layer(Pen{}) << QRectF(-4, -4, 8, 8);
        QTest::newRow("highlighter grows by twice the width") << layer(Highlighter{stroke}) << QRectF(-6, -6, 52, 42);
        QTest::newRow("thin arrow: 16 pixel head") << layer(Arrow{{50, 40}, {10, 20}}, 2) << QRectF(-6, 4, 72, 52);
        QTest::newRow("wide arrow: four widths") << layer(Arrow{{10, 20}, {50, 40}}, 10) << QRectF(-30, -20, 120, 100);
        QTest::newRow("width 1 box grows by 1") << layer(Rect{QRectF(0, 0, 10, 10)}, 1) << QRectF(-1, -1, 12, 12);
        QTest::newRow("box of negative size") << layer(Rect{QRectF(10, 10, -10, -10)}, 4) << QRectF(-2, -2, 14, 14);
        QTest::newRow("focus of negative size") << layer(Focus{QRectF(10, 10, -4, -6)}) << QRectF(6, 4, 4, 6);
    }

    void boundsByShape()
    {
        QFETCH(Annotation, annotation); QFETCH(QRectF, bounds);
        QCOMPARE(annotation.bounds(), bounds);
    }

    // (A stamp's bounds are checked against its ink by the renderer's test.)
    void watermarkBounds()
    {
        Annotation mark(Shapes::Watermark{QPointF(500, 400), 1000});
        mark.style.markSize = 0.3;
        QCOMPARE(mark.bounds().size(), QSizeF(300, 300 * ::Watermark::aspect()));
        QCOMPARE(mark.bounds().center(), QPointF(500, 400));
        QVERIFY(::Watermark::image() && !::Watermark::image()->isNull());
    }

    void hits_data()
    {
        QTest::addColumn<Annotation>("annotation"); QTest::addColumn<QPointF>("point");
        QTest::addColumn<qreal>("tolerance"); QTest::addColumn<bool>("hit");

        const Annotation pen = layer(Pen{{QPointF(0, 0), QPointF(100, 0), QPointF(100, 100)}}, 8);
        QTest::newRow("pen at tolerance plus half width") << pen << QPointF(50, 10) << 6.0 << true;
        QTest::newRow("pen just beyond") << pen << QPointF(50, 10.01) << 6.0 << false;
        QTest::newRow("pen inside the corner it does not cover") << pen << QPointF(50, 50) << 6.0 << false;
        QTest::newRow("pen past the end measures to the end") << pen << QPointF(100, 109) << 5.0 << true;
        const Annotation dot = layer(Pen{{QPointF(5, 5)}}, 4);
        QTest::newRow("one-point pen within reach") << dot << QPointF(5, 9) << 2.0 << true;
        QTest::newRow("empty pen is never hit") << layer(Pen{}) << QPointF(0, 0) << 100.0 << false;
        const Annotation marker = layer(Highlighter{{QPointF(0, 0), QPointF(100, 0)}}, 5);
        QTest::newRow("highlighter reaches twice the width") << marker << QPointF(30, 16) << 6.0 << true;
        QTest::newRow("highlighter beyond") << marker << QPointF(30, 16.5) << 6.0 << false;
        // Inside the bounds but far from the shaft: arrows are hit on the line only.
        QTest::newRow("arrow bounds corner") << layer(Arrow{QPointF(0, 0), QPointF(100, 100)}, 4)
                                             << QPointF(95, 5) << 2.0 << false;
        const Annotation point = layer(Arrow{QPointF(10, 10), QPointF(10, 10)}, 4);
        QTest::newRow("degenerate arrow near its point") << point << QPointF(12, 10) << 0.0 << true;
        QTest::newRow("degenerate arrow beyond") << point << QPointF(10, 12.1) << 0.0 << false;

        // Areas include their minimum edges only: box bounds are (-1, -1, 102, 52).
        const Annotation box = layer(Rect{QRectF(0, 0, 100, 50)}, 2);
        QTest::newRow("box minimum corner") << box << QPointF(-1, -1) << 0.0 << true;
        QTest::newRow("box far edge") << box << QPointF(101, 20) << 0.0 << false;
        const Annotation emptyBlur = layer(Blur{QRectF(10, 10, 0, 0)});
        QTest::newRow("empty blur") << emptyBlur << QPointF(10, 10) << 0.0 << false;
        QTest::newRow("empty blur with tolerance") << emptyBlur << QPointF(10, 10) << 1.0 << true;
    }

    void hits()
    {
        QFETCH(Annotation, annotation); QFETCH(QPointF, point); QFETCH(qreal, tolerance); QFETCH(bool, hit);
        QCOMPARE(annotation.contains(point, tolerance), hit);
    }

    // Moving keeps a layer's identity and style; scaling scales lengths in the style (by the
    // factors' geometric mean: the model's resize case), but not ratios nor a blur block below 2;
    // resizing a watermark fits its size to the box, and arrows and text keep their own shape.
    void translatedScaledResized()
    {
        QImage image(4, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::green);
        for (const Annotation &a : {layer(Pen{{QPointF(1, 1), QPointF(2, 3)}}), layer(Text{QPointF(4, 4), QStringLiteral("hi")}),
                                    layer(Shapes::Watermark{QPointF(50, 50), 300}), layer(Picture{QRectF(0, 0, 8, 4), image})}) {
            const Annotation moved = a.translated(7, -3);
            QVERIFY(moved.id == a.id && moved.style == a.style);
            QCOMPARE(moved.bounds(), a.bounds().translated(7, -3));
        }

        Style style;
        style.width = 4, style.fontSize = 20, style.cornerRadius = 6, style.outlineWidth = 5, style.markSize = 0.25;
        const Annotation pen = Annotation(Pen{{QPointF(10, 20), QPointF(30, 40)}}, style).scaled(2, 2);
        QCOMPARE(std::get<Pen>(pen.shape).points, (QList<QPointF>{QPointF(20, 40), QPointF(60, 80)}));
        QVERIFY(pen.style.fontSize == 40 && pen.style.outlineWidth == 5 && pen.style.markSize == 0.25);
        const Annotation box = Annotation(Rect{QRectF(100, 100, -50, -20)}, style).scaled(2, 3);
        QCOMPARE(std::get<Rect>(box.shape).rect, QRectF(100, 240, 100, 60)); // normalised
        Annotation blur(Blur{QRectF(0, 0, 10, 10)});
        blur.style.blurBlock = 3;
        QCOMPARE(blur.scaled(0.5, 0.5).style.blurBlock, 2.0);

        const Annotation large(Shapes::Watermark{QPointF(50, 50), 400});
        const Annotation fitted = large.resized(QRectF(100, 100, 200, 999));
        QCOMPARE(std::get<Shapes::Watermark>(fitted.shape).point, QPointF(200, 599.5));
        QCOMPARE(fitted.style.markSize, 0.5);
        QCOMPARE(large.resized(QRectF(300, 300, -200, -100)).style.markSize, 0.5);
        // Without a reference width no mark size fits: it stays finite and unchanged.
        QCOMPARE(Annotation(Shapes::Watermark{QPointF(0, 0), 0}).resized(QRectF(0, 0, 10, 10)).style.markSize, Style().markSize);
        QCOMPARE(layer(Rect{QRectF(0, 0, 10, 20)}).resized(QRectF(100, 100, 50, 50)).bounds(), QRectF(100, 100, 50, 50));
        for (const Annotation &a : {layer(Arrow{QPointF(0, 0), QPointF(10, 10)}), layer(Text{QPointF(4, 4), QStringLiteral("hi")})})
            QCOMPARE(a.resized(QRectF(100, 100, 50, 50)), a);
    }

    // Raw values are kept in preferences, so they never change; each table is indexed by its
    // enumeration (a row out of place reads back as another), and every tool icon must exist.
    // Each tool the toolbar offers has a letter of its own that leads back to it (V pastes).
    void toolsAndFontsByRawValue()
    {
        QStringList tools, fonts;
        for (Tool tool : Tools::allCases()) {
            tools << rawValue(tool);
            QCOMPARE(Tools::fromRaw(rawValue(tool)), std::optional(tool));
            QVERIFY2(Pixel::image(icon(tool)), qPrintable(icon(tool)));
            const QString letter = shortcutKey(tool);
            QCOMPARE(letter.isEmpty() ? std::nullopt : Tools::forKey(letter.at(0).unicode()),
                     Tools::toolbar().contains(tool) ? std::optional(tool) : std::nullopt);
        }
        for (TextFont textFont : TextFonts::allCases()) {
            fonts << rawValue(textFont);
            QCOMPARE(TextFonts::fromRaw(rawValue(textFont)), std::optional(textFont));
        }
        QCOMPARE(tools.join(' '), "move pen highlighter arrow rect text blur focus stamp crop watermark picture");
        QCOMPARE(fonts.join(' '), "system rounded serif mono pixel marker chalk");
        QCOMPARE(Tools::toolbar(), Tools::allCases().mid(0, 10)); // without the two commands
        QVERIFY(!Tools::fromRaw("Move") && !Tools::fromRaw("move ") && !TextFonts::fromRaw("Sans") && !Tools::forKey(Qt::Key_V));
    }

    void stylesRoundTrip()
    {
        Style otherModels;
        otherModels.color = QColor::fromHsv(200, 128, 64, 200);
        otherModels.outlineColor = QColor::fromRgbF(1.2f, -0.1f, 0.5f);
        for (const Style &style : {Style(), everyFieldChanged(), otherModels}) {
            const std::optional<QByteArray> json = StyleCoding::encode(style);
            QVERIFY(json && !json->contains('\n'));
            QCOMPARE(QJsonDocument::fromJson(*json).object().contains(QStringLiteral("fillColor")),
                     style.fillColor.has_value());
            QVERIFY(StyleCoding::decode(*json) == style);
        }
    }

    void lenientDecoding_data()
    {
        QTest::addColumn<QByteArray>("json"); QTest::addColumn<std::optional<Style>>("expected");
        const auto row = [](const char *name, const char *json, std::optional<Style> style) {
            QTest::newRow(name) << QByteArray(json) << style;
        };
        row("empty object is the default style", "{}", Style());
        // The stored defaults of earlier versions must keep meaning the default style.
        row("the default style written out",
            R"({"color":{"r":0.9,"g":0.15,"b":0.15,"a":1},"width":8,"font":"system","fontSize":56,"outlineWidth":3,)"
            R"("outlineColor":{"r":1,"g":1,"b":1,"a":1},"dim":0.6,"cornerRadius":8,"blurBlock":16,"markSize":0.3,"opacity":0.9})",
            Style());
        Style wide, filled, opaque, clear;
        wide.width = 12, filled.fillColor = QColor::fromRgbF(0, 0, 1, 0.5f);
        opaque.color = QColor::fromRgbF(0, 0, 1, 1), clear.color = QColor::fromRgbF(0, 0, 1, 0);
        row("a good field among bad ones", R"({"width":12,"dim":"0.5","opacity":null,"font":"comic","extra":1})", wide);
        row("colour missing a component, broken fill", R"({"color":{"r":0,"g":0,"b":1},"fillColor":[0,0,1,1]})", Style());
        row("fill colour", R"({"fillColor":{"r":0,"g":0,"b":1,"a":0.5}})", filled);
        row("alpha above 1", R"({"color":{"r":0,"g":0,"b":1,"a":1.5}})", opaque);
        row("alpha below 0", R"({"color":{"r":0,"g":0,"b":1,"a":-2}})", clear);
        // Hand edits far outside what the properties panel offers: the pen would take forever
        // to draw, a block of 0 would divide by zero.
        row("out of range", R"({"width":1e308,"blurBlock":0,"opacity":5,"fontSize":-3,"dim":2,"markSize":0})", Style());
        for (const char *bad : {"", "width: 8", R"({"width":8)", "[1,2,3]", "8"})
            QTest::addRow("not an object: %s", bad) << QByteArray(bad) << std::optional<Style>();
    }

    void lenientDecoding()
    {
        QFETCH(QByteArray, json); QFETCH(std::optional<Style>, expected);
        QVERIFY(StyleCoding::decode(json) == expected);

        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("prefs.ini")), QSettings::IniFormat);
        settings.setValue(ToolDefaults::key(Tool::pen), json);
        QVERIFY(ToolDefaults::load(Tool::pen, 2, settings) == expected.value_or(ToolDefaults::builtIn(Tool::pen, 2)));
    }

    void storedDefaults()
    {
        QTemporaryDir dir;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
        const Style good = everyFieldChanged();
        ToolDefaults::save(good, Tool::text);
        QSettings file(dir.filePath(QStringLiteral("KiwanoSnapper/KiwanoSnapper.ini")), QSettings::IniFormat);
        QCOMPARE(file.value(QStringLiteral("toolDefault.text")).typeId(), int(QMetaType::QByteArray));
        QVERIFY(ToolDefaults::load(Tool::text, 1, file) == good);
        QVERIFY(ToolDefaults::load(Tool::arrow, 1.5, file) == ToolDefaults::builtIn(Tool::arrow, 1.5));

        // Text is not a stored style even when it reads as JSON.
        file.setValue(ToolDefaults::key(Tool::arrow), QStringLiteral(R"({"width":3})"));
        QVERIFY(ToolDefaults::load(Tool::arrow, 1, file) == ToolDefaults::builtIn(Tool::arrow, 1));

        // A blur saved finer than text stays unreadable through comes back at the smallest size
        // that hides it, in points of the screen; its style is kept.
        Style fine = good;
        fine.blurBlock = 2;
        ToolDefaults::save(fine, Tool::blur, file);
        const Style blur = ToolDefaults::load(Tool::blur, 2, file);
        QCOMPARE(blur.blurBlock, 2.0 * ToolDefaults::smallestBlurBlock);
        QCOMPARE(blur.blurMode, BlurMode::solid);

        // A style that cannot be written keeps the previous default.
        Style broken = good;
        broken.fontSize = std::numeric_limits<qreal>::infinity();
        ToolDefaults::save(broken, Tool::text, file);
        QVERIFY(ToolDefaults::load(Tool::text, 1, file) == good);
    }

    void colorFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex"); // empty: no colour
        QTest::newRow("commas and spaces") << "255, 128, 0" << "#FF8000";
        QTest::newRow("short hex lower case, blanks around") << "  #abc\t" << "#AABBCC";
        QTest::newRow("four components") << "10,20,30,128" << "#0A141E80";
        QTest::newRow("unreadable piece dropped") << "255, abc, 0, 0" << "#FF0000";
        QTest::newRow("fractions in range") << "127.5, 0, 255" << "#8000FF";
        QTest::newRow("small numbers are components, not fractions") << "0.5,0.5,0.5" << "#010101";
        for (const char *bad : {"300,0,0", "1,2", "#12345", "#abcdeg", "##FFF", "orange"})
            QTest::newRow(bad) << bad << "";
    }

    void colorFromText()
    {
        QFETCH(QString, text); QFETCH(QString, hex);
        const std::optional<QColor> color = colorFromUserInput(text);
        QCOMPARE(color.has_value(), !hex.isEmpty());
        if (color)
            QCOMPARE(hexString(*color), hex);
        // Written back: alpha only when not opaque, components rounded, out of range clamped.
        QCOMPARE(hexString(QColor(1, 2, 3, 254)), QStringLiteral("#010203FE"));
        QCOMPARE(hexString(QColor::fromRgbF(0.5f, 0.1f, 0.998f)), QStringLiteral("#801AFE"));
        QCOMPARE(hexString(QColor::fromRgbF(1.5f, -0.2f, 0)), QStringLiteral("#FF0000"));
    }
};

KIWANO_TEST_MAIN(TestAnnotation)
#include "test_annotation.moc"
