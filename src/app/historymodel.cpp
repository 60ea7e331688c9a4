// SPDX-License-Identifier: MIT
#include "app/historymodel.h"

#include <QFileInfo>
#include <QImage>

#include "app/relativedate.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "capture/thumbnailcache.h"

HistoryModel::HistoryModel(AppState *state, QObject *parent)
    : QAbstractListModel(parent)
    , m_state(state)
    , m_shownSelection(state->selected())
{
    connect(state, &AppState::entriesChanged, this, &HistoryModel::entriesChanged);
    connect(state, &AppState::selectedChanged, this, &HistoryModel::selectedChanged);
    connect(History::thumbnails(), &ThumbnailCache::thumbnailReady, this,
            [this](const QUrl &url) { thumbnailReady(url); });
    m_clock.setInterval(60 * 1000);
    connect(&m_clock, &QTimer::timeout, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    });
    m_clock.start();
}

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_state->entries().size());
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const GrabEntry &entry = m_state->entries().at(index.row());
    // Files whose time could not be read carry the history's earliest date: no age to tell.
    const QString age = RelativeDate::text(entry.date == History::undated() ? QDateTime() : entry.date);
    switch (role) {
    case Qt::DisplayRole:
        return age;
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return age + QStringLiteral(", ")
            + QFileInfo(entry.path()).fileName();
    case UrlRole:
        return entry.url;
    case SelectedRole:
        return m_state->selected() == entry.url;
    case ThumbnailRole:
        return History::thumbnail(entry);
    default:
        return {};
    }
}

int HistoryModel::row(const QUrl &url) const
{
    const QList<GrabEntry> &entries = m_state->entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).url == url)
            return int(i);
    }
    return -1;
}

void HistoryModel::entriesChanged()
{
    beginResetModel();
    endResetModel();
}

void HistoryModel::selectedChanged()
{
    touch(m_shownSelection);
    m_shownSelection = m_state->selected();
    touch(m_shownSelection);
}

void HistoryModel::thumbnailReady(const QUrl &url)
{
    touch(url);
}

void HistoryModel::touch(const std::optional<QUrl> &url)
{
    if (!url)
        return;
    const int at = row(*url);
    if (at >= 0)
        emit dataChanged(index(at), index(at));
}
