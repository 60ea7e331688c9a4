// SPDX-License-Identifier: MIT
#include "image/pixellate.h"

#include <QTest>

class TestPixellate : public QObject
{
    Q_OBJECT

private slots:
    void matchesBlockMeans_data();
    void matchesBlockMeans();
    void aBrightPixelIsSpreadNotKept();
    void gridStartsAtTheBottomLeft();
    void unusableInputGivesNothing();
};

namespace {

// Distinct premultiplied pixels with varied alpha, so that a wrong grid or a wrong mean shows.
QImage numbered(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = 60 + (x * 13 + y * 29) % 196;
            image.setPixel(x, y, qRgba((x * 47 + y * 5) % (alpha + 1), (y * 31) % (alpha + 1),
                                       (x * y) % (alpha + 1), alpha));
        }
    return image;
}

// The block means computed the slow, obvious way: square (bx, by) counted from the bottom-left.
QImage reference(const QImage &image, int block)
{
    QImage out(image.size(), QImage::Format_ARGB32_Premultiplied);
    const int w = image.width(), h = image.height();
    for (int bottom = h; bottom > 0; bottom -= block)
        for (int left = 0; left < w; left += block) {
            const int top = std::max(0, bottom - block), right = std::min(w, left + block);
            qint64 sum[4] = {};
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x) {
                    const QRgb p = image.pixel(x, y);
                    sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p), sum[3] += qAlpha(p);
                }
            const qint64 n = qint64(bottom - top) * (right - left);
            const auto mean = [n](qint64 s) { return int((s + n / 2) / n); };
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    out.setPixel(x, y, qRgba(mean(sum[0]), mean(sum[1]), mean(sum[2]), mean(sum[3])));
        }
    return out;
}

} // namespace

void TestPixellate::matchesBlockMeans_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("block");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("exact fit") << QSize(8, 8) << 4 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("cut edges") << QSize(7, 5) << 3 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("wide, thin") << QSize(300, 3) << 16 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("block 1 keeps the image") << QSize(5, 4) << 1 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("block bigger than the image") << QSize(6, 9) << 1000000 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("1x1") << QSize(1, 1) << 16 << QImage::Format_ARGB32_Premultiplied;
    // Long runs cross the 256-pixel boundary of the packed row sums.
    QTest::newRow("blocks wider than 256") << QSize(700, 5) << 300 << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("straight ARGB32 input") << QSize(9, 9) << 2 << QImage::Format_ARGB32;
    QTest::newRow("RGB32 input") << QSize(10, 7) << 3 << QImage::Format_RGB32;
}

void TestPixellate::matchesBlockMeans()
{
    QFETCH(QSize, size);
    QFETCH(int, block);
    QFETCH(QImage::Format, format);
    const QImage input = numbered(size).convertToFormat(format);
    const QImage result = pixellate(input, block);
    QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(result.size(), size);
    const QImage expected =
        reference(input.convertToFormat(QImage::Format_ARGB32_Premultiplied), block);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            QVERIFY2(result.pixel(x, y) == expected.pixel(x, y),
                     qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
}

void TestPixellate::aBrightPixelIsSpreadNotKept()
{
    // One glyph pixel on black paper: the square takes its mean, nowhere its own colour.
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(qRgb(0, 0, 0));
    image.setPixel(21, 10, qRgb(255, 255, 255));
    const QImage result = pixellate(image, 16);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool inBrightSquare = x >= 16 && y < 16;
            const int expected = inBrightSquare ? 1 : 0; // 255 / 256, rounded
            QCOMPARE(qRed(result.pixel(x, y)), expected);
            QCOMPARE(qAlpha(result.pixel(x, y)), 255);
        }
}

void TestPixellate::gridStartsAtTheBottomLeft()
{
    // 5 rows in blocks of 2: rows {3,4} and {1,2} are whole squares, row 0 a short one.
    QImage image(2, 5, QImage::Format_ARGB32_Premultiplied);
    const int reds[] = {200, 10, 30, 100, 120};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 2; ++x)
            image.setPixel(x, y, qRgb(reds[y], 0, 0));
    const QImage result = pixellate(image, 2);
    QCOMPARE(qRed(result.pixel(0, 0)), 200);
    QCOMPARE(qRed(result.pixel(1, 1)), 20);
    QCOMPARE(qRed(result.pixel(0, 2)), 20);
    QCOMPARE(qRed(result.pixel(0, 3)), 110);
    QCOMPARE(qRed(result.pixel(1, 4)), 110);
}

void TestPixellate::unusableInputGivesNothing()
{
    QVERIFY(pixellate(QImage(), 8).isNull());
    QVERIFY(pixellate(numbered({4, 4}), 0).isNull());
    QVERIFY(pixellate(numbered({4, 4}), -3).isNull());
}

QTEST_GUILESS_MAIN(TestPixellate)
#include "test_pixellate.moc"
