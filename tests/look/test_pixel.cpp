// SPDX-License-Identifier: MIT
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

#include "look/pixel.h"

#include <limits>

class TestPixel : public QObject
{
    Q_OBJECT
private slots:
    // Runs first: nothing is registered yet, so the missing file leaves the fallback in place.
    void fontFallsBackThenRegistersOnce()
    {
        QVERIFY(Pixel::registerFont(QStringLiteral("/nonexistent/Fonts/Minecraft.ttf")).isEmpty());
        QCOMPARE(Pixel::font(14).family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        QVERIFY(Pixel::font(14).bold());
        QCOMPARE(Pixel::font(0.2).pixelSize(), 1);

        const QString family = Pixel::registerFont();
        QVERIFY(!family.isEmpty());
        QCOMPARE(QFontInfo(Pixel::font(12)).family(), family);
        QCOMPARE(Pixel::registerFont(QStringLiteral("/nonexistent/other.ttf")), family);
    }

    // The font's ligature glyphs are broken ("first" read "Arst"): letters are drawn one by one.
    void lettersAreNeverJoined()
    {
        const QFont font = Pixel::font(24);
        const auto draw = [&font](const QStringList &pieces) {
            QImage image(120, 40, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            painter.setFont(font);
            qreal x = 4;
            for (const QString &piece : pieces) {
                painter.drawText(QPointF(x, 30), piece);
                x += QFontMetricsF(font).horizontalAdvance(piece);
            }
            return image;
        };
        for (const char *word : {"fi", "fl", "ffi"}) {
            QStringList letters;
            for (const QChar letter : QString::fromLatin1(word))
                letters << QString(letter);
            QVERIFY2(draw({QString::fromLatin1(word)}) == draw(letters), word);
        }
    }

    // Runs before any other icon test, so that the trash icon is not cached yet.
    void cacheKeepsOneRenderingPerNameAndSize()
    {
        const QString trash = QStringLiteral("trash");
        const qsizetype before = Pixel::cachedImageCount();
        const auto at12 = Pixel::image(trash, 12), at18 = Pixel::image(trash, 18);
        QVERIFY(at12 && at18);
        QCOMPARE(at12->size(), QSize(12, 12));
        QCOMPARE(Pixel::image(trash, 18)->cacheKey(), at18->cacheKey());
        QCOMPARE(Pixel::image(trash, 12.0)->cacheKey(), at12->cacheKey());
        QCOMPARE(Pixel::cachedImageCount(), before + 2);
        // A fractional size is its own entry, not folded into its neighbour.
        QVERIFY(Pixel::image(trash, 12.5));
        QCOMPARE(Pixel::cachedImageCount(), before + 3);
    }

    void iconsAreHardEdgedMasks()
    {
        for (const char *name : {"hand", "kiwano", "arrow-down-to-bracket", "layer-group", "check"}) {
            const auto icon = Pixel::image(QString::fromLatin1(name), 24);
            QVERIFY2(icon && icon->size() == QSize(24, 24), name);
            const QImage alpha = icon->convertToFormat(QImage::Format_Alpha8);
            const QSet<uchar> levels(alpha.constBits(), alpha.constBits() + alpha.sizeInBytes());
            QVERIFY2(levels == (QSet<uchar>{0, 255}), name); // ink and nothing, no soft edges
        }
    }

    void unusableRequestsGiveNothingAndCacheNothing()
    {
        const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
        for (const auto &[name, size] : {std::pair{"no-such-icon", 18.0}, {"", 18.0}, {"hand", 0.0}, {"hand", nan},
                                         {"../Images/kiwano-menubar", 18.0}, {"hand", 1e9}}) {
            const qsizetype before = Pixel::cachedImageCount();
            QVERIFY2(!Pixel::image(QString::fromLatin1(name), size).has_value(), name);
            QVERIFY(!Pixel::image(QString::fromLatin1(name), size).has_value());
            QCOMPARE(Pixel::cachedImageCount(), before);
        }
    }
};

QTEST_MAIN(TestPixel)
#include "test_pixel.moc"
