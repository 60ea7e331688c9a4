// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

// The PNG codec: a fast lossless writer for screenshots (8-bit RGB when every pixel is opaque,
// else 8-bit RGBA, premultiplied pixels unpremultiplied) and a decoder with a fast path for the
// plain PNGs grabs are. Safe to use from several threads at once.
namespace Png {

// The PNG file of image; empty when the image is null.
QByteArray encode(const QImage &image);
// Writes the PNG of image to path atomically: the file holds either its old content or the whole
// new image. False with a readable reason in error when it cannot.
bool write(const QImage &image, const QString &path, QString *error = nullptr);

// The image of a PNG held in memory, as ARGB32_Premultiplied: 8-bit RGB and RGBA without
// interlace through the fast path, every other PNG through Qt's reader. Null when it cannot.
QImage decode(const QByteArray &bytes);
// The same scaled down to size (no larger than the image), each pixel the mean of the pixels
// under it, without ever holding the full-size image; null when it cannot.
QImage decodeScaled(const QByteArray &bytes, const QSize &size);

} // namespace Png
