// SPDX-License-Identifier: MIT
#include "clipboard/clipboard.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "clipboard/contentdigest.h"
#include "clipboard/store.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"
#include "platform/preferences.h"

#include <QFutureWatcher>
#include <QSet>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// New entries at least this large are written off the main thread.
constexpr qint64 backgroundWriteSize = 1024 * 1024;

} // namespace

Clipboard::Clipboard(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
    , m_frontApp(frontApp)
    , m_keySender(keySender)
    , m_clock([] { return QDateTime::currentDateTimeUtc(); })
{
    m_changeCount = m_clipboard ? m_clipboard->changeCount() : 0;
    m_items = Store::load();
    m_timer.setInterval(pollInterval);
    connect(&m_timer, &QTimer::timeout, this, &Clipboard::check);
    m_intakePool.setMaxThreadCount(1);
    watch(m_clipboard ? m_clipboard->watcher() : nullptr);
}

Clipboard::~Clipboard()
{
    stop();
    // Workers report back to this object; let them land before it goes.
    finishPendingCopies();
    Store::waitForThumbnails();
}

Clipboard &Clipboard::shared()
{
    // Lives until the process ends, like the application's other singletons.
    static Clipboard *instance = new Clipboard(nullptr, nullptr, nullptr);
    return *instance;
}

void Clipboard::setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender)
{
    const bool wasRunning = m_running;
    stop();
    m_clipboard = clipboard;
    m_frontApp = frontApp;
    m_keySender = keySender;
    m_changeCount = m_clipboard ? m_clipboard->changeCount() : 0;
    watch(m_clipboard ? m_clipboard->watcher() : nullptr);
    if (wasRunning)
        start();
}

void Clipboard::releaseThumbnails()
{
    Store::forgetThumbnails();
}

std::optional<QImage> Clipboard::thumbnail(const ClipItem &item) const
{
    if (!item.hasImage)
        return std::nullopt;
    return Store::thumbnail(item.id);
}

// A new entry still being written on a worker; a repeat of the same content merges into it.
struct Clipboard::PendingCopy
{
    ClipItem item;
    std::optional<QByteArray> png;
    QFuture<std::optional<QList<ClipContent>>> write;
};

void Clipboard::add(const QList<Representation> &representations, const std::optional<QString> &app)
{
    addHashed(representations, contentDigest(representations), std::nullopt, app);
}

void Clipboard::addHashed(const QList<Representation> &representations, const QString &hash,
                          const std::optional<QString> &title, const std::optional<QString> &app,
                          bool inBackground)
{
    const QDateTime now = m_clock();
    for (ClipItem &item : m_items) {
        if (item.hash != hash)
            continue;
        item.lastCopied = now;
        ++item.copies;
        if (app)
            item.app = app;
        sortAndSave();
        return;
    }
    for (PendingCopy &pending : m_pending) {
        if (pending.item.hash != hash)
            continue;
        pending.item.lastCopied = now;
        ++pending.item.copies;
        if (app)
            pending.item.app = app;
        return;
    }
    storeNew(representations, app, hash, title, now, inBackground);
}

void Clipboard::storeNew(const QList<Representation> &representations, const std::optional<QString> &app,
                         const QString &hash, const std::optional<QString> &title, const QDateTime &now,
                         bool inBackground)
{
    const auto png = std::find_if(representations.cbegin(), representations.cend(), [](const Representation &r) {
        return ClipRules::kind(r.type) == ClipRules::Kind::png;
    });
    ClipItem item;
    item.id = QUuid::createUuid();
    item.hasImage = png != representations.cend();
    const std::optional<QByteArray> pngBytes = item.hasImage ? std::optional(png->data) : std::nullopt;
    item.title = title ? *title : Clipboard::title(representations, pngBytes);
    item.app = app;
    item.firstCopied = now;
    item.lastCopied = now;
    item.copies = 1;
    item.pinned = false;
    item.hash = hash;

    qint64 size = 0;
    for (const Representation &representation : representations)
        size += representation.data.size();
    if (size < backgroundWriteSize && !inBackground) {
        const std::optional<QList<ClipContent>> contents = Store::write(representations, item.id);
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
    Store::dir();
    const QUuid id = item.id;
    PendingCopy pending{std::move(item), pngBytes, {}};
    pending.write = QtConcurrent::run([representations, id] { return Store::write(representations, id); });
    auto *watcher = new QFutureWatcher<std::optional<QList<ClipContent>>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, id] {
        watcher->deleteLater();
        land(id);
    });
    watcher->setFuture(pending.write);
    m_pending.append(std::move(pending));
}

void Clipboard::land(const QUuid &id)
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

void Clipboard::finishPendingCopies()
{
    for (Intake &intake : m_intakes)
        intake.prepared.waitForFinished();
    landIntakes();
    while (!m_pending.isEmpty()) {
        m_pending.first().write.waitForFinished();
        land(m_pending.first().item.id);
    }
}

void Clipboard::appendEntry(ClipItem item, const std::optional<QByteArray> &png)
{
    const QUuid id = item.id;
    const QList<ClipItem> before = m_items;
    m_items.append(std::move(item));
    if (!sortAndSave()) {
        // Kept in memory only, the copy would be gone at the next start without a word; what
        // it would have evicted stays, as the index on disk still has it.
        m_items = before;
        Store::remove(id);
        emit itemsChanged();
        emit copyNotStored();
        return;
    }
    // Decoding a large image takes longer than a poll; the entry shows up at once and its
    // thumbnail when ready.
    if (png)
        Store::writeThumbnailLater(*png, id, this, [this, id] { emit thumbnailReady(id); });
}

QString Clipboard::title(const QList<Representation> &representations, const std::optional<QByteArray> &imageBytes)
{
    return clipTitle(representations, imageBytes);
}

bool Clipboard::sortAndSave()
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
    const bool saved = Store::save(m_items);
    // The folders of evicted entries go once no saved index names them any more.
    if (saved) {
        for (const QUuid &id : std::as_const(evicted))
            Store::remove(id);
    }
    emit itemsChanged();
    return saved;
}

void Clipboard::setIgnoreNext(bool ignoreNext)
{
    if (m_ignoreNext == ignoreNext)
        return;
    m_ignoreNext = ignoreNext;
    emit ignoreNextChanged(ignoreNext);
}

void Clipboard::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    emit pausedChanged(paused);
}

int Clipboard::limit() const
{
    return Preferences::value(Preferences::clipboardLimit);
}

void Clipboard::setLimit(int limit)
{
    Preferences::setValue(Preferences::clipboardLimit, limit);
}

bool Clipboard::isEnabled() const
{
    return Preferences::value(Preferences::clipboardEnabled);
}

void Clipboard::setEnabled(bool enabled)
{
    Preferences::setValue(Preferences::clipboardEnabled, enabled);
}

QStringList Clipboard::userIgnoredApps() const
{
    return Preferences::value(Preferences::clipboardIgnoredApps);
}

void Clipboard::setUserIgnoredApps(const QStringList &apps)
{
    Preferences::setValue(Preferences::clipboardIgnoredApps, apps);
}

bool Clipboard::pasteAutomatically() const
{
    return Preferences::value(Preferences::clipboardPaste);
}

void Clipboard::setPasteAutomatically(bool paste)
{
    Preferences::setValue(Preferences::clipboardPaste, paste);
}

bool Clipboard::clearOnQuit() const
{
    return Preferences::value(Preferences::clipboardClearOnQuit);
}

void Clipboard::setClearOnQuit(bool clear)
{
    Preferences::setValue(Preferences::clipboardClearOnQuit, clear);
}
