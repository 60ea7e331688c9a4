// SPDX-License-Identifier: MIT
#include "clipboard/clipboard.h"

Clipboard::Clipboard(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender, const QString &folder,
                     QObject *parent)
    : QObject(parent)
    , m_history(folder)
    , m_recorder(m_history, clipboard, frontApp)
    , m_pasteBack(m_history.store(), clipboard, frontApp, keySender)
{
    connect(&m_history, &ClipHistory::itemsChanged, this, &Clipboard::itemsChanged);
    connect(&m_history, &ClipHistory::thumbnailReady, this, &Clipboard::thumbnailReady);
    connect(&m_history, &ClipHistory::copyNotStored, this, &Clipboard::copyNotStored);
    connect(&m_history, &ClipHistory::removalKept, this, &Clipboard::removalKept);
    connect(&m_recorder, &ClipRecorder::ignoreNextChanged, this, &Clipboard::ignoreNextChanged);
    connect(&m_recorder, &ClipRecorder::pausedChanged, this, &Clipboard::pausedChanged);
}

// The recorder goes before the history it fills: its copies still under way land first.
Clipboard::~Clipboard() = default;

void Clipboard::setServices(ClipboardService *clipboard, FrontApp *frontApp, KeySender *keySender)
{
    m_recorder.setServices(clipboard, frontApp);
    m_pasteBack.setServices(clipboard, frontApp, keySender);
}

void Clipboard::prepareForQuit()
{
    m_recorder.stop();
    m_recorder.finishPendingCopies();
    m_history.prepareForQuit();
}
