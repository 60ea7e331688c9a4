// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// A picture where every pixel tells where it is, so a shifted, flipped or cut grab shows.
namespace TestPattern {

inline QRgb at(int x, int y, int seed = 0)
{
    return qRgb((x * 7 + seed * 40) & 0xff, (y * 5) & 0xff, ((x / 64) * 37 + (y / 48) * 91 + seed * 13) & 0xff);
}

inline QImage image(const QSize &size, int seed = 0)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            line[x] = at(x, y, seed);
    }
    return picture;
}

} // namespace TestPattern
