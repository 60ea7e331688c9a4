// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QImage>
#include <QObject>

#include <functional>
#include <optional>

// The clipboard history's private folder: the index, one folder per entry with its content files
// and thumbnail. Stateless apart from the thumbnail cache; only Clipboard calls it, on the main
// thread, except that write and writeThumbnail also run on workers for large copies. Nothing in
// the folder is followed through a link or read unless it is a regular file. File-system
// failures are swallowed, except that write and save say whether they happened: each operation
// says what it leaves behind.
class Store
{
public:
    // The history folder, made private (0700) and marked as a cache on first use.
    static QString dir();
    // Points the store at another folder and prepares it; pending thumbnails finish first.
    static void setDir(const QString &path);
    // The folder of one entry, named by its upper-case identifier.
    static QString itemDir(const QUuid &id);

    // False while the folder cannot be made, or something that is not a folder stands in its
    // place: nothing is stored then, and that thing is left alone.
    static bool canStore();

    // The saved entries in file order; empty when the index is missing or cannot be read or
    // decoded. An index that cannot is kept beside it under a dated name at the next save.
    static QList<ClipItem> load();
    // True once load met an index it could not read or decode, until the folder changes.
    static bool brokenIndexFound();
    // Replaces the index atomically and durably with these entries; false when it could not be
    // written, and then the previous index stays in place. The new one takes its place shortly
    // after, once synced (waitForWrites).
    static bool save(const QList<ClipItem> &items);
    // Deletes the kept-aside copies of broken indexes, and a broken index not yet set aside; at
    // most the few newest copies are kept otherwise.
    static void removeKeptIndexes();

    // Writes each representation to "<position>.bin" in a new entry folder; nothing, and no
    // folder left behind, when any write fails.
    static std::optional<QList<ClipContent>> write(const QList<Representation> &representations,
                                                   const QUuid &id);
    // The bytes of one content file; nothing when missing, unreadable, not a regular file or not
    // a plain file name.
    static std::optional<QByteArray> read(const QUuid &id, const QString &file);
    // Makes and writes "thumb.png" (longer side at most 240) from encoded image bytes; returns the
    // thumbnail, or a null image when nothing was written.
    static QImage writeThumbnail(const QByteArray &imageBytes, const QUuid &id);
    // writeThumbnail on a worker thread; the result enters the cache and `ready` runs on
    // context's thread. Removing the entry before then waits for the worker and drops the result.
    static void writeThumbnailLater(const QByteArray &imageBytes, const QUuid &id, QObject *context,
                                    std::function<void()> ready);
    // Blocks until every thumbnail started by writeThumbnailLater has been written.
    static void waitForThumbnails();
    // Blocks until those thumbnails and every saved index are in place.
    static void waitForWrites();
    // Deletes the entry folder with everything in it and forgets its cached thumbnail.
    static void remove(const QUuid &id);
    // Moves the entry folder into the hidden holding folder, as it is, so that restore can put
    // it back; forgets its cached thumbnail. False when it could not be moved: then it is
    // deleted as remove does.
    static bool setAside(const QUuid &id);
    // Moves a folder set aside back into its place; false when it is not there to move or an
    // entry folder of that name stands in its place already.
    static bool restore(const QUuid &id);
    // Deletes the holding folder with every entry still set aside in it.
    static void purgeSetAside();
    // The holding folder, inside the history folder.
    static QString holdingDir();
    // The cached thumbnail, else read from "thumb.png"; nothing when that fails.
    static std::optional<QImage> thumbnail(const QUuid &id);
    // Lets go of every cached thumbnail (the picker closed); they are read again when shown.
    static void forgetThumbnails();
    static qsizetype cachedThumbnailCount();

    // A name that stays inside an entry folder: no separator, no "..", not empty.
    static bool isSafeFileName(const QString &file);
    // The size of a thumbnail for an image of this size: longer side at most 240, aspect kept.
    static QSize thumbnailSize(const QSize &imageSize);
};
