// SPDX-License-Identifier: MIT
#include "app/gnomeoffers.h"

#include "hotkeys/hotkeycenter.h"
#include "platform/gnome/gnomekeybindings.h"
#include "platform/gnome/gnomeshell.h"
#include "settings/shortcutguide.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFileInfo>
#include <QPointer>

namespace {

// The command line GNOME runs: our front program beside this one when it is there (a build
// tree), else the one in the path.
QString frontProgram()
{
    const QFileInfo beside(QCoreApplication::applicationDirPath() + QStringLiteral("/kiwano-snapper"));
    return beside.isExecutable() ? beside.absoluteFilePath() : QStringLiteral("kiwano-snapper");
}

} // namespace

void offerGnomeWays(const SessionFacts &facts, HotKeyCenter &hotKeys, QObject *context,
                    SettingsView::Services &services)
{
    if (facts.kind != SessionFacts::Kind::wayland || facts.hasShellExtension
        || ShortcutGuide::desktopFrom(facts.desktop) != ShortcutGuide::Desktop::gnome)
        return;
    QPointer<QObject> guard(context);
    services.enableShellExtension = [guard](std::function<void(const QString &)> finished) {
        if (guard)
            GnomeShell::enableExtension(QDBusConnection::sessionBus(), guard, std::move(finished));
    };
    HotKeyCenter *keys = &hotKeys;
    services.addDesktopShortcuts = [guard, keys](std::function<void(const QString &)> finished) {
        if (!guard)
            return;
        QList<GnomeKeybindings::Binding> bindings;
        const QString program = frontProgram();
        for (const ShortcutGuide::Command &command : ShortcutGuide::forDesktop(QStringLiteral("GNOME")).commands) {
            GnomeKeybindings::Binding binding;
            const QString option = command.command.section(QLatin1Char(' '), 1);
            binding.id = option.mid(2);
            binding.name = QStringLiteral("Kiwano Snapper: ") + HotKeyActions::title(command.action);
            binding.command = program + QLatin1Char(' ') + option;
            if (const std::optional<HotKey> key = keys->key(command.action))
                binding.accelerator = GnomeShell::accelerator(key->keyCode, key->x11Modifiers()).value_or(QString());
            bindings << binding;
        }
        GnomeKeybindings::write(bindings, guard, std::move(finished));
    };
}
