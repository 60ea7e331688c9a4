// SPDX-License-Identifier: MIT
// Writes pictures that look like screen grabs into a history folder, named as grabs are, oldest
// first: kiwano-make-grabs FOLDER [COUNT [WIDTHxHEIGHT]]. Used by the screenshot script, the
// benchmarks and for trying the app; without a size they come in a few sizes of their own.
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <cstdio>

#include "capture/pngfile.h"

namespace {

QImage fakeGrab(int seed, QSize size)
{
    QRandomGenerator random(quint32(seed) * 7919u + 13u);
    const QList<QSize> sizes{{1280, 800}, {960, 640}, {640, 900}, {1600, 600}, {800, 800}};
    if (size.isEmpty())
        size = sizes.at(seed % sizes.size());
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor desktop = QColor::fromHsv(int(random.bounded(360)), 90, 200);
    painter.fillRect(image.rect(), desktop);
    // A wallpaper with some grain, so that grabs weigh on disk what photographs on a desktop do.
    for (int y = 0; y < size.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(random.bounded(9)) - 4;
            const QRgb p = row[x];
            row[x] = qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                          std::clamp(qBlue(p) + grain, 0, 255));
        }
    }

    // A window or two with a title bar, lines of "text" and a coloured block.
    for (int w = 0; w < 2; ++w) {
        const QRect frame(int(size.width() * (0.05 + 0.3 * w)), int(size.height() * (0.08 + 0.2 * w)),
                          int(size.width() * 0.6), int(size.height() * 0.65));
        painter.fillRect(frame.translated(6, 6), QColor(0, 0, 0, 60));
        painter.fillRect(frame, QColor(250, 250, 248));
        painter.fillRect(QRect(frame.topLeft(), QSize(frame.width(), 28)), QColor(60, 64, 72));
        for (int dot = 0; dot < 3; ++dot)
            painter.setBrush(QColor::fromHsv(dot * 50, 200, 230)),
                painter.drawEllipse(QPoint(frame.left() + 16 + dot * 18, frame.top() + 14), 5, 5);
        painter.setPen(QColor(230, 230, 230));
        painter.drawText(frame.adjusted(80, 6, 0, 0), QStringLiteral("Window %1").arg(seed * 2 + w));
        for (int line = 0; line < 10; ++line) {
            const int y = frame.top() + 50 + line * 22;
            if (y > frame.bottom() - 20)
                break;
            const int length = int(frame.width() * (0.3 + random.bounded(0.6)));
            painter.fillRect(QRect(frame.left() + 20, y, length, 8), QColor(180, 184, 190));
        }
        const QColor block = QColor::fromHsv(int(random.bounded(360)), 160, 230);
        painter.setPen(Qt::NoPen);
        painter.setBrush(block);
        painter.drawRoundedRect(QRect(frame.right() - frame.width() / 3, frame.bottom() - frame.height() / 3,
                                      frame.width() / 4, frame.height() / 4), 10, 10);
    }
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kiwano-make-grabs FOLDER [COUNT [WIDTHxHEIGHT]]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int count = argc > 2 ? std::max(0, atoi(argv[2])) : 6;
    QSize size;
    if (argc > 3) {
        const QStringList sides = QString::fromLocal8Bit(argv[3]).split(QLatin1Char('x'));
        if (sides.size() == 2)
            size = QSize(sides.at(0).toInt(), sides.at(1).toInt());
        if (size.isEmpty() || size.width() > 16000 || size.height() > 16000) {
            std::fprintf(stderr, "not a size: %s\n", argv[3]);
            return 2;
        }
    }
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    const QDateTime start = QDateTime::currentDateTime().addSecs(-count * 60);
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("grab-%1-%2.png")
            .arg(start.addSecs(i * 60).toString(QStringLiteral("yyyyMMdd-HHmmss")),
                 QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().left(6));
        // Written as the capture tool writes grabs.
        if (!PngFile::write(fakeGrab(i, size), QDir(folder).filePath(name))) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
        // Grabs are ordered by when their files were made; keep those moments apart.
        QThread::msleep(15);
    }
    return 0;
}
