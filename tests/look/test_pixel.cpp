// SPDX-License-Identifier: MIT
#include <QFontDatabase>
#include <QFontInfo>
#include <QTest>

#include "look/pixel.h"

#include <cmath>
#include <limits>

namespace {

// Every icon name the views ask for.
const QStringList iconNames{
    "hand", "pencil", "magic-wand-sparkles", "arrow-right", "rectangle", "font", "eye-slash",
    "eye", "kiwano", "scissors", "image", "images", "expand", "rectangle-wide", "desktop",
    "clone", "lock", "lock-open", "folder", "sliders", "arrow-down-to-bracket",
    "arrow-right-from-bracket", "undo", "redo", "layer-group", "arrow-up", "arrow-down", "trash",
    "compress", "arrow-up-from-line", "arrow-down-to-line", "xmark", "check", "minus", "plus",
    "palette", "bookmark",
};

struct Coverage
{
    int transparent = 0;
    int opaque = 0;
    int partial = 0;
};

Coverage coverage(const QImage &image)
{
    Coverage c;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            (alpha == 0 ? c.transparent : alpha == 255 ? c.opaque : c.partial)++;
        }
    }
    return c;
}

} // namespace

class TestPixel : public QObject
{
    Q_OBJECT
private slots:
    // Runs first: nothing is registered yet, so the missing file leaves the fallback in place.
    void missingFontFallsBackToBoldMonospace()
    {
        QVERIFY(Pixel::registerFont(QStringLiteral("/nonexistent/Fonts/Minecraft.ttf")).isEmpty());
        const QFont f = Pixel::font(14);
        QCOMPARE(f.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        QVERIFY(f.bold());
        QCOMPARE(f.pixelSize(), 14);
        QCOMPARE(Pixel::font(0.2).pixelSize(), 1);
    }

    void bundledFontRegistersOnce()
    {
        const QString family = Pixel::registerFont();
        QVERIFY(!family.isEmpty());
        QVERIFY(family != QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        const QFont f = Pixel::font(12);
        QCOMPARE(f.pixelSize(), 12);
        // The font the text engine really picks, not just the name asked for.
        QCOMPARE(QFontInfo(f).family(), family);
        QCOMPARE(Pixel::registerFont(), family);
        QCOMPARE(Pixel::registerFont(QStringLiteral("/nonexistent/other.ttf")), family);
    }

    // Runs before any other icon test, so that the trash icon is not cached yet.
    void cacheKeepsOneRenderingPerNameAndSize()
    {
        const qsizetype before = Pixel::cachedImageCount();
        const auto at12 = Pixel::image(QStringLiteral("trash"), 12);
        const auto at18 = Pixel::image(QStringLiteral("trash"), 18);
        QVERIFY(at12 && at18);
        QCOMPARE(at12->size(), QSize(12, 12));
        QCOMPARE(Pixel::cachedImageCount(), before + 2);

        const auto again = Pixel::image(QStringLiteral("trash"), 18);
        QCOMPARE(Pixel::cachedImageCount(), before + 2);
        QCOMPARE(again->cacheKey(), at18->cacheKey());
        QCOMPARE(Pixel::image(QStringLiteral("trash"), 12.0)->cacheKey(), at12->cacheKey());

        // A fractional size is its own entry, not folded into its neighbour.
        QVERIFY(Pixel::image(QStringLiteral("trash"), 12.5));
        QCOMPARE(Pixel::cachedImageCount(), before + 3);
    }

    void everyIconRendersAsHardEdgedMask_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name : iconNames)
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyIconRendersAsHardEdgedMask()
    {
        QFETCH(QString, name);
        const auto icon = Pixel::image(name, 18);
        QVERIFY(icon.has_value());
        QCOMPARE(icon->size(), QSize(18, 18));
        const Coverage c = coverage(*icon);
        QVERIFY(c.opaque > 10);
        QVERIFY(c.transparent > 10);
        QCOMPARE(c.partial, 0);
    }

    void largerSizesScaleWithoutSmoothing()
    {
        const auto small = Pixel::image(QStringLiteral("check"), 24);
        const auto large = Pixel::image(QStringLiteral("check"), 48);
        QVERIFY(small && large);
        QCOMPARE(large->size(), QSize(48, 48));
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 48; ++x)
                QCOMPARE(qAlpha(large->pixel(x, y)), qAlpha(small->pixel(x / 2, y / 2)));
    }

    void unusableRequestsGiveNothingAndCacheNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("size");
        QTest::newRow("unknown name") << "no-such-icon" << 18.0;
        QTest::newRow("empty name") << "" << 18.0;
        QTest::newRow("path out of the folder") << "../Images/kiwano-menubar" << 18.0;
        QTest::newRow("zero size") << "hand" << 0.0;
        QTest::newRow("negative size") << "hand" << -18.0;
        QTest::newRow("not a number") << "hand" << std::numeric_limits<qreal>::quiet_NaN();
        QTest::newRow("infinite") << "hand" << std::numeric_limits<qreal>::infinity();
        QTest::newRow("absurdly large") << "hand" << 1e9;
    }

    void unusableRequestsGiveNothingAndCacheNothing()
    {
        QFETCH(QString, name);
        QFETCH(qreal, size);
        const qsizetype before = Pixel::cachedImageCount();
        QVERIFY(!Pixel::image(name, size).has_value());
        QVERIFY(!Pixel::image(name, size).has_value());
        QCOMPARE(Pixel::cachedImageCount(), before);
    }

    void tintFillsOnlyTheShape()
    {
        const auto mask = Pixel::image(QStringLiteral("plus"), 24);
        QVERIFY(mask);
        const QColor half(200, 40, 30, 128);
        const QImage red = Pixel::tinted(*mask, QColor(200, 40, 30));
        const QImage translucent = Pixel::tinted(*mask, half);
        QCOMPARE(red.size(), mask->size());
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 24; ++x) {
                const bool ink = qAlpha(mask->pixel(x, y)) == 255;
                QCOMPARE(red.pixel(x, y), ink ? qRgb(200, 40, 30) : 0u);
                QCOMPARE(qAlpha(translucent.pixel(x, y)), ink ? 128 : 0);
            }
        }
        QVERIFY(Pixel::tinted(QImage(), Qt::red).isNull());
    }
};

QTEST_MAIN(TestPixel)
#include "test_pixel.moc"
