// SPDX-License-Identifier: MIT
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include "annotation/annotation.h"
#include "capture/appstate.h"
#include "capture/capture.h"
#include "capture/history.h"
#include "capture/historyfixture.h"
#include "editor/model/editormodel.h"

// The application's model of grabs over real grab folders in a temporary home.
class TestAppState : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_fixture.reset(); }

    void removeMovesTheSelectionToANeighbour_data();
    void removeMovesTheSelectionToANeighbour();
    void removeForgetsTheFileByUrl();
    void newModelsCarryTheLastToolAndStyles_data();
    void newModelsCarryTheLastToolAndStyles();
    void lastModelIsTheOneMostRecentlyHandedOut();
    void removedLastModelStillSeedsTheNextOne();
    void unreadableGrabsGetNoModelUntilTheyCanBeRead();
    void insertPutsTheGrabFirstAndKeepsTheList();
    void insertOfAListedUrlMovesItInsteadOfListingItTwice();
    void addAsNewGrabWritesANewFile();
    void selectLatestIfNeeded_data();
    void selectLatestIfNeeded();
    void moveHistoryKeepsModelsAndUndo();
    void moveHistoryLeavesCollidingGrabsBehind();
    void failedMoveHistoryChangesNothing();
    void vanishedFolderLosesNothingElse();
    void landedCaptureIsSelectedWithAQuote();

private:
    // count grabs in the history folder, oldest written first, with names in the same order so
    // that equal birth times still list newest first. Returns them newest first.
    QList<GrabEntry> grabs(int count, int firstSeed = 0)
    {
        for (int i = 0; i < count; ++i) {
            const int seed = firstSeed + i;
            HistoryFixture::writePng(History::dir()
                                         + QStringLiteral("/grab-20260101-%1-ABCDEF.png")
                                               .arg(seed, 6, 10, QLatin1Char('0')),
                                     image(seed));
        }
        const QList<GrabEntry> entries = History::load();
        if (entries.size() != count)
            qFatal("expected %d grabs", count);
        return entries;
    }
    static QImage image(int seed) { return HistoryFixture::sample(QSize(40, 30), seed); }
    static Annotation stamp() { return Annotation(Shapes::Stamp{QPointF(10, 10)}, Style()); }
    static QList<QUrl> urls(const QList<GrabEntry> &entries)
    {
        QList<QUrl> result;
        for (const GrabEntry &entry : entries)
            result.append(entry.url);
        return result;
    }

    HistoryFixture m_fixture;
};

void TestAppState::removeMovesTheSelectionToANeighbour_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected");   // position before the removal; -1: nothing selected
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("expected");   // position before the removal; -1: nothing selected
    QTest::newRow("selected newest: the second") << 3 << 0 << 0 << 1;
    QTest::newRow("selected middle: the next older") << 3 << 1 << 1 << 2;
    QTest::newRow("selected oldest: the new oldest") << 3 << 2 << 2 << 1;
    QTest::newRow("selected only grab: nothing") << 1 << 0 << 0 << -1;
    QTest::newRow("another grab: selection stays") << 3 << 2 << 0 << 2;
    QTest::newRow("nothing selected stays so") << 3 << -1 << 1 << -1;
}

void TestAppState::removeMovesTheSelectionToANeighbour()
{
    QFETCH(int, count);
    QFETCH(int, selected);
    QFETCH(int, removed);
    QFETCH(int, expected);
    const QList<GrabEntry> listed = grabs(count);
    AppState state;
    if (selected >= 0)
        state.setSelected(listed[selected].url);
    QPointer<EditorModel> model = state.model(listed[removed].url);
    state.model(listed[(removed + 1) % count].url); // so that the removed one is not the seed
    QVERIFY(model);
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);

    state.remove(listed[removed]);

    QList<GrabEntry> rest = listed;
    rest.removeAt(removed);
    QCOMPARE(state.entries(), rest);
    QCOMPARE(History::load(), rest);
    QVERIFY(!QFileInfo::exists(listed[removed].path()));
    QVERIFY(!state.models().contains(listed[removed].url));
    const auto want = expected >= 0 ? std::optional<QUrl>(listed[expected].url) : std::nullopt;
    QCOMPARE(state.selected(), want);
    QCOMPARE(entriesChanged.size(), 1);
    QCOMPARE(selectedChanged.size(), selected == removed ? 1 : 0);
    // The model goes with its grab once the event loop has turned, unless it is the only one
    // left to seed the next.
    if (count > 1)
        QTRY_VERIFY(!model);
    else
        QCOMPARE(state.lastModel(), model.data());
}

void TestAppState::removeForgetsTheFileByUrl()
{
    // An entry handed in with another date still names the same file, which is gone after.
    const QList<GrabEntry> listed = grabs(2);
    AppState state;
    state.setSelected(listed[0].url);
    state.remove({listed[0].url, listed[0].date.addSecs(-60)});
    QCOMPARE(state.entries(), QList<GrabEntry>{listed[1]});
    QCOMPARE(state.selected(), std::optional<QUrl>(listed[1].url));
    QVERIFY(!QFileInfo::exists(listed[0].path()));
}

void TestAppState::newModelsCarryTheLastToolAndStyles_data()
{
    QTest::addColumn<Tool>("used");
    QTest::addColumn<Tool>("carried");
    QTest::newRow("crop becomes move") << Tool::crop << Tool::move;
    QTest::newRow("arrow") << Tool::arrow << Tool::arrow;
    QTest::newRow("pen") << Tool::pen << Tool::pen;
    QTest::newRow("blur") << Tool::blur << Tool::blur;
}

void TestAppState::newModelsCarryTheLastToolAndStyles()
{
    QFETCH(Tool, used);
    QFETCH(Tool, carried);
    const QList<GrabEntry> listed = grabs(2);
    AppState state;
    QCOMPARE(state.entries(), listed);
    // currentModel never makes a model, even for the selected grab.
    state.setSelected(listed[1].url);
    QVERIFY(!state.currentModel());
    EditorModel *first = state.model(listed[1].url);
    QCOMPARE(state.currentModel(), first);
    QCOMPARE(first->base(), image(0)); // listed newest first
    QCOMPARE(first->tool(), Tool::arrow);
    first->chooseTool(Tool::pen);
    Style pen = first->toolStyle();
    pen.color = QColor(10, 200, 30);
    pen.width = 23;
    first->setToolStyle(pen);
    first->chooseTool(used);

    EditorModel *second = state.model(listed[0].url);
    QVERIFY(second && second != first);
    QCOMPARE(second->tool(), carried);
    QVERIFY(!second->cropRect());
    QCOMPARE(second->toolStyles().value(Tool::pen), pen);
    QVERIFY(second->toolStyles() == first->toolStyles());
    // Layers and history are the grab's own.
    QVERIFY(second->annotations().isEmpty());
    QVERIFY(!second->canUndo());
    // The seed's own state is left alone.
    QCOMPARE(first->tool(), used);
}

void TestAppState::lastModelIsTheOneMostRecentlyHandedOut()
{
    const QList<GrabEntry> listed = grabs(3);
    AppState state;
    EditorModel *a = state.model(listed[0].url);
    a->chooseTool(Tool::rect);
    EditorModel *b = state.model(listed[1].url);
    b->chooseTool(Tool::text);
    QCOMPARE(state.model(listed[0].url), a);
    QCOMPARE(state.lastModel(), a);
    QCOMPARE(state.models().size(), 2);
    QCOMPARE(state.model(listed[2].url)->tool(), Tool::rect);
}

void TestAppState::removedLastModelStillSeedsTheNextOne()
{
    const QList<GrabEntry> listed = grabs(3);
    AppState state;
    QPointer<EditorModel> a = state.model(listed[0].url);
    a->chooseTool(Tool::highlighter);
    state.remove(listed[0]);
    QTest::qWait(0);
    QVERIFY(a);
    QCOMPARE(state.lastModel(), a.data());

    EditorModel *b = state.model(listed[1].url);
    QCOMPARE(b->tool(), Tool::highlighter);
    QCOMPARE(state.lastModel(), b);
    // No longer needed as the seed, the deleted grab's model goes.
    QTRY_VERIFY(!a);
    QCOMPARE(state.models().keys(), QList<QUrl>{listed[1].url});
}

void TestAppState::unreadableGrabsGetNoModelUntilTheyCanBeRead()
{
    const QList<GrabEntry> listed = grabs(1);
    HistoryFixture::writeBytes(listed[0].path(), "not a picture");
    AppState state;
    QVERIFY(!state.model(listed[0].url));
    QVERIFY(!state.model(QUrl::fromLocalFile(m_fixture.scratch() + QStringLiteral("/grab-x.png"))));
    QVERIFY(state.models().isEmpty());
    QVERIFY(!state.lastModel());

    QFile::remove(listed[0].path());
    HistoryFixture::writePng(listed[0].path(), image(5));
    EditorModel *model = state.model(listed[0].url);
    QVERIFY(model);
    QCOMPARE(model->base(), image(5));
}

void TestAppState::insertPutsTheGrabFirstAndKeepsTheList()
{
    const QList<GrabEntry> listed = grabs(2);
    AppState state;
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);

    // Opened images come in quietly: no model yet.
    const GrabEntry opened = {QUrl::fromLocalFile(History::dir() + QStringLiteral("/grab-o.png")),
                              QDateTime::currentDateTime()};
    state.insert(opened, false);
    QCOMPARE(state.entries(), (QList<GrabEntry>{opened, listed[0], listed[1]}));
    QCOMPARE(state.selected(), std::optional<QUrl>(opened.url));
    QVERIFY(state.models().isEmpty());
    QCOMPARE(entriesChanged.size(), 1);
    QCOMPARE(selectedChanged.size(), 1);

    // The list never grows past the history's limit; the oldest drop off the end.
    for (int i = 0; i < History::limit; ++i)
        state.insert({QUrl::fromLocalFile(QStringLiteral("/nowhere/grab-%1.png").arg(i)),
                      QDateTime::currentDateTime()}, false);
    QCOMPARE(state.entries().size(), History::limit);
    QCOMPARE(state.entries().first().url,
             QUrl::fromLocalFile(QStringLiteral("/nowhere/grab-%1.png").arg(History::limit - 1)));
    QCOMPARE(state.entries().last().url, QUrl::fromLocalFile(QStringLiteral("/nowhere/grab-0.png")));
}

void TestAppState::insertOfAListedUrlMovesItInsteadOfListingItTwice()
{
    const QList<GrabEntry> listed = grabs(3);
    AppState state;
    EditorModel *model = state.model(listed[2].url);
    model->commit(stamp());
    const GrabEntry again = {listed[2].url, QDateTime::currentDateTime()};

    state.insert(again, true);

    QCOMPARE(state.entries(), (QList<GrabEntry>{again, listed[0], listed[1]}));
    QCOMPARE(state.selected(), std::optional<QUrl>(again.url));
    QCOMPARE(state.models().value(again.url), model);
    QCOMPARE(model->annotations().size(), 1);
    QVERIFY(model->quote());
}

void TestAppState::addAsNewGrabWritesANewFile()
{
    const QList<GrabEntry> listed = grabs(1);
    AppState state;
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);

    const auto added = state.addAsNewGrab(image(7));
    QVERIFY(added);
    QCOMPARE(QFileInfo(added->path()).absolutePath(), QDir(History::dir()).absolutePath());
    QVERIFY(added->url != listed[0].url);
    QCOMPARE(History::image(*added), image(7));
    QCOMPARE(state.entries(), (QList<GrabEntry>{*added, listed[0]}));
    QCOMPARE(state.selected(), std::optional<QUrl>(added->url));
    QVERIFY(state.models().isEmpty());
    QCOMPARE(entriesChanged.size(), 1);

    // An image that cannot be stored leaves everything as it was.
    QVERIFY(!state.addAsNewGrab(QImage()));
    QCOMPARE(state.entries().size(), 2);
    QCOMPARE(History::load().size(), 2);
    QCOMPARE(entriesChanged.size(), 1);
}

void TestAppState::selectLatestIfNeeded_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("selection");  // "none", "listed" (the oldest) or "gone"
    QTest::addColumn<int>("expected");       // position; -1: nothing
    QTest::newRow("nothing selected") << 3 << "none" << 0;
    QTest::newRow("listed grab stays") << 3 << "listed" << 2;
    QTest::newRow("file no longer listed") << 3 << "gone" << 0;
    QTest::newRow("empty list") << 0 << "gone" << -1;
    QTest::newRow("empty list, nothing selected") << 0 << "none" << -1;
}

void TestAppState::selectLatestIfNeeded()
{
    QFETCH(int, count);
    QFETCH(QString, selection);
    QFETCH(int, expected);
    const QList<GrabEntry> listed = count ? grabs(count) : QList<GrabEntry>();
    AppState state;
    if (selection == "listed")
        state.setSelected(listed.last().url);
    else if (selection == "gone")
        state.setSelected(QUrl::fromLocalFile(m_fixture.scratch() + QStringLiteral("/grab-gone.png")));
    const auto before = state.selected();
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);

    state.selectLatestIfNeeded();

    const auto want = expected >= 0 ? std::optional<QUrl>(listed[expected].url) : std::nullopt;
    QCOMPARE(state.selected(), want);
    QCOMPARE(selectedChanged.size(), before == want ? 0 : 1);
}

void TestAppState::moveHistoryKeepsModelsAndUndo()
{
    const QList<GrabEntry> listed = grabs(3);
    // Not a grab: stays where it is and is never listed.
    HistoryFixture::writePng(History::dir() + QStringLiteral("/notes.png"), image(8));
    AppState state;
    EditorModel *a = state.model(listed[0].url);
    EditorModel *b = state.model(listed[2].url);
    a->commit(stamp());
    a->commit(stamp());
    a->undo();
    b->chooseTool(Tool::pen);
    state.setSelected(listed[2].url);
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);

    const QString target = m_fixture.scratch() + QStringLiteral("/elsewhere");
    QString error;
    QVERIFY(state.moveHistory(target, &error));
    QVERIFY(error.isEmpty());

    const auto moved = [&](const GrabEntry &entry) {
        return QUrl::fromLocalFile(target + QLatin1Char('/') + entry.url.fileName());
    };
    QCOMPARE(urls(state.entries()), (QList<QUrl>{moved(listed[0]), moved(listed[1]), moved(listed[2])}));
    QCOMPARE(state.selected(), std::optional<QUrl>(moved(listed[2])));
    QCOMPARE(state.models().size(), 2);
    QCOMPARE(state.models().value(moved(listed[0])), a);
    QCOMPARE(state.models().value(moved(listed[2])), b);
    QCOMPARE(state.currentModel(), b);
    QCOMPARE(state.lastModel(), b);
    QCOMPARE(b->tool(), Tool::pen);
    QCOMPARE(a->annotations().size(), 1);
    QVERIFY(a->canUndo() && a->canRedo());
    a->redo();
    QCOMPARE(a->annotations().size(), 2);
    QCOMPARE(state.model(moved(listed[0])), a);
    QCOMPARE(entriesChanged.size(), 1);
    QCOMPARE(selectedChanged.size(), 1);
    QCOMPARE(HistoryFixture::names(History::dir()).size(), 3);
    QVERIFY(QFileInfo::exists(History::defaultDir() + QStringLiteral("/notes.png")));

    // A grab opened after the move is read from its new place.
    QCOMPARE(state.model(moved(listed[1]))->base(), image(1));
}

void TestAppState::moveHistoryLeavesCollidingGrabsBehind()
{
    const QList<GrabEntry> listed = grabs(2);
    const QString target = m_fixture.scratch() + QStringLiteral("/elsewhere");
    // The target already holds a grab of the same name as the newest, and one of its own.
    HistoryFixture::writePng(target + QLatin1Char('/') + listed[0].url.fileName(), image(20));
    HistoryFixture::writePng(target + QStringLiteral("/grab-20250101-000000-FEDCBA.png"), image(21));
    AppState state;
    EditorModel *kept = state.model(listed[0].url);
    state.setSelected(listed[0].url);

    QVERIFY(state.moveHistory(target));

    QCOMPARE(state.entries().size(), 3);
    QVERIFY(QFileInfo::exists(listed[0].path()));
    // The grab left behind keeps its model under its old place, and the selection on it stays.
    QCOMPARE(state.models().value(listed[0].url), kept);
    QCOMPARE(state.selected(), std::optional<QUrl>(listed[0].url));
    QVERIFY(!urls(state.entries()).contains(listed[0].url));
    state.selectLatestIfNeeded();
    QVERIFY(urls(state.entries()).contains(*state.selected()));
    QCOMPARE(state.model(QUrl::fromLocalFile(target + QLatin1Char('/') + listed[0].url.fileName()))
                 ->base(),
             image(20));
}

void TestAppState::failedMoveHistoryChangesNothing()
{
    const QList<GrabEntry> listed = grabs(2);
    AppState state;
    EditorModel *model = state.model(listed[0].url);
    state.setSelected(listed[0].url);
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);
    // A folder cannot be made inside a file.
    const QString blocker = HistoryFixture::writeBytes(m_fixture.scratch() + QStringLiteral("/file"), "x");

    QString error;
    QVERIFY(!state.moveHistory(blocker + QStringLiteral("/history"), &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(state.entries(), listed);
    QCOMPARE(state.selected(), std::optional<QUrl>(listed[0].url));
    QCOMPARE(state.models().value(listed[0].url), model);
    QCOMPARE(entriesChanged.size(), 0);
    QCOMPARE(selectedChanged.size(), 0);

    // Moving into the folder in use is no move at all.
    QVERIFY(state.moveHistory(History::dir()));
    QCOMPARE(state.entries(), listed);
    QCOMPARE(entriesChanged.size(), 0);
}

void TestAppState::vanishedFolderLosesNothingElse()
{
    const QList<GrabEntry> listed = grabs(3);
    AppState state;
    EditorModel *open = state.model(listed[0].url);
    open->commit(stamp());
    state.setSelected(listed[0].url);
    QVERIFY(QDir(History::dir()).removeRecursively());

    // The open grab keeps its work; the others can no longer be opened.
    QCOMPARE(state.model(listed[0].url), open);
    QCOMPARE(open->annotations().size(), 1);
    QVERIFY(!state.model(listed[1].url));

    state.remove(listed[0]);
    QCOMPARE(state.entries(), (QList<GrabEntry>{listed[1], listed[2]}));
    QCOMPARE(state.selected(), std::optional<QUrl>(listed[1].url));

    // New grabs make the folder again.
    const auto added = state.addAsNewGrab(image(4));
    QVERIFY(added);
    QVERIFY(QFileInfo::exists(added->path()));
    QCOMPARE(state.model(added->url)->base(), image(4));
    QCOMPARE(state.entries().size(), 3);
}

void TestAppState::landedCaptureIsSelectedWithAQuote()
{
    const QList<GrabEntry> listed = grabs(1);
    const QString picture = HistoryFixture::writePng(m_fixture.scratch() + QStringLiteral("/shot.png"),
                                                     image(11));
    const QString tool = HistoryFixture::writeBytes(
        m_fixture.scratch() + QStringLiteral("/tool.sh"),
        QStringLiteral("#!/bin/sh\ncp '%1' \"$3\"\n").arg(picture).toUtf8());
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    AppState state;
    EditorModel *earlier = state.model(listed[0].url);
    earlier->chooseTool(Tool::crop);
    Capture capture(tool);
    connect(&capture, &Capture::grabLanded, &state,
            [&state](const GrabEntry &entry) { state.insert(entry, true); });
    QSignalSpy entriesChanged(&state, &AppState::entriesChanged);
    QSignalSpy selectedChanged(&state, &AppState::selectedChanged);

    capture.grabRegion();
    QVERIFY(entriesChanged.wait(10000));

    QCOMPARE(state.entries().size(), 2);
    const GrabEntry landed = state.entries().first();
    QCOMPARE(state.entries().at(1), listed[0]);
    QCOMPARE(History::load().first().url, landed.url);
    QCOMPARE(state.selected(), std::optional<QUrl>(landed.url));
    QCOMPARE(selectedChanged.size(), 1);
    EditorModel *model = state.currentModel();
    QVERIFY(model);
    QCOMPARE(state.lastModel(), model);
    QCOMPARE(model->base(), image(11));
    QVERIFY(model->quote());
    QVERIFY(!model->quote()->quote.isEmpty());
    QCOMPARE(model->tool(), Tool::move);
    QVERIFY(!earlier->quote());
}

QTEST_MAIN(TestAppState)
#include "test_appstate.moc"
