// SPDX-License-Identifier: MIT
#include "platform/wayland/shmimage.h"

#include <QTransform>

#include <wayland-client-protocol.h>

namespace ShmImage {

bool isSupported(quint32 format)
{
    switch (format) {
    case WL_SHM_FORMAT_XRGB8888:
    case WL_SHM_FORMAT_ARGB8888:
    case WL_SHM_FORMAT_XBGR8888:
    case WL_SHM_FORMAT_ABGR8888:
        return true;
    default:
        return false;
    }
}

QImage fromPixels(const uchar *pixels, quint32 format, int width, int height, int stride, bool yInvert)
{
    if (!pixels || !isSupported(format) || width <= 0 || height <= 0 || stride < width * 4)
        return {};
    // wl_shm formats name a little-endian 32-bit word: XRGB8888 lies in memory as B, G, R, X,
    // which is Qt's RGB32 on a little-endian machine; XBGR8888 lies as R, G, B, X everywhere.
    const bool redFirst = format == WL_SHM_FORMAT_XBGR8888 || format == WL_SHM_FORMAT_ABGR8888;
    const bool nativeBgrx = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
    const QImage::Format wrapped = redFirst || !nativeBgrx ? QImage::Format_RGBX8888 : QImage::Format_RGB32;
    const QImage view(pixels, width, height, stride, wrapped);
    QImage image = wrapped == QImage::Format_RGB32 ? view.copy() : view.convertToFormat(QImage::Format_RGB32);
    if (!redFirst && !nativeBgrx)
        image = std::move(image).rgbSwapped();
    // Screens are opaque, whatever the alpha byte of an ARGB buffer says.
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] |= 0xff000000u;
    }
    if (yInvert)
        image = std::move(image).mirrored(false, true);
    return image;
}

QImage upright(const QImage &image, int transform)
{
    if (transform <= WL_OUTPUT_TRANSFORM_NORMAL || transform > WL_OUTPUT_TRANSFORM_FLIPPED_270)
        return image;
    // Turned back first, then the flipped ones mirrored left to right.
    const int quarters = transform % 4;
    const QImage turned = quarters == 0 ? image : image.transformed(QTransform().rotate(90 * quarters));
    return transform >= WL_OUTPUT_TRANSFORM_FLIPPED ? turned.mirrored(true, false) : turned;
}

} // namespace ShmImage
