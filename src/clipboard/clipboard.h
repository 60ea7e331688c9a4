// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"
#include "platform/clipboardwatcher.h"

#include <QFuture>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

class ClipboardService;
class FrontApp;
class KeySender;

// The clipboard history: watches the desktop clipboard, decides which copies to keep, stores
// them through Store, and writes entries back and pastes them. One per process (shared()), used
// on the main thread. Where the clipboard has a watcher, copies are read on its thread and
// prepared (hashed, titled) on a worker of our own; the main thread only merges or appends.
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
    // Gives back the memory of the thumbnails read so far; the picker calls it when it closes.
    void releaseThumbnails();

    // Watches the clipboard while enabled: through its watcher when it has one, else by polling
    // every half second. What it holds at start is not recorded.
    void start();
    void stop();
    bool isRunning() const { return m_running; }
    // Whether a timer polls (only for clipboards without a watcher).
    bool isPolling() const { return m_timer.isActive(); }
    // One poll: records the clipboard's content when it changed and may be kept. Reads on the
    // calling thread; while the watcher runs it has nothing to do.
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

    // Preferences, read on every use; a stored value out of its range reads as the default.
    // The limit is 50 to 1000 unpinned entries; setLimit moves a value into that range.
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
    // A copy made ready for add off the main thread.
    struct Prepared
    {
        QList<Representation> representations;
        QString hash;
        QString title;
    };
    struct Intake
    {
        QFuture<std::optional<Prepared>> prepared;
        std::optional<QString> app;
    };
    static constexpr int pollInterval = 500;
    using DataSource = std::function<std::optional<QByteArray>(const QString &)>;
    // The rules that need only the types, the flags and the application in front; then the
    // content's, here or on the intake worker.
    void consider(const QStringList &types, const DataSource &data, const QString &front, bool inBackground);
    static std::optional<Prepared> prepare(QList<Representation> representations);
    void watch(ClipboardWatcher *watcher);
    void takeChange(quint64 change);
    void takeCopy(const ClipboardWatcher::Copy &copy);
    void landIntakes();
    // inBackground: the files are written on a worker whatever their size.
    void addHashed(const QList<Representation> &representations, const QString &hash,
                   const std::optional<QString> &title, const std::optional<QString> &app,
                   bool inBackground = false);
    void storeNew(const QList<Representation> &representations, const std::optional<QString> &app,
                  const QString &hash, const std::optional<QString> &title, const QDateTime &now,
                  bool inBackground);
    void land(const QUuid &id);
    void appendEntry(ClipItem item, const std::optional<QByteArray> &png);

    ClipboardService *m_clipboard;
    FrontApp *m_frontApp;
    KeySender *m_keySender;
    QList<ClipItem> m_items;
    qint64 m_changeCount = 0;
    QTimer m_timer;
    QPointer<ClipboardWatcher> m_watcher; // may go before the history does
    bool m_running = false;
    // The application in front when the clipboard last changed hands, for the copy read then.
    quint64 m_change = 0;
    QString m_changeFront;
    // One thread, so that copies are prepared and land in the order they were made.
    QThreadPool m_intakePool;
    QList<Intake> m_intakes;
    bool m_ignoreNext = false;
    bool m_paused = false;
    bool m_checking = false;
    std::function<QDateTime()> m_clock;
    QList<PendingCopy> m_pending;
};
