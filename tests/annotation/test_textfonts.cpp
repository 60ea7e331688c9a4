// SPDX-License-Identifier: MIT
#include "annotation/annotation.h"
#include "annotation/textfont.h"
#include "annotation/textlayout.h"
#include "look/pixel.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QSet>
#include <QTest>

#include <limits>

class TestTextFonts : public QObject
{
    Q_OBJECT

private slots:
    void familiesLookDifferent();
    void pixelFallsBackToBoldMonospace();
    void sizesArePixelSizes();
    void stampUsesColourEmoji();
    void textAttributesOfAStyle();
    void measuringBreaksOnlyAtLineBreaks();
    void rememberedSizesFollowTheFont();
    void glyphOutlinesStayInTheMeasuredBox();
};

void TestTextFonts::familiesLookDifferent()
{
    QSet<QString> families;
    for (TextFont textFont : TextFonts::allCases()) {
        const QFont f = font(textFont, 40);
        families.insert(QFontInfo(f).family());
    }
    // The installed packages give seven faces; a bare machine still has sans, serif and mono.
    QVERIFY2(families.size() >= 5, qPrintable(QStringList(families.values()).join(", ")));
    QVERIFY(QFontInfo(font(TextFont::mono, 40)).fixedPitch());
    QVERIFY(QFontInfo(font(TextFont::system, 40)).bold());
}

void TestTextFonts::pixelFallsBackToBoldMonospace()
{
    // Nothing has registered the pixel font in this process yet.
    const QFontInfo fallback(font(TextFont::pixel, 30));
    QCOMPARE(fallback.family(), QFontInfo(font(TextFont::mono, 30)).family());
    QVERIFY(fallback.fixedPitch());
    QVERIFY(fallback.bold());
    QCOMPARE(fallback.pixelSize(), 30);

    const QString family = Pixel::registerFont();
    if (family.isEmpty())
        QSKIP("this build has no pixel font file");
    const QFontInfo pixel(font(TextFont::pixel, 30));
    QCOMPARE(pixel.family(), family);
    QCOMPARE(pixel.pixelSize(), 30);
}

void TestTextFonts::sizesArePixelSizes()
{
    for (TextFont textFont : TextFonts::allCases()) {
        QCOMPARE(font(textFont, 28).pixelSize(), 28);
        QCOMPARE(font(textFont, 27.6).pixelSize(), 28);
    }
    // Sizes no face can take still give a usable font.
    QCOMPARE(font(TextFont::system, 0).pixelSize(), 1);
    QCOMPARE(font(TextFont::serif, -5).pixelSize(), 1);
    QCOMPARE(font(TextFont::rounded, std::numeric_limits<qreal>::quiet_NaN()).pixelSize(), 1);
    // A pixel size does not depend on the resolution of the device measured for.
    QImage print(10, 10, QImage::Format_ARGB32_Premultiplied);
    print.setDotsPerMeterX(11811); // 300 dpi
    print.setDotsPerMeterY(11811);
    const QFont f = font(TextFont::system, 50);
    QCOMPARE(QFontMetricsF(f, &print).height(), QFontMetricsF(f).height());
}

void TestTextFonts::stampUsesColourEmoji()
{
    Annotation stamp(Shapes::Stamp{QPointF(10, 10)});
    stamp.style.width = 4;
    const TextAttributes attributes = stampAttributes(stamp);
    QCOMPARE(QFontInfo(attributes.font).family(), QStringLiteral("Noto Color Emoji"));
    QCOMPARE(attributes.font.pixelSize(), 56);
    QVERIFY(!attributes.font.bold());
    const QSizeF kiwi = measuredSize(QStringLiteral("🥝"), attributes);
    // One emoji is about as wide as it is high.
    QVERIFY2(kiwi.width() > 40 && kiwi.width() < 100, qPrintable(QString::number(kiwi.width())));
    QVERIFY(kiwi.height() > 40 && kiwi.height() < 100);
}

void TestTextFonts::textAttributesOfAStyle()
{
    Style style;
    style.font = TextFont::serif;
    style.fontSize = 50;
    style.outlineWidth = 4;
    style.color = QColor(Qt::blue);
    style.outlineColor = QColor(Qt::yellow);
    const TextAttributes attributes = textAttributes(style);
    QCOMPARE(attributes.font, font(TextFont::serif, 50));
    QCOMPARE(attributes.fill, QColor(Qt::blue));
    QCOMPARE(attributes.outline, QColor(Qt::yellow));
    QCOMPARE(attributes.outlineWidth, 2.0);
    style.outlineWidth = -3;
    QCOMPARE(textAttributes(style).outlineWidth, 0.0);
}

void TestTextFonts::measuringBreaksOnlyAtLineBreaks()
{
    const TextAttributes attributes = textAttributes(Style());
    const QSizeF one = measuredSize(QStringLiteral("Kiwano"), attributes);
    QVERIFY(one.width() > 0);

    const QSizeF empty = measuredSize(QString(), attributes);
    QCOMPARE(empty.width(), 0.0);
    QCOMPARE(empty.height(), one.height());

    const QSizeF two = measuredSize(QStringLiteral("Kiwano\nK"), attributes);
    QCOMPARE(two.width(), one.width());
    QCOMPARE(two.height(), 2 * one.height());
    QCOMPARE(measuredSize(QStringLiteral("K\r\nKiwano"), attributes), two);
    QCOMPARE(measuredSize(QStringLiteral("Kiwano\n"), attributes), QSizeF(one.width(), two.height()));

    // A long line stays one line.
    const QString longLine = QStringLiteral("Kiwano ").repeated(200);
    const QSizeF wide = measuredSize(longLine, attributes);
    QCOMPARE(wide.height(), one.height());
    QVERIFY(wide.width() > 150 * one.width());

    QCOMPARE(textLines(QStringLiteral("a\rb\u2028c\n")), (QStringList{"a", "b", "c", ""}));
}

void TestTextFonts::rememberedSizesFollowTheFont()
{
    Style style;
    style.fontSize = 20;
    const QString text = QStringLiteral("Kiwano");
    const QSizeF small = measuredSize(text, textAttributes(style));
    style.fontSize = 40;
    const QSizeF large = measuredSize(text, textAttributes(style));
    QVERIFY(large.width() > 1.8 * small.width());
    QCOMPARE(measuredSize(text, textAttributes(style)), large);

    style.font = TextFont::mono;
    const QSizeF mono = measuredSize(text, textAttributes(style));
    QCOMPARE(mono.width(), QFontMetricsF(font(TextFont::mono, 40)).horizontalAdvance(text));
    QVERIFY(mono.width() != large.width());
}

void TestTextFonts::glyphOutlinesStayInTheMeasuredBox()
{
    for (TextFont textFont : TextFonts::allCases()) {
        Style style;
        style.font = textFont;
        style.fontSize = 40;
        const TextAttributes attributes = textAttributes(style);
        const QString text = QStringLiteral("Kiwi\nsnap");
        const QRectF box(QPointF(100, 200), measuredSize(text, attributes));
        const QRectF glyphs = textPath(text, attributes, box.topLeft()).boundingRect();
        QVERIFY(!glyphs.isEmpty());
        // Glyphs may overhang their advance a little, never by a fraction of a line.
        const QRectF allowed = box.adjusted(-8, -2, 8, 2);
        QVERIFY2(allowed.contains(glyphs), qPrintable(rawValue(textFont)));
        QVERIFY(glyphs.top() < box.top() + box.height() / 2);
        QVERIFY(glyphs.bottom() > box.top() + box.height() / 2);
    }
}

QTEST_MAIN(TestTextFonts)
#include "test_textfonts.moc"
