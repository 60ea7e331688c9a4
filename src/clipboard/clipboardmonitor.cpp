// SPDX-License-Identifier: MIT
// Noticing copies and deciding which to keep: through the clipboard's watcher where it has one,
// else by polling.
#include "clipboard/clipboard.h"

#include "clipboard/cliprules.h"
#include "clipboard/cliptitle.h"
#include "clipboard/contentdigest.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

void Clipboard::watch(ClipboardWatcher *watcher)
{
    if (m_watcher == watcher)
        return;
    if (m_watcher)
        disconnect(m_watcher, nullptr, this, nullptr);
    m_watcher = watcher;
    if (!m_watcher)
        return;
    connect(m_watcher, &ClipboardWatcher::changed, this, &Clipboard::takeChange);
    connect(m_watcher, &ClipboardWatcher::copyArrived, this, &Clipboard::takeCopy);
    // Runs on the watcher's thread: pure rules only.
    m_watcher->setChoice([](const QStringList &types) { return ClipRules::readOrder(types); });
    m_watcher->setByteLimit(ClipRules::sizeCap);
}

void Clipboard::start()
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

void Clipboard::stop()
{
    if (m_watcher)
        m_watcher->stop();
    m_timer.stop();
    m_running = false;
}

void Clipboard::check()
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
    consider(m_clipboard->types(), [this](const QString &type) { return m_clipboard->data(type); },
             m_frontApp ? m_frontApp->identifier() : QString(), false);
}

void Clipboard::takeChange(quint64 change)
{
    // The application in front now is the one that copied, not the one in front once the copy
    // has been read.
    m_change = change;
    m_changeFront = m_frontApp ? m_frontApp->identifier() : QString();
}

void Clipboard::takeCopy(const ClipboardWatcher::Copy &copy)
{
    if (!m_running)
        return;
    const QString front = copy.change == m_change ? m_changeFront
                                                  : (m_frontApp ? m_frontApp->identifier() : QString());
    const auto data = [&copy](const QString &type) -> std::optional<QByteArray> {
        for (const ClipboardService::Item &item : copy.items)
            if (item.type == type)
                return item.data;
        return std::nullopt;
    };
    consider(copy.types, data, front, true);
}

void Clipboard::consider(const QStringList &types, const DataSource &data, const QString &front,
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
        if (auto prepared = prepare(std::move(representations)))
            addHashed(prepared->representations, prepared->hash, prepared->title, app);
        return;
    }

    // Converting TIFF, decoding megabytes of text and hashing them is no work for the thread that
    // draws the picker.
    Intake intake{QtConcurrent::run(&m_intakePool, &Clipboard::prepare, std::move(representations)), app};
    auto *watcher = new QFutureWatcher<std::optional<Prepared>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        landIntakes();
    });
    watcher->setFuture(intake.prepared);
    m_intakes.append(std::move(intake));
}

std::optional<Clipboard::Prepared> Clipboard::prepare(QList<Representation> representations)
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
    Prepared prepared;
    prepared.hash = contentDigest(representations);
    prepared.title = clipTitle(representations, pngBytes);
    prepared.representations = std::move(representations);
    return prepared;
}

void Clipboard::landIntakes()
{
    // In the order the copies were made, each once it is ready.
    while (!m_intakes.isEmpty() && m_intakes.first().prepared.isFinished()) {
        const Intake intake = m_intakes.takeFirst();
        if (const std::optional<Prepared> prepared = intake.prepared.result())
            addHashed(prepared->representations, prepared->hash, prepared->title, intake.app, true);
    }
}
