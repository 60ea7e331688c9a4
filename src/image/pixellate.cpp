// SPDX-License-Identifier: MIT
#include "image/pixellate.h"

#include "image/bitmap.h"

#include <QColorSpace>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Sum {
    std::uint64_t blue = 0, green = 0, red = 0, alpha = 0;
};

// Adds one row's pixels to the sums of the squares they belong to. Two channels share a 32-bit
// accumulator (16 bits each), which holds 256 pixels of 255 before a lane could carry over.
void accumulateRow(const quint32 *row, int width, int block, Sum *sums)
{
    for (int x0 = 0, column = 0; x0 < width; x0 += block, ++column) {
        const int x1 = std::min(width, x0 + block);
        Sum &sum = sums[column];
        for (int start = x0; start < x1; start += 256) {
            const int end = std::min(x1, start + 256);
            quint32 blueRed = 0, greenAlpha = 0;
            for (int x = start; x < end; ++x) {
                const quint32 p = row[x];
                blueRed += p & 0x00ff00ffu;
                greenAlpha += (p >> 8) & 0x00ff00ffu;
            }
            sum.blue += blueRed & 0xffffu;
            sum.red += blueRed >> 16;
            sum.green += greenAlpha & 0xffffu;
            sum.alpha += greenAlpha >> 16;
        }
    }
}

quint32 mean(const Sum &sum, std::uint64_t count)
{
    const auto channel = [count](std::uint64_t total) {
        return quint32((total + count / 2) / count);
    };
    return channel(sum.alpha) << 24 | channel(sum.red) << 16 | channel(sum.green) << 8
        | channel(sum.blue);
}

} // namespace

QImage pixellate(const QImage &base, int block)
{
    if (base.isNull() || block < 1)
        return {};
    QImage source = base;
    // Opaque RGB32 pixels are already valid premultiplied ARGB32, so they are read as they are.
    if (source.format() != QImage::Format_ARGB32_Premultiplied
        && source.format() != QImage::Format_RGB32)
        source = base.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (source.isNull())
        return {};
    const int width = source.width();
    const int height = source.height();
    block = std::min(block, std::max(width, height));

    QImage result = Bitmap::allocate(source.size(), QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return {};
    result.setColorSpace(base.colorSpace());

    const int columns = (width + block - 1) / block;
    std::vector<Sum> sums(static_cast<size_t>(columns));
    const qsizetype rowBytes = qsizetype(width) * 4;
    for (int bottom = height; bottom > 0; bottom -= block) {
        const int top = std::max(0, bottom - block);
        std::fill(sums.begin(), sums.end(), Sum());
        for (int y = top; y < bottom; ++y)
            accumulateRow(reinterpret_cast<const quint32 *>(source.constScanLine(y)), width, block,
                          sums.data());

        auto *first = reinterpret_cast<quint32 *>(result.scanLine(top));
        for (int column = 0; column < columns; ++column) {
            const int x0 = column * block;
            const int x1 = std::min(width, x0 + block);
            const quint32 colour =
                mean(sums[size_t(column)], std::uint64_t(x1 - x0) * std::uint64_t(bottom - top));
            std::fill(first + x0, first + x1, colour);
        }
        for (int y = top + 1; y < bottom; ++y)
            std::memcpy(result.scanLine(y), first, size_t(rowBytes));
    }
    return result;
}
