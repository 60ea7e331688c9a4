// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// Pictures the compositor copies into shared memory, in its wl_shm pixel formats.
namespace ShmImage {

// Whether fromPixels() reads this wl_shm format (the 32-bit RGB ones in either byte order).
bool isSupported(quint32 format);

// An opaque Format_RGB32 copy of the pixels, upright; a null image when the format is not
// supported or the size and stride do not fit. yInvert says the rows arrive bottom row first.
QImage fromPixels(const uchar *pixels, quint32 format, int width, int height, int stride,
                  bool yInvert);

// The picture as the user sees it on an output turned by this wl_output_transform: the copy
// comes in the output's own orientation.
QImage upright(const QImage &image, int transform);

} // namespace ShmImage
