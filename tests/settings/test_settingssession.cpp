// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/clipboardsection.h"
#include "settings/settingsparts.h"
#include "settings/commandshortcuts.h"
#include "settings/desktopbindings.h"
#include "settings/sessionsection.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"
#include "settings/updatesettings.h"

#include <QClipboard>
#include <QLabel>

// The settings in each kind of session: what they say about it, where the keys are bound, and
// the commands they hand over for the desktop's own shortcut settings.
class TestSettingsSession : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_updates = std::make_unique<UpdateSettings>();
        m_bindings = std::make_unique<DesktopBindings>();
    }
    void cleanup() { m_view.reset(), m_bindings.reset(), m_updates.reset(), m_fixture.reset(); }
    void keysFollowTheSession_data()
    {
        QTest::addColumn<int>("kind"); QTest::addColumn<QString>("desktop");
        QTest::addColumn<int>("shortcuts"); QTest::addColumn<bool>("recorder");
        QTest::addColumn<bool>("guide");

        const int x11 = int(SessionFacts::Kind::x11), wayland = int(SessionFacts::Kind::wayland);
        // An X11 session looks as it always did, whatever the desktop.
        QTest::newRow("x11") << x11 << "GNOME" << int(ServicePlan::Shortcuts::x11) << true << false;
        // Our keys still reach X11 apps through XWayland, beside the desktop's own binding.
        QTest::newRow("gnome") << wayland << "GNOME" << int(ServicePlan::Shortcuts::x11) << true << true;
        QTest::newRow("kde without the portal") << wayland << "KDE" << int(ServicePlan::Shortcuts::none) << false << true;
        QTest::newRow("sway") << wayland << "sway" << int(ServicePlan::Shortcuts::none) << false << true;
    }
    void keysFollowTheSession()
    {
        QFETCH(int, kind); QFETCH(QString, desktop); QFETCH(int, shortcuts); QFETCH(bool, recorder);
        QFETCH(bool, guide);

        SettingsView *view = makeView(SessionFacts::Kind(kind), desktop, ServicePlan::Shortcuts(shortcuts));
        ShortcutsSection *section = view->shortcuts();
        const bool wayland = kind == int(SessionFacts::Kind::wayland);
        QCOMPARE(view->session() != nullptr, wayland);
        // The account speaks for a Wayland session; the X11 warning would contradict it.
        QCOMPARE(view->clipboard()->trustWarning()->isVisibleTo(view), !wayland);
        for (const HotKeyAction action : allHotKeyActions)
            QCOMPARE(section->field(action)->isVisibleTo(view), recorder);
        QCOMPARE(section->kiwanoPreset()->isVisibleTo(view), recorder);

        CommandShortcuts *commands = section->commandGuide();
        QCOMPARE(commands != nullptr, guide);
        if (!commands)
            return;
        // Each Copy hands over the command shown beside it, which runs this action; sway's is a
        // whole line for its configuration.
        const QStringList flags{"--region", "--window", "--screen", "--clipboard"};
        for (const HotKeyAction action : allHotKeyActions) {
            const QString shown = commands->shownCommand(action);
            QVERIFY2(shown.endsWith("kiwano-snapper " + flags.at(int(HotKeyActions::index(action)))), qPrintable(shown));
            QCOMPARE(shown.startsWith("bindsym ") && shown.contains(" exec "), desktop == "sway");
            QVERIFY(commands->copyButton(action)->accessibleName().endsWith(shown));
            QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
            commands->copyButton(action)->click();
            QCOMPARE(QGuiApplication::clipboard()->text(), shown);
        }
    }
    // The desktop's own bindings show where ours would; a refusal leaves the commands to copy.
    void desktopOwnedKeysShowItsWords()
    {
        SettingsView *view = makeView(SessionFacts::Kind::wayland, QStringLiteral("KDE"), ServicePlan::Shortcuts::portal);
        ShortcutsSection *section = view->shortcuts();
        QVERIFY(!section->commandGuide());
        QVERIFY(!section->kiwanoPreset()->isVisibleTo(view));
        for (const HotKeyAction action : allHotKeyActions)
            QVERIFY(!section->field(action)->isVisibleTo(view));
        const QString unbound = section->desktopBinding(HotKeyAction::grabRegion)->text();

        // The desktop answers after the window opened, and may bind again later.
        m_bindings->setTriggers({{QStringLiteral("grabRegion"), QStringLiteral("Shift+Meta+6")},
                                {QStringLiteral("clipboard"), QStringLiteral("Meta+V")}});
        QCOMPARE(section->desktopBinding(HotKeyAction::grabRegion)->text(), QStringLiteral("Shift+Meta+6"));
        QCOMPARE(section->desktopBinding(HotKeyAction::clipboard)->text(), QStringLiteral("Meta+V"));
        QCOMPARE(section->desktopBinding(HotKeyAction::grabWindow)->text(), unbound);
        QVERIFY(section->desktopBinding(HotKeyAction::grabRegion)->accessibleName().endsWith(QStringLiteral("Shift+Meta+6")));
        // Our own registry registering again does not put our keys in the desktop's place.
        m_fixture->center.registerAll();
        QCOMPARE(section->desktopBinding(HotKeyAction::grabRegion)->text(), QStringLiteral("Shift+Meta+6"));
        m_bindings->setTriggers({{QStringLiteral("grabRegion"), QStringLiteral("Print")}});
        QCOMPARE(section->desktopBinding(HotKeyAction::grabRegion)->text(), QStringLiteral("Print"));
        QCOMPARE(section->desktopBinding(HotKeyAction::clipboard)->text(), unbound);

        m_bindings->setRefused(QStringLiteral("the user said no"));
        section = makeView(SessionFacts::Kind::wayland, QStringLiteral("KDE"), ServicePlan::Shortcuts::portal)->shortcuts();
        QVERIFY(section->commandGuide());
        QVERIFY(!section->desktopBinding(HotKeyAction::grabRegion));
        QVERIFY(m_view->session()->lines().first().contains(QStringLiteral("the user said no")));
    }

private:
    SettingsView *makeView(SessionFacts::Kind kind, const QString &desktop, ServicePlan::Shortcuts shortcuts)
    {
        // Pasting is not allowed, so the X11 session shows its warning.
        SettingsView::Services services = m_fixture->services([] { return false; });
        services.session.kind = kind;
        services.session.desktop = desktop;
        services.plan.shortcuts = shortcuts;
        services.plan.throughXWayland = kind == SessionFacts::Kind::wayland;
        services.desktopBindings = m_bindings.get();
        m_view = std::make_unique<SettingsView>(m_updates.get(), nullptr, services);
        return m_view.get();
    }

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<SettingsView> m_view;
    std::unique_ptr<DesktopBindings> m_bindings;
};

KIWANO_TEST_MAIN(TestSettingsSession)
#include "test_settingssession.moc"
