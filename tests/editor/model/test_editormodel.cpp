// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QElapsedTimer>

#include <cmath>
#include <functional>

#include "editor/model/zogquote.h"
#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

using Edit = std::function<void(EditorModel &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

std::pair<qint64, QList<Annotation>> stateOf(const EditorModel &model)
{
    return {model.base().cacheKey(), model.annotations()};
}

void click(EditorModel &m, Tool tool, QPointF p)
{
    m.chooseTool(tool);
    Fixtures::drag(m, p, p);
}

// Crop rectangle (100, 100, 200, 100) on 400 x 300, one edge dragged at a time.
std::unique_ptr<EditorModel> croppingModel()
{
    auto model = Fixtures::model(400, 300);
    model->chooseTool(Tool::crop);
    drag(*model, QPointF(0, 150), QPointF(100, 150));
    drag(*model, QPointF(400, 150), QPointF(300, 150));
    drag(*model, QPointF(200, 0), QPointF(200, 100));
    drag(*model, QPointF(200, 300), QPointF(200, 200));
    return model;
}

QRectF pictureRect(const Annotation &layer)
{
    return std::get<Shapes::Picture>(layer.shape).rect;
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
        QTest::addColumn<bool>("records"); QTest::addColumn<Edit>("edit");
        const auto row = [](const char *name, bool records, Edit e) { QTest::newRow(name) << records << e; };
        row("draw", true, [](EditorModel &m) { box(m, QRectF(250, 20, 50, 50)); });
        row("arrow without length", true, [](EditorModel &m) { click(m, Tool::arrow, {9, 9}); });
        row("stamp", true, [](EditorModel &m) { click(m, Tool::stamp, QPointF(300, 250)); });
        row("text", true, [](EditorModel &m) { click(m, Tool::text, {9, 9}); m.commitText("more"); });
        row("picture", true, [](EditorModel &m) { m.addPicture(Fixtures::solid(Qt::blue)); });
        row("paste", true, [](EditorModel &m) { QGuiApplication::clipboard()->setImage(Fixtures::solid(Qt::green)), m.pasteImage(); });
        row("move", true, [](EditorModel &m) { drag(m, QPointF(150, 200), QPointF(180, 220)); });
        row("move ending on its start", true, [](EditorModel &m) { m.dragChanged({150, 200}, {300, 280}), m.dragEnded({150, 200}); });
        row("corner resize", true, [](EditorModel &m) { drag(m, {200, 225}, {240, 260}); });
        row("to the front by any number", true, [](EditorModel &m) {
            m.select(m.annotations().first().id), m.shiftSelected(std::numeric_limits<qsizetype>::max());
        });
        row("delete", true, [](EditorModel &m) { m.deleteSelected(); });
        row("restyle", true, [](EditorModel &m) { Style s = m.selected()->style; s.opacity = 0.25; m.setSelectedStyle(s); });
        row("size", true, [](EditorModel &m) { m.setSelectedSize(QSizeF(60, 60)); });
        row("retext", true, [](EditorModel &m) { m.select(m.annotations().at(1).id), m.setSelectedText("renamed"); });
        row("crop", true, [](EditorModel &m) { m.chooseTool(Tool::crop); drag(m, {0, 150}, {99, 150}); m.applyCrop(); });
        row("resize", true, [](EditorModel &m) { m.resize(QSizeF(200, 300)); });
        row("flatten", true, [](EditorModel &m) { m.flattenLayers(); });

        row("move that did not move", false, [](EditorModel &m) { drag(m, {150, 200}, {150, 200}); });
        row("move away and back", false,
            [](EditorModel &m) { m.dragChanged({150, 200}, {300, 280}), drag(m, {150, 200}, {150, 200}); });
        row("tiny blur", false, [](EditorModel &m) { m.chooseTool(Tool::blur); drag(m, {5, 5}, {7, 7}); });
        row("same size", false, [](EditorModel &m) { m.setSelectedSize(QSizeF(100, 50)); });
        row("blank retext", false, [](EditorModel &m) { m.select(m.annotations().at(1).id), m.setSelectedText(" \t "); });
        row("crop of everything", false, [](EditorModel &m) { m.chooseTool(Tool::crop); m.applyCrop(); });
        row("resize beyond a painter", false, [](EditorModel &m) { m.resize(QSizeF(1e12, 10)); });
        const QList<std::pair<const char *, QSizeF>> unusable{
            {"zero", QSizeF(0, 100)}, {"NaN", QSizeF(qQNaN(), 100)}, {"infinite", QSizeF(200, qInf())}};
        for (const auto &[name, size] : unusable) {
            row(qPrintable(QString("resize, ") + name), false, [=](EditorModel &m) { m.resize(size); });
            row(qPrintable(QString("size, ") + name), false, [=](EditorModel &m) { m.setSelectedSize(size); });
        }
    }
    void editsRecordOneUndoStepOrNone()
    {
        QFETCH(bool, records); QFETCH(Edit, edit);
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
        QVERIFY(!model->canRedo() && (records || !model->toast()));
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
        QVERIFY(!model->selectedID() && !model->quote());

        model->chooseTool(Tool::crop); // the whole image, its left edge dragged in
        drag(*model, QPointF(0, 150), QPointF(50, 150));
        model->chooseTool(Tool::crop); // the same tool again keeps the rectangle
        QCOMPARE(model->cropRect(), std::optional(QRectF(50, 0, 350, 300)));
        model->cancelCrop();
        QCOMPARE(model->tool(), Tool::pen);
        QVERIFY(!model->cropRect());
        model->chooseTool(Tool::crop);
        model->applyCrop(); // the whole image: back to the tool before
        QCOMPARE(model->tool(), Tool::pen);

        // Selecting leaves an unapplied crop for the move tool.
        model->chooseTool(Tool::crop);
        drag(*model, QPointF(0, 150), QPointF(50, 150));
        model->select(id);
        QCOMPARE(model->tool(), Tool::move);
        QVERIFY(!model->cropRect());
    }

    // A notice goes by itself: after 1.5 s, longer for a long text, not before 6 s with a
    // button. An older notice's timer neither cuts a newer one short nor reaches a model gone.
    void toastsClearThemselvesButNotANewerOne()
    {
        auto doomed = Fixtures::model();
        doomed->showToast("bye");
        doomed.reset();
        auto plain = Fixtures::model();
        auto withButton = Fixtures::model();
        QElapsedTimer clock;
        clock.start();
        plain->showToast("first");
        plain->showToast(QString(40, QLatin1Char('x'))); // 2.6 s
        withButton->showToast("Saved", "Show", [] {});
        QTRY_VERIFY_WITH_TIMEOUT(!plain->toast(), 4000);
        QVERIFY(clock.elapsed() > 2000 && withButton->toast());
        QTRY_VERIFY_WITH_TIMEOUT(!withButton->toast(), 8000);
        QVERIFY(clock.elapsed() > 5000);
    }

    void oneBadQuoteFailsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("missing quote") << QByteArray(R"([{"id": 1, "quote": "a"}, {"id": 2}])");
        QTest::newRow("missing id") << QByteArray(R"([{"quote": "a"}])");
        QTest::newRow("truncated") << QByteArray(R"([{"id": 1, "quote": "a"})");
    }
    void oneBadQuoteFailsTheWholeFile()
    {
        QFETCH(QByteArray, json);
        QVERIFY(TestFiles::write(m_sandbox.path("quotes.json"), json));
        QVERIFY(ZogQuote::load(m_sandbox.path("quotes.json")).isEmpty());
        QVERIFY(!ZogQuote::all().isEmpty());
    }

    void hitsReachFurtherOnDenserScreens_data()
    {
        QTest::addColumn<qreal>("pixelScale"); QTest::addColumn<bool>("hit");
        QTest::addColumn<qreal>("beyond"); // past the right edge of the box's bounds
        QTest::newRow("scale 1, past 6") << 1.0 << false << 6.5;
        QTest::newRow("scale 2, within 12") << 2.0 << true << 11.5;
    }
    void hitsReachFurtherOnDenserScreens()
    {
        QFETCH(qreal, pixelScale); QFETCH(qreal, beyond); QFETCH(bool, hit);
        auto model = Fixtures::model(400, 300, pixelScale);
        Fixtures::restyleTool(*model, Tool::rect, [](Style &s) { s.width = 2; });
        const QUuid id = box(*model, QRectF(100, 100, 50, 50)); // bounds reach x = 151
        model->chooseTool(Tool::move);
        drag(*model, QPointF(151 + beyond, 120), QPointF(151 + beyond, 120));
        QCOMPARE(model->selectedID(), hit ? std::optional(id) : std::nullopt);
    }

    void restyleBecomesTheToolsStyleOnlyForItsOwnTool()
    {
        auto model = Fixtures::model();
        const QUuid id = box(*model, QRectF(10, 10, 50, 50)); // selected, box tool still on
        Style wide = model->selected()->style;
        wide.width = 21;
        model->setSelectedStyle(wide);
        QCOMPARE(model->toolStyle(), wide);

        model->select(id); // now with the move tool
        Style red = wide;
        red.color = Qt::red;
        model->setSelectedStyle(red);
        QCOMPARE(model->selected()->style, red);
        QCOMPARE(model->toolStyles().value(Tool::rect), wide);
        QCOMPARE(model->toolStyles().value(Tool::move), Fixtures::model()->toolStyles().value(Tool::move));
    }

    void cropAndResizeCarryTheLayersAlong()
    {
        auto model = Fixtures::model(1000, 500);
        Fixtures::restyleTool(*model, Tool::rect, [](Style &s) { s.width = 8; });
        box(*model, QRectF(150, 100, 200, 100));

        model->resize(QSizeF(500, 500)); // x halves, y stays, widths by the root of one half
        Annotation layer = model->annotations().first();
        QCOMPARE(std::get<Shapes::Rect>(layer.shape).rect, QRectF(75, 100, 100, 100));
        QCOMPARE(layer.style.width, 8 * std::sqrt(0.5));

        model->chooseTool(Tool::crop);
        drag(*model, QPointF(0, 250), QPointF(50, 250));
        drag(*model, QPointF(250, 0), QPointF(250, 20));
        model->applyCrop();
        QCOMPARE(model->base().size(), QSize(450, 480));
        QCOMPARE(std::get<Shapes::Rect>(model->annotations().first().shape).rect, QRectF(25, 80, 100, 100));

        // Undo during a crop starts the crop over on the whole restored image.
        model->chooseTool(Tool::crop);
        drag(*model, QPointF(0, 250), QPointF(50, 250));
        model->undo();
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 500, 500)));
        model->undo();
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 1000, 500)));
    }

    void cropDragsDependOnTheZoomAndStayWithinTheImage_data()
    {
        QTest::addColumn<qreal>("viewScale"); QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to"); QTest::addColumn<QRectF>("rect");
        const auto row = [](const char *name, qreal zoom, QPointF from, QPointF to, QRectF r) {
            QTest::newRow(name) << zoom << from << to << r;
        };
        // Each press is dragged by (-20, 20): the outcome shows what the press took hold of.
        row("zoom 2, 4 inside: edge", 2, {104, 150}, {84, 170}, {80, 100, 220, 100});
        row("zoom 2, 6 inside: move", 2, {106, 150}, {86, 170}, {80, 120, 200, 100});
        row("zoom 2, 6 outside: new", 2, {94, 150}, {74, 170}, {74, 150, 20, 20});

        row("edge to the minimum", 1, {100, 150}, {500, 150}, {284, 100, 16, 100});
        row("edge to the border", 1, {100, 150}, {-500, 150}, {0, 100, 300, 100});
        row("new, clipped", 1, {20, 20}, {-50, 500}, {0, 20, 20, 280});
        row("new, too thin", 1, {350, 10}, {357, 100}, {100, 100, 200, 100});
    }
    void cropDragsDependOnTheZoomAndStayWithinTheImage()
    {
        QFETCH(qreal, viewScale); QFETCH(QPointF, from); QFETCH(QPointF, to); QFETCH(QRectF, rect);
        auto model = croppingModel();
        model->setViewScale(viewScale);
        drag(*model, from, to);
        QCOMPARE(model->cropRect(), std::optional(rect));
    }

    void cornerDragsResizePictures_data()
    {
        QTest::addColumn<QPointF>("press"); QTest::addColumn<QPointF>("to"); QTest::addColumn<bool>("shift"); QTest::addColumn<QRectF>("rect");
        const auto row = [](const char *name, QPointF press, QPointF to, bool shift, QRectF rect) {
            QTest::newRow(name) << press << to << shift << rect;
        };
        // 160 x 70 asks for more width: the ratio-2 box reaching the pointer is 160 x 80.
        row("proportional", {200, 150}, {260, 170}, false, {100, 100, 160, 80});
        row("shift stretches", {200, 150}, {300, 290}, true, {100, 100, 200, 190});
        row("past the anchor", {200, 150}, {20, 10}, true, {100, 100, 8, 8});
    }
    void cornerDragsResizePictures()
    {
        QFETCH(QPointF, press); QFETCH(QPointF, to); QFETCH(bool, shift); QFETCH(QRectF, rect);
        auto model = Fixtures::model();
        model->addPicture(Fixtures::solid(Qt::red, 100, 50), QPointF(150, 125));
        const QUuid picture = model->annotations().last().id;
        box(*model, QRectF(180, 130, 60, 60));
        model->select(picture);
        drag(*model, press, to, shift);
        QCOMPARE(model->selectedID(), std::optional(picture));
        QCOMPARE(pictureRect(*model->selected()), rect);
    }

    // What is being typed becomes a layer, in one undo step and in the text tool's style, when
    // another tool or a layer is chosen (closing the entry by Escape is the canvas test's).
    void typedTextIsKeptWhenSomethingElseIsChosen_data()
    {
        QTest::addColumn<Edit>("elsewhere");
        QTest::newRow("another tool") << Edit([](EditorModel &m) { m.chooseTool(Tool::pen); });
        QTest::newRow("a layer") << Edit([](EditorModel &m) { m.select(m.annotations().first().id); });
    }
    void typedTextIsKeptWhenSomethingElseIsChosen()
    {
        QFETCH(Edit, elsewhere);
        auto model = Fixtures::model();
        box(*model, QRectF(10, 10, 30, 30));
        Fixtures::restyleTool(*model, Tool::text, [](Style &s) { s.color = Qt::magenta; });
        model->dragEnded(QPointF(40, 50));
        model->setTypedText(QStringLiteral("kiwi"));
        const int steps = model->undoStack().size();
        elsewhere(*model);
        QVERIFY(!model->textEntry());
        QCOMPARE(model->undoStack().size(), steps + 1);
        const Annotation &layer = model->annotations().last();
        QCOMPARE(layer.shape, Shape(Shapes::Text{QPointF(40, 50), QStringLiteral("kiwi")}));
        QCOMPARE(layer.style.color, QColor(Qt::magenta));
        model->undo();
        // A new entry starts empty: nothing typed before is committed twice.
        model->chooseTool(Tool::text);
        model->dragEnded(QPointF(60, 70));
        model->chooseTool(Tool::arrow);
        QCOMPARE(model->annotations().size(), 1);
    }

    // Arrow keys: a held key's repeats join its press in one undo step; a step between or another
    // layer starts a new one. (A press being a step of its own the e2e tests undo key by key.)
    void nudgesAreOneStepPerPressOrBurst()
    {
        auto model = Fixtures::model();
        const QUuid first = box(*model, QRectF(10, 10, 30, 30));
        const QUuid second = box(*model, QRectF(100, 100, 30, 30));
        const auto rectOf = [&](const QUuid &id) {
            return std::get<Shapes::Rect>(model->annotations().at(*model->index(id)).shape).rect;
        };
        model->select(first);
        const int steps = model->undoStack().size();
        model->nudgeSelected(QPointF(1, 0));
        model->nudgeSelected(QPointF(1, 0), true);
        model->nudgeSelected(QPointF(0, 10), true);
        QCOMPARE(rectOf(first), QRectF(12, 20, 30, 30));
        QCOMPARE(model->undoStack().size(), steps + 1);
        model->undo(); // however the key repeats after it
        model->nudgeSelected(QPointF(-1, 0), true);
        QCOMPARE(model->undoStack().size(), steps + 1);
        model->select(second);
        model->nudgeSelected(QPointF(0, -1), true);
        QCOMPARE(model->undoStack().size(), steps + 2);
        model->undo();
        model->undo();
        QCOMPARE(rectOf(first), QRectF(10, 10, 30, 30));
        model->select(std::nullopt);
        model->nudgeSelected(QPointF(5, 5));
        QCOMPARE(model->undoStack().size(), steps);
    }

    // A grab let go, even in the middle of a drag, gives up the file's picture everywhere and
    // takes back what the file gives again, in every undo step and in the drag's own. (What
    // undo steps and pixellations hold on to is measured by the benchmarks.)
    void aReleasedPictureComesBackIntoEveryStep()
    {
        auto model = Fixtures::model(200, 100);
        box(*model, QRectF(10, 10, 30, 30));
        model->chooseTool(Tool::move);
        model->dragChanged(QPointF(12, 12), QPointF(40, 40));
        QVERIFY(model->releaseBase());
        QVERIFY(model->base().isNull() && model->undoStack().first().base.isNull());
        QVERIFY(!model->restoreBase(QImage()));
        QVERIFY(model->restoreBase(Fixtures::solid(Qt::red, 200, 100)));
        model->dragEnded(QPointF(40, 40));
        model->undo();
        QCOMPARE(model->base().pixelColor(0, 0), QColor(Qt::red));
        model->undo();
        QVERIFY(model->annotations().isEmpty());
        QCOMPARE(model->base().pixelColor(0, 0), QColor(Qt::red));
    }

    // A stamp grows by a corner, the opposite corner staying, in one undo step. (Arrows by their
    // ends and boxes by their corners are reshaped through the real window by the e2e tests.)
    void handlesReshapeStamps()
    {
        auto model = Fixtures::model();
        model->chooseTool(Tool::stamp);
        drag(*model, QPointF(300, 60), QPointF(300, 60));
        const QUuid stamp = model->annotations().last().id;
        const int steps = model->undoStack().size();
        model->select(stamp);
        const QRectF mark = model->selected()->bounds();
        drag(*model, mark.topLeft(), mark.topLeft() - QPointF(0, mark.height()));
        const QRectF grown = model->selected()->bounds();
        QVERIFY(std::abs(grown.height() - 2 * mark.height()) < 0.1 * mark.height() && grown.width() > 1.8 * mark.width());
        QVERIFY(std::abs(grown.right() - mark.right()) < 1 && std::abs(grown.bottom() - mark.bottom()) < 1);
        QCOMPARE(model->undoStack().size(), steps + 1);
    }
};

KIWANO_TEST_MAIN(TestEditorModel)
#include "test_editormodel.moc"
