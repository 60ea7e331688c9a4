// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "hotkeys/hotkeyrecorder.h"
#include "look/widgets/kiwanobutton.h"
#include "settings/settingsparts.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"

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
    }
    void cleanup() { m_section.reset(), m_fixture.reset(); }
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
        QTest::newRow("F5 alone is taken") << QList<Press>{{Qt::Key_F5, Qt::NoModifier}} << false << 0
                                           << std::optional(HotKey(96, Qt::NoModifier));
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
        QVERIFY(m_fixture->grabber.held.isEmpty());
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
        QVERIFY(!clipboard->isVisibleTo(m_section.get()));

        // Another client takes Shift+Super+C; the next registration fails and the row says so.
        const HotKey taken(8, shiftSuper);
        m_fixture->grabber.taken.insert({taken.keyCode, taken.x11Modifiers()});
        m_fixture->center.registerAll();
        QVERIFY(clipboard->isVisibleTo(m_section.get()));
        QVERIFY(clipboard->text().contains(taken.display()));
        QVERIFY(!clipboard->openButton()->isVisibleTo(m_section.get()));

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
        const auto moved = DesktopScreenshots::fromGtkAccelerator(QStringLiteral("<Shift><Super>s"));
        QVERIFY(moved);
        m_fixture->center.set(*moved, HotKeyAction::grabRegion);
        QVERIFY(m_section->warning(HotKeyAction::grabRegion)->isVisibleTo(m_section.get()));
        QCOMPARE(m_desktopReads, reads + 1);
    }

private:
    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<ShortcutsSection> m_section;
    // What the desktop says of its screenshot keys, and how often the section asked.
    DesktopScreenshots::Settings m_desktop;
    int m_desktopReads = 0;
};

KIWANO_TEST_MAIN(TestSettingsShortcuts)
#include "test_settingsshortcuts.moc"
