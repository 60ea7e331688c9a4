// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

#include "capture/grabentry.h"

class ThumbnailCache;

// A grab in the desktop's trash: the entry it was and where its file lies now.
struct TrashedGrab
{
    GrabEntry entry;
    QString pathInTrash;
};

// The grab-history folder: naming, listing, keeping the newest grabs, moving the collection and
// reading grabs back. Main thread only; file-system errors are swallowed except by move(),
// trash() and restore().
// Grabs are private: the folder is made 0700 and grab files are 0600; links and special files
// in it are never listed, followed or read.
namespace History {

inline constexpr int limit = 100;
inline constexpr int thumbnailSide = 240;

// Application data folder + "KiwanoSnapper/History", fixed for the process.
QString defaultDir();
// Pictures + "Kiwano Snapper", fixed for the process; offered by the settings window.
QString picturesDir();
// The folder in use ("history.folder" or defaultDir()), created when missing.
QString dir();
// True when both paths name the same folder once made absolute and cleaned (no symlinks resolved).
bool isSameFolder(const QString &a, const QString &b);
// The date of files whose creation and modification times are both unknown: sorts last.
QDateTime undated();

// Newest first, keeping the given order among equal dates; undated entries come last.
void sortNewestFirst(QList<GrabEntry> &entries);
// The grabs of dir(), newest first; empty when the folder cannot be listed.
QList<GrabEntry> load();
// Moves a finished PNG into the history under a new name; nothing when the file is not a
// complete PNG or cannot be moved, and then the file stays where it was.
std::optional<GrabEntry> adopt(const QString &file);
// Stores the image as a new grab; nothing when it cannot be written.
std::optional<GrabEntry> add(const QImage &image);
// Moves the grab's file to the desktop's trash (the freedesktop trash of its file system) and
// forgets its thumbnail; the record names where it went. Nothing, with the reason in *error, when
// there is no trash for it or it is not a regular file: then the file stays where it was.
std::optional<TrashedGrab> trash(const GrabEntry &entry, QString *error = nullptr);
// Moves a trashed grab back to where it was and removes its trash entry. False, with the reason
// in *error, when the trash no longer holds it or its place is taken: nothing is replaced.
bool restore(const TrashedGrab &trashed, QString *error = nullptr);
// The grab at full size; a null image when the file is gone or cannot be decoded.
QImage image(const GrabEntry &entry);
// The cached thumbnail; otherwise a null image, and the thumbnail is made on a worker thread
// and announced by thumbnails()->thumbnailReady.
QImage thumbnail(const GrabEntry &entry);
ThumbnailCache *thumbnails();
// The size of a thumbnail of an image of that size: longer side at most thumbnailSide.
QSize thumbnailSize(const QSize &imageSize);
// Moves every grab into folder and returns old url -> new url for the moved ones. All or
// nothing: when the folder cannot be made or any grab cannot be moved (a full disk, a
// permission), every grab stays whole where it was, nothing is left under a grab's name in
// folder, the setting is unchanged, and *error holds the file system's reason.
std::optional<QHash<QUrl, QUrl>> move(const QString &folder, QString *error = nullptr);

} // namespace History
