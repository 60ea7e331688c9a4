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

namespace {

// What the settings tell of a Wayland session, and how its shortcut rows look.
struct WaylandAccount
{
    QList<ServiceAccount> account;
    ShortcutsSection::Presentation keys;
};

WaylandAccount waylandAccount(const SettingsView::Services &services)
{
    using Keys = ShortcutsSection::Presentation::Keys;
    WaylandAccount told{services.plan.account(), {}};
    told.keys.desktop = services.session.desktop;
    const QString refusal = services.desktopBindings ? services.desktopBindings->refusal() : QString();
    switch (services.plan.shortcuts) {
    case ServicePlan::Shortcuts::portal:
        if (refusal.isEmpty()) {
            told.keys.keys = Keys::desktop;
            told.keys.bindings = services.desktopBindings;
            break;
        }
        // The desktop said no: binding the command lines is what is left.
        told.account.replace(0, refusedShortcutsAccount(refusal));
        told.keys.keys = Keys::none;
        told.keys.commandGuide = true;
        break;
    case ServicePlan::Shortcuts::x11:
        // Through XWayland our keys reach only X11 apps: the desktop's own binding does better.
        told.keys.keys = Keys::recorded;
        told.keys.commandGuide = true;
        break;
    case ServicePlan::Shortcuts::kglobalaccel:
    case ServicePlan::Shortcuts::shellExtension:
        // KDE and our GNOME Shell extension bind the keys recorded here (KDE lists them in
        // System Settings too).
        told.keys.keys = Keys::recorded;
        break;
    case ServicePlan::Shortcuts::none:
        told.keys.keys = Keys::none;
        told.keys.commandGuide = true;
        break;
    }
    return told;
}

} // namespace

SettingsView::SettingsView(UpdateSettings *updates, AppState *state, Services services, QWidget *parent)
    : QWidget(parent)
{
    Q_ASSERT(services.hotKeys);
    HotKeyCenter &hotKeys = *services.hotKeys;
    // Without a history handed down the view reads the saved one itself.
    Clipboard &clipboard = services.clipboard ? *services.clipboard
                                              : *new Clipboard(nullptr, nullptr, nullptr, Store::defaultDir(), this);
    if (!services.chooseFolder)
        services.chooseFolder = &FolderChoosers::dialog;

    ShortcutsSection::Presentation keys;
    if (services.session.kind == SessionFacts::Kind::wayland) {
        const WaylandAccount told = waylandAccount(services);
        m_session = new SessionSection(told.account);
        if (services.enableShellExtension)
            m_session->addOffer(tr("Kiwano Snapper's GNOME Shell extension records copies in every app, pastes "
                                   "for you, takes the shortcuts everywhere and grabs without asking. It "
                                   "serves Kiwano Snapper from its next start."),
                                QStringLiteral("kiwano"), tr("Turn On Extension"),
                                tr("The extension is on: restart Kiwano Snapper to use it."),
                                services.enableShellExtension);
        if (services.addDesktopShortcuts)
            m_session->addOffer(tr("Or let GNOME run our command lines on the shortcuts set below, in every app."),
                                QStringLiteral("sliders"), tr("Add to GNOME Shortcuts"),
                                tr("Added to GNOME's keyboard shortcuts: they work in every app now."),
                                services.addDesktopShortcuts);
        keys = told.keys;
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
