// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "annotation/tooldefaults.h"
#include "editor/model/editormodel.h"
#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

using Edit = std::function<void(EditorModel &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// The undoable part of a document: the bitmap (by identity) and the layers.
struct State
{
    qint64 bitmap;
    QSize size;
    QList<Annotation> layers;
    friend bool operator==(const State &, const State &) = default;
};

State stateOf(const EditorModel &model)
{
    return {model.base().cacheKey(), model.base().size(), model.annotations()};
}

// A document with a box, a text and a picture, the picture selected in the move tool.
std::unique_ptr<EditorModel> populated()
{
    auto model = Fixtures::model(400, 300);
    box(*model, QRectF(20, 20, 60, 40));
    model->chooseTool(Tool::text);
    model->dragEnded(QPointF(200, 40));
    model->commitText("label");
    model->addPicture(Fixtures::solid(Qt::red, 100, 50), QPointF(150, 200));
    return model;
}

} // namespace

class TestEditorModel : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
    void everyRecordingEditIsOneStepThatUndoesAndRedoes_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("draw") << Edit([](EditorModel &m) { box(m, QRectF(250, 20, 50, 50)); });
        QTest::newRow("stamp") << Edit([](EditorModel &m) {
            m.chooseTool(Tool::stamp);
            m.dragEnded(QPointF(300, 250));
        });
        QTest::newRow("text") << Edit([](EditorModel &m) {
            m.chooseTool(Tool::text);
            m.dragEnded(QPointF(10, 250));
            m.commitText("more");
        });
        QTest::newRow("watermark") << Edit([](EditorModel &m) { m.addWatermark(); });
        QTest::newRow("picture") << Edit([](EditorModel &m) {
            m.addPicture(Fixtures::solid(Qt::blue, 20, 20), QPointF(350, 50));
        });
        QTest::newRow("paste") << Edit([](EditorModel &m) {
            QGuiApplication::clipboard()->setImage(Fixtures::solid(Qt::green, 30, 30));
            QVERIFY(m.pasteImage());
        });
        QTest::newRow("move") << Edit([](EditorModel &m) { drag(m, QPointF(150, 200), QPointF(180, 220)); });
        // The pointer's last reported move went elsewhere, yet the drag ends on its start.
        QTest::newRow("move ending on its start") << Edit([](EditorModel &m) {
            m.dragChanged(QPointF(150, 200), QPointF(300, 280));
            m.dragEnded(QPointF(150, 200));
        });
        QTest::newRow("corner resize") << Edit([](EditorModel &m) {
            drag(m, QPointF(200, 225), QPointF(240, 260));
        });
        QTest::newRow("reorder") << Edit([](EditorModel &m) { m.sendSelectedToBack(); });
        QTest::newRow("delete") << Edit([](EditorModel &m) { m.deleteSelected(); });
        QTest::newRow("restyle") << Edit([](EditorModel &m) {
            Style style = m.selected()->style;
            style.opacity = 0.25;
            m.setSelectedStyle(style);
        });
        QTest::newRow("size") << Edit([](EditorModel &m) { m.setSelectedSize(QSizeF(60, 60)); });
        QTest::newRow("retext") << Edit([](EditorModel &m) {
            m.select(m.annotations().at(1).id);
            m.setSelectedText("renamed");
        });
        QTest::newRow("crop") << Edit([](EditorModel &m) {
            m.chooseTool(Tool::crop);
            drag(m, QPointF(0, 150), QPointF(100, 150));
            m.applyCrop();
        });
        QTest::newRow("resize") << Edit([](EditorModel &m) { m.resize(QSizeF(200, 300)); });
        QTest::newRow("flatten") << Edit([](EditorModel &m) { m.flattenLayers(); });
    }
    void everyRecordingEditIsOneStepThatUndoesAndRedoes()
    {
        QFETCH(Edit, edit);
        auto model = populated();
        const State before = stateOf(*model);
        const qsizetype steps = model->undoStack().size();

        edit(*model);
        const State after = stateOf(*model);
        QVERIFY(!(after == before));
        QCOMPARE(model->undoStack().size(), steps + 1);
        QVERIFY(!model->canRedo());

        model->undo();
        QVERIFY(stateOf(*model) == before);
        model->redo();
        QVERIFY(stateOf(*model) == after);
        model->undo();
        model->undo();
        QCOMPARE(model->undoStack().size(), steps - 1);
    }

    void editsThatChangeNothingRecordNothing_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::newRow("press without moving") << Edit([](EditorModel &m) {
            m.dragChanged(QPointF(150, 200), QPointF(150, 200));
            m.dragEnded(QPointF(150, 200));
        });
        QTest::newRow("away and back") << Edit([](EditorModel &m) {
            m.dragChanged(QPointF(150, 200), QPointF(300, 280));
            m.dragChanged(QPointF(150, 200), QPointF(150, 200));
            m.dragEnded(QPointF(150, 200));
        });
        QTest::newRow("front when on top") << Edit([](EditorModel &m) { m.bringSelectedToFront(); });
        QTest::newRow("same style") << Edit([](EditorModel &m) { m.setSelectedStyle(m.selected()->style); });
        QTest::newRow("same size") << Edit([](EditorModel &m) { m.setSelectedSize(QSizeF(100, 50)); });
        QTest::newRow("blank retext") << Edit([](EditorModel &m) {
            m.select(m.annotations().at(1).id);
            m.setSelectedText(" ");
        });
        QTest::newRow("crop of everything") << Edit([](EditorModel &m) {
            m.chooseTool(Tool::crop);
            m.applyCrop();
        });
        QTest::newRow("resize to the same size") << Edit([](EditorModel &m) { m.resize(QSizeF(400, 300)); });
        QTest::newRow("tiny blur") << Edit([](EditorModel &m) {
            m.chooseTool(Tool::blur);
            drag(m, QPointF(5, 5), QPointF(6, 7));
        });
    }
    void editsThatChangeNothingRecordNothing()
    {
        QFETCH(Edit, edit);
        auto model = populated();
        const State before = stateOf(*model);
        const qsizetype steps = model->undoStack().size();
        edit(*model);
        QVERIFY(stateOf(*model) == before);
        QCOMPARE(model->undoStack().size(), steps);
    }

    void historyEdges()
    {
        auto model = Fixtures::model();
        QSignalSpy history(model.get(), &EditorModel::historyChanged);
        model->undo();
        QCOMPARE(history.count(), 0);

        const QUuid id = box(*model, QRectF(10, 10, 50, 50));
        model->chooseTool(Tool::pen);
        model->select(id);
        model->undo();
        // Undo restores the picture only: the tool stays, the selection finds nothing.
        QCOMPARE(model->tool(), Tool::move);
        QCOMPARE(model->selectedID(), std::optional(id));
        QVERIFY(!model->selected());
        QVERIFY(model->canRedo());
        box(*model, QRectF(100, 10, 50, 50));
        QVERIFY(!model->canRedo());
        QVERIFY(history.count() >= 3);
    }

    void toolChoiceSelectionAndTheCropRectangle()
    {
        auto model = Fixtures::model();
        QCOMPARE(model->tool(), Tool::arrow);
        const QUuid id = box(*model, QRectF(10, 10, 50, 50));
        model->setQuote(ZogQuote{1, std::nullopt, "hi"});
        model->chooseTool(Tool::pen);
        QVERIFY(!model->selectedID());
        QVERIFY(!model->quote());

        model->chooseTool(Tool::crop);
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 400, 300)));
        drag(*model, QPointF(0, 150), QPointF(50, 150));
        const auto dragged = model->cropRect();
        QCOMPARE(dragged, std::optional(QRectF(50, 0, 350, 300)));
        model->chooseTool(Tool::crop); // the same tool again keeps the rectangle
        QCOMPARE(model->cropRect(), dragged);
        model->cancelCrop();
        QCOMPARE(model->tool(), Tool::pen);
        QVERIFY(!model->cropRect());

        // Selecting leaves an unapplied crop for the move tool; selecting nothing keeps the tool.
        model->chooseTool(Tool::crop);
        model->select(id);
        QCOMPARE(model->tool(), Tool::move);
        QVERIFY(!model->cropRect());
        QCOMPARE(model->imageSize(), QSizeF(400, 300));
        model->chooseTool(Tool::blur);
        model->select(std::nullopt);
        QCOMPARE(model->tool(), Tool::blur);
    }

    void savingADefaultPersistsItAndSaysSo()
    {
        auto model = Fixtures::model();
        Style style = ToolDefaults::builtIn(Tool::highlighter, 1);
        style.width = 13;
        model->saveDefault(style, Tool::highlighter);
        QCOMPARE(model->toast(), std::optional<QString>("Saved Highlight default"));
        QCOMPARE(model->toolStyles().value(Tool::highlighter), style);
        QCOMPARE(ToolDefaults::load(Tool::highlighter, 1).width, 13.0);
        // A new document starts with the saved default.
        QCOMPARE(Fixtures::model()->toolStyles().value(Tool::highlighter).width, 13.0);

        model->saveDefault(style, Tool::rect);
        QCOMPARE(model->toast(), std::optional<QString>("Saved Box default"));
    }

    void toastsClearThemselvesButNotANewerOne()
    {
        auto model = Fixtures::model();
        auto doomed = Fixtures::model();
        doomed->showToast("bye");
        doomed.reset(); // its pending timer must not reach it
        model->showToast("first");
        QTest::qWait(1000);
        model->showToast("second");
        QTest::qWait(700); // the first timer has fired by now
        QCOMPARE(model->toast(), std::optional<QString>("second"));
        QTRY_VERIFY_WITH_TIMEOUT(!model->toast(), 1500);
    }

    void snapshotsShareTheBitmapAndUnchangedLayers()
    {
        auto model = Fixtures::model(2000, 1000);
        const qint64 key = model->base().cacheKey();
        for (int i = 0; i < 20; ++i)
            box(*model, QRectF(10 + i * 5, 10, 40, 40));
        model->chooseTool(Tool::move);
        Fixtures::drag(*model, QPointF(12, 12), QPointF(30, 200));

        QCOMPARE(model->undoStack().size(), 21);
        for (const Snapshot &snapshot : model->undoStack())
            QCOMPARE(snapshot.base.cacheKey(), key);
        QCOMPARE(model->base().cacheKey(), key);
        // Layers that a step did not touch are the same object in both snapshots.
        const Snapshot &older = model->undoStack().at(19);
        const Snapshot &newer = model->undoStack().at(20);
        QCOMPARE(older.layers.size(), 19);
        for (int i = 0; i < older.layers.size(); ++i)
            QCOMPARE(older.layers.at(i).get(), newer.layers.at(i).get());
    }
};

QTEST_MAIN(TestEditorModel)
#include "test_editormodel.moc"
