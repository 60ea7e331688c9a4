// SPDX-License-Identifier: MIT
#pragma once

#include "settings/ignoredapps.h"

#include <QProcessEnvironment>
#include <QTimer>
#include <QWidget>

#include <functional>

class Clipboard;
class KiwanoButton;
class Stepper;
class PixelToggle;
class WarningBox;

// The clipboard history's options: recording, how many entries to keep, pasting, clearing at
// quit, the applications never recorded, and clearing now.
class ClipboardSection : public QWidget
{
    Q_OBJECT
public:
    struct Services
    {
        // Whether this session can type the paste keystroke; asked again every second while shown.
        std::function<bool()> trusted;
        IgnoredApps::Chooser chooseApp;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // False where the settings give the session's own account of recording and pasting,
        // which the X11 warnings would contradict.
        bool sessionWarnings = true;
    };

    ClipboardSection(Clipboard &clipboard, Services services, QWidget *parent = nullptr);

    PixelToggle *enabledToggle() const { return m_enabled; }
    Stepper *limitStepper() const { return m_limit; }
    PixelToggle *pasteToggle() const { return m_paste; }
    PixelToggle *clearOnQuitToggle() const { return m_clearOnQuit; }
    WarningBox *trustWarning() const { return m_trustWarning; }
    WarningBox *blockedWarning() const { return m_blockedWarning; }
    IgnoredApps *ignoredApps() const { return m_ignored; }
    KiwanoButton *clearButton() const { return m_clear; }
    bool isPolling() const { return m_poll.isActive(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void readTrust();
    void refreshTrustWarning();

    Clipboard &m_clipboard;
    Services m_services;
    bool m_trusted = false;
    QTimer m_poll;
    PixelToggle *m_enabled;
    Stepper *m_limit;
    PixelToggle *m_paste;
    WarningBox *m_trustWarning;
    WarningBox *m_blockedWarning;
    PixelToggle *m_clearOnQuit;
    IgnoredApps *m_ignored;
    KiwanoButton *m_clear;
};
