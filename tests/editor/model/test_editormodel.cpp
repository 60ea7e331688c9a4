// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include <functional>

#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

using Edit = std::function<void(EditorModel &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

// The undoable part of a document: the bitmap (by identity) and the layers.
std::pair<qint64, QList<Annotation>> stateOf(const EditorModel &model)
{
    return {model.base().cacheKey(), model.annotations()};
}

void selectText(EditorModel &m)
{
    m.select(m.annotations().at(1).id);
}

void click(EditorModel &m, Tool tool, QPointF p)
{
    m.chooseTool(tool);
    m.dragChanged(p, p);
    m.dragEnded(p);
}

} // namespace

class TestEditorModel : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
    void editsRecordOneUndoStepOrNone_data()
    {
        QTest::addColumn<bool>("records");
        QTest::addColumn<Edit>("edit");
        const auto row = [](const char *name, bool records, Edit edit) {
            QTest::newRow(name) << records << edit;
        };
        row("draw", true, [](EditorModel &m) { box(m, QRectF(250, 20, 50, 50)); });
        row("pen dot", true, [](EditorModel &m) { click(m, Tool::pen, QPointF(300, 100)); });
        row("arrow without length", true, [](EditorModel &m) { click(m, Tool::arrow, {9, 9}); });
        row("stamp", true, [](EditorModel &m) { click(m, Tool::stamp, QPointF(300, 250)); });
        row("text", true, [](EditorModel &m) { click(m, Tool::text, {9, 9}); m.commitText("more"); });
        row("watermark", true, [](EditorModel &m) { m.addWatermark(); });
        row("picture", true, [](EditorModel &m) { m.addPicture(Fixtures::solid(Qt::blue)); });
        row("paste", true, [](EditorModel &m) {
            QGuiApplication::clipboard()->setImage(Fixtures::solid(Qt::green, 30, 30));
            QVERIFY(m.pasteImage());
        });
        row("move", true, [](EditorModel &m) { drag(m, QPointF(150, 200), QPointF(180, 220)); });
        // The last reported pointer move went elsewhere, yet the drag ends on its start.
        row("move ending on its start", true, [](EditorModel &m) {
            m.dragChanged(QPointF(150, 200), QPointF(300, 280));
            m.dragEnded(QPointF(150, 200));
        });
        row("corner resize", true, [](EditorModel &m) { drag(m, {200, 225}, {240, 260}); });
        row("to the front by any number", true, [](EditorModel &m) {
            m.select(m.annotations().first().id);
            m.shiftSelected(std::numeric_limits<qsizetype>::max());
        });
        row("to the back", true, [](EditorModel &m) { m.sendSelectedToBack(); });
        row("delete", true, [](EditorModel &m) { m.deleteSelected(); });
        row("restyle", true, [](EditorModel &m) {
            Style style = m.selected()->style;
            style.opacity = 0.25;
            m.setSelectedStyle(style);
        });
        row("size", true, [](EditorModel &m) { m.setSelectedSize(QSizeF(60, 60)); });
        row("retext", true, [](EditorModel &m) { selectText(m); m.setSelectedText("renamed"); });
        row("crop", true, [](EditorModel &m) {
            m.chooseTool(Tool::crop);
            drag(m, {0, 150}, {100, 150});
            m.applyCrop();
        });
        row("resize", true, [](EditorModel &m) { m.resize(QSizeF(200, 300)); });
        row("flatten", true, [](EditorModel &m) { m.flattenLayers(); });

        row("move that did not move", false, [](EditorModel &m) { drag(m, {150, 200}, {150, 200}); });
        row("move away and back", false, [](EditorModel &m) {
            m.dragChanged(QPointF(150, 200), QPointF(300, 280));
            m.dragChanged(QPointF(150, 200), QPointF(150, 200));
            m.dragEnded(QPointF(150, 200));
        });
        row("tiny blur", false, [](EditorModel &m) { m.chooseTool(Tool::blur); drag(m, {5, 5}, {7, 7}); });
        row("front when on top", false, [](EditorModel &m) { m.bringSelectedToFront(); });
        row("same style", false, [](EditorModel &m) { m.setSelectedStyle(m.selected()->style); });
        row("same size", false, [](EditorModel &m) { m.setSelectedSize(QSizeF(100, 50)); });
        row("blank retext", false, [](EditorModel &m) { selectText(m); m.setSelectedText(" \t "); });
        row("crop of everything", false, [](EditorModel &m) { m.chooseTool(Tool::crop); m.applyCrop(); });
        // Unusable sizes; the first five are refused by both commands.
        const QList<std::pair<const char *, QSizeF>> unusable{
            {"zero", QSizeF(0, 100)},          {"negative", QSizeF(-5, 10)},
            {"under half", QSizeF(0.4, 10)},   {"NaN", QSizeF(qQNaN(), 100)},
            {"infinite", QSizeF(200, qInf())}, {"beyond a painter", QSizeF(1e12, 10)},
            {"same once rounded", QSizeF(400.4, 299.6)}};
        for (int i = 0; i < unusable.size(); ++i) {
            const auto [name, size] = unusable.at(i);
            row(qPrintable(QString("resize, ") + name), false, [=](EditorModel &m) { m.resize(size); });
            if (i < 5)
                row(qPrintable(QString("size, ") + name), false,
                    [=](EditorModel &m) { m.setSelectedSize(size); });
        }
    }
    void editsRecordOneUndoStepOrNone()
    {
        QFETCH(bool, records);
        QFETCH(Edit, edit);
        // A box, a text and a 100 x 50 picture at (100, 175), the picture selected.
        auto model = Fixtures::model(400, 300);
        box(*model, QRectF(20, 20, 60, 40));
        click(*model, Tool::text, QPointF(200, 40));
        model->commitText("label");
        model->addPicture(Fixtures::solid(Qt::red, 100, 50), QPointF(150, 200));
        const auto before = stateOf(*model);
        const qsizetype steps = model->undoStack().size();

        edit(*model);
        const auto after = stateOf(*model);
        QCOMPARE(model->undoStack().size(), steps + records);
        QCOMPARE(after == before, !records);
        QVERIFY(!model->canRedo());
        QVERIFY(records || !model->toast());
        if (!records)
            return;
        model->undo();
        QVERIFY(stateOf(*model) == before);
        model->redo();
        QVERIFY(stateOf(*model) == after);
    }

    void toolChangeRule()
    {
        auto model = Fixtures::model();
        const QUuid id = box(*model, QRectF(10, 10, 50, 50));
        model->setQuote(ZogQuote{1, std::nullopt, "hi"});
        model->chooseTool(Tool::pen);
        QVERIFY(!model->selectedID());
        QVERIFY(!model->quote());

        model->chooseTool(Tool::crop);
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 400, 300)));
        drag(*model, QPointF(0, 150), QPointF(50, 150));
        const auto dragged = model->cropRect();
        model->chooseTool(Tool::crop); // the same tool again keeps the rectangle
        QCOMPARE(model->cropRect(), dragged);
        model->cancelCrop();
        QCOMPARE(model->tool(), Tool::pen);
        QVERIFY(!model->cropRect());
        model->chooseTool(Tool::crop);
        model->applyCrop(); // the whole image: back to the tool before
        QCOMPARE(model->tool(), Tool::pen);

        // Selecting leaves an unapplied crop for the move tool; selecting nothing keeps the tool.
        model->chooseTool(Tool::crop);
        drag(*model, QPointF(0, 150), QPointF(50, 150));
        model->select(id);
        QCOMPARE(model->tool(), Tool::move);
        QVERIFY(!model->cropRect());
        QCOMPARE(model->imageSize(), QSizeF(400, 300));
        model->chooseTool(Tool::blur);
        model->select(std::nullopt);
        QCOMPARE(model->tool(), Tool::blur);

        // Undo restores the picture only: the tool stays, the selection finds nothing.
        model->select(id);
        model->undo();
        QCOMPARE(model->tool(), Tool::move);
        QCOMPARE(model->selectedID(), std::optional(id));
        QVERIFY(!model->selected());
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
        drag(*model, QPointF(12, 12), QPointF(30, 200));

        QCOMPARE(model->undoStack().size(), 21);
        for (const Snapshot &snapshot : model->undoStack())
            QCOMPARE(snapshot.base.cacheKey(), key);
        const Snapshot &older = model->undoStack().at(19);
        const Snapshot &newer = model->undoStack().at(20);
        for (int i = 0; i < older.layers.size(); ++i)
            QCOMPARE(older.layers.at(i).get(), newer.layers.at(i).get());
    }
};

QTEST_MAIN(TestEditorModel)
#include "test_editormodel.moc"
