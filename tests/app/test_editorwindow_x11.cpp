// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QMainWindow>
#include <QTest>

#include "app/appfixture.h"
#include "app/editorwindowcontroller.h"
#include "capture/appstate.h"

// show() under a real window manager: the editor window comes back to the front, active.
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
        QVERIFY(!window->isActiveWindow());
        controller.show();
        QTRY_VERIFY(window->isActiveWindow());

        // Closed, it is only hidden, and comes back active as it was.
        const QSize size = window->size();
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        controller.show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->size(), size);

        // Minimised too.
        window->showMinimized();
        QTRY_VERIFY(window->isMinimized());
        controller.show();
        QTRY_VERIFY(window->isActiveWindow());
        QVERIFY(!window->isMinimized());
    }
};

KIWANO_TEST_MAIN(TestEditorWindowX11)
#include "test_editorwindow_x11.moc"
