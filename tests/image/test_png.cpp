// SPDX-License-Identifier: MIT
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

// Varied alpha (0, 1, mid, 254, 255), premultiplied values that round, rows the "Up" filter works on.
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

} // namespace

class TestPng : public QObject
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
        const auto contents = [&path] { return TestFiles::read(path); };
        const QByteArray oldBytes = contents();
        verifyDecodesTo(oldBytes, second);

        const QByteArray folderPath = QFile::encodeName(folder.path());
        QVERIFY(chmod(folderPath.constData(), 0555) == 0);
        const auto failsWithReason = [&] {
            QString reason;
            return !Png::write(pattern({20, 20}, QImage::Format_ARGB32), path, &reason) && !reason.isEmpty();
        };
        bool failed = false;
        if (geteuid() != 0) {
            failed = failsWithReason();
        } else {
            // Root writes anywhere: let an unprivileged child try instead.
            const pid_t child = fork();
            if (child == 0)
                _exit(setgid(65534) == 0 && setuid(65534) == 0 && failsWithReason() ? 0 : 1);
            int status = -1;
            QVERIFY(child > 0 && waitpid(child, &status, 0) == child);
            failed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        chmod(folderPath.constData(), 0755);
        QVERIFY2(failed, "writing into a read-only folder must fail and say why");
        QCOMPARE(contents(), oldBytes);
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
};

KIWANO_TEST_GUILESS_MAIN(TestPng)
#include "test_png.moc"
