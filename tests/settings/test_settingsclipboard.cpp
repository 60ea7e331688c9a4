// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "look/widgets/stepper.h"
#include "settings/clipboardsection.h"
#include "settings/settingsparts.h"

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
        QCOMPARE(clipboard.items().size(), 120);
        clipboard.setLimit(stored);

        Stepper *stepper = makeSection()->limitStepper();
        for (int i = 0; i < clicks.size(); ++i) {
            (clicks.at(i) == u'-' ? stepper->minusButton() : stepper->plusButton())->click();
            QCOMPARE(clipboard.limit(), limits.at(i));
            QCOMPARE(stepper->text(), QStringLiteral("%1 items").arg(limits.at(i)));
            QCOMPARE(clipboard.items().size(), counts.at(i));
        }
        QTEST(stepper->minusButton()->isEnabled(), "minusEnabled");
        QTEST(stepper->plusButton()->isEnabled(), "plusEnabled");
    }
    void ignoredAppsTakeEachAppOnce()
    {
        QVERIFY(SettingsFixture::write(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/applications/org.example.Editor.desktop",
                                       "[Desktop Entry]\nType=Application\nName=Example Editor\nExec=/bin/true\n"));

        QString chosen = QStringLiteral("org.example.Editor");
        SettingsView::Services services = m_fixture->services();
        services.clipboardServices.chooseApp = [&chosen](QWidget *) { return std::optional<QString>(chosen); };
        m_section = std::make_unique<ClipboardSection>(*services.clipboard, services.clipboardServices);
        IgnoredApps *apps = m_section->ignoredApps();

        apps->addButton()->click();
        QCOMPARE(m_fixture->clipboard->userIgnoredApps(), QStringList{"org.example.Editor"});
        QCOMPARE(apps->shownNames(), QStringList{"Example Editor"});

        // The same application again, through the button and directly: nothing changes.
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
        QVERIFY(section->isPolling());
        QVERIFY(section->trustWarning()->isVisibleTo(section));
        QVERIFY(section->trustWarning()->openButton()->isHidden());

        trusted = true;
        QTRY_VERIFY_WITH_TIMEOUT(!section->trustWarning()->isVisibleTo(section), 1500);
        trusted = false;
        QTRY_VERIFY_WITH_TIMEOUT(section->trustWarning()->isVisibleTo(section), 1500);

        // Paste off: no warning, trusted or not.
        section->pasteToggle()->click();
        QVERIFY(!m_fixture->clipboard->pasteAutomatically());
        QVERIFY(!section->trustWarning()->isVisibleTo(section));

        section->hide();
        QVERIFY(!section->isPolling());
    }
    void blockedWarningOnlyWithoutAnXServer_data()
    {
        QTest::addColumn<QString>("type"); QTest::addColumn<bool>("waylandDisplay");
        QTest::addColumn<bool>("x11Display"); QTest::addColumn<bool>("warned");

        QTest::newRow("x11") << "x11" << false << true << false;
        QTest::newRow("wayland with XWayland") << "wayland" << true << true << false;
        QTest::newRow("wayland alone") << "wayland" << true << false << true;
        QTest::newRow("wayland display, no session type") << "" << true << false << true;
        QTest::newRow("tty session without any display") << "tty" << false << false << false;
    }
    void blockedWarningOnlyWithoutAnXServer()
    {
        QFETCH(QString, type); QFETCH(bool, waylandDisplay); QFETCH(bool, x11Display); QFETCH(bool, warned);
        SettingsView::Services services = m_fixture->services();
        services.clipboardServices.environment = SettingsFixture::session(type, waylandDisplay, x11Display);
        m_section = std::make_unique<ClipboardSection>(*services.clipboard, services.clipboardServices);
        QCOMPARE(m_section->blockedWarning()->isVisibleTo(m_section.get()), warned);
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
