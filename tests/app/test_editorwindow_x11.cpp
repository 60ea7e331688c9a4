// SPDX-License-Identifier: MIT
#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QProcess>

#include "app/appfixture.h"
#include "app/editorwindowcontroller.h"
#include "app/historystrip.h"
#include "app/stripview.h"
#include "capture/appstate.h"

// The main window under a real window manager: show() brings it back to the front, active; the
// strip takes keys typed through the X server.
class TestEditorWindowX11 : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void showBringsTheWindowToTheFront()
    {
        AppState state;
        EditorWindowController controller(&state);
        QMainWindow *window = controller.window();
        controller.show();
        QVERIFY(QTest::qWaitForWindowActive(window));

        QWidget other;
        other.resize(300, 200);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        controller.show();
        QTRY_VERIFY(window->isActiveWindow());

        // Closed, it is only hidden, and comes back active as it was.
        const QSize size = window->size();
        QVERIFY(window->close() && !window->isVisible());
        controller.show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->size(), size);

        // Minimised too.
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        controller.show();
        QTRY_VERIFY(window->isActiveWindow() && !window->isMinimized());
    }

    // The strip with keys typed through the X server.
    void theMenuKeyOpensTheSelectedGrabsMenu()
    {
        AppFixture::writeGrabs(3);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        state.setSelected(entries.at(1).url);
        HistoryStrip strip(&state);
        strip.resize(900, HistoryStrip::height);
        strip.show();
        QVERIFY(QTest::qWaitForWindowActive(&strip));
        strip.view()->setFocus();
        QTRY_VERIFY(strip.view()->hasFocus());

        QCOMPARE(QProcess::execute("xdotool", {"key", "Right", "Menu"}), 0);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QCOMPARE(menu->actions().size(), 2);
        // It acts on the grab that Right selected.
        QCOMPARE(state.selected(), entries.at(2).url);
        menu->actions().at(1)->trigger();
        menu->close();
        QCOMPARE(state.entries().size(), 2);
        QVERIFY(!QFile::exists(entries.at(2).path()));
        QCOMPARE(state.selected(), entries.at(1).url);
    }
};

KIWANO_TEST_MAIN(TestEditorWindowX11)
#include "test_editorwindow_x11.moc"
