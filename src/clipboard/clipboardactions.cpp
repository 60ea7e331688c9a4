// SPDX-License-Identifier: MIT
// Acting on stored entries: writing them back, pasting, pinning, deleting and clearing.
#include "clipboard/clipboard.h"

#include "clipboard/cliprules.h"
#include "clipboard/store.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"
#include "platform/keysender.h"

#include <QSet>

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

void Clipboard::deleteItem(const ClipItem &item)
{
    m_items.removeIf([&](const ClipItem &entry) { return entry.id == item.id; });
    Store::remove(item.id);
    Store::save(m_items);
    emit itemsChanged();
}

void Clipboard::clear(bool includingPinned)
{
    QSet<QUuid> removed;
    for (const ClipItem &item : std::as_const(m_items))
        if (includingPinned || !item.pinned)
            removed.insert(item.id);
    for (const QUuid &id : std::as_const(removed))
        Store::remove(id);
    m_items.removeIf([&](const ClipItem &item) { return removed.contains(item.id); });
    if (includingPinned)
        Store::removeKeptIndexes();
    Store::save(m_items);
    emit itemsChanged();
}

void Clipboard::prepareForQuit()
{
    stop();
    finishPendingCopies();
    if (clearOnQuit())
        clear(false);
    Store::waitForWrites();
}
