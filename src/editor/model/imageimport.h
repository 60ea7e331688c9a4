// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QStringList>

#include <functional>

class QClipboard;
class QMimeData;
class QObject;

// Turns foreign images, from the clipboard or from a drop, into premultiplied ARGB32 images.
// Decoding keeps Qt's image allocation limit, so a file that claims a gigantic size is refused
// instead of exhausting memory.
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
