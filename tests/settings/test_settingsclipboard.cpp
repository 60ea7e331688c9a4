// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "look/widgets/stepper.h"
#include "settings/appchooser.h"
#include "settings/clipboardsection.h"
#include "settings/settingsparts.h"
#include "support/widgets.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

DesktopEntry entry(const QString &id, const QString &name, bool noDisplay = false)
{
    DesktopEntry entry;
    entry.id = id, entry.name = name, entry.noDisplay = noDisplay;
    return entry;
}

QStringList shown(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isHidden())
            names << list->item(row)->text();
    }
    return names;
}

} // namespace

// The clipboard section, and the chooser of applications whose copies it ignores.
class TestSettingsClipboard : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<SettingsFixture>(); }
    void cleanup() { m_section.reset(), m_fixture.reset(); }
    void keepStepsWithinBoundsAndTrims_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("clicks");          // '-' or '+', one step each
        QTest::addColumn<QList<int>>("limits");       // the stored limit after each click
        QTest::addColumn<QList<int>>("counts");       // how many entries are left after each click
        QTest::addColumn<bool>("minusEnabled"); QTest::addColumn<bool>("plusEnabled");

        QTest::newRow("down to the floor, trimming at each step")
            << 150 << "--" << QList<int>{100, 50} << QList<int>{100, 50} << false << true;
        QTest::newRow("the floor refuses")
            << 50 << "-" << QList<int>{50} << QList<int>{120} << false << true;
        QTest::newRow("up to the ceiling and no further")
            << 950 << "++" << QList<int>{1000, 1000} << QList<int>{120, 120} << true << false;
        QTest::newRow("a stored value out of range starts at the bound")
            << 5000 << "-" << QList<int>{950} << QList<int>{120} << true << true;
    }
    void keepStepsWithinBoundsAndTrims()
    {
        QFETCH(int, stored); QFETCH(QString, clicks); QFETCH(QList<int>, limits); QFETCH(QList<int>, counts);

        Clipboard &clipboard = m_fixture->history();
        clipboard.setLimit(1000);
        for (int i = 0; i < 120; ++i)
            m_fixture->clips.copyText(QStringLiteral("copy %1").arg(i));
        clipboard.setLimit(stored);

        Stepper *stepper = makeSection()->limitStepper();
        for (int i = 0; i < clicks.size(); ++i) {
            (clicks.at(i) == u'-' ? stepper->minusButton() : stepper->plusButton())->click();
            QCOMPARE(clipboard.limit(), limits.at(i));
            QCOMPARE(clipboard.items().size(), counts.at(i));
        }
        QTEST(stepper->minusButton()->isEnabled(), "minusEnabled");
        QTEST(stepper->plusButton()->isEnabled(), "plusEnabled");
    }
    void ignoredAppsTakeEachAppOnce()
    {
        QVERIFY(TestFiles::write(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/applications/org.example.Editor.desktop",
                             "[Desktop Entry]\nType=Application\nName=Example Editor\nExec=/bin/true\n"));

        QString chosen = QStringLiteral("org.example.Editor");
        SettingsView::Services services = m_fixture->services();
        services.clipboardServices.chooseApp = [&chosen](QWidget *) { return std::optional<QString>(chosen); };
        m_section = std::make_unique<ClipboardSection>(*services.clipboard, services.clipboardServices);
        IgnoredApps *apps = m_section->ignoredApps();

        // The same application twice, through the button and directly: taken once.
        apps->addButton()->click();
        apps->addButton()->click();
        apps->add(QStringLiteral("org.example.Editor"));
        QCOMPARE(m_fixture->clipboard->userIgnoredApps(), QStringList{"org.example.Editor"});
        QCOMPARE(apps->shownNames(), QStringList{"Example Editor"});

        // One no desktop file names shows its id.
        chosen = QStringLiteral("org.example.Gone");
        apps->addButton()->click();
        QCOMPARE(apps->shownNames(), (QStringList{"Example Editor", "org.example.Gone"}));
        apps->remove(QStringLiteral("org.example.Editor"));
        QCOMPARE(m_fixture->clipboard->userIgnoredApps(), QStringList{"org.example.Gone"});
        QCOMPARE(apps->shownNames(), QStringList{"org.example.Gone"});
    }
    void trustWarningFollowsThePoll()
    {
        bool trusted = false;
        ClipboardSection *section = makeSection([&trusted] { return trusted; });
        m_fixture->clipboard->setPasteAutomatically(true);
        section->pasteToggle()->setChecked(false);
        section->pasteToggle()->setChecked(true);
        QVERIFY(!section->isPolling());
        section->show();
        QVERIFY(section->isPolling() && section->trustWarning()->isVisibleTo(section));

        trusted = true;
        QTRY_VERIFY_WITH_TIMEOUT(!section->trustWarning()->isVisibleTo(section), 1500);
        trusted = false;
        QTRY_VERIFY_WITH_TIMEOUT(section->trustWarning()->isVisibleTo(section), 1500);

        // Paste off: no warning, trusted or not.
        section->pasteToggle()->click();
        QVERIFY(!m_fixture->clipboard->pasteAutomatically() && !section->trustWarning()->isVisibleTo(section));

        section->hide();
        QVERIFY(!section->isPolling());
    }
    void blockedWarningOnlyWithoutAnXServer_data()
    {
        QTest::addColumn<QStringList>("environment"); QTest::addColumn<bool>("warned");
        const QString wayland = "WAYLAND_DISPLAY=wayland-0", x11 = "DISPLAY=:0";
        QTest::newRow("x11") << QStringList{"XDG_SESSION_TYPE=x11", x11} << false;
        QTest::newRow("wayland with XWayland") << QStringList{"XDG_SESSION_TYPE=wayland", wayland, x11} << false;
        QTest::newRow("wayland alone") << QStringList{"XDG_SESSION_TYPE=wayland", wayland} << true;
        QTest::newRow("wayland display, no session type") << QStringList{wayland} << true;
        QTest::newRow("tty session without any display") << QStringList{"XDG_SESSION_TYPE=tty"} << false;
    }
    void blockedWarningOnlyWithoutAnXServer()
    {
        QFETCH(QStringList, environment);
        SettingsView::Services services = m_fixture->services();
        services.clipboardServices.environment = {};
        for (const QString &variable : environment)
            services.clipboardServices.environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        m_section = std::make_unique<ClipboardSection>(*services.clipboard, services.clipboardServices);
        QTEST(m_section->blockedWarning()->isVisibleTo(m_section.get()), "warned");
    }
    // Remember starts and stops the monitor; Clear History keeps what is pinned.
    void rememberToggleAndClearButton()
    {
        Clipboard &clipboard = m_fixture->history();
        m_fixture->clips.copyText(QStringLiteral("kept"));
        m_fixture->clips.copyText(QStringLiteral("gone"));
        clipboard.togglePin(clipboard.items().last());
        clipboard.start();
        ClipboardSection *section = makeSection();
        QVERIFY(section->enabledToggle()->isChecked());
        section->enabledToggle()->click();
        QVERIFY(!clipboard.isEnabled() && !clipboard.isRunning() && !clipboard.isPolling());
        section->enabledToggle()->click();
        QVERIFY(clipboard.isEnabled() && clipboard.isRunning() && clipboard.isPolling());
        clipboard.stop();
        section->clearButton()->click();
        QCOMPARE(m_fixture->clips.titles(), QStringList{"kept"});
    }

    void searchFiltersByNameOrId_data()
    {
        QTest::addColumn<QString>("search"); QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("chosen");   // the id chosen without touching the list; empty: none

        QTest::newRow("everything, by name, hidden entries left out")
            << "" << QStringList{"Bitwarden", "KeePassXC", "Terminal"} << "";
        QTest::newRow("part of a name, any case") << "keep" << QStringList{"KeePassXC"} << "org.keepassxc.KeePassXC";
        QTest::newRow("part of an id") << "gnome" << QStringList{"Terminal"} << "org.gnome.Terminal";
        QTest::newRow("nothing matches") << "zzz" << QStringList{} << "";
        QTest::newRow("spaces around are ignored") << "  bit " << QStringList{"Bitwarden"} << "bitwarden";
    }
    void searchFiltersByNameOrId()
    {
        QFETCH(QString, search); QFETCH(QStringList, names); QFETCH(QString, chosen);
        AppChooser chooser({entry("org.gnome.Terminal", "Terminal"), entry("org.keepassxc.KeePassXC", "KeePassXC"),
                            entry("hidden.helper", "Helper", true), entry("bitwarden", "Bitwarden"),
                            entry("nameless", "")});
        chooser.searchField()->setText(search);
        QCOMPARE(shown(chooser.list()), names);
        if (!search.isEmpty())
            QCOMPARE(chooser.chosenId().value_or(QString()), chosen);
    }
    void ignoreNeedsAChoice()
    {
        AppChooser chooser({entry("org.gnome.Terminal", "Terminal"), entry("bitwarden", "Bitwarden")});
        KiwanoButton *ignore = Widgets::buttonTitled<KiwanoButton>(&chooser, QStringLiteral("Ignore"));
        QVERIFY(ignore && !ignore->isEnabled() && !chooser.chosenId());

        chooser.list()->setCurrentRow(1);
        QVERIFY(ignore->isEnabled());
        QCOMPARE(chooser.chosenId(), std::optional<QString>(QStringLiteral("org.gnome.Terminal")));

        // Filtering the choice away leaves the first match chosen, or nothing.
        chooser.searchField()->setText(QStringLiteral("bit"));
        QCOMPARE(chooser.chosenId(), std::optional<QString>(QStringLiteral("bitwarden")));
        chooser.searchField()->setText(QStringLiteral("none"));
        QVERIFY(!chooser.chosenId() && !ignore->isEnabled());

        chooser.searchField()->clear();
        chooser.list()->setCurrentRow(0);
        ignore->click();
        QCOMPARE(chooser.result(), int(QDialog::Accepted));
    }

private:
    ClipboardSection *makeSection(std::function<bool()> trusted = [] { return true; })
    {
        const SettingsView::Services services = m_fixture->services(std::move(trusted));
        m_section = std::make_unique<ClipboardSection>(*services.clipboard, services.clipboardServices);
        return m_section.get();
    }

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<ClipboardSection> m_section;
};

KIWANO_TEST_MAIN(TestSettingsClipboard)
#include "test_settingsclipboard.moc"
