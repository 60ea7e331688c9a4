// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Reading and writing the PNG files of the grab history.
namespace PngFile {

// True when the file starts with a PNG signature and header and ends with the end chunk, so a
// truncated or foreign file is never taken for a grab. Reads only the two ends of the file.
bool isComplete(const QString &path);

// Encodes the image fast and writes it whole, readable by the owner only: the file appears
// under its name only when complete, and an existing file is never replaced. Returns false and
// leaves nothing otherwise.
bool write(const QImage &image, const QString &path);

// Decodes the first image at full size as ARGB32_Premultiplied; a null image when it cannot,
// and without reading it when it is not a regular file or far larger than its image needs.
QImage read(const QString &path);

// Decodes the first image scaled down to size (no larger than the image), each pixel the mean of
// the pixels under it, without ever holding the full-size image; a null image when it cannot.
QImage readScaled(const QString &path, const QSize &size);

// The size of the file's image as its header says; invalid when it is no image.
QSize size(const QString &path);

// A read-only descriptor of the file, when it is a regular file: never through a symbolic link,
// never waiting on a FIFO; -1 otherwise.
int openRegular(const QString &path);

} // namespace PngFile
