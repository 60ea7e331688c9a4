// SPDX-License-Identifier: MIT
#include <QSignalSpy>
#include <QTest>

#include "annotation/tooldefaults.h"
#include "editor/model/editormodel.h"
#include "fixtures.h"

using Fixtures::box;

class TestEditorModel : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
    void aNewModelIsBlank()
    {
        auto model = Fixtures::model(400, 300, 2);
        QCOMPARE(model->tool(), Tool::arrow);
        QVERIFY(!model->selectedID());
        QVERIFY(!model->cropRect());
        QVERIFY(!model->canUndo());
        QVERIFY(!model->canRedo());
        QCOMPARE(model->imageSize(), QSizeF(400, 300));
        QCOMPARE(model->toolStyles().size(), Tools::allCases().size());
        // Built-in defaults are sized for the screen's scale.
        QCOMPARE(model->toolStyle().width, 8.0);
    }

    void undoAndRedoWalkTheHistory()
    {
        auto model = Fixtures::model();
        QSignalSpy history(model.get(), &EditorModel::historyChanged);
        model->undo();
        QVERIFY(!model->canRedo());
        QCOMPARE(history.count(), 0);

        const QUuid first = box(*model, QRectF(10, 10, 50, 50));
        const QUuid second = box(*model, QRectF(100, 100, 50, 50));
        QCOMPARE(model->annotations().size(), 2);

        model->undo();
        QCOMPARE(model->annotations().size(), 1);
        QCOMPARE(model->annotations().first().id, first);
        QVERIFY(model->canRedo());
        model->redo();
        QCOMPARE(model->annotations().size(), 2);
        QCOMPARE(model->annotations().last().id, second);
        model->undo();
        model->undo();
        QVERIFY(model->annotations().isEmpty());
        QVERIFY(!model->canUndo());

        // A new edit after undo forgets what could have been redone.
        model->redo();
        box(*model, QRectF(200, 10, 30, 30));
        QVERIFY(!model->canRedo());
        QVERIFY(history.count() > 0);
    }

    void undoDoesNotRestoreToolSelectionOrStyles()
    {
        auto model = Fixtures::model();
        const QUuid id = box(*model, QRectF(10, 10, 50, 50));
        Style red = model->toolStyle();
        red.width = 30;
        model->setToolStyle(red);
        model->chooseTool(Tool::pen);
        model->undo();
        QCOMPARE(model->tool(), Tool::pen);
        QCOMPARE(model->toolStyles().value(Tool::rect).width, 30.0);
        model->redo();
        model->select(id);
        model->undo();
        QCOMPARE(model->selectedID(), std::optional(id));
        QVERIFY(!model->selected());
    }

    void theToolChangeRuleManagesTheCropRectangle()
    {
        auto model = Fixtures::model();
        model->chooseTool(Tool::pen);
        model->chooseTool(Tool::crop);
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 400, 300)));

        Fixtures::drag(*model, QPointF(0, 150), QPointF(50, 150));
        const auto dragged = model->cropRect();
        QCOMPARE(dragged, std::optional(QRectF(50, 0, 350, 300)));
        model->chooseTool(Tool::crop);
        QCOMPARE(model->cropRect(), dragged);

        model->cancelCrop();
        QCOMPARE(model->tool(), Tool::pen);
        QVERIFY(!model->cropRect());
        QCOMPARE(model->imageSize(), QSizeF(400, 300));
    }

    void choosingAndSelectingRules()
    {
        auto model = Fixtures::model();
        const QUuid id = box(*model, QRectF(10, 10, 50, 50));
        QCOMPARE(model->selectedID(), std::optional(id));
        model->setQuote(ZogQuote{1, std::nullopt, "hi"});

        model->chooseTool(Tool::arrow);
        QVERIFY(!model->selectedID());
        QVERIFY(!model->quote());

        model->chooseTool(Tool::crop);
        model->select(id);
        QCOMPARE(model->tool(), Tool::move);
        QVERIFY(!model->cropRect());
        QCOMPARE(model->imageSize(), QSizeF(400, 300));

        model->chooseTool(Tool::blur);
        model->select(std::nullopt);
        QCOMPARE(model->tool(), Tool::blur);
    }

    void publishedFieldsAnnounceTheirChanges()
    {
        auto model = Fixtures::model();
        QSignalSpy tool(model.get(), &EditorModel::toolChanged);
        QSignalSpy crop(model.get(), &EditorModel::cropRectChanged);
        QSignalSpy layers(model.get(), &EditorModel::annotationsChanged);
        QSignalSpy draft(model.get(), &EditorModel::draftChanged);
        QSignalSpy selection(model.get(), &EditorModel::selectedIDChanged);
        QSignalSpy quote(model.get(), &EditorModel::quoteChanged);
        QSignalSpy entry(model.get(), &EditorModel::textEntryChanged);
        QSignalSpy any(model.get(), &EditorModel::changed);

        model->chooseTool(Tool::crop);
        QCOMPARE(tool.count(), 1);
        QCOMPARE(crop.count(), 1);
        box(*model, QRectF(5, 5, 20, 20));
        QVERIFY(draft.count() >= 2); // shown, then cleared
        QCOMPARE(layers.count(), 1);
        QCOMPARE(selection.count(), 1);
        model->setQuote(ZogQuote{2, std::nullopt, "q"});
        QCOMPARE(quote.count(), 1);
        model->chooseTool(Tool::text);
        model->dragEnded(QPointF(3, 4));
        QCOMPARE(entry.count(), 1);
        QVERIFY(any.count() >= tool.count() + layers.count() + entry.count());
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
        model->showToast("first");
        QTest::qWait(1000);
        model->showToast("second");
        QTest::qWait(700); // the first timer has fired by now
        QCOMPARE(model->toast(), std::optional<QString>("second"));
        QTRY_VERIFY_WITH_TIMEOUT(!model->toast(), 1500);
    }

    void aPendingToastOutlivesNoModel()
    {
        auto model = Fixtures::model();
        model->showToast("bye");
        model.reset();
        QTest::qWait(1700); // would crash here if the timer still reached the model
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
