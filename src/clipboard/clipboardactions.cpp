// SPDX-License-Identifier: MIT
// Acting on stored entries: writing them back, pasting, pinning, deleting and clearing.
#include "clipboard/clipboard.h"

#include "clipboard/cliprules.h"
#include "clipboard/store.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"
#include "platform/keysender.h"

#include <QSet>

#include <algorithm>
#include <utility>

void Clipboard::copy(const ClipItem &item)
{
    if (!m_clipboard)
        return;
    // The X clipboard holds one item, so file lists travel as one text/uri-list, with the GNOME
    // form beside it for file managers that paste files only from that.
    QList<ClipboardService::Item> offered;
    QStringList uris;
    for (const ClipContent &content : item.contents) {
        std::optional<QByteArray> bytes = Store::read(item.id, content.file);
        if (!bytes)
            continue;
        if (ClipRules::kind(content.type) == ClipRules::Kind::fileList)
            uris += ClipRules::uriListEntries(*bytes);
        offered.append({content.type, std::move(*bytes)});
    }
    if (offered.isEmpty())
        return;
    if (!uris.isEmpty())
        offered.append({ClipRules::gnomeFilesType, "copy\n" + uris.join(QLatin1Char('\n')).toUtf8()});
    offered.append({ClipRules::marker, QByteArray()});
    m_clipboard->write(offered);
}

bool Clipboard::isTrusted() const
{
    return m_keySender && m_keySender->isTrusted();
}

void Clipboard::pasteIntoFrontApp()
{
    if (!isTrusted())
        return;
    const QString front = m_frontApp ? m_frontApp->identifier() : QString();
    if (ClipRules::cannotPasteClipboard(front))
        return;
    m_keySender->sendPaste(ClipRules::isTerminal(front));
}

void Clipboard::choose(const ClipItem &item, bool paste)
{
    copy(item);
    // Without trust this desktop has no permission prompt to show: the entry stays copied, as the
    // picker's footer told the user beforehand.
    if (paste && isTrusted())
        QTimer::singleShot(0, this, &Clipboard::pasteIntoFrontApp);
}

void Clipboard::togglePin(const ClipItem &item)
{
    const auto found = std::find(m_items.begin(), m_items.end(), item);
    if (found == m_items.end())
        return;
    found->pinned = !found->pinned;
    sortAndSave();
}

void Clipboard::deleteItem(const ClipItem &item, bool undoable)
{
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                    [&](const ClipItem &entry) { return entry.id == item.id; });
    if (found == m_items.cend()) {
        Store::remove(item.id);
        return;
    }
    forgetRemoval();
    const ClipItem removed = *found;
    m_items.removeIf([&](const ClipItem &entry) { return entry.id == item.id; });
    // The index stops naming the entry before its folder moves: after a crash in between, the
    // history is whole and only a folder nothing names is left over.
    Store::save(m_items);
    if (undoable && Store::setAside(removed.id)) {
        m_removed = {removed};
        emit itemsChanged();
        emit removalKept(1);
        return;
    }
    Store::remove(removed.id);
    emit itemsChanged();
}

void Clipboard::clear(bool includingPinned, bool undoable)
{
    forgetRemoval();
    QList<ClipItem> removed;
    for (const ClipItem &item : std::as_const(m_items))
        if (includingPinned || !item.pinned)
            removed.append(item);
    m_items.removeIf([&](const ClipItem &item) { return includingPinned || !item.pinned; });
    if (includingPinned)
        Store::removeKeptIndexes();
    Store::save(m_items);
    for (const ClipItem &item : std::as_const(removed)) {
        if (undoable && Store::setAside(item.id))
            m_removed.append(item);
        else
            Store::remove(item.id);
    }
    emit itemsChanged();
    if (!m_removed.isEmpty())
        emit removalKept(int(m_removed.size()));
}

bool Clipboard::undoRemoval()
{
    if (m_removed.isEmpty())
        return false;
    const QList<ClipItem> removed = std::exchange(m_removed, {});
    QList<QUuid> merged;
    for (ClipItem item : removed) {
        if (!Store::restore(item.id))
            continue;
        // The same content copied again meanwhile has an entry of its own: one entry holds both.
        const auto again = std::find_if(m_items.begin(), m_items.end(),
                                        [&](const ClipItem &entry) { return entry.hash == item.hash; });
        if (again != m_items.end()) {
            if (again->lastCopied >= item.lastCopied) {
                item.lastCopied = again->lastCopied;
                if (again->app)
                    item.app = again->app;
            }
            item.copies += again->copies;
            item.pinned = item.pinned || again->pinned;
            merged.append(again->id);
            m_items.erase(again);
        }
        m_items.append(item);
    }
    Store::purgeSetAside();
    if (!sortAndSave())
        return true;
    // Their folders go once the saved index no longer names them.
    for (const QUuid &id : std::as_const(merged))
        Store::remove(id);
    return true;
}

void Clipboard::forgetRemoval()
{
    m_removed.clear();
    Store::purgeSetAside();
}

void Clipboard::prepareForQuit()
{
    stop();
    finishPendingCopies();
    forgetRemoval();
    if (clearOnQuit())
        clear(false);
    Store::waitForWrites();
}
