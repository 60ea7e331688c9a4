// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "hotkeys/hotkeyrecorder.h"
#include "look/widgets/kiwanobutton.h"
#include "settings/clipboardsection.h"
#include "settings/commandshortcuts.h"
#include "settings/desktopbindings.h"
#include "settings/sessionsection.h"
#include "settings/settingsparts.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"
#include "settings/updatesettings.h"

#include <QClipboard>
#include <QLabel>
#include <QSignalSpy>

namespace {

struct Press
{
    int key;
    Qt::KeyboardModifiers modifiers;
};

constexpr Qt::KeyboardModifiers shiftSuper = Qt::ShiftModifier | Qt::MetaModifier;

} // namespace

Q_DECLARE_METATYPE(QList<Press>)

// Recording shortcuts and warning of taken ones; in each kind of session, where the keys are bound
// and the commands handed over for the desktop's own shortcut settings.
class TestSettingsShortcuts : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_fixture = std::make_unique<SettingsFixture>();
        m_desktop = {}, m_desktopReads = 0;
        ShortcutsSection::Presentation presentation;
        presentation.readDesktopScreenshots = [this] { return ++m_desktopReads, m_desktop; };
        m_section = std::make_unique<ShortcutsSection>(m_fixture->center, presentation);
        m_updates = std::make_unique<UpdateSettings>();
        m_bindings = std::make_unique<DesktopBindings>();
    }
    void cleanup() { m_view.reset(), m_bindings.reset(), m_updates.reset(), m_section.reset(), m_fixture.reset(); }
    void recordingThroughTheField_data()
    {
        QTest::addColumn<QList<Press>>("presses");
        QTest::addColumn<bool>("recording");          // still recording after the presses
        QTest::addColumn<int>("refusals");
        QTest::addColumn<std::optional<HotKey>>("stored");  // grabWindow's shortcut afterwards, Shift+F5 before

        const auto shiftF5 = std::optional(HotKey(96, Qt::ShiftModifier));
        QTest::newRow("ctrl+shift+g")
            << QList<Press>{{Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier}} << false << 0
            << std::optional(HotKey(5, Qt::ControlModifier | Qt::ShiftModifier));
        QTest::newRow("shift alone is refused, then super+shift+w")
            << QList<Press>{{Qt::Key_7, Qt::ShiftModifier}, {Qt::Key_W, Qt::MetaModifier | Qt::ShiftModifier}}
            << false << 1 << std::optional(HotKey(13, shiftSuper));
        // The recorder's own rules are the registry's tests; here, what Qt's keys become.
        QTest::newRow("tab is a key like any other, refused")
            << QList<Press>{{Qt::Key_Tab, Qt::NoModifier}} << true << 1 << shiftF5;
        QTest::newRow("Backspace alone clears") << QList<Press>{{Qt::Key_Backspace, Qt::NoModifier}} << false << 0
                                                << std::optional<HotKey>();
    }
    void recordingThroughTheField()
    {
        QFETCH(QList<Press>, presses); QFETCH(bool, recording); QFETCH(int, refusals);
        m_fixture->center.set(HotKey(96, Qt::ShiftModifier), HotKeyAction::grabWindow);
        ShortcutField *field = m_section->field(HotKeyAction::grabWindow);
        QSignalSpy refused(field->recorder(), &HotKeyRecorder::refused);

        QTest::keyClick(field, Qt::Key_Space);
        QVERIFY(field->isRecording());
        for (const Press &press : presses)
            QTest::keyClick(field, Qt::Key(press.key), press.modifiers);

        QCOMPARE(field->isRecording(), recording);
        QCOMPARE(refused.size(), refusals);
        QTEST(m_fixture->center.key(HotKeyAction::grabWindow), "stored");
        if (!recording) {
            const std::optional<HotKey> key = m_fixture->center.key(HotKeyAction::grabWindow);
            QCOMPARE(field->text(), key ? key->display() : QStringLiteral("None"));
            QCOMPARE(m_section->clearButton(HotKeyAction::grabWindow)->isEnabled(), key.has_value());
            QVERIFY(!m_fixture->grabber.held.isEmpty());
        }
    }
    // A click starts recording; a second one stops it and changes nothing.
    void aClickStartsAndStops()
    {
        ShortcutField *field = m_section->field(HotKeyAction::grabRegion);
        field->resize(field->sizeHint());
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->isRecording());
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(!field->isRecording());
        QCOMPARE(m_fixture->center.key(HotKeyAction::grabRegion), HotKeyPresets::kiwanoDefault(HotKeyAction::grabRegion));
    }
    void warningsFollowTheRegistry()
    {
        WarningBox *clipboard = m_section->warning(HotKeyAction::clipboard);
        // Another client takes Shift+Super+C; the next registration fails and the row says so.
        const HotKey taken(8, shiftSuper);
        m_fixture->grabber.taken.insert({taken.keyCode, taken.x11Modifiers()});
        m_fixture->center.registerAll();
        QVERIFY(clipboard->isVisibleTo(m_section.get()) && clipboard->text().contains(taken.display()));

        m_fixture->grabber.taken.clear();
        m_fixture->center.registerAll();
        QVERIFY(!clipboard->isVisibleTo(m_section.get()));

        // Shift+Print belongs to the desktop's screenshots (its own settings or the factory table);
        // the grab rows say so, the clipboard row never does.
        m_fixture->center.set(HotKey(105, Qt::ShiftModifier), HotKeyAction::grabWindow);
        QVERIFY(m_section->warning(HotKeyAction::grabWindow)->text().contains(QStringLiteral("Shift+Print")));
        m_fixture->center.set(HotKey(105, Qt::ShiftModifier), HotKeyAction::clipboard);
        QVERIFY(!m_section->warning(HotKeyAction::grabWindow)->isVisibleTo(m_section.get()));
        QVERIFY(!clipboard->isVisibleTo(m_section.get()));

        // The desktop moved its screenshots to Shift+Super+S: Shift+Print is free again, the new
        // keys are not. Its settings are read once for all the rows.
        const QString gnome = QStringLiteral("org.gnome.shell.keybindings ");
        m_desktop.gnome = gnome + "screenshot ['<Shift><Super>s']\n" + gnome + "screenshot-window @as []\n" + gnome
            + "show-screenshot-ui @as []\n";
        m_fixture->center.set(HotKey(105, Qt::ShiftModifier), HotKeyAction::grabWindow);
        QVERIFY(!m_section->warning(HotKeyAction::grabWindow)->isVisibleTo(m_section.get()));
        const int reads = m_desktopReads;
        m_fixture->center.set(DesktopScreenshots::fromGtkAccelerator(QStringLiteral("<Shift><Super>s")).value(), HotKeyAction::grabRegion);
        QVERIFY(m_section->warning(HotKeyAction::grabRegion)->isVisibleTo(m_section.get()));
        QCOMPARE(m_desktopReads, reads + 1);
    }

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
        QCOMPARE(section->field(HotKeyAction::clipboard)->isVisibleTo(view), recorder);
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
            QVERIFY(shown.endsWith("kiwano-snapper " + flags.at(int(HotKeyActions::index(action)))));
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
        QVERIFY(!section->commandGuide() && !section->kiwanoPreset()->isVisibleTo(view));
        const QString unbound = section->desktopBinding(HotKeyAction::grabRegion)->text();

        // The desktop answers after the window opened, and may bind again later.
        m_bindings->setTriggers({{QStringLiteral("grabRegion"), QStringLiteral("Shift+Meta+6")},
                                {QStringLiteral("clipboard"), QStringLiteral("Meta+V")}});
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
        QVERIFY(section->commandGuide() && !section->desktopBinding(HotKeyAction::grabRegion));
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
    std::unique_ptr<ShortcutsSection> m_section;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<SettingsView> m_view;
    std::unique_ptr<DesktopBindings> m_bindings;
    // What the desktop says of its screenshot keys, and how often the section asked.
    DesktopScreenshots::Settings m_desktop;
    int m_desktopReads = 0;
};

KIWANO_TEST_MAIN(TestSettingsShortcuts)
#include "test_settingsshortcuts.moc"
