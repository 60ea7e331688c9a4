// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QObject>

class ClipboardService;
class FrontApp;
class KeySender;
class Store;

// Puts a stored entry back on the desktop clipboard and types the paste keystroke into the
// application in front.
class PasteBack : public QObject
{
    Q_OBJECT

public:
    // The services are not owned and may be null (then nothing is written or pasted).
    PasteBack(const Store &store, ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender,
              QObject *parent = nullptr);

    void setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender);

    // Writes the entry's stored representations back to the clipboard with the marker type.
    void copy(const ClipItem &item);
    // Types the paste keystroke into the application in front (Ctrl+Shift+V in terminals).
    void pasteIntoFrontApp();
    // Copies the entry and, when paste is true and this session can type, pastes it on the next
    // turn of the event loop. The picker closes itself before calling this.
    void choose(const ClipItem &item, bool paste);
    // Whether this session lets us type the paste keystroke.
    bool isTrusted() const;

    // The preference, read on every use.
    bool pasteAutomatically() const;
    void setPasteAutomatically(bool paste);

private:
    const Store &m_store;
    ClipboardService *m_clipboard;
    FrontApp *m_frontApp;
    KeySender *m_keySender;
};
