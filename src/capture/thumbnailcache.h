// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QUrl>

// Thumbnails of grab files, made on worker threads and kept for the process. Main thread only.
class ThumbnailCache : public QObject
{
    Q_OBJECT

public:
    explicit ThumbnailCache(QObject *parent = nullptr);

    // The cached thumbnail of the file, or a null image.
    QImage cached(const QUrl &url) const;
    // Starts making the thumbnail unless it is cached or under way; a file that could not be
    // read is tried again only once it has changed.
    void request(const QUrl &url);
    // Forgets the file's thumbnail; a thumbnail still being made for it is discarded.
    void drop(const QUrl &url);
    void clear();

    // Decodes a thumbnail synchronously: scaled while decoding, never kept at full size.
    static QImage make(const QString &path);

signals:
    void thumbnailReady(const QUrl &url, const QSize &size);

private:
    void landed(const QUrl &url, quint64 generation, const QImage &image);

    QHash<QUrl, QImage> m_images;
    QHash<QUrl, quint64> m_pending; // url -> generation of the job under way
    QHash<QUrl, QDateTime> m_failed; // url -> modification time that could not be read
    quint64 m_generation = 0;
};
