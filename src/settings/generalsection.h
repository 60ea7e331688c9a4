// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <functional>

class KiwanoButton;
class PixelToggle;
class QLabel;
class UpdateSettings;
class WarningBox;

// Start at login, update checks, the version, and quitting.
class GeneralSection : public QWidget
{
    Q_OBJECT
public:
    // quit ends the application the normal way; QCoreApplication::quit when not given.
    GeneralSection(UpdateSettings *updates, std::function<void()> quit, QWidget *parent = nullptr);

    PixelToggle *loginToggle() const { return m_login; }
    PixelToggle *updatesToggle() const { return m_updatesToggle; }
    WarningBox *loginError() const { return m_loginError; }
    QLabel *checkAnswer() const { return m_checkAnswer; }
    KiwanoButton *checkNowButton() const { return m_checkNow; }
    KiwanoButton *quitButton() const { return m_quit; }

private:
    void changeLogin(bool on);

    UpdateSettings *m_updates;
    PixelToggle *m_login;
    WarningBox *m_loginError;
    PixelToggle *m_updatesToggle;
    KiwanoButton *m_checkNow;
    QLabel *m_checkAnswer;
    KiwanoButton *m_quit;
};
