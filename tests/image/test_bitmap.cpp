// SPDX-License-Identifier: MIT
#include "image/bitmap.h"

#include <QFile>
#include <QTest>

class TestBitmap : public QObject
{
    Q_OBJECT

private slots:
    void framesAreUsableImages();
    void refusesInsaneSizes();
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

void TestBitmap::framesAreUsableImages()
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
}

void TestBitmap::refusesInsaneSizes()
{
    for (QSize size : {QSize(0, 10), QSize(-5, 10), QSize(40000, 4), QSize(20000, 20000)})
        QVERIFY(Bitmap::allocate(size).isNull());
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
