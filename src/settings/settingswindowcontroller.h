// SPDX-License-Identifier: MIT
#pragma once

#include "settings/settingsview.h"

#include <QObject>
#include <QPointer>

class AppState;
class QScrollArea;
class UpdateSettings;

// The settings window: made once, kept when closed (closing hides it), centred on the screen
// when made. Its content is made again each time it opens after being closed, so it shows what
// the models hold now.
class SettingsWindowController : public QObject
{
    Q_OBJECT
public:
    static constexpr int width = 580;
    static constexpr int height = 900;

    SettingsWindowController(UpdateSettings *updates, AppState *state, QObject *parent = nullptr);
    ~SettingsWindowController() override;

    // What the view works with; tests and the shell may set it before the first show().
    void setServices(const SettingsView::Services &services) { m_services = services; }
    // What "Quit Kiwano Snapper" calls (the application's normal quit); QCoreApplication::quit
    // unless set. Takes effect the next time the view is made.
    void setQuitHandler(std::function<void()> quit) { m_services.quit = std::move(quit); }
    // Shows the window in front and gives it the keyboard.
    void show();
    QWidget *window() const { return m_window; }
    SettingsView *view() const { return m_view; }

private:
    void makeWindow();

    UpdateSettings *m_updates;
    QPointer<AppState> m_state;
    SettingsView::Services m_services;
    QWidget *m_window = nullptr;
    QScrollArea *m_scroll = nullptr;
    QPointer<SettingsView> m_view;
};
