// SPDX-License-Identifier: MIT
#include "capture/appstate.h"

#include <QTimer>
#include <QtConcurrent>

#include <algorithm>

#include "capture/history.h"
#include "editor/model/editormodel.h"
#include "editor/model/zogquote.h"

namespace {

qsizetype indexOf(const QList<GrabEntry> &entries, const QUrl &url)
{
    const auto found = std::find_if(entries.cbegin(), entries.cend(),
                                    [&url](const GrabEntry &entry) { return entry.url == url; });
    return found == entries.cend() ? -1 : found - entries.cbegin();
}

} // namespace

AppState::AppState(QObject *parent)
    : QObject(parent)
    , m_entries(History::load())
{
}

AppState::~AppState() = default;

void AppState::setSelected(const std::optional<QUrl> &url)
{
    if (url == m_selected)
        return;
    m_selected = url;
    emit selectedChanged();
    releaseHidden();
}

std::optional<GrabEntry> AppState::latest() const
{
    if (m_entries.isEmpty())
        return std::nullopt;
    return m_entries.first();
}

EditorModel *AppState::currentModel() const
{
    return m_selected && isWhole(*m_selected) ? m_models.value(*m_selected) : nullptr;
}

bool AppState::isWhole(const QUrl &url) const
{
    const EditorModel *model = m_models.value(url);
    return model && !model->isReleased();
}

EditorModel *AppState::model(const QUrl &url)
{
    EditorModel *model = m_models.value(url);
    if (model && !model->isReleased()) {
        setLastModel(model);
        return model;
    }
    const qsizetype at = indexOf(m_entries, url);
    if (at < 0)
        return nullptr;
    // Decoding is nearly the whole cost of opening a grab (bench_appstate measures it); here it
    // stays on the main thread, as the caller wants the model at once (prepareModel does not).
    const QImage image = History::image(m_entries.at(at));
    if (image.isNull())
        return nullptr;
    if (model)
        model->restoreBase(image);
    else
        model = makeModel(url, image);
    setLastModel(model);
    return model;
}

EditorModel *AppState::makeModel(const QUrl &url, const QImage &image)
{
    auto *model = new EditorModel(image, this);
    if (const auto parked = m_parked.constFind(url); parked != m_parked.cend()) {
        // Released earlier: the grab gets back its own tool, styles and quote.
        model->setToolStyles(parked->toolStyles);
        model->setTool(parked->tool);
        model->setQuote(parked->quote);
        m_parked.erase(parked);
    } else if (m_lastModel) {
        // The tool and its styles carry over from the grab last worked on; a crop in progress
        // belongs to that grab alone.
        const Tool tool = m_lastModel->tool();
        model->setTool(tool == Tool::crop ? Tool::move : tool);
        model->setToolStyles(m_lastModel->toolStyles());
    }
    m_models.insert(url, model);
    return model;
}

void AppState::insert(const GrabEntry &entry, bool celebrate)
{
    // One file is one grab: listing it twice would give the strip two items with one identity.
    QList<GrabEntry> entries = m_entries;
    entries.removeIf([&entry](const GrabEntry &listed) { return listed.url == entry.url; });
    entries.prepend(entry);
    if (entries.size() > History::limit)
        entries.resize(History::limit);
    setEntries(entries);
    setSelected(entry.url);
    if (!celebrate)
        return;
    if (EditorModel *model = this->model(entry.url))
        model->setQuote(ZogQuote::random());
}

std::optional<GrabEntry> AppState::addAsNewGrab(const QImage &image)
{
    const auto entry = History::add(image);
    if (entry)
        insert(*entry, false);
    return entry;
}

void AppState::selectLatestIfNeeded()
{
    if (m_selected && indexOf(m_entries, *m_selected) >= 0)
        return;
    const auto newest = latest();
    setSelected(newest ? std::optional<QUrl>(newest->url) : std::nullopt);
}

bool AppState::moveHistory(const QString &folder, QString *error)
{
    const auto moved = History::move(folder, error);
    if (!moved)
        return false;

    QHash<QUrl, EditorModel *> models;
    for (auto it = m_models.cbegin(); it != m_models.cend(); ++it) {
        if (!moved->contains(it.key()))
            models.insert(it.key(), it.value());
    }
    QHash<QUrl, Parked> parked;
    for (auto it = m_parked.cbegin(); it != m_parked.cend(); ++it)
        parked.insert(moved->value(it.key(), it.key()), it.value());
    m_parked = parked;
    for (auto it = m_models.cbegin(); it != m_models.cend(); ++it) {
        const auto to = moved->constFind(it.key());
        if (to == moved->cend())
            continue;
        // A model left under the target location belongs to a file that is no longer there:
        // the grab that now is takes its place.
        if (EditorModel *stale = models.value(*to))
            discard(stale);
        models.insert(*to, it.value());
    }
    m_models = models;

    // A trashed grab would come back into the folder left behind, out of sight.
    forgetTrashed();
    if (m_selected && moved->contains(*m_selected))
        setSelected(moved->value(*m_selected));
    setEntries(History::load());
    return true;
}

void AppState::trash(const GrabEntry &entry)
{
    // Matched by file, not by date: once the file is gone, no listed entry may still point at it.
    const qsizetype at = indexOf(m_entries, entry.url);
    QString reason;
    const auto trashed = History::trash(at < 0 ? entry : m_entries.at(at), &reason);
    if (!trashed) {
        emit trashFailed(entry, reason);
        return;
    }
    forgetTrashed();
    Trashed kept{*trashed, m_selected == entry.url, m_models.take(entry.url), std::nullopt};
    if (const auto parked = m_parked.constFind(entry.url); parked != m_parked.cend()) {
        kept.parked = *parked;
        m_parked.erase(parked);
    }
    m_trashed = kept;

    QList<GrabEntry> entries = m_entries;
    entries.removeIf([&entry](const GrabEntry &listed) { return listed.url == entry.url; });
    setEntries(entries);
    if (kept.wasSelected && at >= 0) {
        if (at < m_entries.size())
            setSelected(m_entries.at(at).url);
        else if (m_entries.isEmpty())
            setSelected(std::nullopt);
        else
            setSelected(m_entries.last().url);
    }
    // Kept for an undo, not shown meanwhile: it reads its picture again if it comes back.
    if (m_trashed && m_trashed->model)
        m_trashed->model->releaseBase();
    emit grabTrashed(trashed->entry);
}

std::optional<GrabEntry> AppState::trashed() const
{
    if (!m_trashed)
        return std::nullopt;
    return m_trashed->grab.entry;
}

void AppState::restoreTrashed()
{
    if (!m_trashed)
        return;
    const GrabEntry entry = m_trashed->grab.entry;
    QString reason;
    if (!History::restore(m_trashed->grab, &reason)) {
        forgetTrashed();
        emit restoreFailed(entry, reason);
        return;
    }
    const Trashed kept = *m_trashed;
    m_trashed.reset();
    if (kept.model)
        m_models.insert(entry.url, kept.model);
    if (kept.parked)
        m_parked.insert(entry.url, *kept.parked);

    // Back where it was among the others: newest first, as the history lists them.
    QList<GrabEntry> entries = m_entries;
    entries.removeIf([&entry](const GrabEntry &listed) { return listed.url == entry.url; });
    const auto place = std::find_if(entries.cbegin(), entries.cend(), [&entry](const GrabEntry &listed) {
        return listed.date < entry.date
            || (listed.date == entry.date && listed.url.fileName() < entry.url.fileName());
    });
    entries.insert(place - entries.cbegin(), entry);
    setEntries(entries);
    if (kept.wasSelected)
        setSelected(entry.url);
    emit grabRestored(entry);
}

void AppState::forgetTrashed()
{
    if (!m_trashed)
        return;
    EditorModel *model = m_trashed->model;
    m_trashed.reset();
    if (model)
        discard(model);
}

void AppState::setEntries(const QList<GrabEntry> &entries)
{
    if (entries == m_entries)
        return;
    m_entries = entries;
    emit entriesChanged();
    dropUnlisted();
}

void AppState::setLastModel(EditorModel *model)
{
    EditorModel *previous = m_lastModel;
    m_lastModel = model;
    // A deleted grab's model was kept only as the seed; now that another one seeds, it can go,
    // unless it waits to come back with its trashed grab.
    if (previous && previous != model && !m_models.values().contains(previous)
        && !(m_trashed && m_trashed->model == previous))
        previous->deleteLater();
}

void AppState::discard(EditorModel *model)
{
    // The last model keeps seeding new ones after its grab is gone (setLastModel lets it go);
    // any other is destroyed once the views that showed it have heard of the change.
    if (model != m_lastModel)
        model->deleteLater();
}

void AppState::prepareModel(const QUrl &url)
{
    if (m_loading.contains(url))
        return;
    const qsizetype at = indexOf(m_entries, url);
    if (isWhole(url) || at < 0) {
        QTimer::singleShot(0, this, [this, url] {
            if (isWhole(url))
                emit modelReady(url);
            else if (indexOf(m_entries, url) >= 0)
                prepareModel(url); // released in the meantime
            else
                emit modelFailed(url);
        });
        return;
    }
    m_loading.insert(url);
    const GrabEntry entry = m_entries.at(at);
    QtConcurrent::run([entry] { return History::image(entry); })
        .then(this, [this, url](const QImage &image) {
            // A quick decode may finish before the continuation is attached, which then runs
            // inside this call: the outcome always follows on a later turn, as callers expect.
            QMetaObject::invokeMethod(this, [this, url, image] {
                m_loading.remove(url);
                if (isWhole(url)) {
                    emit modelReady(url); // model(url) got there first
                } else if (m_selected && *m_selected != url) {
                    // Passed by on the way to another grab: the picture goes now, not with the
                    // next selection.
                } else if (image.isNull() || indexOf(m_entries, url) < 0) {
                    emit modelFailed(url);
                } else {
                    if (EditorModel *model = m_models.value(url))
                        model->restoreBase(image);
                    else
                        makeModel(url, image);
                    emit modelReady(url);
                }
            }, Qt::QueuedConnection);
        });
}

void AppState::releaseHidden()
{
    for (auto it = m_models.begin(); it != m_models.end();) {
        EditorModel *model = it.value();
        if (it.key() == m_selected) {
            ++it;
            continue;
        }
        const bool idle = model->annotations().isEmpty() && !model->canUndo() && !model->canRedo();
        if (!idle || model == m_lastModel) {
            model->releaseBase();
            ++it;
            continue;
        }
        m_parked.insert(it.key(), Parked{model->tool(), model->toolStyles(), model->quote()});
        model->deleteLater();
        it = m_models.erase(it);
    }
    // The seed of new models may belong to a grab no longer listed.
    if (m_lastModel && !m_models.values().contains(m_lastModel))
        m_lastModel->releaseBase();
}

void AppState::dropUnlisted()
{
    for (auto it = m_models.begin(); it != m_models.end();) {
        if (indexOf(m_entries, it.key()) >= 0 || it.key() == m_selected) {
            ++it;
            continue;
        }
        discard(it.value());
        it = m_models.erase(it);
    }
    m_parked.removeIf([this](const auto &parked) { return indexOf(m_entries, parked.key()) < 0; });
}
