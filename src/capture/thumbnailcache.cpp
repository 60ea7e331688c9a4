// SPDX-License-Identifier: MIT
#include "capture/thumbnailcache.h"

#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include "capture/history.h"
#include "capture/pngfile.h"

ThumbnailCache::ThumbnailCache(QObject *parent)
    : QObject(parent)
{
}

QImage ThumbnailCache::cached(const QUrl &url) const
{
    return m_images.value(url);
}

void ThumbnailCache::request(const QUrl &url)
{
    if (m_images.contains(url) || m_pending.contains(url))
        return;
    const QString path = url.toLocalFile();
    const auto failed = m_failed.constFind(url);
    if (failed != m_failed.cend() && QFileInfo(path).lastModified() == *failed)
        return;
    const quint64 generation = ++m_generation;
    m_pending.insert(url, generation);
    QPointer<ThumbnailCache> self(this);
    // The result hops back to the main thread through the event loop, so the cache itself is
    // only ever touched there.
    (void)QtConcurrent::run([self, url, path, generation] {
        QImage image = make(path);
        const QDateTime modified = image.isNull() ? QFileInfo(path).lastModified() : QDateTime();
        if (!self)
            return;
        QMetaObject::invokeMethod(self.get(), [self, url, generation, image, modified] {
            if (!self)
                return;
            if (image.isNull() && self->m_pending.value(url) == generation)
                self->m_failed.insert(url, modified);
            self->landed(url, generation, image);
        }, Qt::QueuedConnection);
    });
}

void ThumbnailCache::landed(const QUrl &url, quint64 generation, const QImage &image)
{
    if (m_pending.value(url) != generation)
        return;
    m_pending.remove(url);
    if (image.isNull())
        return;
    m_failed.remove(url);
    m_images.insert(url, image);
    emit thumbnailReady(url, image.size());
}

void ThumbnailCache::drop(const QUrl &url)
{
    m_images.remove(url);
    m_pending.remove(url);
    m_failed.remove(url);
}

void ThumbnailCache::clear()
{
    m_images.clear();
    m_pending.clear();
    m_failed.clear();
}

QImage ThumbnailCache::make(const QString &path)
{
    const QSize full = PngFile::size(path);
    if (!full.isValid() || full.isEmpty())
        return {};
    QImage image = PngFile::readScaled(path, History::thumbnailSize(full));
    if (image.isNull())
        return {};
    image.setDevicePixelRatio(1.0);
    return image;
}
