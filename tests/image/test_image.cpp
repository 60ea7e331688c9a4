// SPDX-License-Identifier: MIT
#include "image/bitmap.h"
#include "image/pixellate.h"
#include "image/png.h"
#include "support/files.h"
#include "support/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Varied alpha (0, 1, mid, 254, 255), premultiplied values that round, rows the "Up" filter works
// on; distinct enough that a wrong grid or a wrong mean of the pixellation shows.
QImage pattern(QSize size, QImage::Format format)
{
    QImage image(size, QImage::Format_ARGB32);
    const int alphaSteps[] = {0, 1, 37, 128, 200, 254, 255};
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = format == QImage::Format_RGB32 ? 255 : alphaSteps[(x + 3 * y) % 7];
            image.setPixel(x, y, qRgba((x * 37 + y) % 256, (y * 11) % 256, (x ^ y) % 256, alpha));
        }
    return image.convertToFormat(format);
}

void verifyDecodesTo(const QByteArray &bytes, const QImage &original)
{
    QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
    QCOMPARE(QImage::fromData(bytes, "png").convertToFormat(original.format()), original);
}

// Incompressible: the file is about as large as the pixels.
QImage noise(QSize size, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(size, format);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y)
        random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), size.width());
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

// The codec, the frames and the pixellation the editor's pictures go through.
class TestImage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QSize>("size"); QTest::addColumn<QImage::Format>("format");
        QTest::newRow("1x1 premultiplied") << QSize(1, 1) << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("odd width straight") << QSize(53, 7) << QImage::Format_ARGB32;
        QTest::newRow("odd width opaque") << QSize(41, 5) << QImage::Format_RGB32;
        QTest::newRow("taller than a band, opaque") << QSize(64, 97) << QImage::Format_RGB32;
        QTest::newRow("grayscale") << QSize(13, 40) << QImage::Format_Grayscale8;
        QTest::newRow("big enough for several chunks") << QSize(700, 500) << QImage::Format_ARGB32;
    }

    void roundTrip()
    {
        QFETCH(QSize, size); QFETCH(QImage::Format, format);
        // Noise makes the compressed stream of the largest span more than one IDAT chunk.
        const QImage original = size.width() >= 700 ? noise(size, format) : pattern(size, format);
        verifyDecodesTo(Png::encode(original), original);
    }

    void unpremultipliesEveryAlphaExactly()
    {
        // Every valid premultiplied (alpha, channel) pair, one pixel each.
        QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
        for (int alpha = 0; alpha < 256; ++alpha) {
            auto *row = reinterpret_cast<QRgb *>(image.scanLine(alpha));
            for (int c = 0; c < 256; ++c) {
                const int v = std::min(c, alpha);
                row[c] = qRgba(v, alpha - v, v / 2, alpha);
            }
        }
        verifyDecodesTo(Png::encode(image), image);
    }

    void replacesTheWholeFileOrNothing()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("grab.png"));
        const QImage second = pattern({80, 45}, QImage::Format_RGB32);
        QString error;
        QVERIFY(Png::write(pattern({30, 30}, QImage::Format_ARGB32), path, &error));
        QVERIFY(Png::write(second, path, &error) && error.isEmpty());
        const QByteArray oldBytes = TestFiles::read(path);
        verifyDecodesTo(oldBytes, second);

        const QByteArray folderPath = QFile::encodeName(folder.path());
        QVERIFY(chmod(folderPath.constData(), 0555) == 0);
        const auto failsWithReason = [&] {
            QString reason;
            return !Png::write(pattern({20, 20}, QImage::Format_ARGB32), path, &reason) && !reason.isEmpty();
        };
        // Root writes anywhere: an unprivileged child tries.
        const pid_t child = fork();
        if (child == 0)
            _exit((geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0)) && failsWithReason() ? 0 : 1);
        int status = -1;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
        chmod(folderPath.constData(), 0755);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "writing into a read-only folder must fail and say why");
        QCOMPARE(TestFiles::read(path), oldBytes);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"grab.png"});

        // Other failures say why too, and leave nothing behind.
        QVERIFY(Png::encode(QImage()).isEmpty());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
        for (const auto &[input, name] : {std::pair{QImage(), "empty.png"}, {second, "missing/grab.png"},
                                          {second, "grab.png/inside.png"}, {second, "folder"}}) {
            QString reason;
            QVERIFY(!Png::write(input, folder.filePath(QString::fromLatin1(name)), &reason));
            QVERIFY2(!reason.isEmpty(), name);
        }
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("empty.png"))));
    }

    // Saving onto a disk that is full, or fills while the file is written: the reason given is
    // the file system's, and nothing is left behind.
    void fullDiskIsNamedAsSuch_data()
    {
        QTest::addColumn<int>("side"); QTest::addColumn<qulonglong>("roomLeft");
        QTest::newRow("full from the start") << 300 << 0ull;
        QTest::newRow("fills within the first chunk") << 300 << 8192ull;
        QTest::newRow("fills half-way") << 300 << 160 * 1024ull;
        QTest::newRow("small image, no room at all") << 4 << 0ull;
    }
    void fullDiskIsNamedAsSuch()
    {
        QFETCH(int, side); QFETCH(qulonglong, roomLeft);
        QTemporaryDir root;
        SmallDisk disk(root.filePath("disk"), "size=1m");
        if (!disk.mounted())
            QSKIP("mounting a tmpfs needs root");
        QVERIFY(disk.leaveBytes(roomLeft));
        const QString path = root.filePath("disk/Kiwano.png");
        QString reason;
        QVERIFY(!Png::write(noise(QSize(side, side)), path, &reason));
        QCOMPARE(reason, QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(QDir(root.filePath("disk")).entryList(QDir::Files | QDir::Hidden), QStringList({".filler-bytes"}));
    }

    void pixellateMatchesBlockMeans_data()
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

    void pixellateMatchesBlockMeans()
    {
        QFETCH(QSize, size); QFETCH(int, block); QFETCH(QImage::Format, format);
        const QImage input = pattern(size, format);
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

KIWANO_TEST_GUILESS_MAIN(TestImage)
#include "test_image.moc"
