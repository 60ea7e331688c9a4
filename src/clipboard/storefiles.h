// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// File primitives of the clipboard folder. None of them follows a symbolic link: whatever stands
// inside the folder is treated as what it is, never as what it points to.
namespace StoreFiles {

enum class Presence { missing, unreadable, read };

struct ReadResult
{
    Presence presence = Presence::missing;
    QByteArray bytes;
};

// The bytes of the regular file name in folder, of at most maxSize bytes. A link, a folder, a FIFO
// or a device in its place or in the folder's, a larger file or a read error all give
// `unreadable`, without blocking or reading on.
ReadResult readRegular(const QString &folder, const QString &name, qint64 maxSize);

// Writes bytes to a 0600 file beside path and renames it over path, so readers see the old or
// the new file. With durable set, the data and then the rename reach the disk before it returns.
// False (and errno set) when any step fails; nothing is left behind then.
bool writeAtomically(const QString &path, const QByteArray &bytes, bool durable = false);

// A file written beside its target, not yet in its place.
struct Replacement
{
    QByteArray target;
    QByteArray temporary;
    int fd = -1;
};
// The first half of writeAtomically: bytes written to a new 0600 file beside path; nothing, and
// no file left, when that fails.
std::optional<Replacement> writeReplacement(const QString &path, const QByteArray &bytes);
// The second half: synced when durable, renamed over the target, the folder synced.
bool commit(Replacement &replacement, bool durable);
// Closes and deletes the written file.
void discard(Replacement &replacement);

// Removes path: a link or a file is unlinked, a folder emptied without following any link in it.
void removeTree(const QString &path);

enum class Folder { ready, created, unavailable };
// Makes path a private (0700) folder: created when missing, its mode set again when it is a
// folder of ours. Anything else standing there is left untouched: `unavailable`, as when the
// folder cannot be made.
Folder preparePrivateFolder(const QString &path);

} // namespace StoreFiles
