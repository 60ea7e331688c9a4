// SPDX-License-Identifier: MIT
#include "clipboard/picker/view/clipboardpanelhost.h"

#include "clipboard/picker/view/clipboardpanel.h"
#include "clipboard/picker/view/clipboardpickerview.h"

ClipboardPanelHost::ClipboardPanelHost(Clipboard &clipboard, HotKeyCenter &hotKeys, QObject *parent)
    : QObject(parent)
    , m_clipboard(clipboard)
    , m_hotKeys(hotKeys)
{
}

ClipboardPanelHost::~ClipboardPanelHost() = default;

ClipboardPanel &ClipboardPanelHost::panel()
{
    if (!m_panel) {
        m_panel = std::make_unique<ClipboardPanel>(m_clipboard, m_hotKeys, nullptr,
            m_takesFocus ? ClipboardPanel::Presentation::focusedWindow : ClipboardPanel::Presentation::popup);
        connect(m_panel.get(), &ClipboardPanel::settingsRequested, this, &ClipboardPanelHost::settingsRequested);
        m_panel->view()->setCopyOnlyLine(m_copyOnlyLine);
    }
    return *m_panel;
}

bool ClipboardPanelHost::handlePress(HotKeyAction action)
{
    if (action != HotKeyAction::clipboard)
        return false;
    panel().toggle();
    return true;
}

void ClipboardPanelHost::openFromMenu()
{
    panel().open(false);
}

void ClipboardPanelHost::setCopyOnlyLine(const QString &line)
{
    m_copyOnlyLine = line;
    if (m_panel)
        m_panel->view()->setCopyOnlyLine(line);
}
