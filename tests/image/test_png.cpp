// SPDX-License-Identifier: MIT
#include "image/png.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class TestPng : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void opaqueImagesAreWrittenAsRgb();
    void unpremultipliesEveryAlphaExactly();
    void emptyImageGivesNothing();
    void writeReplacesTheWholeFile();
    void writeFailsWithAReason_data();
    void writeFailsWithAReason();
    void readOnlyFolderKeepsTheOldFile();
    void encodesFromSeveralThreads();
};

namespace {

// Pixels of every kind a PNG writer gets wrong: varied alpha (0, 1, mid, 254, 255), colours
// whose premultiplied values round, and a vertical pattern the "Up" filter works on.
QImage pattern(QSize size, QImage::Format format)
{
    QImage image(size, QImage::Format_ARGB32);
    const bool opaque = format == QImage::Format_RGB32;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const int alphaSteps[] = {0, 1, 37, 128, 200, 254, 255};
            const int alpha = opaque ? 255 : alphaSteps[(x + 3 * y) % 7];
            image.setPixel(x, y, qRgba((x * 37 + y) % 256, (y * 11) % 256, (x ^ y) % 256, alpha));
        }
    return image.convertToFormat(format);
}

QImage readBack(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

// Compares what Qt decodes with what was given, both in the format of the original.
void verifySamePixels(const QImage &decoded, const QImage &original)
{
    QVERIFY(!decoded.isNull());
    QCOMPARE(decoded.size(), original.size());
    const QImage converted = decoded.convertToFormat(original.format());
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            if (converted.pixel(x, y) != original.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 instead of %4")
                                     .arg(x).arg(y)
                                     .arg(converted.pixel(x, y), 8, 16)
                                     .arg(original.pixel(x, y), 8, 16)));
}

} // namespace

void TestPng::roundTrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("1x1 premultiplied") << QSize(1, 1) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("1x1 opaque") << QSize(1, 1) << QImage::Format_RGB32;
    QTest::newRow("odd width premultiplied") << QSize(37, 9) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("odd width straight") << QSize(53, 7) << QImage::Format_ARGB32;
    QTest::newRow("odd width opaque") << QSize(41, 5) << QImage::Format_RGB32;
    QTest::newRow("taller than a band") << QSize(19, 101) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("taller than a band, opaque") << QSize(64, 97) << QImage::Format_RGB32;
    QTest::newRow("grayscale") << QSize(13, 40) << QImage::Format_Grayscale8;
    QTest::newRow("RGBA8888") << QSize(22, 33) << QImage::Format_RGBA8888;
    QTest::newRow("big enough for several chunks") << QSize(700, 500) << QImage::Format_ARGB32;
}

void TestPng::roundTrip()
{
    QFETCH(QSize, size);
    QFETCH(QImage::Format, format);
    QImage original = pattern(size, format);
    if (size.width() >= 700) {
        // Incompressible noise makes the compressed stream span more than one IDAT chunk.
        quint32 state = 12345;
        for (int y = 0; y < original.height(); ++y) {
            auto *row = reinterpret_cast<quint32 *>(original.scanLine(y));
            for (int x = 0; x < original.width(); ++x)
                row[x] = (state = state * 1664525u + 1013904223u);
        }
    }
    const QByteArray bytes = Png::encode(original);
    QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
    verifySamePixels(readBack(bytes), original);
}

void TestPng::opaqueImagesAreWrittenAsRgb()
{
    // Colour type byte of IHDR: 2 is RGB, 6 is RGBA.
    const int colourType = 8 + 8 + 9;
    const QImage opaquePremultiplied =
        pattern({20, 20}, QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(int(Png::encode(opaquePremultiplied).at(colourType)), 2);
    QImage translucent = opaquePremultiplied;
    translucent.setPixel(19, 19, qRgba(0, 0, 0, 0));
    QCOMPARE(int(Png::encode(translucent).at(colourType)), 6);
    QVERIFY(readBack(Png::encode(translucent)).hasAlphaChannel());
}

void TestPng::unpremultipliesEveryAlphaExactly()
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
    verifySamePixels(readBack(Png::encode(image)), image);
}

void TestPng::emptyImageGivesNothing()
{
    QVERIFY(Png::encode(QImage()).isEmpty());
    QTemporaryDir folder;
    QString error;
    QVERIFY(!Png::write(QImage(), folder.filePath(QStringLiteral("x.png")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("x.png"))));
}

void TestPng::writeReplacesTheWholeFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("grab.png"));
    const QImage first = pattern({30, 30}, QImage::Format_ARGB32);
    const QImage second = pattern({80, 45}, QImage::Format_RGB32);
    QString error;
    QVERIFY(Png::write(first, path, &error));
    QVERIFY(Png::write(second, path, &error));
    QVERIFY(error.isEmpty());
    verifySamePixels(QImage(path), second);
    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"grab.png"});
}

void TestPng::writeFailsWithAReason_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("folder missing") << QStringLiteral("missing/grab.png");
    QTest::newRow("parent is a file") << QStringLiteral("plain/grab.png");
    QTest::newRow("target is a folder") << QStringLiteral("folder");
}

void TestPng::writeFailsWithAReason()
{
    QFETCH(QString, relativePath);
    QTemporaryDir folder;
    QFile plain(folder.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
    QString error;
    QVERIFY(!Png::write(pattern({8, 8}, QImage::Format_RGB32), folder.filePath(relativePath), &error));
    QVERIFY2(!error.isEmpty(), "a failure must say why");
}

void TestPng::readOnlyFolderKeepsTheOldFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("grab.png"));
    QVERIFY(Png::write(pattern({16, 16}, QImage::Format_RGB32), path));
    QFile before(path);
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = before.readAll();
    before.close();

    const QByteArray folderPath = QFile::encodeName(folder.path());
    QVERIFY(chmod(folderPath.constData(), 0555) == 0);
    const QImage replacement = pattern({20, 20}, QImage::Format_ARGB32);
    bool failedWithReason = false;
    if (geteuid() != 0) {
        QString error;
        failedWithReason = !Png::write(replacement, path, &error) && !error.isEmpty();
    } else {
        // Root writes anywhere: let an unprivileged child try instead.
        const pid_t child = fork();
        if (child == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(3);
            QString error;
            _exit(!Png::write(replacement, path, &error) && !error.isEmpty() ? 0 : 1);
        }
        int status = -1;
        QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
        failedWithReason = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    chmod(folderPath.constData(), 0755);
    QVERIFY2(failedWithReason, "writing into a read-only folder must fail and say why");
    QFile after(path);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), oldBytes);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"grab.png"});
}

void TestPng::encodesFromSeveralThreads()
{
    const QImage image = pattern({300, 200}, QImage::Format_ARGB32_Premultiplied);
    const QByteArray expected = Png::encode(image);
    QList<QByteArray> results(4);
    QList<QThread *> threads;
    for (int i = 0; i < 4; ++i)
        threads.append(QThread::create([&, i] { results[i] = Png::encode(image); }));
    for (QThread *thread : threads)
        thread->start();
    for (QThread *thread : threads) {
        thread->wait();
        delete thread;
    }
    for (const QByteArray &result : results)
        QCOMPARE(result, expected);
}

QTEST_GUILESS_MAIN(TestPng)
#include "test_png.moc"
