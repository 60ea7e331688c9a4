// SPDX-License-Identifier: MIT
#include "settings/generalsection.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/autostart.h"
#include "settings/settingsparts.h"
#include "settings/updatesettings.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

GeneralSection::GeneralSection(UpdateSettings *updates, std::function<void()> quit, QWidget *parent)
    : QWidget(parent)
    , m_updates(updates)
    , m_login(new PixelToggle(tr("Open Kiwano Snapper when I log in")))
    , m_loginError(new WarningBox)
    , m_updatesToggle(new PixelToggle(tr("Check for updates automatically")))
    , m_checkNow(new KiwanoButton(QString(), tr("Check Now")))
    , m_checkAnswer(SettingsParts::caption(QString()))
    , m_quit(new KiwanoButton(QStringLiteral("arrow-right-from-bracket"), tr("Quit Kiwano Snapper")))
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("bookmark"), tr("General"));
    column->addWidget(m_login);
    column->addWidget(m_loginError);
    column->addWidget(m_updatesToggle);
    auto *versionRow = new QHBoxLayout;
    versionRow->setSpacing(12);
    versionRow->addWidget(SettingsParts::text(tr("Version %1").arg(UpdateSettings::version())));
    versionRow->addWidget(m_checkNow);
    versionRow->addStretch();
    column->addLayout(versionRow);
    column->addWidget(m_checkAnswer);
    m_checkAnswer->hide();
    // A switch for checks that never happen and a button that can only say so would contradict
    // the line that tells where updates come from: show that line alone.
    if (UpdateSettings::fromPackageManager()) {
        m_updatesToggle->hide();
        m_checkNow->hide();
        m_checkAnswer->setText(UpdateSettings().checkNow());
        m_checkAnswer->show();
    }
    auto *quitRow = new QHBoxLayout;
    quitRow->addWidget(m_quit);
    quitRow->addStretch();
    column->addSpacing(6);
    column->addLayout(quitRow);

    m_login->setChecked(Autostart::isEnabled());
    m_updatesToggle->setChecked(m_updates ? m_updates->automaticChecks() : false);
    m_updatesToggle->setEnabled(m_updates != nullptr);
    m_checkNow->setEnabled(m_updates != nullptr);

    connect(m_login, &QAbstractButton::toggled, this, &GeneralSection::changeLogin);
    if (m_updates) {
        connect(m_updatesToggle, &QAbstractButton::toggled, m_updates, &UpdateSettings::setAutomaticChecks);
        connect(m_updates, &UpdateSettings::automaticChecksChanged, m_updatesToggle, [this](bool on) {
            const QSignalBlocker quiet(m_updatesToggle);
            m_updatesToggle->setChecked(on);
        });
        connect(m_checkNow, &QAbstractButton::clicked, this, [this] {
            m_checkAnswer->setText(m_updates->checkNow());
            m_checkAnswer->show();
        });
    }
    connect(m_quit, &QAbstractButton::clicked, this, [quit = std::move(quit)] {
        if (quit)
            quit();
        else
            QCoreApplication::quit();
    });
}

void GeneralSection::changeLogin(bool on)
{
    QString error;
    if (Autostart::setEnabled(on, &error)) {
        m_loginError->setText(QString());
        return;
    }
    m_loginError->setText(tr("Couldn't change it: %1").arg(error));
    // The toggle shows what the autostart folder really holds now.
    const QSignalBlocker quiet(m_login);
    m_login->setChecked(Autostart::isEnabled());
}
