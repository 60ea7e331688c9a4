// SPDX-License-Identifier: MIT
#include "settingsfixture.h"

#include "look/widgets/kiwanobutton.h"
#include "settings/settingsparts.h"
#include "settings/settingswindowcontroller.h"
#include "settings/shortcutfield.h"
#include "settings/shortcutssection.h"
#include "settings/updatesettings.h"

#include <QProcess>
#include <QStandardPaths>

// The whole window on a real X server with a window manager, from the keyboard. (Escape and Ctrl+W
// closing it are run through the real program by the e2e tests.)
class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<SettingsFixture>(), m_updates = std::make_unique<UpdateSettings>(); }
    void cleanup() { m_controller.reset(), m_updates.reset(), m_fixture.reset(); }
    void tabFollowsReadingOrder()
    {
        m_fixture->history().setUserIgnoredApps({QStringLiteral("org.example.One"), QStringLiteral("org.example.Two")});
        SettingsWindowController *controller = open();
        SettingsView *view = controller->view();
        QWidget *first = view->shortcuts()->field(HotKeyAction::grabRegion);

        const auto walk = [&]() -> QList<QWidget *> {
            first->setFocus(Qt::TabFocusReason);
            QList<QWidget *> visited{first};
            for (int step = 0; step < 80; ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget *now = QApplication::focusWidget();
                if (now == first || visited.contains(now))
                    break;
                visited << now;
            }
            return visited;
        };
        const auto check = [&](const QList<QWidget *> &visited, const QString &ignored) {
            QVERIFY(QApplication::focusWidget() == first && visited.size() > 20);
            QStringList names;
            QPoint previous(-1, -1);
            for (QWidget *widget : visited) {
                QVERIFY2(!widget->accessibleName().isEmpty(), widget->metaObject()->className());
                names << widget->accessibleName();
                const QPoint at = widget->mapTo(view, QPoint(0, 0));
                // Down the page, and left to right within a row.
                const bool sameRow = std::abs(at.y() - previous.y()) < widget->height() / 2;
                QVERIFY2(sameRow ? at.x() > previous.x() : at.y() > previous.y(), qPrintable(names.last()));
                previous = at;
            }
            QVERIFY(names.contains("Remove " + ignored));
        };
        QTRY_VERIFY(controller->window()->isActiveWindow());
        check(walk(), QStringLiteral("org.example.Two"));
        // Rows made while the window is open take their place in the order too.
        view->clipboard()->ignoredApps()->add(QStringLiteral("org.example.Three"));
        QApplication::processEvents();
        check(walk(), QStringLiteral("org.example.Three"));
    }
    void recordsRealKeys()
    {
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xdotool.isEmpty())
            QSKIP("xdotool is not installed");
        SettingsWindowController *controller = open();
        ShortcutField *field = controller->view()->shortcuts()->field(HotKeyAction::grabScreen);
        QTRY_VERIFY(controller->window()->isActiveWindow());
        field->setFocus(Qt::TabFocusReason);
        QTest::keyClick(field, Qt::Key_Space);
        QVERIFY(field->isRecording());

        // Tab goes to the recorder, not to the next control: refused, still recording, focus stays,
        // so the keys after it are the ones recorded.
        QCOMPARE(QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("Tab"), QStringLiteral("ctrl+alt+k")}), 0);
        QTRY_VERIFY(!field->isRecording());
        QCOMPARE(QApplication::focusWidget(), field);
        // "K" by position (40 in the stored numbering), whatever the layout prints on it.
        QCOMPARE(m_fixture->center.key(HotKeyAction::grabScreen), std::optional(HotKey(40, Qt::ControlModifier | Qt::AltModifier)));

        // Escape closes the window, but while a shortcut is recorded it only ends the recording.
        QTest::keyClick(field, Qt::Key_Space);
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!field->isRecording() && controller->window()->isVisible());
    }

private:
    SettingsWindowController *open()
    {
        m_controller = std::make_unique<SettingsWindowController>(m_updates.get(), nullptr);
        m_controller->setServices(m_fixture->services());
        m_controller->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(m_controller->window());
        return m_controller.get();
    }

    std::unique_ptr<SettingsFixture> m_fixture;
    std::unique_ptr<UpdateSettings> m_updates;
    std::unique_ptr<SettingsWindowController> m_controller;
};

KIWANO_TEST_MAIN(TestSettingsWindow)
#include "test_settingswindow.moc"
