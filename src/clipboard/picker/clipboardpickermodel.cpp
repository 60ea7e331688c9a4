// SPDX-License-Identifier: MIT
#include "clipboard/picker/clipboardpickermodel.h"

#include "clipboard/clipboard.h"

#include <QCursor>

namespace {

// Only spaces and tabs: a line break typed or pasted into the field still counts.
QString trimmedQuery(const QString &query)
{
    qsizetype start = 0;
    qsizetype end = query.size();
    auto blank = [&](qsizetype i) { return query.at(i) == QLatin1Char(' ') || query.at(i) == QLatin1Char('\t'); };
    while (start < end && blank(start))
        ++start;
    while (end > start && blank(end - 1))
        --end;
    return query.mid(start, end - start);
}

} // namespace

ClipboardPickerModel::ClipboardPickerModel(Clipboard &clipboard, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
{
    pointerLocation = [] { return QCursor::pos(); };
    connect(&m_clipboard, &Clipboard::itemsChanged, this, &ClipboardPickerModel::visibleChanged);
}

QList<ClipItem> ClipboardPickerModel::visible() const
{
    const QString query = trimmedQuery(m_query);
    const QList<ClipItem> &items = m_clipboard.items();
    if (query.isEmpty())
        return items;
    QList<ClipItem> matches;
    for (const ClipItem &item : items)
        if (item.title.contains(query, Qt::CaseInsensitive))
            matches.append(item);
    return matches;
}

void ClipboardPickerModel::setQuery(const QString &query)
{
    const bool changed = m_query != query;
    m_query = query;
    if (changed) {
        emit queryChanged(m_query);
        emit visibleChanged();
    }
    selectFirst();
}

void ClipboardPickerModel::reset()
{
    setQuery(QString());
    selectFirst();
    m_keyboardMouse = pointerLocation();
}

void ClipboardPickerModel::focusSearch()
{
    ++m_focusToken;
    emit focusTokenChanged(m_focusToken);
}

void ClipboardPickerModel::move(int delta)
{
    const QList<ClipItem> items = visible();
    if (items.isEmpty())
        return;
    qsizetype position = -1;
    for (qsizetype i = 0; i < items.size(); ++i)
        if (m_selectedID && items.at(i).id == *m_selectedID)
            position = i;
    if (position < 0)
        position = 0;
    else
        position = qBound<qsizetype>(0, position + delta, items.size() - 1);
    select(items.at(position).id);
    m_keyboardMouse = pointerLocation();
}

void ClipboardPickerModel::hover(const ClipItem &item)
{
    if (m_keyboardMouse && *m_keyboardMouse == pointerLocation())
        return;
    if (m_selectedID == item.id)
        return;
    m_keyboardMouse.reset();
    select(item.id);
}

void ClipboardPickerModel::withSelected(const std::function<void(const ClipItem &)> &body) const
{
    if (!m_selectedID)
        return;
    const QList<ClipItem> items = visible();
    for (const ClipItem &item : items) {
        if (item.id == *m_selectedID) {
            body(item);
            return;
        }
    }
}

void ClipboardPickerModel::chooseSelected(bool option)
{
    withSelected([&](const ClipItem &item) { choose(item, option); });
}

void ClipboardPickerModel::choose(const ClipItem &item, bool option)
{
    emit chosen(item, option != m_clipboard.pasteAutomatically());
}

void ClipboardPickerModel::choose(int index, bool option)
{
    const QList<ClipItem> items = visible();
    if (index >= 0 && index < items.size())
        choose(items.at(index), option);
}

void ClipboardPickerModel::deleteSelected()
{
    withSelected([&](const ClipItem &item) {
        const QList<ClipItem> before = visible();
        const qsizetype found = before.indexOf(item);
        const qsizetype position = found < 0 ? 0 : found;
        m_clipboard.deleteItem(item, true);
        const QList<ClipItem> after = visible();
        if (after.isEmpty())
            select(std::nullopt);
        else
            select(after.at(qMin(position, after.size() - 1)).id);
    });
}

void ClipboardPickerModel::select(const std::optional<QUuid> &id)
{
    if (m_selectedID == id)
        return;
    m_selectedID = id;
    emit selectedIDChanged();
}

void ClipboardPickerModel::selectFirst()
{
    const QList<ClipItem> items = visible();
    select(items.isEmpty() ? std::nullopt : std::optional(items.first().id));
}
