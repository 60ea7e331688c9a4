// SPDX-License-Identifier: MIT
#include <QPointer>
#include <QTest>

#include "app/appfixture.h"
#include "app/emptystate.h"
#include "app/rootview.h"
#include "capture/appstate.h"
#include "editor/model/editormodel.h"
#include "editor/ui/editorview.h"
#include "fakes/fakekeyboardlayout.h"
#include "hotkeys/hotkey.h"
#include "hotkeys/keyboard.h"
#include "support/widgets.h"

// The upper part of the main window: the selected grab's editor, or the empty state.
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
        Keyboard::setLayout(&m_us);
    }
    void cleanup() { Keyboard::setLayout(nullptr); }

    void hintNamesTheRegionShortcut_data()
    {
        QTest::addColumn<QVariant>("stored"); // under "hotkey.grabRegion"; invalid: nothing stored
        QTest::addColumn<QString>("expected");

        QTest::newRow("built-in") << QVariant() << "Press Shift+Super+6 to grab a region of your screen.";
        QTest::newRow("Shift+Print") << QVariant(HotKey(105, HotKey::shift).toJson())
                                     << "Press Shift+Print to grab a region of your screen.";
        QTest::newRow("removed") << QVariant(QByteArray()) << "Click the kiwano in the menu bar to grab your screen.";
    }
    void hintNamesTheRegionShortcut()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, expected);
        QSettings preferences = HistoryFixture::preferences();
        preferences.remove("hotkey.grabRegion");
        if (stored.isValid())
            preferences.setValue("hotkey.grabRegion", stored);
        preferences.sync();

        AppState state;
        EmptyState empty(&state);
        QCOMPARE(empty.hintText(), expected);
        preferences.remove("hotkey.grabRegion");
    }

    void aDropOnTheEmptyStateOpensTheFirstGrab()
    {
        AppState state;
        RootView root(&state);
        showRoot(root);
        QVERIFY(showsEmptyState(root));

        const QString file = HistoryFixture::writePng(m_fixture.scratch("drop.png"),
                                                      HistoryFixture::sample(QSize(30, 20), 2));
        auto *mime = AppFixture::fileDrop(file);
        QVERIFY(Widgets::dragEnter(root.emptyState(), mime, QPoint(5, 5)));
        Widgets::drop(root.emptyState(), mime, QPoint(5, 5));

        QTRY_VERIFY(root.editor());
        QCOMPARE(state.entries().size(), 1);
        QCOMPARE(root.editor()->model(), state.currentModel());
        QVERIFY(root.editor()->isVisible());
        QVERIFY(!root.emptyState()->isVisible());
        delete mime;
    }

    void switchingGrabsBuildsAFreshEditorOverTheKeptModel()
    {
        AppFixture::writeGrabs(2);
        AppState state;
        const QList<GrabEntry> entries = state.entries();
        RootView root(&state);
        showRoot(root);

        state.setSelected(entries.at(0).url);
        QTRY_VERIFY(root.editor());
        QVERIFY(!root.isWaiting());
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
        QVERIFY(root.editor()->model() != firstModel);

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
        RootView root(&state);
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
};

KIWANO_TEST_MAIN(TestRootView)
#include "test_rootview.moc"
