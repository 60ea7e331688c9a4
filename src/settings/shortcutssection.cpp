// SPDX-License-Identifier: MIT
#include "settings/shortcutssection.h"

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/hotkeyrecorder.h"
#include "hotkeys/shortcutwarning.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "settings/settingsparts.h"
#include "settings/shortcutfield.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QVBoxLayout>

ShortcutsSection::ShortcutsSection(HotKeyCenter &center, QWidget *parent)
    : QWidget(parent)
    , m_center(center)
    , m_kiwanoPreset(new KiwanoButton(QStringLiteral("kiwano"), QStringLiteral("Kiwano keys")))
    , m_desktopPreset(new KiwanoButton(QStringLiteral("desktop"), QStringLiteral("Print Screen keys")))
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("sliders"), QStringLiteral("Shortcuts"));
    column->addWidget(SettingsParts::caption(HotKeyRecorder::caption));

    const QStringList openCommand = ShortcutWarning::keyboardSettingsCommand();
    for (const HotKeyAction action : allHotKeyActions) {
        Row row;
        auto *line = new QHBoxLayout;
        line->setSpacing(8);
        auto *label = new PixelLabel(HotKeyActions::icon(action), HotKeyActions::title(action), 12);
        label->setMinimumWidth(200);
        line->addWidget(label);
        line->addStretch();
        row.field = new ShortcutField(action, center);
        line->addWidget(row.field);
        row.clear = new KiwanoButton(QStringLiteral("xmark"), QString());
        row.clear->setToolTip(QStringLiteral("No shortcut"));
        row.clear->setAccessibleName(QStringLiteral("No shortcut for ") + HotKeyActions::title(action));
        line->addWidget(row.clear);
        // The field lines up with the clear button's face (its shadow hangs below).
        row.field->setFixedHeight(row.clear->sizeHint().height() - 2);
        column->addLayout(line);
        row.warning = new WarningBox;
        column->addWidget(row.warning);

        connect(row.clear, &QAbstractButton::clicked, this,
                [this, action] { m_center.set(std::nullopt, action); });
        connect(row.warning, &WarningBox::openClicked, this, [openCommand] {
            if (!openCommand.isEmpty())
                QProcess::startDetached(openCommand.first(), openCommand.mid(1));
        });
        m_rows << row;
    }

    auto *presets = new QHBoxLayout;
    presets->setSpacing(10);
    m_kiwanoPreset->setToolTip(
        QStringLiteral("Shift+Super+6 grabs a region, Shift+Super+C opens clipboard history"));
    m_desktopPreset->setToolTip(QStringLiteral(
        "Shift+Print grabs a region (Space for a window), Print the whole screen"));
    presets->addWidget(m_kiwanoPreset);
    presets->addWidget(m_desktopPreset);
    presets->addStretch();
    column->addLayout(presets);
    connect(m_kiwanoPreset, &QAbstractButton::clicked, this,
            [this] { m_center.applyPreset(&HotKeyPresets::kiwanoDefault); });
    connect(m_desktopPreset, &QAbstractButton::clicked, this,
            [this] { m_center.applyPreset(&HotKeyPresets::desktopDefault); });

    connect(&m_center, &HotKeyCenter::revisionChanged, this, &ShortcutsSection::refresh);
    refresh();
}

ShortcutsSection::~ShortcutsSection()
{
    // A field still recording registers everything again as it goes; the rows are half gone
    // by then and must not be refreshed.
    disconnect(&m_center, nullptr, this, nullptr);
}

ShortcutField *ShortcutsSection::field(HotKeyAction action) const
{
    return m_rows.at(int(HotKeyActions::index(action))).field;
}

KiwanoButton *ShortcutsSection::clearButton(HotKeyAction action) const
{
    return m_rows.at(int(HotKeyActions::index(action))).clear;
}

WarningBox *ShortcutsSection::warning(HotKeyAction action) const
{
    return m_rows.at(int(HotKeyActions::index(action))).warning;
}

void ShortcutsSection::refresh()
{
    const bool canOpen = !ShortcutWarning::keyboardSettingsCommand().isEmpty();
    for (const HotKeyAction action : allHotKeyActions) {
        const Row &row = m_rows.at(int(HotKeyActions::index(action)));
        row.field->refresh();
        row.clear->setEnabled(m_center.key(action).has_value());
        const auto warning = ShortcutWarning::forAction(action, m_center);
        row.warning->setText(warning ? warning->text : QString());
        row.warning->setOpenVisible(
            warning && warning->kind == ShortcutWarning::Kind::desktopScreenshots && canOpen);
    }
}
