// SPDX-License-Identifier: MIT
#include "settings/settingsview.h"

#include "clipboard/clipboard.h"
#include "hotkeys/hotkeycenter.h"
#include "look/kiwano.h"
#include "settings/generalsection.h"
#include "settings/savingsection.h"
#include "settings/session.h"
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
    , m_sessionNotice(new WarningBox)
{
    HotKeyCenter &hotKeys = services.hotKeys ? *services.hotKeys : HotKeyCenter::shared();
    Clipboard &clipboard = services.clipboard ? *services.clipboard : Clipboard::shared();
    if (!services.chooseFolder)
        services.chooseFolder = &FolderChoosers::dialog;

    m_shortcuts = new ShortcutsSection(hotKeys);
    m_saving = new SavingSection(state, services.chooseFolder);
    m_clipboard = new ClipboardSection(clipboard, services.clipboardServices);
    m_general = new GeneralSection(updates, services.quit);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 24);
    column->setSpacing(16);
    column->addWidget(m_sessionNotice);
    if (Session::isWayland(services.clipboardServices.environment))
        m_sessionNotice->setText(Session::waylandNotice());
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
