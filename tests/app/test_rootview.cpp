// SPDX-License-Identifier: MIT
#include <QMainWindow>
#include <QPointer>
#include <QSettings>

#include "app/appfixture.h"
#include "app/editorwindowcontroller.h"
#include "app/emptystate.h"
#include "app/rootview.h"
#include "capture/appstate.h"
#include "editor/model/editormodel.h"
#include "editor/ui/editorview.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkeycenter.h"
#include "hotkeys/keyboard.h"
#include "support/widgets.h"

// The main window: its content (the selected grab's editor, or the empty state), its first size
// and its kept frame.
class TestRootView : public QObject
{
    Q_OBJECT

    HistoryFixture m_fixture;
    FakeKeyboardLayout m_us;

    static void showRoot(RootView &root)
    {
        root.resize(1100, 600);
        root.show();
        QVERIFY(QTest::qWaitForWindowExposed(&root));
    }
    static bool showsEmptyState(const RootView &root)
    {
        return root.emptyState()->isVisible() && !root.editor() && !root.isWaiting();
    }

private slots:
    void init()
    {
        m_fixture.reset();
        QSettings(QSettings::IniFormat, QSettings::UserScope, "KiwanoSnapper", "KiwanoSnapperEditor").clear();
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    // The main window's empty state names the region shortcut as the registry changes it.
    void hintNamesTheRegionShortcut()
    {
        HistoryFixture::preferences().remove("hotkey.grabRegion");
        HotKeyCenter hotKeys;
        AppState state;
        EditorWindowController window(&state, &hotKeys);
        const EmptyState *empty = window.rootView()->emptyState();
        QVERIFY(empty->hintText().contains("Shift+Super+6"));
        hotKeys.set(HotKey(105, Qt::ShiftModifier), HotKeyAction::grabRegion);
        QVERIFY(empty->hintText().contains("Shift+Print"));
        hotKeys.set(std::nullopt, HotKeyAction::grabRegion);
        QVERIFY(!empty->hintText().contains("Shift+"));
        HistoryFixture::preferences().remove("hotkey.grabRegion");
    }

    void aDropOnTheEmptyStateOpensTheFirstGrab()
    {
        AppState state;
        RootView root(&state, EditorDesktop{});
        showRoot(root);
        QVERIFY(showsEmptyState(root));

        const QString file = HistoryFixture::writePng(m_fixture.scratch("drop.png"), HistoryFixture::sample(QSize(30, 20), 2));
        const std::unique_ptr<QMimeData> mime(AppFixture::fileDrop(file));
        QVERIFY(Widgets::dragEnter(root.emptyState(), mime.get(), QPoint(5, 5)));
        Widgets::drop(root.emptyState(), mime.get(), QPoint(5, 5));

        QTRY_VERIFY(root.editor());
        QCOMPARE(state.entries().size(), 1);
        QCOMPARE(root.editor()->model(), state.currentModel());
        QVERIFY(root.editor()->isVisible() && !root.emptyState()->isVisible());
    }

    void switchingGrabsBuildsAFreshEditorOverTheKeptModel()
    {
        AppFixture::writeGrabs(2);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        RootView root(&state, EditorDesktop{});
        showRoot(root);

        state.setSelected(entries.at(0).url);
        QTRY_VERIFY(root.editor());
        QPointer<EditorView> first = root.editor();
        QPointer<EditorModel> firstModel = first->model();
        QCOMPARE(firstModel.data(), state.models().value(entries.at(0).url));
        // Work in it, so that the state keeps its model (all but its picture) while another grab
        // shows.
        firstModel->addWatermark();

        state.setSelected(entries.at(1).url);
        QVERIFY(!first);
        QTRY_VERIFY(root.editor());
        QCOMPARE(root.editor()->model(), state.models().value(entries.at(1).url));

        // Back to the grab whose model is kept: the placeholder while its picture is read again,
        // then a new view over the same model.
        state.setSelected(entries.at(0).url);
        QVERIFY(firstModel);
        QVERIFY(root.isWaiting());
        QTRY_VERIFY(root.editor());
        QCOMPARE(root.editor()->model(), firstModel.data());
        QVERIFY(!firstModel->base().isNull());
        QCOMPARE(firstModel->annotations().size(), 1);

        state.setSelected(std::nullopt);
        QVERIFY(showsEmptyState(root));
    }

    void anUnreadableGrabShowsTheEmptyState_data()
    {
        QTest::addColumn<bool>("vanished"); // else the file is no image
        QTest::newRow("undecodable") << false;
        QTest::newRow("vanished") << true;
    }
    void anUnreadableGrabShowsTheEmptyState()
    {
        QFETCH(bool, vanished);
        AppFixture::writeGrabs(1);
        const QString broken = History::dir() + "/grab-20260102-000000-BROKEN.png";
        HistoryFixture::writeBytes(broken, "\x89PNG\r\n\x1a\n truncated");
        AppState state;
        RootView root(&state, EditorDesktop{});
        showRoot(root);
        if (vanished) {
            QFile::remove(broken);
            HistoryFixture::writePng(broken + ".moved.png", HistoryFixture::sample(QSize(8, 8)));
        }

        state.setSelected(QUrl::fromLocalFile(broken));
        QTRY_VERIFY(showsEmptyState(root));
        QCOMPARE(state.currentModel(), nullptr);
        // The strip still offers the others.
        QCOMPARE(state.entries().size(), 2);
    }

    // The window around it: its first size, and its frame kept for the next start.
    void firstSize_data()
    {
        QTest::addColumn<QRect>("available"); // empty: no screen
        QTest::addColumn<QSize>("expected");

        QTest::newRow("no screen") << QRect() << QSize(1200, 810);
        QTest::newRow("large") << QRect(0, 0, 2560, 1400) << QSize(1200, 820);
        QTest::newRow("small: 90 %") << QRect(0, 25, 1000, 800) << QSize(900, 720);
    }
    void firstSize()
    {
        QFETCH(QRect, available);
        QTEST(EditorWindowController::initialSize(available.isEmpty() ? std::nullopt : std::optional(available)), "expected");
    }

    void theFrameIsKept()
    {
        AppState state;
        QRect frame;
        {
            EditorWindowController controller(&state);
            QMainWindow *window = controller.window();
            controller.show();
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QVERIFY(window->width() >= 1100 && window->height() >= 600);
            window->setGeometry(QRect(40, 50, 1133, 655));
            frame = window->geometry();
            window->close();
        }
        QCOMPARE(EditorWindowController(&state).window()->geometry(), frame);
    }
};

KIWANO_TEST_MAIN(TestRootView)
#include "test_rootview.moc"
