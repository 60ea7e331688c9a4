// SPDX-License-Identifier: MIT
#include "annotation/annotation.h"
#include "annotation/textfont.h"
#include "annotation/textlayout.h"
#include "look/pixel.h"

#include <QFontInfo>
#include <QSet>
#include <QTest>

#include <limits>

class TestTextFonts : public QObject
{
    Q_OBJECT

private slots:
    void pixelFallsBackToBoldMonospace();
    void familiesLookDifferent();
    void measuringBreaksOnlyAtLineBreaks();
};

void TestTextFonts::pixelFallsBackToBoldMonospace()
{
    // Nothing has registered the pixel font in this process yet.
    const QFontInfo fallback(font(TextFont::pixel, 30));
    QCOMPARE(fallback.family(), QFontInfo(font(TextFont::mono, 30)).family());
    QVERIFY(fallback.bold());
    QCOMPARE(fallback.pixelSize(), 30);

    const QString family = Pixel::registerFont();
    QVERIFY(!family.isEmpty());
    QCOMPARE(QFontInfo(font(TextFont::pixel, 30)).family(), family);
}

void TestTextFonts::familiesLookDifferent()
{
    QSet<QString> families;
    for (TextFont textFont : TextFonts::allCases()) {
        families.insert(QFontInfo(font(textFont, 40)).family());
        QCOMPARE(font(textFont, 27.6).pixelSize(), 28);
    }
    QVERIFY2(families.size() >= 5, qPrintable(QStringList(families.values()).join(", ")));
    QVERIFY(QFontInfo(font(TextFont::mono, 40)).fixedPitch());
    // Sizes no face can take still give a usable font.
    QCOMPARE(font(TextFont::serif, -5).pixelSize(), 1);
    QCOMPARE(font(TextFont::rounded, std::numeric_limits<qreal>::quiet_NaN()).pixelSize(), 1);
}

void TestTextFonts::measuringBreaksOnlyAtLineBreaks()
{
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

QTEST_MAIN(TestTextFonts)
#include "test_textfonts.moc"
