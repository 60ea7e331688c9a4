// SPDX-License-Identifier: MIT
#include "image/pixellate.h"

#include "image/bitmap.h"

#include <QColorSpace>

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct Sum {
    std::uint64_t blue = 0, green = 0, red = 0, alpha = 0;
};

// Rows summed into 16-bit column sums before they are folded into the squares: 257 × 255 is
// the most a 16-bit lane holds.
constexpr int rowsPerChunk = 256;

// Sets each 16-bit column sum to the sum of that byte over rows rows, stride bytes apart. Each
// 16-byte stripe is summed down all rows in registers before it is stored.
void sumRows(const uchar *first, qsizetype stride, int rows, qsizetype bytes, quint16 *columns)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= bytes; i += 16) {
        __m128i low = zero, high = zero;
        const uchar *p = first + i;
        for (int r = 0; r < rows; ++r, p += stride) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
            low = _mm_add_epi16(low, _mm_unpacklo_epi8(v, zero));
            high = _mm_add_epi16(high, _mm_unpackhi_epi8(v, zero));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(columns + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(columns + i + 8), high);
    }
#endif
    for (; i < bytes; ++i) {
        quint16 sum = 0;
        for (int r = 0; r < rows; ++r)
            sum += first[r * stride + i];
        columns[i] = sum;
    }
}

// Folds the column sums (blue, green, red, alpha per pixel) into the sums of the squares.
void foldColumns(const quint16 *columns, int width, int block, Sum *sums)
{
    for (int x0 = 0, column = 0; x0 < width; x0 += block, ++column) {
        const int x1 = std::min(width, x0 + block);
        quint32 blue = 0, green = 0, red = 0, alpha = 0;
        for (int x = x0; x < x1; ++x) {
            const quint16 *c = columns + size_t(x) * 4;
            blue += c[0];
            green += c[1];
            red += c[2];
            alpha += c[3];
        }
        Sum &sum = sums[column];
        sum.blue += blue;
        sum.green += green;
        sum.red += red;
        sum.alpha += alpha;
    }
}

// Copies a finished row into the frame without reading the frame's memory first: streaming
// stores skip the read that an ordinary store into untouched memory makes.
void putRow(const quint32 *pattern, int width, quint32 *out)
{
    int x = 0;
#if defined(__SSE2__)
    for (; x < width && (reinterpret_cast<std::uintptr_t>(out + x) & 15) != 0; ++x)
        out[x] = pattern[x];
    for (; x + 4 <= width; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i *>(out + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i *>(pattern + x)));
#endif
    for (; x < width; ++x)
        out[x] = pattern[x];
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
    std::vector<quint16> columnSums(static_cast<size_t>(rowBytes));
    std::vector<quint32> pattern(static_cast<size_t>(width));
    for (int bottom = height; bottom > 0; bottom -= block) {
        const int top = std::max(0, bottom - block);
        std::fill(sums.begin(), sums.end(), Sum());
        for (int chunk = top; chunk < bottom; chunk += rowsPerChunk) {
            const int rows = std::min(bottom, chunk + rowsPerChunk) - chunk;
            sumRows(source.constScanLine(chunk), source.bytesPerLine(), rows, rowBytes,
                    columnSums.data());
            foldColumns(columnSums.data(), width, block, sums.data());
        }

        for (int column = 0; column < columns; ++column) {
            const int x0 = column * block;
            const int x1 = std::min(width, x0 + block);
            const quint32 colour =
                mean(sums[size_t(column)], std::uint64_t(x1 - x0) * std::uint64_t(bottom - top));
            std::fill(pattern.begin() + x0, pattern.begin() + x1, colour);
        }
        for (int y = top; y < bottom; ++y)
            putRow(pattern.data(), width, reinterpret_cast<quint32 *>(result.scanLine(y)));
    }
#if defined(__SSE2__)
    _mm_sfence();
#endif
    return result;
}
