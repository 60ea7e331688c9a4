// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>

class ClipboardService;
class FrontApp;
class KeySender;

// The clipboard history: watches the desktop clipboard, decides which copies to keep, stores
// them through Store, and writes entries back and pastes them. One per process (shared()), used
// on the main thread; only the files of large copies and thumbnails are written on workers.
class Clipboard : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool ignoreNext READ ignoreNext WRITE setIgnoreNext NOTIFY ignoreNextChanged)
    Q_PROPERTY(bool paused READ paused WRITE setPaused NOTIFY pausedChanged)

public:
    // The services are not owned and may be null (then nothing is read, written or pasted).
    // Loads the saved history.
    Clipboard(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender,
              QObject *parent = nullptr);
    ~Clipboard() override;

    // The process-wide history, created on first use without services; the application gives it
    // its services with setServices before start().
    static Clipboard &shared();
    // Replaces the platform services; what the new clipboard holds now is taken as seen.
    void setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender);

    // The history: pinned entries first, then the rest, each group most recently copied first.
    const QList<ClipItem> &items() const { return m_items; }
    // Sorts, evicts unpinned entries beyond the limit and saves the index.
    bool sortAndSave();
    void applyLimit() { sortAndSave(); }
    // The entry's thumbnail, nothing for entries without an image or when it cannot be read.
    std::optional<QImage> thumbnail(const ClipItem &item) const;

    // Polls the clipboard every half second while enabled; what it holds at start is not recorded.
    void start();
    void stop();
    bool isRunning() const { return m_timer.isActive(); }
    // One poll: records the clipboard's content when it changed and may be kept.
    void check();
    // Merges an accepted copy into the entry with the same content, or stores a new entry. A
    // large new entry is written on a worker thread and joins items when its files are written.
    void add(const QList<Representation> &representations, const std::optional<QString> &app);
    // Blocks until every copy still being written has joined items (tests, quitting).
    void finishPendingCopies();
    static QString title(const QList<Representation> &representations,
                         const std::optional<QByteArray> &imageBytes);

    // Writes the entry's stored representations back to the clipboard with the marker type.
    void copy(const ClipItem &item);
    // Types the paste keystroke into the application in front (Ctrl+Shift+V in terminals).
    void pasteIntoFrontApp();
    // Copies the entry and, when paste is true and this session can type, pastes it on the next
    // turn of the event loop. The picker closes itself before calling this.
    void choose(const ClipItem &item, bool paste);
    // Whether this session lets the history type the paste keystroke.
    bool isTrusted() const;
    // Flips the pin of the entry equal to this one in every field.
    void togglePin(const ClipItem &item);
    // Removes the entry with this identifier and its files.
    void deleteItem(const ClipItem &item);
    // Removes every unpinned entry, or every entry, with their files.
    void clear(bool includingPinned);
    // For the application's quit: stops polling, lets copies still being written land, then
    // clears the unpinned entries when clearOnQuit is set.
    void prepareForQuit();

    bool ignoreNext() const { return m_ignoreNext; }
    void setIgnoreNext(bool ignoreNext);
    bool paused() const { return m_paused; }
    void setPaused(bool paused);

    // Preferences, read on every use.
    int limit() const;
    void setLimit(int limit);
    bool isEnabled() const;
    void setEnabled(bool enabled);
    QStringList userIgnoredApps() const;
    void setUserIgnoredApps(const QStringList &apps);
    bool pasteAutomatically() const;
    void setPasteAutomatically(bool paste);
    bool clearOnQuit() const;
    void setClearOnQuit(bool clear);

    // The source of "now" for new and merged copies.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

signals:
    void itemsChanged();
    void ignoreNextChanged(bool ignoreNext);
    void pausedChanged(bool paused);
    // The thumbnail of this entry has been written and can be read.
    void thumbnailReady(const QUuid &id);
    // A copy could not be stored (its files or the index could not be written) and was dropped.
    void copyNotStored();

private:
    struct PendingCopy;
    void storeNew(const QList<Representation> &representations, const std::optional<QString> &app,
                  const QString &hash, const QDateTime &now);
    void land(const QUuid &id);
    void appendEntry(ClipItem item, const std::optional<QByteArray> &png);

    ClipboardService *m_clipboard;
    FrontApp *m_frontApp;
    KeySender *m_keySender;
    QList<ClipItem> m_items;
    qint64 m_changeCount = 0;
    QTimer m_timer;
    bool m_ignoreNext = false;
    bool m_paused = false;
    bool m_checking = false;
    std::function<QDateTime()> m_clock;
    QList<PendingCopy> m_pending;
};
