// SPDX-License-Identifier: MIT
#include <QPointer>
#include <QSignalSpy>

#include "annotation/annotation.h"
#include "annotation/pixelcache.h"
#include "capture/appstate.h"
#include "capture/history.h"
#include "capture/historyfixture.h"
#include "editor/model/editormodel.h"
#include "editor/model/zogquote.h"

// The application's model of grabs over real grab folders in a temporary home.
class TestAppState : public QObject
{
    Q_OBJECT

    // Written in order, so that equal birth times still list the last written first.
    QList<GrabEntry> grabs(int count)
    {
        for (int i = 0; i < count; ++i)
            HistoryFixture::writePng(History::dir() + QString("/grab-20260101-%1-ABCDEF.png").arg(i, 6, 10, QChar('0')), image(i));
        const QList<GrabEntry> entries = History::load();
        if (entries.size() != count)
            qFatal("expected %d grabs", count);
        return entries;
    }
    static QImage image(int seed) { return HistoryFixture::sample(QSize(40, 30), seed); }
    static Annotation stamp() { return Annotation(Shapes::Stamp{QPointF(10, 10)}, Style()); }
    HistoryFixture m_fixture;

private slots:
    void init() { m_fixture.reset(); }

    void trashingMovesTheSelectionToANeighbour_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("selected"); // positions before trashing; -1: nothing selected
        QTest::addColumn<int>("trashed"); QTest::addColumn<int>("expected");
        QTest::newRow("selected newest: the second") << 3 << 0 << 0 << 1;
        QTest::newRow("selected middle: the next older") << 3 << 1 << 1 << 2;
        QTest::newRow("selected oldest: the new oldest") << 3 << 2 << 2 << 1;
        QTest::newRow("selected only grab: nothing") << 1 << 0 << 0 << -1;
        QTest::newRow("another grab: selection stays") << 3 << 2 << 0 << 2;
        QTest::newRow("nothing selected stays so") << 3 << -1 << 1 << -1;
    }
    void trashingMovesTheSelectionToANeighbour()
    {
        QFETCH(int, count); QFETCH(int, selected); QFETCH(int, trashed); QFETCH(int, expected);
        const QList<GrabEntry> listed = grabs(count);
        AppState state;
        if (selected >= 0)
            state.setSelected(listed[selected].url);
        QPointer<EditorModel> model = state.model(listed[trashed].url);
        QVERIFY(model);
        state.model(listed[(trashed + 1) % count].url); // so that the trashed one is not the seed
        QSignalSpy selectedChanged(&state, &AppState::selectedChanged), done(&state, &AppState::grabTrashed);

        // Handed in with another date, the entry still names the same file.
        state.trash({listed[trashed].url, listed[trashed].date.addSecs(-60)});

        QList<GrabEntry> rest = listed;
        rest.removeAt(trashed);
        QCOMPARE(state.entries(), rest);
        QCOMPARE(History::load(), rest);
        QCOMPARE(done.value(0).value(0).value<GrabEntry>(), listed[trashed]);
        QVERIFY(!state.models().contains(listed[trashed].url));
        QCOMPARE(state.selected(), expected >= 0 ? std::optional<QUrl>(listed[expected].url) : std::nullopt);
        QCOMPARE(selectedChanged.size(), selected == trashed ? 1 : 0);
        // The model waits for the grab to come back; once that is given up, it goes, unless it
        // is left to seed the next one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(model);
        state.forgetTrashed();
        if (count > 1)
            QTRY_VERIFY(!model);
        else
            QCOMPARE(state.lastModel(), model.data());
        QCOMPARE(QDir(m_fixture.trash() + "/files").entryList(QDir::Files), QStringList{listed[trashed].url.fileName()});
    }

    void trashedGrabsComeBackAsTheyWere()
    {
        const QList<GrabEntry> listed = grabs(3);
        AppState state;
        state.setSelected(listed[1].url);
        state.model(listed[2].url);
        QPointer<EditorModel> model = state.model(listed[1].url); // it seeds new models when trashed
        model->commit(stamp());
        state.trash(listed[1]);
        QCOMPARE(state.selected(), listed[2].url);
        state.model(listed[0].url); // another one seeds now
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(model);

        QSignalSpy restored(&state, &AppState::grabRestored);
        state.restoreTrashed();
        QCOMPARE(restored.size(), 1);
        QCOMPARE(History::load(), listed);
        QCOMPARE(state.entries(), listed);
        // Kept without its picture meanwhile: it reads it again from the restored file.
        QCOMPARE(state.model(listed[1].url), model.data());
        QCOMPARE(model->base(), image(1));
        QVERIFY(model->annotations().size() == 1 && model->canUndo());
        QVERIFY(!state.trashed());

        // An unselected grab comes back unselected, in its place; only the last trashed does.
        state.trash(listed[0]);
        state.trash(listed[2]);
        QCOMPARE(state.trashed(), listed[2]);
        state.restoreTrashed();
        QCOMPARE(state.entries(), (QList<GrabEntry>{listed[1], listed[2]}));
        QCOMPARE(state.selected(), listed[1].url);
        state.restoreTrashed(); // nothing left to put back
        QCOMPARE(state.entries().size(), 2);

        // Emptied from the trash before Undo: nothing comes back and nothing else changes. (A
        // trash that cannot be made keeps the grab: run through the real program by the e2e tests.)
        QSignalSpy restoreFailed(&state, &AppState::restoreFailed);
        state.trash(listed[1]);
        QVERIFY(QDir(m_fixture.trash() + "/files").removeRecursively());
        state.restoreTrashed();
        QCOMPARE(restoreFailed.value(0).value(0).value<GrabEntry>(), listed[1]);
        QCOMPARE(state.entries(), QList<GrabEntry>{listed[2]});
        QCOMPARE(state.selected(), listed[2].url);
    }

    void newModelsCarryTheLastToolAndStyles_data()
    {
        QTest::addColumn<Tool>("used"); QTest::addColumn<Tool>("carried");
        QTest::newRow("crop becomes move") << Tool::crop << Tool::move;
        QTest::newRow("pen") << Tool::pen << Tool::pen;
    }
    void newModelsCarryTheLastToolAndStyles()
    {
        QFETCH(Tool, used); QFETCH(Tool, carried);
        const QList<GrabEntry> listed = grabs(2);
        AppState state;
        state.setSelected(listed[1].url);
        QVERIFY(!state.currentModel()); // never made by asking for the current one
        EditorModel *first = state.model(listed[1].url);
        QCOMPARE(state.currentModel(), first);
        first->chooseTool(Tool::pen);
        Style pen = first->toolStyle();
        pen.color = QColor(10, 200, 30);
        first->setToolStyle(pen);
        first->commit(stamp());
        first->chooseTool(used);

        EditorModel *second = state.model(listed[0].url);
        QCOMPARE(second->tool(), carried);
        QCOMPARE(second->toolStyles().value(Tool::pen), pen);
        // Layers and undo are the grab's own, and the seed is left alone.
        QVERIFY(second->annotations().isEmpty() && !second->canUndo() && first->tool() == used);
    }

    void moveHistoryKeepsModelsAndUndo()
    {
        const QList<GrabEntry> listed = grabs(3);
        AppState state;
        EditorModel *a = state.model(listed[0].url), *b = state.model(listed[2].url);
        a->commit(stamp());
        a->commit(stamp());
        a->undo();
        state.setSelected(listed[2].url);
        QSignalSpy entriesChanged(&state, &AppState::entriesChanged);

        const QString target = m_fixture.scratch("elsewhere");
        QVERIFY(state.moveHistory(target));
        const auto moved = [&](int i) { return QUrl::fromLocalFile(target + '/' + listed[i].url.fileName()); };
        QCOMPARE(state.entries().value(1).url, moved(1));
        QCOMPARE(state.selected(), std::optional<QUrl>(moved(2)));
        QVERIFY(state.currentModel() == b && state.lastModel() == b);
        QCOMPARE(entriesChanged.size(), 1);
        // Hidden, it let go of its picture, and reads it again from the file's new place.
        QCOMPARE(state.model(moved(0)), a);
        QCOMPARE(a->base(), image(2));
        a->redo();
        QCOMPARE(a->annotations().size(), 2);
        QCOMPARE(state.model(moved(1))->base(), image(1)); // opened after the move, read from its new place

        // A folder cannot be made inside a file: nothing changes.
        const QList<GrabEntry> entries = state.entries();
        QString error;
        QVERIFY(!state.moveHistory(HistoryFixture::writeBytes(m_fixture.scratch("file"), "x") + "/history", &error));
        QVERIFY(!error.isEmpty() && state.entries() == entries);
        QCOMPARE(state.models().value(moved(0)), a);
        QCOMPARE(entriesChanged.size(), 1);
    }

    // Pictures are read off the main thread, once; arrow keys walking on before a picture is
    // read make only the grab arrived at.
    void preparingDecodesOnceAwayFromTheCaller()
    {
        const QList<GrabEntry> listed = grabs(4);
        AppState state;
        QSignalSpy ready(&state, &AppState::modelReady), failed(&state, &AppState::modelFailed);
        for (int at : {3, 0, 0}) // the same twice
            state.setSelected(listed[at].url), state.prepareModel(listed[at].url);
        QVERIFY(!state.models().contains(listed[0].url));
        QTRY_COMPARE(ready.size(), 1);
        QVERIFY(!ready.wait(100)); // no second one follows, nor one for the grab passed by
        QCOMPARE(ready.first().first().toUrl(), listed[0].url);
        QCOMPARE(state.models().keys(), QList<QUrl>{listed[0].url});
        EditorModel *model = state.models().value(listed[0].url);
        QCOMPARE(model->base(), image(3));
        QCOMPARE(state.model(listed[0].url), model); // handed out: the seed of new ones from now

        // Ready again on the next turn, as it stands.
        state.prepareModel(listed[0].url);
        QCOMPARE(ready.size(), 1);
        QTRY_COMPARE(ready.size(), 2);
        QCOMPARE(state.models().value(listed[0].url), model);

        QVERIFY(QFile::remove(listed[1].path()));
        state.setSelected(listed[1].url), state.prepareModel(listed[1].url);
        state.prepareModel(QUrl::fromLocalFile(m_fixture.scratch("unlisted.png")));
        QTRY_COMPARE(failed.size(), 2);
        QCOMPARE(state.models().size(), 1);
    }

    // Grabs out of sight let go of their pictures (what that saves is measured by the
    // benchmarks) and come back as they were: an edited one with every undo step, read again off
    // the main thread, an untouched one with its tool and quote, the seed of new models at once.
    void hiddenGrabsComeBackAsTheyWere()
    {
        const QList<GrabEntry> listed = grabs(3);
        AppState state;
        QSignalSpy ready(&state, &AppState::modelReady);
        state.setSelected(listed[0].url);
        QPointer<EditorModel> edited = state.model(listed[0].url);
        edited->commit(Annotation(Shapes::Blur{QRectF(2, 2, 20, 12)}, Style()));
        edited->resize(QSizeF(20, 15));
        edited->commit(stamp());
        edited->undo(), edited->undo();
        // Now: the file's picture with the blur; undo: the bare picture; redo: two resized steps.
        state.setSelected(listed[1].url);
        QPointer<EditorModel> untouched = state.model(listed[1].url); // the seed, until the next one
        untouched->chooseTool(Tool::highlighter);
        untouched->setQuote(ZogQuote{7, std::nullopt, "hello"});
        state.setSelected(listed[2].url);
        QPointer<EditorModel> seed = state.model(listed[2].url);
        seed->chooseTool(Tool::pen);

        state.setSelected(listed[0].url);
        // An untouched model goes once the views have heard of the new selection; never the
        // selected grab's, nor the seed.
        QVERIFY(untouched);
        QTRY_VERIFY(!untouched);
        QVERIFY(state.models().size() == 2 && state.lastModel() == seed.data() && !state.currentModel());
        state.prepareModel(listed[0].url);
        QVERIFY(ready.wait(5000));
        QCOMPARE(state.currentModel(), edited.data());
        QCOMPARE(edited->base(), image(2));
        QVERIFY(!edited->pixels().image(Style().blurBlock).isNull());
        edited->undo();
        QVERIFY(edited->annotations().isEmpty() && !edited->canUndo());
        edited->redo(), edited->redo();
        QCOMPARE(edited->base().size(), QSize(20, 15));
        edited->redo();
        QCOMPARE(edited->annotations().size(), 2);
        QVERIFY(!edited->canRedo());

        EditorModel *back = state.model(listed[1].url);
        QCOMPARE(back->base(), image(1));
        QVERIFY(back->tool() == Tool::highlighter && back->quote()->id == 7);
        QCOMPARE(state.model(listed[2].url), seed.data());
        QCOMPARE(seed->base(), image(0));

        // A grab whose file went away outside leaves the list with its model at the next listing.
        QVERIFY(QFile::remove(listed[0].path()));
        state.setSelected(listed[1].url);
        QVERIFY(state.moveHistory(m_fixture.scratch("moved")));
        QCOMPARE(state.entries().size(), 2);
        QTRY_VERIFY(!edited);
    }
};

KIWANO_TEST_MAIN(TestAppState)
#include "test_appstate.moc"
