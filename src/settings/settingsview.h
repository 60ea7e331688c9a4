// SPDX-License-Identifier: MIT
#pragma once

#include "platform/session.h"
#include "settings/clipboardsection.h"
#include "settings/folderchooser.h"
#include "settings/sessionsection.h"

#include <QWidget>

#include <functional>

class AppState;
class Clipboard;
class DesktopBindings;
class GeneralSection;
class HotKeyCenter;
class SavingSection;
class ShortcutsSection;
class UpdateSettings;

// Every option of the application in four sections; in a Wayland session an account of the
// session's services comes first. It keeps no settings itself: each control reads and writes the
// model or preference that owns it.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    // What the view works with; the process-wide ones unless a test gives its own.
    struct Services
    {
        // The shortcuts' registry: always given.
        HotKeyCenter *hotKeys = nullptr;
        Clipboard *clipboard = nullptr;
        ClipboardSection::Services clipboardServices;
        FolderChooser chooseFolder;
        std::function<void()> quit;
        // The running session and the services chosen for it at start-up; the defaults stand
        // for no Wayland session, which shows no account.
        SessionFacts session;
        ServicePlan plan;
        // The keys the desktop bound for us, where it owns the shortcuts.
        DesktopBindings *desktopBindings = nullptr;
        // GNOME without our shell extension: turning it on, and writing our shortcuts into
        // GNOME's custom shortcuts; each offered in "This session" when given.
        SessionSection::Work enableShellExtension;
        SessionSection::Work addDesktopShortcuts;
    };

    SettingsView(UpdateSettings *updates, AppState *state, Services services, QWidget *parent = nullptr);

    // Nothing outside a Wayland session.
    SessionSection *session() const { return m_session; }
    ShortcutsSection *shortcuts() const { return m_shortcuts; }
    SavingSection *saving() const { return m_saving; }
    ClipboardSection *clipboard() const { return m_clipboard; }
    GeneralSection *general() const { return m_general; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SessionSection *m_session = nullptr;
    ShortcutsSection *m_shortcuts;
    SavingSection *m_saving;
    ClipboardSection *m_clipboard;
    GeneralSection *m_general;
};
