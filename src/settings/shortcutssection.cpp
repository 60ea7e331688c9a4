// SPDX-License-Identifier: MIT
#include "settings/shortcutssection.h"

#include "hotkeys/hotkeycenter.h"
#include "hotkeys/hotkeyrecorder.h"
#include "hotkeys/shortcutwarning.h"
#include "look/kiwano.h"
#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "look/widgets/pixelpaint.h"
#include "settings/commandshortcuts.h"
#include "settings/desktopbindings.h"
#include "settings/settingsparts.h"
#include "settings/shortcutfield.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QVBoxLayout>

namespace {

// The desktop's words for one action's keys, in a box like the shortcut field's; read only.
class BindingLabel : public QLabel
{
public:
    BindingLabel()
    {
        setFont(Pixel::uiFont());
        setAlignment(Qt::AlignCenter);
        setMinimumWidth(160);
        setContentsMargins(8, 0, 8, 0);
        Look::setTextColor(this, Kiwano::peel);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        Look::paintPixelBox(painter, QRectF(rect()).adjusted(0, 0, -1, -1), Kiwano::cream, false);
        painter.end();
        QLabel::paintEvent(event);
    }
};

} // namespace

ShortcutsSection::ShortcutsSection(HotKeyCenter &center, QWidget *parent)
    : ShortcutsSection(center, Presentation(), parent)
{
}

ShortcutsSection::ShortcutsSection(HotKeyCenter &center, const Presentation &presentation, QWidget *parent)
    : QWidget(parent)
    , m_center(center)
    , m_presentation(presentation)
    , m_kiwanoPreset(new KiwanoButton(QStringLiteral("kiwano"), tr("Kiwano keys")))
    , m_desktopPreset(new KiwanoButton(QStringLiteral("desktop"), tr("Print Screen keys")))
{
    using Keys = Presentation::Keys;
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *column = SettingsParts::section(outer, QStringLiteral("sliders"), tr("Shortcuts"));
    if (m_presentation.commandGuide) {
        m_guide = new CommandShortcuts(ShortcutGuide::forDesktop(m_presentation.desktop));
        column->addWidget(m_guide);
    }
    switch (m_presentation.keys) {
    case Keys::recorded:
        column->addWidget(SettingsParts::caption(
            m_guide ? tr("These keys work only while an X11 app is in front. %1").arg(HotKeyRecorder::caption())
                    : HotKeyRecorder::caption()));
        break;
    case Keys::desktop:
        column->addWidget(SettingsParts::caption(tr(
            "Your desktop owns these shortcuts: it shows them here as it bound them. Change the keys in "
            "its keyboard settings.")));
        break;
    case Keys::none:
        break;
    }

    const QStringList openCommand = ShortcutWarning::keyboardSettingsCommand();
    for (const HotKeyAction action : allHotKeyActions) {
        Row row;
        row.field = new ShortcutField(action, center);
        row.clear = new KiwanoButton(QStringLiteral("xmark"), QString());
        row.warning = new WarningBox;
        m_rows << row;
        if (m_presentation.keys == Keys::none)
            continue;
        auto *line = new QHBoxLayout;
        line->setSpacing(8);
        auto *label = new PixelLabel(HotKeyActions::icon(action), HotKeyActions::title(action));
        label->setMinimumWidth(200);
        line->addWidget(label);
        line->addStretch();
        if (m_presentation.keys == Keys::desktop) {
            m_rows.last().desktopBinding = new BindingLabel;
            m_rows.last().desktopBinding->setFixedHeight(row.clear->sizeHint().height() - 2);
            line->addWidget(m_rows.last().desktopBinding);
            column->addLayout(line);
            continue;
        }
        line->addWidget(row.field);
        row.clear->setToolTip(tr("No shortcut"));
        row.clear->setAccessibleName(tr("No shortcut for %1").arg(HotKeyActions::title(action)));
        line->addWidget(row.clear);
        // The field lines up with the clear button's face (its shadow hangs below).
        row.field->setFixedHeight(row.clear->sizeHint().height() - 2);
        column->addLayout(line);
        column->addWidget(row.warning);

        connect(row.clear, &QAbstractButton::clicked, this,
                [this, action] { m_center.set(std::nullopt, action); });
        connect(row.warning, &WarningBox::openClicked, this, [openCommand] {
            if (!openCommand.isEmpty())
                QProcess::startDetached(openCommand.first(), openCommand.mid(1));
        });
    }
    // Rows not laid out belong to no window: they stay hidden and unreachable.
    for (const Row &row : std::as_const(m_rows)) {
        for (QWidget *widget : std::initializer_list<QWidget *>{row.field, row.clear, row.warning}) {
            if (!widget->parent()) {
                widget->setParent(this);
                widget->hide();
            }
        }
    }

    if (m_presentation.keys == Keys::recorded) {
        auto *presets = new QHBoxLayout;
        presets->setSpacing(10);
        m_kiwanoPreset->setToolTip(
            tr("Shift+Super+6 grabs a region, Shift+Super+C opens clipboard history"));
        m_desktopPreset->setToolTip(tr(
            "Shift+Print grabs a region (Space for a window), Print the whole screen"));
        presets->addWidget(m_kiwanoPreset);
        presets->addWidget(m_desktopPreset);
        presets->addStretch();
        column->addLayout(presets);
    } else {
        for (KiwanoButton *preset : {m_kiwanoPreset, m_desktopPreset}) {
            preset->setParent(this);
            preset->hide();
        }
    }
    connect(m_kiwanoPreset, &QAbstractButton::clicked, this,
            [this] { m_center.applyPreset(&HotKeyPresets::kiwanoDefault); });
    connect(m_desktopPreset, &QAbstractButton::clicked, this,
            [this] { m_center.applyPreset(&HotKeyPresets::desktopDefault); });

    if (m_presentation.keys == Keys::desktop && m_presentation.bindings)
        connect(m_presentation.bindings, &DesktopBindings::triggersChanged, this,
                &ShortcutsSection::showDesktopBindings);
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

QLabel *ShortcutsSection::desktopBinding(HotKeyAction action) const
{
    return m_rows.at(int(HotKeyActions::index(action))).desktopBinding;
}

void ShortcutsSection::showDesktopBindings()
{
    for (const HotKeyAction action : allHotKeyActions) {
        QLabel *label = desktopBinding(action);
        if (!label)
            continue;
        const QString trigger = m_presentation.bindings ? m_presentation.bindings->trigger(action) : QString();
        label->setText(trigger.isEmpty() ? tr("None") : trigger);
        label->setAccessibleName(HotKeyActions::title(action) + QStringLiteral(": ") + label->text());
    }
}

void ShortcutsSection::refresh()
{
    if (m_presentation.keys == Presentation::Keys::desktop)
        return showDesktopBindings();
    if (m_presentation.keys == Presentation::Keys::none)
        return;
    const bool canOpen = !ShortcutWarning::keyboardSettingsCommand().isEmpty();
    const DesktopScreenshots::Settings desktop = m_presentation.readDesktopScreenshots
        ? m_presentation.readDesktopScreenshots()
        : DesktopScreenshots::Settings{};
    for (const HotKeyAction action : allHotKeyActions) {
        const Row &row = m_rows.at(int(HotKeyActions::index(action)));
        row.field->refresh();
        row.clear->setEnabled(m_center.key(action).has_value());
        const auto warning = ShortcutWarning::forAction(action, m_center, desktop);
        row.warning->setText(warning ? warning->text : QString());
        row.warning->setOpenVisible(
            warning && warning->kind == ShortcutWarning::Kind::desktopScreenshots && canOpen);
    }
}
