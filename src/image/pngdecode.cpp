// SPDX-License-Identifier: MIT
// Decoding PNGs held in memory. Grabs are plain 8-bit RGB or RGBA PNGs; for those, ISA-L's inflate
// and a row loop writing straight into a huge-page frame take a fraction of Qt's time. Every other
// PNG goes through Qt's reader.
#include "image/png.h"

#include "image/bitmap.h"

#include <QBuffer>
#include <QImageReader>

#include <isa-l/igzip_lib.h>

#include <cstring>
#include <vector>

namespace Png {

namespace {

quint32 bigEndian32(const uchar *p)
{
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

struct Layout
{
    int width = 0;
    int height = 0;
    int channels = 0; // 3 for RGB, 4 for RGBA
    std::vector<std::pair<const uchar *, size_t>> data; // the IDAT payloads in order
};

// The layout of a file the fast path reads: IHDR, IDAT and IEND only, 8-bit RGB(A), no
// interlace. Anything else (palettes, colour profiles, gamma, transparency keys) is left to Qt,
// which knows their meaning.
bool parse(const uchar *file, size_t size, Layout &layout)
{
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < 8 || std::memcmp(file, signature, 8) != 0)
        return false;
    size_t at = 8;
    bool header = false;
    while (at + 12 <= size) {
        const quint32 length = bigEndian32(file + at);
        const uchar *type = file + at + 4;
        const uchar *body = file + at + 8;
        if (length > size - at - 12)
            return false;
        if (std::memcmp(type, "IHDR", 4) == 0) {
            if (header || length != 13)
                return false;
            layout.width = int(bigEndian32(body));
            layout.height = int(bigEndian32(body + 4));
            const int depth = body[8], colour = body[9];
            if (layout.width <= 0 || layout.height <= 0 || depth != 8 || body[10] != 0
                || body[11] != 0 || body[12] != 0 || (colour != 2 && colour != 6))
                return false;
            layout.channels = colour == 2 ? 3 : 4;
            header = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            if (!header)
                return false;
            layout.data.emplace_back(body, length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            return header && !layout.data.empty();
        } else {
            return false;
        }
        at += 12 + length;
    }
    return false;
}

inline uchar paeth(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return uchar(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the row's filter in place; prior is the previous row, already unfiltered.
bool unfilter(uchar filter, uchar *row, const uchar *prior, size_t length, int bpp)
{
    switch (filter) {
    case 0:
        return true;
    case 1:
        for (size_t i = bpp; i < length; ++i)
            row[i] = uchar(row[i] + row[i - bpp]);
        return true;
    case 2:
        for (size_t i = 0; i < length; ++i)
            row[i] = uchar(row[i] + prior[i]);
        return true;
    case 3:
        for (int i = 0; i < bpp; ++i)
            row[i] = uchar(row[i] + (prior[i] >> 1));
        for (size_t i = bpp; i < length; ++i)
            row[i] = uchar(row[i] + ((row[i - bpp] + prior[i]) >> 1));
        return true;
    case 4:
        for (int i = 0; i < bpp; ++i)
            row[i] = uchar(row[i] + prior[i]);
        for (size_t i = bpp; i < length; ++i)
            row[i] = uchar(row[i] + paeth(row[i - bpp], prior[i], prior[i - bpp]));
        return true;
    default:
        return false;
    }
}

void convert(const uchar *row, int width, int channels, quint32 *out)
{
    if (channels == 3) {
        for (int x = 0; x < width; ++x, row += 3)
            out[x] = 0xff000000u | quint32(row[0]) << 16 | quint32(row[1]) << 8 | row[2];
        return;
    }
    for (int x = 0; x < width; ++x, row += 4) {
        const quint32 argb = quint32(row[3]) << 24 | quint32(row[0]) << 16
            | quint32(row[1]) << 8 | row[2];
        out[x] = row[3] == 255 ? argb : qPremultiply(argb);
    }
}

// Inflates and unfilters the rows in order, handing each to sink(y, row) as 0xAARRGGBB
// premultiplied words; false when the data is damaged or short.
template<typename Sink>
bool readRows(const Layout &layout, Sink sink)
{
    const size_t length = size_t(layout.width) * layout.channels;
    const size_t stride = length + 1;
    const size_t bandRows = std::max<size_t>(1, (size_t(256) << 10) / stride);
    std::vector<uchar> band(stride * bandRows);
    std::vector<uchar> prior(length, 0);

    inflate_state state;
    isal_inflate_init(&state);
    state.crc_flag = ISAL_ZLIB;
    size_t filled = 0;
    int y = 0;
    for (const auto &[data, size] : layout.data) {
        state.next_in = const_cast<uchar *>(data);
        state.avail_in = uint32_t(size);
        do {
            state.next_out = band.data() + filled;
            state.avail_out = uint32_t(band.size() - filled);
            if (isal_inflate(&state) != ISAL_DECOMP_OK)
                return false;
            filled = band.size() - state.avail_out;
            const size_t rows = filled / stride;
            for (size_t r = 0; r < rows; ++r) {
                if (y >= layout.height)
                    return false;
                uchar *row = band.data() + r * stride;
                const uchar *above = r == 0 ? prior.data() : row - stride + 1;
                if (!unfilter(row[0], row + 1, above, length, layout.channels))
                    return false;
                sink(y++, row + 1);
            }
            if (rows > 0) {
                std::memcpy(prior.data(), band.data() + (rows - 1) * stride + 1, length);
                std::memmove(band.data(), band.data() + rows * stride, filled - rows * stride);
                filled -= rows * stride;
            }
        } while ((state.avail_in > 0 || state.avail_out == 0) && state.block_state != ISAL_BLOCK_FINISH);
        if (state.block_state == ISAL_BLOCK_FINISH)
            break;
    }
    return y == layout.height;
}

QImage decodeLayout(const Layout &layout)
{
    QImage image = Bitmap::allocate(QSize(layout.width, layout.height),
                                     QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    const bool ok = readRows(layout, [&](int y, const uchar *row) {
        convert(row, layout.width, layout.channels, reinterpret_cast<quint32 *>(image.scanLine(y)));
    });
    return ok ? image : QImage();
}

// Each target pixel is the mean of the source pixels that fall on it, summed while the rows
// stream past: the full-size image never exists.
QImage decodeScaledLayout(const Layout &layout, const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    // Source columns [runEnd[x - 1], runEnd[x]) fall on target column x.
    std::vector<int> runEnd(size_t(size.width()));
    for (int x = 0; x < size.width(); ++x)
        runEnd[size_t(x)] = int((qint64(x + 1) * layout.width + size.width() - 1) / size.width());
    std::vector<quint32> pixels(size_t(layout.width));
    std::vector<quint32> sums(size_t(size.width()) * 4, 0);
    int target = 0;
    int rowsSummed = 0;
    const auto flush = [&] {
        auto *out = reinterpret_cast<quint32 *>(image.scanLine(target));
        int start = 0;
        for (int x = 0; x < size.width(); ++x) {
            const quint32 n = quint32(runEnd[size_t(x)] - start) * quint32(rowsSummed);
            start = runEnd[size_t(x)];
            const quint32 *sum = &sums[size_t(x) * 4];
            const auto mean = [&](int i) { return n ? (sum[i] + n / 2) / n : 0u; };
            out[x] = mean(0) << 24 | mean(1) << 16 | mean(2) << 8 | mean(3);
        }
        std::fill(sums.begin(), sums.end(), 0);
        rowsSummed = 0;
    };
    const bool ok = readRows(layout, [&](int y, const uchar *row) {
        const int into = int(qint64(y) * size.height() / layout.height);
        if (into != target) {
            flush();
            target = into;
        }
        int from = 0;
        if (layout.channels == 3) {
            for (int x = 0; x < size.width(); ++x) {
                const int to = runEnd[size_t(x)];
                quint32 r = 0, g = 0, b = 0;
                for (const uchar *p = row + from * 3; p < row + to * 3; p += 3) {
                    r += p[0];
                    g += p[1];
                    b += p[2];
                }
                quint32 *sum = &sums[size_t(x) * 4];
                sum[0] += 255u * quint32(to - from);
                sum[1] += r;
                sum[2] += g;
                sum[3] += b;
                from = to;
            }
        } else {
            // Means of premultiplied values, so transparent pixels add no colour.
            convert(row, layout.width, 4, pixels.data());
            for (int x = 0; x < size.width(); ++x) {
                const int to = runEnd[size_t(x)];
                quint32 a = 0, r = 0, g = 0, b = 0;
                for (int i = from; i < to; ++i) {
                    const quint32 p = pixels[size_t(i)];
                    a += p >> 24;
                    r += (p >> 16) & 0xff;
                    g += (p >> 8) & 0xff;
                    b += p & 0xff;
                }
                quint32 *sum = &sums[size_t(x) * 4];
                sum[0] += a;
                sum[1] += r;
                sum[2] += g;
                sum[3] += b;
                from = to;
            }
        }
        ++rowsSummed;
    });
    if (!ok)
        return {};
    flush();
    return image;
}

QImage readWithQt(const QByteArray &bytes, const QSize &scaledSize)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    if (scaledSize.isValid())
        reader.setScaledSize(scaledSize);
    QImage image = reader.read();
    if (!image.isNull())
        image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

} // namespace

QImage decode(const QByteArray &bytes)
{
    Layout layout;
    if (parse(reinterpret_cast<const uchar *>(bytes.constData()), size_t(bytes.size()), layout))
        return decodeLayout(layout);
    return readWithQt(bytes, QSize());
}

QImage decodeScaled(const QByteArray &bytes, const QSize &size)
{
    if (size.isEmpty())
        return {};
    Layout layout;
    if (parse(reinterpret_cast<const uchar *>(bytes.constData()), size_t(bytes.size()), layout)) {
        if (size.width() > layout.width || size.height() > layout.height)
            return {};
        return decodeScaledLayout(layout, size);
    }
    return readWithQt(bytes, size);
}

} // namespace Png
