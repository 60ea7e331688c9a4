// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"
#include "clipboard/indexsync.h"

#include <QCache>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QObject>

#include <atomic>
#include <functional>
#include <optional>

// The clipboard history's private folder: the index, one folder per entry with its content files
// and thumbnail. Owned by the history and used on its thread, except that write and
// writeThumbnail also run on workers for large copies. Nothing in the folder is followed through
// a link or read unless it is a regular file. File-system failures are swallowed, except that
// write and save say whether they happened: each operation says what it leaves behind.
class Store
{
public:
    // Where the history lives unless told otherwise: KiwanoSnapper/Clipboard in the data folder.
    static QString defaultDir();
    // Prepares the folder: made private (0700) and marked as a cache.
    explicit Store(const QString &dir = defaultDir());
    // Waits for thumbnails and indexes still being written.
    ~Store();
    Q_DISABLE_COPY_MOVE(Store)

    QString dir() const { return m_dir; }
    // The folder of one entry, named by its upper-case identifier.
    QString itemDir(const QUuid &id) const;

    // False while the folder cannot be made, or something that is not a folder stands in its
    // place: nothing is stored then, and that thing is left alone.
    bool canStore();

    // The saved entries in file order; empty when the index is missing or cannot be read or
    // decoded. An index that cannot is kept beside it under a dated name at the next save.
    QList<ClipItem> load();
    // True once load met an index it could not read or decode.
    bool brokenIndexFound() const { return m_brokenIndexFound; }
    // Replaces the index atomically and durably with these entries; false when it could not be
    // written, and then the previous index stays in place. The new one takes its place shortly
    // after, once synced (waitForWrites).
    bool save(const QList<ClipItem> &items);
    // Deletes the kept-aside copies of broken indexes, and a broken index not yet set aside; at
    // most the few newest copies are kept otherwise.
    void removeKeptIndexes();

    // Writes each representation to "<position>.bin" in a new entry folder; nothing, and no
    // folder left behind, when any write fails. Safe on a worker.
    std::optional<QList<ClipContent>> write(const QList<Representation> &representations, const QUuid &id);
    // The bytes of one content file; nothing when missing, unreadable, not a regular file or not
    // a plain file name.
    std::optional<QByteArray> read(const QUuid &id, const QString &file) const;
    // Makes and writes "thumb.png" (longer side at most 240) from encoded image bytes; returns the
    // thumbnail, or a null image when nothing was written. Safe on a worker.
    QImage writeThumbnail(const QByteArray &imageBytes, const QUuid &id) const;
    // writeThumbnail on a worker thread; the result enters the cache and `ready` runs on
    // context's thread. Removing the entry before then waits for the worker and drops the result.
    void writeThumbnailLater(const QByteArray &imageBytes, const QUuid &id, QObject *context,
                             std::function<void()> ready);
    // Blocks until every thumbnail started by writeThumbnailLater has been written.
    void waitForThumbnails();
    // Blocks until those thumbnails and every saved index are in place.
    void waitForWrites();
    // Deletes the entry folder with everything in it and forgets its cached thumbnail.
    void remove(const QUuid &id);
    // Moves the entry folder into the hidden holding folder, as it is, so that restore can put
    // it back; forgets its cached thumbnail. False when it could not be moved: then it is
    // deleted as remove does.
    bool setAside(const QUuid &id);
    // Moves a folder set aside back into its place; false when it is not there to move or an
    // entry folder of that name stands in its place already.
    bool restore(const QUuid &id);
    // Deletes the holding folder with every entry still set aside in it.
    void purgeSetAside();
    // The holding folder, inside the history folder.
    QString holdingDir() const;
    // The cached thumbnail, else read from "thumb.png"; nothing when that fails.
    std::optional<QImage> thumbnail(const QUuid &id);
    // Lets go of every cached thumbnail (the picker closed); they are read again when shown.
    void forgetThumbnails() { m_thumbnails.clear(); }
    qsizetype cachedThumbnailCount() const { return m_thumbnails.count(); }

    // A name that stays inside an entry folder: no separator, no "..", not empty.
    static bool isSafeFileName(const QString &file);
    // The size of a thumbnail for an image of this size: longer side at most 240, aspect kept.
    static QSize thumbnailSize(const QSize &imageSize);

private:
    struct PendingThumbnail
    {
        QFuture<QImage> future;
        quint64 serial = 0;
    };
    bool prepare(bool checkTag);
    bool ready() { return prepare(false); }
    QString indexPath() const;
    bool keepBrokenIndex();
    void dropPendingThumbnail(const QUuid &id);
    void cacheThumbnail(const QUuid &id, const QImage &image);

    const QString m_dir;
    std::atomic<bool> m_usable = true; // written by workers too
    bool m_brokenIndex = false; // the index on disk must be kept aside before the next save
    bool m_brokenIndexFound = false;
    QHash<QUuid, PendingThumbnail> m_pending;
    quint64 m_serial = 0;
    // Cost in bytes: a few hundred thumbnails, far more than a picker shows at once.
    QCache<QUuid, QImage> m_thumbnails{64 * 1024 * 1024};
    IndexSync m_indexSync;
};
