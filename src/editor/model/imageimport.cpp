// SPDX-License-Identifier: MIT
#include "editor/model/imageimport.h"

#include "image/bitmap.h"

#include <QBuffer>
#include <QClipboard>
#include <QFuture>
#include <QImageReader>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPointer>
#include <QUrl>
#include <QThreadPool>
#include <QtConcurrent>

namespace {

// A frame of the largest side squared, in 32-bit pixels, with room to spare: 977 MiB.
constexpr int allocationLimitMB = 1024;
static_assert(qint64(Bitmap::largestSide) * Bitmap::largestSide * 4 <= qint64(allocationLimitMB) << 20);

QImage readImage(QImageReader &reader)
{
    reader.setAutoTransform(true);
    // Anything the editor can flatten is welcome (allowLargestImages lets the reader allocate
    // it); a claimed size beyond that is refused before a byte of it is allocated.
    const QSize claimed = reader.size();
    if (claimed.width() > Bitmap::largestSide || claimed.height() > Bitmap::largestSide)
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool isImageFile(const QString &path)
{
    static const QMimeDatabase database;
    return database.mimeTypeForFile(path).name().startsWith(QLatin1String("image/"));
}

// The first local file among the dropped or copied URLs, or the first that is an image.
QString firstLocalFile(const QMimeData *mime, bool imagesOnly = false)
{
    if (!mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && (!imagesOnly || isImageFile(url.toLocalFile())))
            return url.toLocalFile();
    }
    return {};
}

// The encoded bytes of the first image type offered, read on the caller's thread because
// QMimeData of a foreign drop or the clipboard must not be touched elsewhere.
QByteArray firstImageBytes(const QMimeData *mime)
{
    const QStringList formats = mime->formats();
    for (const QString &format : formats) {
        if (format.startsWith(QLatin1String("image/"))) {
            const QByteArray bytes = mime->data(format);
            if (!bytes.isEmpty())
                return bytes;
        }
    }
    return {};
}

// Imports are decoded one at a time, so that they land in the order they were asked for.
QThreadPool *importPool()
{
    static QThreadPool *pool = [] {
        auto *pool = new QThreadPool;
        pool->setMaxThreadCount(1);
        return pool;
    }();
    return pool;
}

void deliver(std::function<QImage()> work, QObject *context, std::function<void(QImage)> completion)
{
    QtConcurrent::run(importPool(), std::move(work))
        .then(context, [completion = std::move(completion)](const QImage &image) {
            if (!image.isNull())
                completion(image);
        });
}

} // namespace

namespace ImageImport {

void allowLargestImages()
{
    QImageReader::setAllocationLimit(allocationLimitMB);
}

QStringList dropTypes()
{
    return {QStringLiteral("text/uri-list"), QStringLiteral("image/png"),
            QStringLiteral("image/jpeg"), QStringLiteral("image/tiff"),
            QStringLiteral("image/bmp"), QStringLiteral("image/gif"),
            QStringLiteral("image/webp"), QStringLiteral("application/x-qt-image")};
}

QImage decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readImage(reader);
}

QImage decodeFile(const QString &path)
{
    QImageReader reader(path);
    return readImage(reader);
}

QImage fromClipboard(const QMimeData *mime)
{
    if (!mime)
        return {};
    const QString file = firstLocalFile(mime, true);
    if (!file.isEmpty()) {
        const QImage image = decodeFile(file);
        if (!image.isNull())
            return image;
    }
    QImage image = decode(firstImageBytes(mime));
    if (image.isNull() && mime->hasImage())
        image = qvariant_cast<QImage>(mime->imageData());
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage fromClipboard(const QClipboard *clipboard)
{
    if (!clipboard)
        return {};
    return fromClipboard(clipboard->mimeData(QClipboard::Clipboard));
}

bool load(const QMimeData *mime, QObject *context, std::function<void(QImage)> completion)
{
    if (!mime || !context)
        return false;

    std::function<QImage()> work;
    if (const QString file = firstLocalFile(mime); !file.isEmpty()) {
        // A drop of files is decided by its first file, image or not.
        work = [file] { return decodeFile(file); };
    } else if (QByteArray bytes = firstImageBytes(mime); !bytes.isEmpty()) {
        work = [bytes] { return decode(bytes); };
    } else if (mime->hasImage()) {
        // An image dragged inside this process arrives already decoded.
        const QImage image = qvariant_cast<QImage>(mime->imageData());
        work = [image] { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); };
    } else {
        return false;
    }

    deliver(std::move(work), context, std::move(completion));
    return true;
}

void loadFiles(const QStringList &paths, QObject *context, std::function<void(QImage)> completion)
{
    for (const QString &path : paths)
        deliver([path] { return decodeFile(path); }, context, completion);
}

} // namespace ImageImport
