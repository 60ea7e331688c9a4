// SPDX-License-Identifier: MIT
#include "image/bitmap.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace Bitmap {

namespace {

constexpr qsizetype maxSide = 32768;
constexpr qsizetype maxBytes = qsizetype(1) << 30;
// Whatever the editor may make must stay flattenable.
static_assert(qsizetype(largestSide) * largestSide * 4 <= maxBytes);
// Below this the heap serves frames from memory it already holds, and huge pages buy nothing.
constexpr qsizetype mappedFrom = qsizetype(8) << 20;
constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;

struct Mapping {
    void *address;
    size_t length;
};

void unmap(void *info)
{
    auto *mapping = static_cast<Mapping *>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

// Maps length bytes starting on a huge-page boundary, so that the kernel can back the whole
// frame with 2 MiB pages; the slack before and after the aligned range goes straight back.
Mapping *mapAligned(size_t length)
{
    const size_t padded = length + hugePage;
    void *raw = mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + hugePage - 1) & ~(hugePage - 1);
    const size_t head = aligned - start;
    const size_t tail = padded - head - length;
    if (head > 0)
        munmap(raw, head);
    if (tail > 0)
        munmap(reinterpret_cast<void *>(aligned + length), tail);
    auto *address = reinterpret_cast<void *>(aligned);
    madvise(address, length, MADV_HUGEPAGE);
    auto *mapping = new (std::nothrow) Mapping{address, length};
    if (!mapping)
        munmap(address, length);
    return mapping;
}

} // namespace

QImage allocate(QSize size, QImage::Format format)
{
    if (size.isEmpty() || format == QImage::Format_Invalid || size.width() > maxSide
        || size.height() > maxSide)
        return {};
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qsizetype bytesPerLine = ((qsizetype(size.width()) * depth + 31) >> 5) << 2;
    const qsizetype bytes = bytesPerLine * size.height();
    if (bytes > maxBytes)
        return {};
    if (bytes < mappedFrom) {
        QImage image(size, format);
        return image.isNull() ? QImage() : image;
    }
    Mapping *mapping = mapAligned(size_t(bytes));
    if (!mapping)
        return {};
    QImage image(static_cast<uchar *>(mapping->address), size.width(), size.height(), bytesPerLine,
                 format, unmap, mapping);
    if (image.isNull())
        unmap(mapping);
    return image;
}

} // namespace Bitmap
