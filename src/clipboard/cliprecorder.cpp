// SPDX-License-Identifier: MIT
#include "clipboard/cliprecorder.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "clipboard/contentdigest.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"
#include "platform/preferences.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

ClipRecorder::ClipRecorder(ClipHistory &history, ClipboardService *clipboard, FrontApp *frontApp, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_clipboard(clipboard)
    , m_frontApp(frontApp)
{
    m_changeCount = m_clipboard ? m_clipboard->changeCount() : 0;
    m_timer.setInterval(pollInterval);
    connect(&m_timer, &QTimer::timeout, this, &ClipRecorder::check);
    m_intakePool.setMaxThreadCount(1);
    watch(m_clipboard ? m_clipboard->watcher() : nullptr);
}

ClipRecorder::~ClipRecorder()
{
    stop();
    // Workers report back to this object; let them land before it goes.
    finishPendingCopies();
}

void ClipRecorder::setServices(ClipboardService *clipboard, FrontApp *frontApp)
{
    const bool wasRunning = m_running;
    stop();
    m_clipboard = clipboard;
    m_frontApp = frontApp;
    m_changeCount = m_clipboard ? m_clipboard->changeCount() : 0;
    watch(m_clipboard ? m_clipboard->watcher() : nullptr);
    if (wasRunning)
        start();
}

QString ClipRecorder::frontApp() const
{
    return m_frontApp ? m_frontApp->identifier() : QString();
}

void ClipRecorder::watch(ClipboardWatcher *watcher)
{
    if (m_watcher == watcher)
        return;
    if (m_watcher)
        disconnect(m_watcher, nullptr, this, nullptr);
    m_watcher = watcher;
    if (!m_watcher)
        return;
    connect(m_watcher, &ClipboardWatcher::changed, this, &ClipRecorder::takeChange);
    connect(m_watcher, &ClipboardWatcher::copyArrived, this, &ClipRecorder::takeCopy);
    // Runs on the watcher's thread: pure rules only.
    m_watcher->setChoice([](const QStringList &types) { return ClipRules::readOrder(types); });
    m_watcher->setByteLimit(ClipRules::sizeCap);
}

void ClipRecorder::start()
{
    if (m_running || !isEnabled())
        return;
    m_changeCount = m_clipboard ? m_clipboard->changeCount() : 0;
    if (m_watcher) {
        m_watcher->start();
        if (m_watcher->isRunning()) {
            m_running = true;
            return;
        }
    }
    m_timer.start();
    m_running = true;
}

void ClipRecorder::stop()
{
    if (m_watcher)
        m_watcher->stop();
    m_timer.stop();
    m_running = false;
}

void ClipRecorder::check()
{
    // Reading another application's clipboard may take a while; a tick that arrives meanwhile
    // (a nested event loop) must not start a second read. The watcher reads copies itself.
    if (!m_clipboard || m_checking || (m_watcher && m_watcher->isRunning()))
        return;
    const qint64 count = m_clipboard->changeCount();
    if (count == m_changeCount)
        return;
    m_changeCount = count;
    m_checking = true;
    const auto done = qScopeGuard([this] { m_checking = false; });
    consider(m_clipboard->types(), [this](const QString &type) { return m_clipboard->data(type); }, frontApp(),
             false);
}

void ClipRecorder::takeChange(quint64 change)
{
    // The application in front now is the one that copied, not the one in front once the copy
    // has been read.
    m_change = change;
    m_changeFront = frontApp();
}

void ClipRecorder::takeCopy(const ClipboardWatcher::Copy &copy)
{
    if (!m_running)
        return;
    const QString front = copy.change == m_change ? m_changeFront : frontApp();
    const auto data = [&copy](const QString &type) -> std::optional<QByteArray> {
        for (const ClipboardService::Item &item : copy.items)
            if (item.type == type)
                return item.data;
        return std::nullopt;
    };
    consider(copy.types, data, front, true);
}

void ClipRecorder::consider(const QStringList &types, const DataSource &data, const QString &front,
                         bool inBackground)
{
    if (ClipRules::isPrivate(types, [&] { return data(ClipRules::passwordHint); }))
        return;
    if (!ClipRules::hasStoredType(types))
        return;
    if (m_paused)
        return;
    const bool fromHistory = types.contains(ClipRules::marker);
    if (m_ignoreNext && !fromHistory) {
        setIgnoreNext(false);
        return;
    }
    std::optional<QString> app;
    if (!front.isEmpty()) {
        if (ClipRules::isIgnoredApp(front, userIgnoredApps()))
            return;
        app = front;
    }
    if (fromHistory)
        app.reset();
    QList<Representation> representations = ClipRules::capture(types, data);
    if (!inBackground) {
        if (const std::optional<PreparedCopy> prepared = prepare(std::move(representations)))
            m_history.add(*prepared, app);
        return;
    }

    // Converting TIFF, decoding megabytes of text and hashing them is no work for the thread that
    // draws the picker.
    Intake intake{QtConcurrent::run(&m_intakePool, &ClipRecorder::prepare, std::move(representations)), app};
    auto *watcher = new QFutureWatcher<std::optional<PreparedCopy>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        landIntakes();
    });
    watcher->setFuture(intake.prepared);
    m_intakes.append(std::move(intake));
}

std::optional<PreparedCopy> ClipRecorder::prepare(QList<Representation> representations)
{
    representations = ClipRules::replaceTiff(std::move(representations));
    if (representations.isEmpty() || ClipRules::isBlankText(representations)
        || ClipRules::exceedsSizeCap(representations))
        return std::nullopt;
    const auto png = std::find_if(representations.cbegin(), representations.cend(), [](const Representation &r) {
        return ClipRules::kind(r.type) == ClipRules::Kind::png;
    });
    const std::optional<QByteArray> pngBytes =
        png != representations.cend() ? std::optional(png->data) : std::nullopt;
    PreparedCopy prepared;
    prepared.hash = contentDigest(representations);
    prepared.title = clipTitle(representations, pngBytes);
    prepared.representations = std::move(representations);
    return prepared;
}

void ClipRecorder::landIntakes()
{
    // In the order the copies were made, each once it is ready.
    while (!m_intakes.isEmpty() && m_intakes.first().prepared.isFinished()) {
        const Intake intake = m_intakes.takeFirst();
        if (const std::optional<PreparedCopy> prepared = intake.prepared.result())
            m_history.add(*prepared, intake.app, true);
    }
}

void ClipRecorder::finishPendingCopies()
{
    for (Intake &intake : m_intakes)
        intake.prepared.waitForFinished();
    landIntakes();
    m_history.finishPendingCopies();
}

void ClipRecorder::setIgnoreNext(bool ignoreNext)
{
    if (m_ignoreNext == ignoreNext)
        return;
    m_ignoreNext = ignoreNext;
    emit ignoreNextChanged(ignoreNext);
}

void ClipRecorder::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    emit pausedChanged(paused);
}

bool ClipRecorder::isEnabled() const
{
    return Preferences::value(Preferences::clipboardEnabled);
}

void ClipRecorder::setEnabled(bool enabled)
{
    Preferences::setValue(Preferences::clipboardEnabled, enabled);
}

QStringList ClipRecorder::userIgnoredApps() const
{
    return Preferences::value(Preferences::clipboardIgnoredApps);
}

void ClipRecorder::setUserIgnoredApps(const QStringList &apps)
{
    Preferences::setValue(Preferences::clipboardIgnoredApps, apps);
}
