// SPDX-License-Identifier: MIT
// Saving a PNG onto a disk that is full, or fills while the file is written: the reason given is
// the file system's, and nothing is left behind.
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "image/png.h"
#include "support/smalldisk.h"

#include <cerrno>
#include <cstring>

class TestPngFullDisk : public QObject
{
    Q_OBJECT

    static QImage noise(int side)
    {
        QImage image(side, side, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < side; ++y)
            random.fillRange(reinterpret_cast<quint32 *>(image.scanLine(y)), side);
        return image;
    }

private slots:
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
        QVERIFY(!Png::write(noise(side), path, &reason));
        QCOMPARE(reason, QString::fromLocal8Bit(strerror(ENOSPC)));
        QCOMPARE(QDir(root.filePath("disk")).entryList(QDir::Files | QDir::Hidden), QStringList({".filler-bytes"}));
    }
};

KIWANO_TEST_GUILESS_MAIN(TestPngFullDisk)
#include "test_pngfulldisk.moc"
