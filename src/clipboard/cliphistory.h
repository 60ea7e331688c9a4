// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"
#include "clipboard/store.h"

#include <QFuture>
#include <QImage>
#include <QObject>

#include <functional>
#include <optional>

// A copy ready to be kept: its representations in stored order, their digest and, when already
// made, its title.
struct PreparedCopy
{
    QList<Representation> representations;
    QString hash;
    std::optional<QString> title;
};

// The entries of the clipboard history with their pins and limit, kept in a Store it owns: copies
// join or merge into it, entries are pinned, removed and brought back. Used on one thread; large
// new entries are written on a worker and join once their files are.
class ClipHistory : public QObject
{
    Q_OBJECT

public:
    // Loads the history saved in folder.
    explicit ClipHistory(const QString &folder = Store::defaultDir(), QObject *parent = nullptr);
    ~ClipHistory() override;

    Store &store() { return m_store; }

    // Pinned entries first, then the rest, each group most recently copied first.
    const QList<ClipItem> &items() const { return m_items; }
    // Sorts, evicts unpinned entries beyond the limit and saves the index.
    bool sortAndSave();
    void applyLimit() { sortAndSave(); }
    // The entry's thumbnail, nothing for entries without an image or when it cannot be read.
    std::optional<QImage> thumbnail(const ClipItem &item);
    // Gives back the memory of the thumbnails read so far; the picker calls it when it closes.
    void releaseThumbnails() { m_store.forgetThumbnails(); }

    // Merges a copy into the entry with the same content, or stores a new entry. A large new
    // entry is written on a worker thread and joins items when its files are written;
    // inBackground: on a worker whatever its size.
    void add(const PreparedCopy &copy, const std::optional<QString> &app, bool inBackground = false);
    void add(const QList<Representation> &representations, const std::optional<QString> &app);
    // Blocks until every new entry still being written has joined items.
    void finishPendingCopies();

    // Flips the pin of the entry equal to this one in every field.
    void togglePin(const ClipItem &item);
    // Removes the entry with this identifier and its files. With undoable set, its files are
    // kept aside until undoRemoval or forgetRemoval, replacing what an earlier removal kept.
    void deleteItem(const ClipItem &item, bool undoable = false);
    // Removes every unpinned entry, or every entry, with their files; kept aside as deleteItem
    // does when undoable. Whatever an earlier removal kept aside goes for good first.
    void clear(bool includingPinned, bool undoable = false);
    // Brings the entries of the last undoable removal back with their files, identifiers, dates
    // and pins, in their places; a copy of the same content made meanwhile merges into its
    // entry, and the limit applies as for any copy. False when nothing was kept aside.
    bool undoRemoval();
    // Lets the entries kept aside go for good.
    void forgetRemoval();
    bool canUndoRemoval() const { return !m_removed.isEmpty(); }
    // For the application's quit, once no copy comes in any more: lets new entries land, then
    // clears the unpinned entries when clearOnQuit is set. Nothing stays kept aside.
    void prepareForQuit();

    // Preferences, read on every use; a stored value out of its range reads as the default.
    // The limit is 50 to 1000 unpinned entries; setLimit moves a value into that range.
    int limit() const;
    void setLimit(int limit);
    bool clearOnQuit() const;
    void setClearOnQuit(bool clear);

    // The source of "now" for new and merged copies.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

signals:
    void itemsChanged();
    // The thumbnail of this entry has been written and can be read.
    void thumbnailReady(const QUuid &id);
    // A copy could not be stored (its files or the index could not be written) and was dropped.
    void copyNotStored();
    // An undoable removal took these many entries away; undoRemoval can bring them back.
    void removalKept(int count);

private:
    // A new entry still being written on a worker; a repeat of the same content merges into it.
    struct PendingCopy
    {
        ClipItem item;
        std::optional<QByteArray> png;
        QFuture<std::optional<QList<ClipContent>>> write;
    };
    void storeNew(const PreparedCopy &copy, const std::optional<QString> &app, const QDateTime &now,
                  bool inBackground);
    void land(const QUuid &id);
    void appendEntry(ClipItem item, const std::optional<QByteArray> &png);

    Store m_store;
    QList<ClipItem> m_items;
    std::function<QDateTime()> m_clock;
    QList<PendingCopy> m_pending;
    // The entries of the last undoable removal, whose folders wait in the store's holding folder.
    QList<ClipItem> m_removed;
};
