// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A fast lossless PNG writer for screenshots: 8-bit RGB when every pixel is opaque, else 8-bit
// RGBA (premultiplied pixels are unpremultiplied). Safe to use from several threads at once.
namespace Png {

// The PNG file of image; empty when the image is null.
QByteArray encode(const QImage &image);
// Writes the PNG of image to path atomically: the file holds either its old content or the whole
// new image. False with a readable reason in error when it cannot.
bool write(const QImage &image, const QString &path, QString *error = nullptr);

} // namespace Png
