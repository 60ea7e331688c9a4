// SPDX-License-Identifier: MIT
#include "settings/settingsview.h"

#include "clipboard/clipboard.h"
#include "hotkeys/hotkeycenter.h"
#include "look/kiwano.h"
#include "settings/desktopbindings.h"
#include "settings/generalsection.h"
#include "settings/savingsection.h"
#include "settings/sessionsection.h"
#include "settings/settingsparts.h"
#include "settings/shortcutssection.h"

#include <QPainter>
#include <QVBoxLayout>

SettingsView::SettingsView(UpdateSettings *updates, AppState *state, QWidget *parent)
    : SettingsView(updates, state, Services(), parent)
{
}

SettingsView::SettingsView(UpdateSettings *updates, AppState *state, Services services, QWidget *parent)
    : QWidget(parent)
{
    HotKeyCenter &hotKeys = services.hotKeys ? *services.hotKeys : HotKeyCenter::shared();
    Clipboard &clipboard = services.clipboard ? *services.clipboard : Clipboard::shared();
    if (!services.chooseFolder)
        services.chooseFolder = &FolderChoosers::dialog;

    const bool wayland = services.session.kind == SessionFacts::Kind::wayland;
    ShortcutsSection::Presentation keys;
    if (wayland) {
        using Keys = ShortcutsSection::Presentation::Keys;
        QList<ServiceAccount> account = services.plan.account();
        const QString refusal = services.desktopBindings ? services.desktopBindings->refusal() : QString();
        switch (services.plan.shortcuts) {
        case ServicePlan::Shortcuts::portal:
            if (!refusal.isEmpty()) {
                // The desktop said no: binding the command lines is what is left.
                account.replace(0, refusedShortcutsAccount(refusal));
                keys.keys = Keys::none;
                keys.commandGuide = true;
                break;
            }
            keys.keys = Keys::desktop;
            keys.bindings = services.desktopBindings;
            break;
        case ServicePlan::Shortcuts::x11:
            // Through XWayland our keys reach only X11 apps: the desktop's own binding does better.
            keys.keys = Keys::recorded;
            keys.commandGuide = true;
            break;
        case ServicePlan::Shortcuts::none:
            keys.keys = Keys::none;
            keys.commandGuide = true;
            break;
        }
        keys.desktop = services.session.desktop;
        m_session = new SessionSection(account);
        services.clipboardServices.sessionWarnings = false;
    }
    m_shortcuts = new ShortcutsSection(hotKeys, keys);
    m_saving = new SavingSection(state, services.chooseFolder);
    m_clipboard = new ClipboardSection(clipboard, services.clipboardServices);
    m_general = new GeneralSection(updates, services.quit);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 24);
    column->setSpacing(16);
    if (m_session)
        column->addWidget(m_session);
    column->addWidget(m_shortcuts);
    column->addWidget(m_saving);
    column->addWidget(m_clipboard);
    column->addWidget(m_general);
    column->addStretch();

    // Controls made later (the ignored apps' rows) would join the end of the tab chain.
    SettingsParts::chainInLayoutOrder(this);
    connect(m_clipboard->ignoredApps(), &IgnoredApps::rowsChanged, this,
            [this] { SettingsParts::chainInLayoutOrder(this); });
}

void SettingsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Kiwano::cream);
}
