// SPDX-License-Identifier: MIT
#include "image/bitmap.h"
#include "image/pixellate.h"

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

class TestPixellate : public QObject
{
    Q_OBJECT

private slots:
    void matchesBlockMeans_data()
    {
        QTest::addColumn<QSize>("size"); QTest::addColumn<int>("block");
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("cut edges") << QSize(7, 5) << 3 << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("wide, thin") << QSize(300, 3) << 16 << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("block 1 keeps the image") << QSize(5, 4) << 1 << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("block bigger than the image") << QSize(6, 9) << 1000000 << QImage::Format_ARGB32_Premultiplied;
        // Long runs cross the 256-pixel boundary of the packed row sums.
        QTest::newRow("blocks wider than 256") << QSize(700, 5) << 300 << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("RGB32 input") << QSize(10, 7) << 3 << QImage::Format_RGB32;
    }

    void matchesBlockMeans()
    {
        QFETCH(QSize, size); QFETCH(int, block); QFETCH(QImage::Format, format);
        const QImage input = numbered(size).convertToFormat(format);
        QCOMPARE(pixellate(input, block), reference(input.convertToFormat(QImage::Format_ARGB32_Premultiplied), block));
        QVERIFY(pixellate(QImage(), block).isNull());
        QVERIFY(pixellate(input, 0).isNull());
    }

    void framesAreUsableImages()
    {
        // Small frames come from the heap, large ones are mapped; odd RGB888 rows need padding.
        const QList<std::pair<QSize, QImage::Format>> cases{{{33, 17}, QImage::Format_ARGB32_Premultiplied},
                                                            {{4001, 1000}, QImage::Format_RGB888}};
        for (const auto &[size, format] : cases) {
            QImage frame = Bitmap::allocate(size, format);
            QCOMPARE(frame.size(), size);
            QCOMPARE(frame.format(), format);
            QCOMPARE(frame.bytesPerLine(), QImage(QSize(size.width(), 1), format).bytesPerLine());
            frame.fill(Qt::darkCyan);
            QImage copy = frame;
            copy.setPixelColor(size.width() - 1, size.height() - 1, Qt::yellow);
            frame = QImage();
            QCOMPARE(copy.pixelColor(0, 0), QColor(Qt::darkCyan));
            QCOMPARE(copy.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::yellow));
        }
        for (QSize size : {QSize(0, 10), QSize(-5, 10), QSize(40000, 4), QSize(20000, 20000)})
            QVERIFY(Bitmap::allocate(size).isNull());
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPixellate)
#include "test_pixellate.moc"
