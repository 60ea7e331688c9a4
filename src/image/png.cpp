// SPDX-License-Identifier: MIT
#include "image/png.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QSaveFile>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace Png {

namespace {

// Rows compressed per call: small enough to stay in the cache, big enough to keep the
// compressor busy.
constexpr int bandRows = 32;
constexpr size_t chunkBytes = size_t(256) << 10;

// unpremultiplied[alpha][c]: the straight value that premultiplies back to exactly c.
const std::array<std::array<uchar, 256>, 256> &unpremultiplyTable()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<std::array<uchar, 256>, 256>>();
        for (int a = 0; a < 256; ++a)
            for (int c = 0; c < 256; ++c)
                (*t)[size_t(a)][size_t(c)] =
                    a == 0 ? 0 : uchar(std::min(255, (c * 255 + a / 2) / a));
        return t;
    }();
    return *table;
}

bool allOpaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return true;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const quint32 *>(image.constScanLine(y));
        quint32 alpha = 0xff000000u;
        for (int x = 0; x < width; ++x)
            alpha &= row[x];
        if (alpha != 0xff000000u)
            return false;
    }
    return true;
}

// Straight (unpremultiplied) 0xAARRGGBB words of a premultiplied row.
void unpremultiply(const quint32 *in, int width, quint32 *out)
{
    const auto &table = unpremultiplyTable();
    for (int x = 0; x < width; ++x) {
        const quint32 p = in[x];
        const quint32 alpha = p >> 24;
        if (alpha == 255) {
            out[x] = p;
            continue;
        }
        const auto &straight = table[alpha];
        out[x] = alpha << 24 | quint32(straight[(p >> 16) & 0xff]) << 16
            | quint32(straight[(p >> 8) & 0xff]) << 8 | straight[p & 0xff];
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels at a time; returns how many pixels it filtered. Each store writes 16 bytes, so
// the three-channel form runs 4 bytes ahead of its output (the band keeps slack for that).
template<int channels>
__attribute__((target("ssse3"))) int filterUpShuffled(const quint32 *row, const quint32 *above,
                                                      int width, uchar *out)
{
    // Little-endian 0xAARRGGBB words hold B, G, R, A; PNG wants R, G, B (, A).
    const __m128i order = channels == 3
        ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
        : _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    int x = 0;
    for (; x + 4 <= width; x += 4, out += 4 * channels) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x));
        const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i *>(above + x));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_shuffle_epi8(_mm_sub_epi8(p, q), order));
    }
    return x;
}
#endif

// One filtered PNG row: the "Up" filter byte, then each byte of the row minus the byte above
// it. Subtracting whole words byte by byte first gives the same bytes as reordering first.
template<int channels>
void filterUp(const quint32 *row, const quint32 *above, int width, uchar *out)
{
    *out++ = 2;
    int x = 0;
#if defined(__x86_64__) || defined(__i386__)
    static const bool shuffles = __builtin_cpu_supports("ssse3");
    if (shuffles) {
        x = filterUpShuffled<channels>(row, above, width, out);
        out += size_t(x) * channels;
    }
#endif
    for (; x < width; ++x, out += channels) {
        const quint32 p = row[x];
        const quint32 q = above[x];
        out[0] = uchar((p >> 16) - (q >> 16));
        out[1] = uchar((p >> 8) - (q >> 8));
        out[2] = uchar(p - q);
        if constexpr (channels == 4)
            out[3] = uchar((p >> 24) - (q >> 24));
    }
}

void putBigEndian(uchar *out, quint32 value)
{
    out[0] = uchar(value >> 24);
    out[1] = uchar(value >> 16);
    out[2] = uchar(value >> 8);
    out[3] = uchar(value);
}

class ChunkWriter
{
public:
    explicit ChunkWriter(QIODevice *device) : m_device(device) {}

    bool write(const char *type, const uchar *data, size_t length)
    {
        uchar head[8];
        putBigEndian(head, quint32(length));
        std::memcpy(head + 4, type, 4);
        quint32 crc = crc32_gzip_refl(0, head + 4, 4);
        if (length > 0)
            crc = crc32_gzip_refl(crc, data, length);
        uchar tail[4];
        putBigEndian(tail, crc);
        return put(head, 8) && (length == 0 || put(data, length)) && put(tail, 4);
    }

    bool put(const uchar *data, size_t length)
    {
        // A short write (the disk filling up) is tried again for the rest, so that the failure
        // comes with the file system's reason.
        while (length > 0) {
            const qint64 written = m_device->write(reinterpret_cast<const char *>(data), qint64(length));
            if (written <= 0)
                return false;
            data += written;
            length -= size_t(written);
        }
        return true;
    }

private:
    QIODevice *m_device;
};

// The 32-bit source the rows are read from: the image itself when its pixels are 0xAARRGGBB
// words, else a converted copy.
QImage wordImage(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
    }
}

// Writes the whole PNG stream; false when the device refuses bytes or compression fails.
bool encodeTo(const QImage &original, QIODevice *device)
{
    const QImage image = wordImage(original);
    if (image.isNull())
        return false;
    const int width = image.width();
    const int height = image.height();
    const bool opaque = image.format() == QImage::Format_RGB32 || allOpaque(image);
    const int channels = opaque ? 3 : 4;
    const bool premultiplied = !opaque && image.format() == QImage::Format_ARGB32_Premultiplied;
    const auto filter = opaque ? filterUp<3> : filterUp<4>;

    ChunkWriter writer(device);
    static const uchar signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    uchar header[13];
    putBigEndian(header, quint32(width));
    putBigEndian(header + 4, quint32(height));
    header[8] = 8;
    header[9] = opaque ? 2 : 6;
    header[10] = header[11] = header[12] = 0;
    if (!writer.put(signature, 8) || !writer.write("IHDR", header, sizeof header))
        return false;

    const size_t filteredBytes = size_t(width) * size_t(channels) + 1;
    // Straight rows of a premultiplied image alternate between two buffers; the first row is
    // filtered against a row of zeros, as PNG defines for the row above the image.
    std::vector<quint32> zeros(size_t(width), 0);
    std::vector<quint32> straight(premultiplied ? size_t(width) * 2 : 0);
    std::vector<uchar> band(filteredBytes * bandRows + 16);
    std::vector<uchar> levelBuffer(ISAL_DEF_LVL1_DEFAULT);
    std::vector<uchar> out(chunkBytes);
    size_t pending = 0;

    isal_zstream stream;
    isal_deflate_init(&stream);
    stream.level = 1;
    stream.level_buf = levelBuffer.data();
    stream.level_buf_size = quint32(levelBuffer.size());
    stream.gzip_flag = IGZIP_ZLIB;
    stream.flush = NO_FLUSH;

    for (int top = 0; top < height; top += bandRows) {
        const int rows = std::min(bandRows, height - top);
        for (int r = 0; r < rows; ++r) {
            const int y = top + r;
            const auto *row = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            const quint32 *above =
                y > 0 ? reinterpret_cast<const quint32 *>(image.constScanLine(y - 1)) : zeros.data();
            if (premultiplied) {
                quint32 *into = straight.data() + size_t(y % 2) * size_t(width);
                unpremultiply(row, width, into);
                row = into;
                above = y > 0 ? straight.data() + size_t((y + 1) % 2) * size_t(width) : zeros.data();
            }
            filter(row, above, width, band.data() + size_t(r) * filteredBytes);
        }
        stream.next_in = band.data();
        stream.avail_in = quint32(size_t(rows) * filteredBytes);
        stream.end_of_stream = top + rows >= height ? 1 : 0;
        do {
            stream.next_out = out.data() + pending;
            stream.avail_out = quint32(out.size() - pending);
            if (isal_deflate(&stream) != COMP_OK)
                return false;
            pending = out.size() - stream.avail_out;
            if (pending == out.size()) {
                if (!writer.write("IDAT", out.data(), pending))
                    return false;
                pending = 0;
            }
        } while (stream.avail_in > 0
                 || (stream.end_of_stream && stream.internal_state.state != ZSTATE_END));
    }
    if (pending > 0 && !writer.write("IDAT", out.data(), pending))
        return false;
    return writer.write("IEND", nullptr, 0);
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Png", text);
}

} // namespace

QByteArray encode(const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!encodeTo(image, &buffer))
        return {};
    buffer.close();
    return bytes;
}

bool write(const QImage &image, const QString &path, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (image.isNull())
        return fail(tr("The image is empty."));
    QSaveFile file(path);
    // Unbuffered: a write that fails (a full disk) fails at once with the file system's reason;
    // a buffered one would fail later, in the flush at commit, and its reason be lost.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    if (!encodeTo(image, &file)) {
        const QString reason = file.error() != QFileDevice::NoError
            ? file.errorString() : tr("The image could not be compressed.");
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

} // namespace Png
