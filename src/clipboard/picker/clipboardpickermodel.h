// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class Clipboard;

// The picker's state: the search text, the selected entry, the search field's focus requests and
// when the pointer may take the selection from the keyboard. The panel installs the callbacks.
class ClipboardPickerModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int focusToken READ focusToken NOTIFY focusTokenChanged)

public:
    explicit ClipboardPickerModel(Clipboard &clipboard, QObject *parent = nullptr);

    // The entries the user sees: the history filtered by title, in the history's order.
    QList<ClipItem> visible() const;

    QString query() const { return m_query; }
    // Stores the text and selects the first visible entry.
    void setQuery(const QString &query);
    std::optional<QUuid> selectedID() const { return m_selectedID; }
    int focusToken() const { return m_focusToken; }
    std::optional<QPoint> keyboardMouse() const { return m_keyboardMouse; }

    // A fresh opening: empty search, first entry selected, the pointer's place remembered.
    void reset();
    void focusSearch();
    // Moves the selection by delta without wrapping; with no selection, selects the first entry.
    void move(int delta);
    // The pointer is over this entry's row; it takes the selection only once the pointer moved.
    void hover(const ClipItem &item);
    // Runs body with the selected entry when it is visible.
    void withSelected(const std::function<void(const ClipItem &)> &body) const;
    void chooseSelected(bool option);
    // Says chosen(); paste is the option flag flipped by "clipboard.paste".
    void choose(const ClipItem &item, bool option);
    // Chooses the visible entry at this position, if there is one.
    void choose(int index, bool option);
    // Deletes the selected entry, kept aside for an undo, and selects the one that takes its place.
    void deleteSelected();

    // The user asked for the settings (the gear, or its key).
    void requestSettings() { emit settingsRequested(); }
    // Where the pointer is now, in screen coordinates.
    std::function<QPoint()> pointerLocation;

signals:
    // An entry was chosen: the panel closes and pastes it, or only copies it.
    void chosen(const ClipItem &item, bool paste);
    void settingsRequested();
    void queryChanged(const QString &query);
    void selectedIDChanged();
    void focusTokenChanged(int focusToken);
    // The history or the query changed, so visible() may have.
    void visibleChanged();

private:
    void select(const std::optional<QUuid> &id);
    void selectFirst();

    Clipboard &m_clipboard;
    QString m_query;
    std::optional<QUuid> m_selectedID;
    int m_focusToken = 0;
    std::optional<QPoint> m_keyboardMouse;
};
