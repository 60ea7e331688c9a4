// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QStringList>

#include <functional>

class QClipboard;
class QMimeData;
class QObject;

// Turns foreign images, from the clipboard, a drop, "Open Image..." or the command line, into
// premultiplied ARGB32 images, turned upright as their EXIF orientation says. Images up to
// Bitmap::largestSide a side are decoded; a file that claims more is refused before anything is
// allocated for it.
namespace ImageImport {

// Lets Qt's image readers allocate what an image of Bitmap::largestSide squared needs. The limit
// is the process's: set it once at start, before any image is read.
void allowLargestImages();

// The MIME types a drop target accepts: file locations first, then image data.
QStringList dropTypes();

// The image the clipboard holds: its first image file, else its image data; a null image when
// there is neither.
QImage fromClipboard(const QClipboard *clipboard);
// The same rule over mime data that the caller already holds.
QImage fromClipboard(const QMimeData *mime);

// Starts decoding the first usable item of a drop off the main thread and returns true, or
// returns false when the drop offers nothing usable. The first file location wins over image
// data; only one image is ever delivered. completion runs later on context's thread, at most
// once, and not at all when decoding fails or context is gone by then. Imports, whichever way
// they come, are delivered in the order they were asked for.
bool load(const QMimeData *mime, QObject *context, std::function<void(QImage)> completion);
// Decodes the files one after another off the main thread and hands each image to completion on
// context's thread, in the files' order; files that cannot be decoded are skipped. Nothing more
// is delivered once context is gone.
void loadFiles(const QStringList &paths, QObject *context, std::function<void(QImage)> completion);

// Decodes image bytes or a file; a null image when the decoder refuses them.
QImage decode(const QByteArray &bytes);
QImage decodeFile(const QString &path);

} // namespace ImageImport
