// SPDX-License-Identifier: MIT
#include "clipboard/cliphistory.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "clipboard/contentdigest.h"
#include "platform/preferences.h"

#include <QFutureWatcher>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>

namespace {

// New entries at least this large are written off the main thread.
constexpr qint64 backgroundWriteSize = 1024 * 1024;

} // namespace

ClipHistory::ClipHistory(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_store(folder)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    m_items = m_store.load();
    // Entries kept aside for an undo that a crash or a kill never let go.
    m_store.purgeSetAside();
}

ClipHistory::~ClipHistory()
{
    // Workers report back to this object; let them land before it goes.
    finishPendingCopies();
    m_store.waitForThumbnails();
}

std::optional<QImage> ClipHistory::thumbnail(const ClipItem &item)
{
    if (!item.hasImage)
        return std::nullopt;
    return m_store.thumbnail(item.id);
}

void ClipHistory::add(const QList<Representation> &representations, const std::optional<QString> &app)
{
    add(PreparedCopy{representations, contentDigest(representations), std::nullopt}, app);
}

void ClipHistory::add(const PreparedCopy &copy, const std::optional<QString> &app, bool inBackground)
{
    const QDateTime now = m_clock();
    for (ClipItem &item : m_items) {
        if (item.hash != copy.hash)
            continue;
        item.lastCopied = now;
        ++item.copies;
        if (app)
            item.app = app;
        sortAndSave();
        return;
    }
    for (PendingCopy &pending : m_pending) {
        if (pending.item.hash != copy.hash)
            continue;
        pending.item.lastCopied = now;
        ++pending.item.copies;
        if (app)
            pending.item.app = app;
        return;
    }
    storeNew(copy, app, now, inBackground);
}

void ClipHistory::storeNew(const PreparedCopy &copy, const std::optional<QString> &app, const QDateTime &now,
                           bool inBackground)
{
    const QList<Representation> &representations = copy.representations;
    const auto png = std::find_if(representations.cbegin(), representations.cend(), [](const Representation &r) {
        return ClipRules::kind(r.type) == ClipRules::Kind::png;
    });
    ClipItem item;
    item.id = QUuid::createUuid();
    item.hasImage = png != representations.cend();
    const std::optional<QByteArray> pngBytes = item.hasImage ? std::optional(png->data) : std::nullopt;
    item.title = copy.title ? *copy.title : clipTitle(representations, pngBytes);
    item.app = app;
    item.firstCopied = now;
    item.lastCopied = now;
    item.copies = 1;
    item.pinned = false;
    item.hash = copy.hash;

    qint64 size = 0;
    for (const Representation &representation : representations)
        size += representation.data.size();
    if (size < backgroundWriteSize && !inBackground) {
        const std::optional<QList<ClipContent>> contents = m_store.write(representations, item.id);
        if (!contents) {
            emit copyNotStored();
            return;
        }
        item.contents = *contents;
        appendEntry(std::move(item), pngBytes);
        return;
    }

    // Writing tens of megabytes takes a few hundred milliseconds: not on the thread that draws
    // the picker and answers the clipboard.
    const QUuid id = item.id;
    PendingCopy pending{std::move(item), pngBytes, {}};
    pending.write = QtConcurrent::run([this, representations, id] { return m_store.write(representations, id); });
    auto *watcher = new QFutureWatcher<std::optional<QList<ClipContent>>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, id] {
        watcher->deleteLater();
        land(id);
    });
    watcher->setFuture(pending.write);
    m_pending.append(std::move(pending));
}

void ClipHistory::land(const QUuid &id)
{
    const auto found = std::find_if(m_pending.begin(), m_pending.end(),
                                    [&](const PendingCopy &pending) { return pending.item.id == id; });
    if (found == m_pending.end())
        return;
    PendingCopy pending = std::move(*found);
    m_pending.erase(found);
    const std::optional<QList<ClipContent>> contents = pending.write.result();
    if (!contents) {
        emit copyNotStored();
        return;
    }
    pending.item.contents = *contents;
    appendEntry(std::move(pending.item), pending.png);
}

void ClipHistory::finishPendingCopies()
{
    while (!m_pending.isEmpty()) {
        m_pending.first().write.waitForFinished();
        land(m_pending.first().item.id);
    }
}

void ClipHistory::appendEntry(ClipItem item, const std::optional<QByteArray> &png)
{
    const QUuid id = item.id;
    const QList<ClipItem> before = m_items;
    m_items.append(std::move(item));
    if (!sortAndSave()) {
        // Kept in memory only, the copy would be gone at the next start without a word; what
        // it would have evicted stays, as the index on disk still has it.
        m_items = before;
        m_store.remove(id);
        emit itemsChanged();
        emit copyNotStored();
        return;
    }
    // Decoding a large image takes longer than a poll; the entry shows up at once and its
    // thumbnail when ready.
    if (png)
        m_store.writeThumbnailLater(*png, id, this, [this, id] { emit thumbnailReady(id); });
}

bool ClipHistory::sortAndSave()
{
    std::stable_sort(m_items.begin(), m_items.end(), [](const ClipItem &a, const ClipItem &b) {
        if (a.pinned != b.pinned)
            return a.pinned;
        return a.lastCopied > b.lastCopied;
    });
    const int keep = limit();
    int unpinned = 0;
    QSet<QUuid> evicted;
    for (const ClipItem &item : std::as_const(m_items))
        if (!item.pinned && ++unpinned > keep)
            evicted.insert(item.id);
    m_items.removeIf([&](const ClipItem &item) { return evicted.contains(item.id); });
    const bool saved = m_store.save(m_items);
    // The folders of evicted entries go once no saved index names them any more.
    if (saved) {
        for (const QUuid &id : std::as_const(evicted))
            m_store.remove(id);
    }
    emit itemsChanged();
    return saved;
}

void ClipHistory::togglePin(const ClipItem &item)
{
    const auto found = std::find(m_items.begin(), m_items.end(), item);
    if (found == m_items.end())
        return;
    found->pinned = !found->pinned;
    sortAndSave();
}

void ClipHistory::deleteItem(const ClipItem &item, bool undoable)
{
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                    [&](const ClipItem &entry) { return entry.id == item.id; });
    if (found == m_items.cend()) {
        m_store.remove(item.id);
        return;
    }
    forgetRemoval();
    const ClipItem removed = *found;
    m_items.removeIf([&](const ClipItem &entry) { return entry.id == item.id; });
    // The index stops naming the entry before its folder moves: after a crash in between, the
    // history is whole and only a folder nothing names is left over.
    m_store.save(m_items);
    if (undoable && m_store.setAside(removed.id)) {
        m_removed = {removed};
        emit itemsChanged();
        emit removalKept(1);
        return;
    }
    m_store.remove(removed.id);
    emit itemsChanged();
}

void ClipHistory::clear(bool includingPinned, bool undoable)
{
    forgetRemoval();
    QList<ClipItem> removed;
    for (const ClipItem &item : std::as_const(m_items))
        if (includingPinned || !item.pinned)
            removed.append(item);
    m_items.removeIf([&](const ClipItem &item) { return includingPinned || !item.pinned; });
    if (includingPinned)
        m_store.removeKeptIndexes();
    m_store.save(m_items);
    for (const ClipItem &item : std::as_const(removed)) {
        if (undoable && m_store.setAside(item.id))
            m_removed.append(item);
        else
            m_store.remove(item.id);
    }
    emit itemsChanged();
    if (!m_removed.isEmpty())
        emit removalKept(int(m_removed.size()));
}

bool ClipHistory::undoRemoval()
{
    if (m_removed.isEmpty())
        return false;
    const QList<ClipItem> removed = std::exchange(m_removed, {});
    QList<QUuid> merged;
    for (ClipItem item : removed) {
        if (!m_store.restore(item.id))
            continue;
        // The same content copied again meanwhile has an entry of its own: one entry holds both.
        const auto again = std::find_if(m_items.begin(), m_items.end(),
                                        [&](const ClipItem &entry) { return entry.hash == item.hash; });
        if (again != m_items.end()) {
            if (again->lastCopied >= item.lastCopied) {
                item.lastCopied = again->lastCopied;
                if (again->app)
                    item.app = again->app;
            }
            item.copies += again->copies;
            item.pinned = item.pinned || again->pinned;
            merged.append(again->id);
            m_items.erase(again);
        }
        m_items.append(item);
    }
    m_store.purgeSetAside();
    if (!sortAndSave())
        return true;
    // Their folders go once the saved index no longer names them.
    for (const QUuid &id : std::as_const(merged))
        m_store.remove(id);
    return true;
}

void ClipHistory::forgetRemoval()
{
    m_removed.clear();
    m_store.purgeSetAside();
}

void ClipHistory::prepareForQuit()
{
    finishPendingCopies();
    forgetRemoval();
    if (clearOnQuit())
        clear(false);
    m_store.waitForWrites();
}

int ClipHistory::limit() const
{
    return Preferences::value(Preferences::clipboardLimit);
}

void ClipHistory::setLimit(int limit)
{
    Preferences::setValue(Preferences::clipboardLimit, limit);
}

bool ClipHistory::clearOnQuit() const
{
    return Preferences::value(Preferences::clipboardClearOnQuit);
}

void ClipHistory::setClearOnQuit(bool clear)
{
    Preferences::setValue(Preferences::clipboardClearOnQuit, clear);
}
