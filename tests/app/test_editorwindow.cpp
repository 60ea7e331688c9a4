// SPDX-License-Identifier: MIT
#include <QMainWindow>
#include <QSettings>
#include <QTest>

#include "app/appfixture.h"
#include "app/editorwindowcontroller.h"
#include "app/rootview.h"
#include "capture/appstate.h"

// The editor window: its first size, its kept frame, and closing that only hides it.
class TestEditorWindow : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;

private slots:
    void init()
    {
        m_fixture.reset();
        QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapperEditor").clear();
    }

    void firstSize_data()
    {
        QTest::addColumn<QRect>("available"); // empty: no screen
        QTest::addColumn<QSize>("expected");

        QTest::newRow("no screen") << QRect() << QSize(1200, 810);
        QTest::newRow("large") << QRect(0, 0, 2560, 1400) << QSize(1200, 820);
        QTest::newRow("90 %") << QRect(0, 25, 1000, 800) << QSize(900, 720);
        QTest::newRow("wide and low") << QRect(0, 0, 3000, 700) << QSize(1200, 630);
        QTest::newRow("narrow and tall") << QRect(1920, 0, 1280, 2000) << QSize(1152, 820);
    }
    void firstSize()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, expected);
        const auto screen = available.isEmpty() ? std::nullopt : std::optional(available);
        QCOMPARE(EditorWindowController::initialSize(screen), expected);
    }

    void closingHidesAndTheFrameIsKept()
    {
        AppState state;
        QRect frame;
        {
            EditorWindowController controller(&state);
            QMainWindow *window = controller.window();
            QCOMPARE(window->windowTitle(), "🥝 Kiwano Snapper");
            QCOMPARE(window->minimumSize(), QSize(1100, 600));
            controller.show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QVERIFY(window->width() >= 1100 && window->height() >= 600);

            RootView *root = controller.rootView();
            QVERIFY(window->close());
            QVERIFY(!window->isVisible());
            QCOMPARE(controller.rootView(), root);
            controller.show();
            QVERIFY(window->isVisible());
            QCOMPARE(controller.rootView(), root);

            window->setGeometry(QRect(40, 50, 1133, 655));
            frame = window->geometry();
            window->close();
        }
        EditorWindowController again(&state);
        QCOMPARE(again.window()->geometry().size(), frame.size());
        QCOMPARE(again.window()->geometry().topLeft(), frame.topLeft());
    }
};

KIWANO_TEST_MAIN(TestEditorWindow)
#include "test_editorwindow.moc"
