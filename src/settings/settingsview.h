// SPDX-License-Identifier: MIT
#pragma once

#include "settings/clipboardsection.h"
#include "settings/folderchooser.h"

#include <QWidget>

#include <functional>

class AppState;
class Clipboard;
class GeneralSection;
class HotKeyCenter;
class SavingSection;
class ShortcutsSection;
class UpdateSettings;
class WarningBox;

// Every option of the application in four sections, with a notice above them in sessions where
// some features cannot work. It keeps no settings itself: each control reads and writes the
// model or preference that owns it.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    // What the view works with; the process-wide ones unless a test gives its own.
    struct Services
    {
        HotKeyCenter *hotKeys = nullptr;
        Clipboard *clipboard = nullptr;
        ClipboardSection::Services clipboardServices;
        FolderChooser chooseFolder;
        std::function<void()> quit;
    };

    SettingsView(UpdateSettings *updates, AppState *state, QWidget *parent = nullptr);
    SettingsView(UpdateSettings *updates, AppState *state, Services services, QWidget *parent = nullptr);

    WarningBox *sessionNotice() const { return m_sessionNotice; }
    ShortcutsSection *shortcuts() const { return m_shortcuts; }
    SavingSection *saving() const { return m_saving; }
    ClipboardSection *clipboard() const { return m_clipboard; }
    GeneralSection *general() const { return m_general; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    WarningBox *m_sessionNotice;
    ShortcutsSection *m_shortcuts;
    SavingSection *m_saving;
    ClipboardSection *m_clipboard;
    GeneralSection *m_general;
};
