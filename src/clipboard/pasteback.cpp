// SPDX-License-Identifier: MIT
#include "clipboard/pasteback.h"

#include "clipboard/cliprules.h"
#include "clipboard/store.h"
#include "platform/clipboardservice.h"
#include "platform/frontapp.h"
#include "platform/keysender.h"
#include "platform/preferences.h"

#include <QTimer>

PasteBack::PasteBack(const Store &store, ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender,
                     QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clipboard(clipboard)
    , m_frontApp(frontApp)
    , m_keySender(keySender)
{
}

void PasteBack::setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender)
{
    m_clipboard = clipboard;
    m_frontApp = frontApp;
    m_keySender = keySender;
}

void PasteBack::copy(const ClipItem &item)
{
    if (!m_clipboard)
        return;
    // The X clipboard holds one item, so file lists travel as one text/uri-list, with the GNOME
    // form beside it for file managers that paste files only from that.
    QList<ClipboardService::Item> offered;
    QStringList uris;
    for (const ClipContent &content : item.contents) {
        std::optional<QByteArray> bytes = m_store.read(item.id, content.file);
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

bool PasteBack::isTrusted() const
{
    return m_keySender && m_keySender->isTrusted();
}

void PasteBack::pasteIntoFrontApp()
{
    if (!isTrusted())
        return;
    const QString front = m_frontApp ? m_frontApp->identifier() : QString();
    if (ClipRules::cannotPasteClipboard(front))
        return;
    m_keySender->sendPaste(ClipRules::isTerminal(front));
}

void PasteBack::choose(const ClipItem &item, bool paste)
{
    copy(item);
    // Without trust this desktop has no permission prompt to show: the entry stays copied, as the
    // picker's footer told the user beforehand.
    if (paste && isTrusted())
        QTimer::singleShot(0, this, &PasteBack::pasteIntoFrontApp);
}

bool PasteBack::pasteAutomatically() const
{
    return Preferences::value(Preferences::clipboardPaste);
}

void PasteBack::setPasteAutomatically(bool paste)
{
    Preferences::setValue(Preferences::clipboardPaste, paste);
}
