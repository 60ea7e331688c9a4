// SPDX-License-Identifier: MIT
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "capture/historyfixture.h"
#include "capture/pngfile.h"
#include "image/png.h"

// Grabs read back must be exactly what Qt's own decoder gives, for every kind of PNG.
class TestPngFile : public QObject
{
    Q_OBJECT

    // Smooth areas, edges and noise, so that every filter type gets chosen somewhere.
    static QImage noisy(QSize size, bool translucent)
    {
        QImage image(size, QImage::Format_ARGB32);
        QRandomGenerator random(42);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const int noise = x > size.width() / 2 ? int(random.bounded(256)) : 0;
                image.setPixel(x, y, qRgba(((x / 7 + y / 5) * 9 + noise) & 255, (y * 3) & 255, (x ^ y) & 255,
                                           translucent ? x * 255 / size.width() : 255));
            }
        return image;
    }
    QString save(const QImage &image, const QString &name, int quality = -1)
    {
        QImageWriter writer(m_dir.filePath(name), "png");
        writer.setQuality(quality);
        if (!writer.write(image))
            qFatal("cannot write %s", qPrintable(name));
        return m_dir.filePath(name);
    }
    static QImage qtRead(const QString &path) { return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied); }
    QTemporaryDir m_dir;

private slots:
    void readsLikeQt_data()
    {
        QTest::addColumn<QString>("file");
        const QImage opaque = noisy(QSize(301, 97), false), translucent = noisy(QSize(301, 97), true);
        QTest::newRow("rgb") << save(opaque.convertToFormat(QImage::Format_RGB32), "rgb.png");
        QTest::newRow("rgba") << save(translucent, "rgba.png");
        QTest::newRow("rgba, stored") << save(translucent, "stored.png", 100);
        QTest::newRow("palette") << save(opaque.convertToFormat(QImage::Format_Indexed8), "palette.png");
        QTest::newRow("grey") << save(opaque.convertToFormat(QImage::Format_Grayscale8), "grey.png");
        QTest::newRow("16 bit") << save(translucent.convertToFormat(QImage::Format_RGBA64), "deep.png");
        QVERIFY(Png::write(translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied), m_dir.filePath("ours.png")));
        QVERIFY(Png::write(noisy(QSize(3, 20000), false), m_dir.filePath("tall.png")));
        QTest::newRow("our encoder") << m_dir.filePath("ours.png");
        QTest::newRow("narrow and tall") << m_dir.filePath("tall.png");
    }
    void readsLikeQt()
    {
        QFETCH(QString, file);
        const QImage ours = PngFile::read(file);
        QCOMPARE(ours.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(ours, qtRead(file));
    }

    void damagedFilesGiveNothing_data()
    {
        QTest::addColumn<int>("cut"); QTest::addColumn<int>("flip");
        QTest::newRow("cut in the pixels") << 2000 << -1;
        QTest::newRow("cut before the end chunk") << 12 << -1;
        QTest::newRow("flipped pixel data") << 0 << 1500;
        QTest::newRow("flipped header size") << 0 << 18;
    }
    void damagedFilesGiveNothing()
    {
        QFETCH(int, cut); QFETCH(int, flip);
        QByteArray bytes = Png::encode(noisy(QSize(200, 100), true));
        if (flip >= 0)
            bytes[flip] = char(bytes[flip] ^ 0x5a);
        bytes.chop(cut);
        const QString file = HistoryFixture::writeBytes(m_dir.filePath("damaged.png"), bytes);
        // It may still decode where Qt tolerates it, but never into something else.
        const QImage image = PngFile::read(file);
        if (!image.isNull())
            QCOMPARE(image, qtRead(file));
        if (cut > 0)
            QVERIFY(!PngFile::isComplete(file));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPngFile)
#include "test_pngfile.moc"
