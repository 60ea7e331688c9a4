// SPDX-License-Identifier: MIT
#include "image/bitmap.h"

#include <QFile>
#include <QTest>

class TestBitmap : public QObject
{
    Q_OBJECT

private slots:
    void framesAreUsableImages_data();
    void framesAreUsableImages();
    void refusesInsaneSizes_data();
    void refusesInsaneSizes();
    void copiesAreIndependent();
    void framesGiveTheirMemoryBack();
};

namespace {

// The process's mapped address space in KiB, as the kernel counts it.
qint64 virtualKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:"))
            return line.mid(7).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

void TestBitmap::framesAreUsableImages_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("small, from the heap") << QSize(33, 17) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("5K, mapped") << QSize(5120, 2880) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("odd width RGB888, mapped") << QSize(4001, 1000) << QImage::Format_RGB888;
}

void TestBitmap::framesAreUsableImages()
{
    QFETCH(QSize, size);
    QFETCH(QImage::Format, format);
    QImage frame = Bitmap::allocate(size, format);
    QVERIFY(!frame.isNull());
    QCOMPARE(frame.size(), size);
    QCOMPARE(frame.format(), format);
    QCOMPARE(frame.bytesPerLine(), QImage(QSize(size.width(), 1), format).bytesPerLine());
    frame.fill(Qt::darkCyan);
    frame.setPixelColor(size.width() - 1, size.height() - 1, Qt::yellow);
    QCOMPARE(frame.pixelColor(0, 0), QColor(Qt::darkCyan));
    QCOMPARE(frame.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::yellow));
}

void TestBitmap::refusesInsaneSizes_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("empty") << QSize(0, 10);
    QTest::newRow("negative") << QSize(-5, 10);
    QTest::newRow("too wide") << QSize(40000, 4);
    QTest::newRow("over 1 GiB") << QSize(20000, 20000);
}

void TestBitmap::refusesInsaneSizes()
{
    QFETCH(QSize, size);
    QVERIFY(Bitmap::allocate(size).isNull());
}

void TestBitmap::copiesAreIndependent()
{
    QImage frame = Bitmap::allocate({4000, 3000});
    frame.fill(Qt::red);
    QImage copy = frame;
    copy.setPixelColor(0, 0, Qt::blue);
    QCOMPARE(frame.pixelColor(0, 0), QColor(Qt::red));
    frame = QImage();
    QCOMPARE(copy.pixelColor(0, 0), QColor(Qt::blue));
    QCOMPARE(copy.pixelColor(3999, 2999), QColor(Qt::red));
}

void TestBitmap::framesGiveTheirMemoryBack()
{
    const qint64 before = virtualKiB();
    if (before < 0)
        QSKIP("needs /proc");
    for (int i = 0; i < 20; ++i) {
        QImage frame = Bitmap::allocate({4096 + i, 4096});
        QVERIFY(!frame.isNull());
        frame.setPixel(0, 0, 0xff000000u);
    }
    // Twenty 64 MiB frames, each with up to 2 MiB of alignment slack: none of it may stay.
    QVERIFY2(virtualKiB() - before < 8 * 1024,
             qPrintable(QStringLiteral("%1 KiB more mapped").arg(virtualKiB() - before)));
}

QTEST_GUILESS_MAIN(TestBitmap)
#include "test_bitmap.moc"
