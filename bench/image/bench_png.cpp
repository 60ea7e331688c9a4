// SPDX-License-Identifier: MIT
// PNG encoding against Qt's default writer, and big-frame allocation against plain QImage.
#include "image/bitmap.h"
#include "image/png.h"
#include "screenshot.h"
#include "timing.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <cstring>

namespace {

QByteArray qtDefault(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.write(image);
    return bytes;
}

// translucent: a window-shaped grab with see-through corners and a shadow, written as RGBA.
void comparePng(QSize size, int runs, bool translucent = false)
{
    QImage image = BenchImage::screenshot(size);
    if (translucent) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.fillRect(QRect(0, 0, size.width(), size.height() / 8), QColor(0, 0, 0, 90));
        painter.fillRect(QRect(0, size.height() - 40, size.width(), 40), Qt::transparent);
    }
    std::printf("PNG of a %dx%d screenshot (premultiplied ARGB32, %s)\n", size.width(),
                size.height(), translucent ? "translucent parts" : "opaque");
    QByteArray qt, ours;
    const double qtMs = medianMs(runs, [&] { qt = qtDefault(image); });
    const QImage rgb32 = image.convertToFormat(QImage::Format_RGB32);
    QByteArray qtRgb;
    const double qtRgbMs = medianMs(runs, [&] { qtRgb = qtDefault(rgb32); });
    const double oursMs = medianMs(runs * 3, [&] { ours = Png::encode(image); });
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("bench.png"));
    const double writeMs = medianMs(runs * 3, [&] { Png::write(image, path); });

    printRow("Qt QImageWriter default", qtMs);
    printRow("Qt QImageWriter default from RGB32", qtRgbMs);
    printRow("Png::encode", oursMs);
    printRow("Png::write (atomic file, synced)", writeMs);
    std::printf("  sizes: Qt %.2f MB, Qt RGB32 %.2f MB, ours %.2f MB\n", qt.size() / 1e6,
                qtRgb.size() / 1e6, ours.size() / 1e6);
    printRatio("speed-up Png::encode vs Qt default", qtMs / oursMs, "goal >= 3");
    printRatio("size Png::encode / Qt default", double(ours.size()) / qt.size(), "goal <= 1.25");
    const QImage back = QImage::fromData(ours).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    std::printf("  lossless: %s\n\n", back == image ? "yes" : "NO");
}

void compareAllocation(QSize size, int runs)
{
    std::printf("A %dx%d frame, allocated and every pixel written once\n", size.width(),
                size.height());
    const double plain = medianMs(runs, [&] {
        QImage frame(size, QImage::Format_ARGB32_Premultiplied);
        frame.fill(0);
    });
    const double mapped = medianMs(runs, [&] {
        QImage frame = Bitmap::allocate(size);
        frame.fill(0);
    });
    QImage warm(size, QImage::Format_ARGB32_Premultiplied);
    warm.fill(1);
    const double reused = medianMs(runs, [&] { warm.fill(0); });
    printRow("plain QImage (heap)", plain);
    printRow("Bitmap::allocate (huge pages)", mapped);
    printRow("reused, already touched frame", reused);
    printRatio("plain / Bitmap::allocate", plain / mapped, "higher is better");
    printRatio("Bitmap::allocate / reused", mapped / reused, "floor is 1");
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    compareAllocation(QSize(5120, 2880), 9);
    comparePng(QSize(5120, 2880), 3);
    comparePng(QSize(1920, 1080), 5);
    comparePng(QSize(1920, 1080), 5, true);
    return 0;
}
