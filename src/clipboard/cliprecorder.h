// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/cliphistory.h"
#include "platform/clipboardwatcher.h"

#include <QFuture>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <optional>

class ClipboardService;
class FrontApp;

// Watches the desktop clipboard, decides which copies to keep and hands them to the history.
// Where the clipboard has a watcher, copies are read on its thread and prepared (hashed, titled)
// on a worker of our own; the main thread only merges or appends.
class ClipRecorder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool ignoreNext READ ignoreNext WRITE setIgnoreNext NOTIFY ignoreNextChanged)
    Q_PROPERTY(bool paused READ paused WRITE setPaused NOTIFY pausedChanged)

public:
    // The services are not owned and may be null (then nothing is read).
    ClipRecorder(ClipHistory &history, ClipboardService *clipboard, FrontApp *frontApp, QObject *parent = nullptr);
    ~ClipRecorder() override;

    // Replaces the platform services; what the new clipboard holds now is taken as seen.
    void setServices(ClipboardService *clipboard, FrontApp *frontApp);

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
    // Blocks until every copy still being prepared or written has joined the history.
    void finishPendingCopies();

    bool ignoreNext() const { return m_ignoreNext; }
    void setIgnoreNext(bool ignoreNext);
    bool paused() const { return m_paused; }
    void setPaused(bool paused);

    // Preferences, read on every use.
    bool isEnabled() const;
    void setEnabled(bool enabled);
    QStringList userIgnoredApps() const;
    void setUserIgnoredApps(const QStringList &apps);

signals:
    void ignoreNextChanged(bool ignoreNext);
    void pausedChanged(bool paused);

private:
    struct Intake
    {
        QFuture<std::optional<PreparedCopy>> prepared;
        std::optional<QString> app;
    };
    static constexpr int pollInterval = 500;
    using DataSource = std::function<std::optional<QByteArray>(const QString &)>;
    // The rules that need only the types, the flags and the application in front; then the
    // content's, here or on the intake worker.
    void consider(const QStringList &types, const DataSource &data, const QString &front, bool inBackground);
    static std::optional<PreparedCopy> prepare(QList<Representation> representations);
    void watch(ClipboardWatcher *watcher);
    void takeChange(quint64 change);
    void takeCopy(const ClipboardWatcher::Copy &copy);
    void landIntakes();
    QString frontApp() const;

    ClipHistory &m_history;
    ClipboardService *m_clipboard;
    FrontApp *m_frontApp;
    qint64 m_changeCount = 0;
    QTimer m_timer;
    QPointer<ClipboardWatcher> m_watcher; // may go before the recorder does
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
};
