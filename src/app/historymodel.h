// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractListModel>
#include <QTimer>
#include <QUrl>

#include <optional>

class AppState;

// The grabs of the state as a list for the strip, newest first. Thumbnails are asked for only
// when an item is drawn, so the visible ones are made first; each is announced as it lands.
class HistoryModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role {
        UrlRole = Qt::UserRole + 1,
        SelectedRole, // bool: the grab shown in the editor
        ThumbnailRole, // QImage, null until made (or when the file cannot be read)
    };

    explicit HistoryModel(AppState *state, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // The row of the grab with that file, -1 when it is not listed.
    int row(const QUrl &url) const;

private:
    void entriesChanged();
    void selectedChanged();
    void thumbnailReady(const QUrl &url);
    void touch(const std::optional<QUrl> &url);

    AppState *m_state;
    std::optional<QUrl> m_shownSelection;
    QTimer m_clock; // keeps "just now" from going stale
};
