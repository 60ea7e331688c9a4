// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QStringList>

#include <functional>

class QClipboard;
class QMimeData;
class QObject;

// Turns foreign images, from the clipboard or from a drop, into premultiplied ARGB32 images.
// Images up to Bitmap::largestSide a side are decoded; a file that claims more is refused before
// anything is allocated for it.
namespace ImageImport {

// The MIME types a drop target accepts: file locations first, then image data.
QStringList dropTypes();

// The image the clipboard holds: its first image file, else its image data; a null image when
// there is neither.
QImage fromPasteboard(const QClipboard *clipboard);
// The same rule over mime data that the caller already holds.
QImage fromPasteboard(const QMimeData *mime);

// Starts decoding the first usable item of a drop off the main thread and returns true, or
// returns false when the drop offers nothing usable. The first file location wins over image
// data; only one image is ever delivered. completion runs later on context's thread, at most
// once, and not at all when decoding fails or context is gone by then.
bool load(const QMimeData *mime, QObject *context, std::function<void(QImage)> completion);

// Decodes image bytes or a file; a null image when the decoder refuses them.
QImage decode(const QByteArray &bytes);
QImage decodeFile(const QString &path);

} // namespace ImageImport
