// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/cliphistory.h"
#include "clipboard/cliprecorder.h"
#include "clipboard/pasteback.h"

#include <QObject>

class ClipboardService;
class FrontApp;
class KeySender;

// The clipboard history as the views and the application see it: the history, the recorder that
// fills it and the paste-back, made together over one folder. Everything here hands on to them.
class Clipboard : public QObject
{
    Q_OBJECT

public:
    // The services are not owned and may be null (then nothing is read, written or pasted).
    // Loads the history saved in folder.
    Clipboard(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender,
              const QString &folder = Store::defaultDir(), QObject *parent = nullptr);
    ~Clipboard() override;

    ClipHistory &history() { return m_history; }
    ClipRecorder &recorder() { return m_recorder; }
    PasteBack &pasteBack() { return m_pasteBack; }
    Store &store() { return m_history.store(); }

    // Replaces the platform services; what the new clipboard holds now is taken as seen.
    void setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender);
    // For the application's quit: stops recording, lets copies still being written land, then
    // clears the unpinned entries when clearOnQuit is set. Nothing stays kept aside.
    void prepareForQuit();

    // The history.
    const QList<ClipItem> &items() const { return m_history.items(); }
    bool sortAndSave() { return m_history.sortAndSave(); }
    void applyLimit() { m_history.applyLimit(); }
    std::optional<QImage> thumbnail(const ClipItem &item) { return m_history.thumbnail(item); }
    void releaseThumbnails() { m_history.releaseThumbnails(); }
    void add(const QList<Representation> &representations, const std::optional<QString> &app)
    {
        m_history.add(representations, app);
    }
    void togglePin(const ClipItem &item) { m_history.togglePin(item); }
    void deleteItem(const ClipItem &item, bool undoable = false) { m_history.deleteItem(item, undoable); }
    void clear(bool includingPinned, bool undoable = false) { m_history.clear(includingPinned, undoable); }
    bool undoRemoval() { return m_history.undoRemoval(); }
    void forgetRemoval() { m_history.forgetRemoval(); }
    bool canUndoRemoval() const { return m_history.canUndoRemoval(); }
    int limit() const { return m_history.limit(); }
    void setLimit(int limit) { m_history.setLimit(limit); }
    bool clearOnQuit() const { return m_history.clearOnQuit(); }
    void setClearOnQuit(bool clear) { m_history.setClearOnQuit(clear); }
    void setClock(std::function<QDateTime()> clock) { m_history.setClock(std::move(clock)); }

    // The recorder.
    void start() { m_recorder.start(); }
    void stop() { m_recorder.stop(); }
    bool isRunning() const { return m_recorder.isRunning(); }
    bool isPolling() const { return m_recorder.isPolling(); }
    void check() { m_recorder.check(); }
    // Blocks until every copy still being prepared or written has joined the history.
    void finishPendingCopies() { m_recorder.finishPendingCopies(); }
    bool ignoreNext() const { return m_recorder.ignoreNext(); }
    void setIgnoreNext(bool ignoreNext) { m_recorder.setIgnoreNext(ignoreNext); }
    bool paused() const { return m_recorder.paused(); }
    void setPaused(bool paused) { m_recorder.setPaused(paused); }
    bool isEnabled() const { return m_recorder.isEnabled(); }
    void setEnabled(bool enabled) { m_recorder.setEnabled(enabled); }
    QStringList userIgnoredApps() const { return m_recorder.userIgnoredApps(); }
    void setUserIgnoredApps(const QStringList &apps) { m_recorder.setUserIgnoredApps(apps); }

    // The paste-back.
    void copy(const ClipItem &item) { m_pasteBack.copy(item); }
    void pasteIntoFrontApp() { m_pasteBack.pasteIntoFrontApp(); }
    void choose(const ClipItem &item, bool paste) { m_pasteBack.choose(item, paste); }
    bool isTrusted() const { return m_pasteBack.isTrusted(); }
    bool pasteAutomatically() const { return m_pasteBack.pasteAutomatically(); }
    void setPasteAutomatically(bool paste) { m_pasteBack.setPasteAutomatically(paste); }

signals:
    void itemsChanged();
    void thumbnailReady(const QUuid &id);
    void copyNotStored();
    void removalKept(int count);
    void ignoreNextChanged(bool ignoreNext);
    void pausedChanged(bool paused);

private:
    ClipHistory m_history;
    ClipRecorder m_recorder;
    PasteBack m_pasteBack;
};
