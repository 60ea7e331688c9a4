// SPDX-License-Identifier: MIT
#include "settings/commandshortcuts.h"

#include "look/pixel.h"
#include "look/widgets/kiwanobutton.h"
#include "look/widgets/pixellabel.h"
#include "settings/settingsparts.h"

#include <QClipboard>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int copiedShownMs = 1500;
} // namespace

CommandShortcuts::CommandShortcuts(const ShortcutGuide &guide, QWidget *parent)
    : QWidget(parent)
    , m_steps(SettingsParts::text(guide.steps))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    m_steps->setFont(Pixel::uiFont());
    column->addWidget(m_steps);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    for (const ShortcutGuide::Command &command : guide.commands) {
        const int row = grid->rowCount();
        auto *title = new PixelLabel(HotKeyActions::icon(command.action), HotKeyActions::title(command.action));
        grid->addWidget(title, row, 0, Qt::AlignVCenter);
        QLabel *shown = SettingsParts::text(command.copied);
        QFont code = Pixel::uiFont();
        // The pixel font sets "--" as one long dash without a little air.
        code.setLetterSpacing(QFont::AbsoluteSpacing, 1);
        shown->setFont(code);
        // The user may also select it with the pointer and copy it from here.
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(shown, row, 1, Qt::AlignVCenter);
        auto *copy = new KiwanoButton(QStringLiteral("clone"), tr("Copy"));
        copy->setIconSize(12);
        // Room for "Copied!", so the row keeps its place while it shows.
        copy->setMinimumFaceWidth(QFontMetrics(Pixel::uiFont()).horizontalAdvance(tr("Copied!")) + 12 + 6 + 16);
        copy->setToolTip(command.copied);
        copy->setAccessibleName(tr("Copy command %1").arg(command.copied));
        grid->addWidget(copy, row, 2, Qt::AlignVCenter);
        connect(copy, &QAbstractButton::clicked, this, [copy, text = command.copied] {
            QGuiApplication::clipboard()->setText(text);
            copy->setText(tr("Copied!"));
            QTimer::singleShot(copiedShownMs, copy, [copy] { copy->setText(tr("Copy")); });
        });
        m_commands << shown;
        m_copy << copy;
    }
    column->addLayout(grid);
}

QString CommandShortcuts::stepsText() const
{
    return m_steps->text();
}

QString CommandShortcuts::shownCommand(HotKeyAction action) const
{
    return m_commands.value(int(HotKeyActions::index(action)))->text();
}

KiwanoButton *CommandShortcuts::copyButton(HotKeyAction action) const
{
    return m_copy.value(int(HotKeyActions::index(action)));
}
