// SPDX-License-Identifier: MIT
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "capture/pngfile.h"
#include "image/png.h"

// Reading grabs back must give exactly what Qt's own decoder gives, for every kind of PNG.
class TestPngFile : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeQt_data();
    void readsLikeQt();
    void damagedFilesGiveNothing_data();
    void damagedFilesGiveNothing();
    void writeNeverReplaces();
    void scaledReadsAverageBlocks_data();
    void scaledReadsAverageBlocks();
    void scaledReadsAgreeWithQt_data();
    void scaledReadsAgreeWithQt();

private:
    static QImage noisy(QSize size, bool translucent)
    {
        QImage image(size, QImage::Format_ARGB32);
        QRandomGenerator random(42);
        for (int y = 0; y < size.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                // Smooth areas, edges and noise, so every filter type gets chosen somewhere.
                const int base = (x / 7 + y / 5) * 9;
                const int noise = x > size.width() / 2 ? int(random.bounded(256)) : 0;
                const int alpha = translucent ? (x * 255 / size.width()) : 255;
                line[x] = qRgba((base + noise) & 255, (y * 3) & 255, (x ^ y) & 255, alpha);
            }
        }
        return image;
    }
    QString save(const QImage &image, const char *name, int quality = -1)
    {
        const QString path = m_dir.filePath(QString::fromLatin1(name));
        QImageWriter writer(path, "png");
        if (quality >= 0)
            writer.setQuality(quality);
        if (!writer.write(image))
            qFatal("cannot write %s", name);
        return path;
    }
    static QImage qtRead(const QString &path)
    {
        return QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    QTemporaryDir m_dir;
};

void TestPngFile::readsLikeQt_data()
{
    QTest::addColumn<QString>("path");
    const QImage opaque = noisy(QSize(301, 97), false);
    const QImage translucent = noisy(QSize(301, 97), true);
    QTest::newRow("rgb, adaptive filters") << save(opaque.convertToFormat(QImage::Format_RGB32), "rgb.png");
    QTest::newRow("rgba, adaptive filters") << save(translucent, "rgba.png");
    QTest::newRow("rgba, stored") << save(translucent, "stored.png", 100);
    QTest::newRow("palette") << save(opaque.convertToFormat(QImage::Format_Indexed8), "palette.png");
    QTest::newRow("grey") << save(opaque.convertToFormat(QImage::Format_Grayscale8), "grey.png");
    QTest::newRow("16 bit") << save(translucent.convertToFormat(QImage::Format_RGBA64), "deep.png");
    const QString ours = m_dir.filePath(QStringLiteral("ours.png"));
    Png::write(translucent.convertToFormat(QImage::Format_ARGB32_Premultiplied), ours);
    QTest::newRow("our encoder") << ours;
    const QString tall = m_dir.filePath(QStringLiteral("tall.png"));
    Png::write(noisy(QSize(3, 20000), false), tall);
    QTest::newRow("narrow and tall") << tall;
}

void TestPngFile::readsLikeQt()
{
    QFETCH(QString, path);
    const QImage ours = PngFile::read(path);
    QCOMPARE(ours.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(ours, qtRead(path));
}

void TestPngFile::damagedFilesGiveNothing_data()
{
    QTest::addColumn<int>("cut");
    QTest::addColumn<int>("flip");
    QTest::newRow("cut in the pixels") << 2000 << -1;
    QTest::newRow("cut before the end chunk") << 12 << -1;
    QTest::newRow("flipped pixel data") << 0 << 1500;
    QTest::newRow("flipped header size") << 0 << 18;
}

void TestPngFile::damagedFilesGiveNothing()
{
    QFETCH(int, cut);
    QFETCH(int, flip);
    QByteArray bytes = Png::encode(noisy(QSize(200, 100), true));
    if (flip >= 0)
        bytes[flip] = char(bytes[flip] ^ 0x5a);
    bytes.chop(cut);
    const QString path = m_dir.filePath(QStringLiteral("damaged.png"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    const QImage image = PngFile::read(path);
    // A damaged file may still decode where Qt tolerates it, but never into something else.
    if (!image.isNull())
        QCOMPARE(image, qtRead(path));
    if (cut > 0)
        QVERIFY(!PngFile::isComplete(path));
}

void TestPngFile::writeNeverReplaces()
{
    const QString path = m_dir.filePath(QStringLiteral("taken.png"));
    QVERIFY(PngFile::write(noisy(QSize(10, 10), false), path));
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QVERIFY(!PngFile::write(noisy(QSize(20, 20), true), path));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).filter("part").size(), 0);
}

void TestPngFile::scaledReadsAverageBlocks_data()
{
    QTest::addColumn<bool>("translucent");
    QTest::newRow("rgb") << false;
    QTest::newRow("rgba") << true;
}

void TestPngFile::scaledReadsAverageBlocks()
{
    QFETCH(bool, translucent);
    // 7 x 5 blocks of 6 x 4 pixels; each block's pixels average to its colour exactly.
    QImage image(42, 20, QImage::Format_ARGB32_Premultiplied);
    QImage expected(7, 5, QImage::Format_ARGB32_Premultiplied);
    for (int by = 0; by < 5; ++by) {
        for (int bx = 0; bx < 7; ++bx) {
            const int alpha = translucent ? 60 + bx * 20 : 255;
            const QRgb colour = qPremultiply(qRgba(bx * 30, by * 50, 200 - bx * 10, alpha));
            expected.setPixel(bx, by, colour);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x)
                    image.setPixel(bx * 6 + x, by * 4 + y, colour);
        }
    }
    const QString path = m_dir.filePath(QStringLiteral("blocks.png"));
    QFile::remove(path);
    QVERIFY(Png::write(image, path));
    QCOMPARE(PngFile::size(path), QSize(42, 20));
    const QImage scaled = PngFile::readScaled(path, QSize(7, 5));
    QCOMPARE(scaled.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(scaled, expected);
    QVERIFY(PngFile::readScaled(path, QSize(43, 20)).isNull());
}

void TestPngFile::scaledReadsAgreeWithQt_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("scaled");
    QTest::newRow("even") << QSize(480, 240) << QSize(240, 120);
    QTest::newRow("uneven") << QSize(1001, 333) << QSize(240, 80);
    QTest::newRow("tall sliver") << QSize(3, 2000) << QSize(1, 240);
    QTest::newRow("unchanged") << QSize(100, 50) << QSize(100, 50);
}

void TestPngFile::scaledReadsAgreeWithQt()
{
    QFETCH(QSize, size);
    QFETCH(QSize, scaled);
    // Smooth content: both box filters must land within a step or two of each other.
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), 128));
    const QString path = m_dir.filePath(QStringLiteral("smooth.png"));
    QFile::remove(path);
    QVERIFY(Png::write(image, path));
    const QImage ours = PngFile::readScaled(path, scaled);
    QImageReader reader(path);
    reader.setScaledSize(scaled);
    const QImage qt = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(ours.size(), scaled);
    int worst = 0;
    for (int y = 0; y < scaled.height(); ++y)
        for (int x = 0; x < scaled.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = qt.pixel(x, y);
            worst = std::max({worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                              qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))});
        }
    QVERIFY2(worst <= 3, qPrintable(QString::number(worst)));
}

QTEST_GUILESS_MAIN(TestPngFile)
#include "test_pngfile.moc"
