// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QGuiApplication>
#include <QTest>

#include "annotation/watermark.h"
#include "editor/model/editormodel.h"
#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

namespace {

QRectF pictureRect(const Annotation &layer)
{
    return std::get<Shapes::Picture>(layer.shape).rect;
}

} // namespace

class TestEditorInteraction : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

    // A picture of 100 x 50 placed at (100, 100) on a 400 x 300 model, selected, move tool.
    QUuid placePicture(EditorModel &model)
    {
        model.addPicture(Fixtures::solid(Qt::red, 100, 50), QPointF(150, 125));
        return model.annotations().last().id;
    }

private slots:
    void aPenDraftCollectsEveryPointUntilTheDragEnds()
    {
        auto model = Fixtures::model();
        model->chooseTool(Tool::pen);
        model->dragChanged(QPointF(10, 10), QPointF(20, 30));
        model->dragChanged(QPointF(10, 10), QPointF(60, 40));
        QVERIFY(model->annotations().isEmpty());
        model->dragEnded(QPointF(60, 40));
        QVERIFY(!model->draft());
        const Annotation &layer = model->annotations().first();
        QCOMPARE(std::get<Shapes::Pen>(layer.shape).points,
                 (QList<QPointF>{{10, 10}, {20, 30}, {60, 40}}));
        QCOMPARE(layer.style, model->toolStyles().value(Tool::pen));
        QCOMPARE(model->selectedID(), std::optional(layer.id));
    }

    void tinyDraftsAreDroppedByTheirBounds_data()
    {
        QTest::addColumn<Tool>("tool");
        QTest::addColumn<QPointF>("end");
        QTest::addColumn<bool>("kept");
        QTest::newRow("arrow without length") << Tool::arrow << QPointF(10, 10) << true;
        QTest::newRow("blur 2 x 2") << Tool::blur << QPointF(12, 12) << false;
        QTest::newRow("blur 3 x 1") << Tool::blur << QPointF(13, 11) << true;
        QTest::newRow("pen dot of width 4") << Tool::pen << QPointF(10, 10) << true;
    }
    void tinyDraftsAreDroppedByTheirBounds()
    {
        QFETCH(Tool, tool);
        QFETCH(QPointF, end);
        QFETCH(bool, kept);
        auto model = Fixtures::model();
        model->chooseTool(tool);
        model->dragChanged(QPointF(10, 10), end);
        model->dragEnded(end);
        QCOMPARE(model->annotations().size(), kept ? 1 : 0);
        QCOMPARE(model->canUndo(), kept);
    }

    void theFirstDragCallClearsTheQuote()
    {
        auto model = Fixtures::model();
        model->chooseTool(Tool::text);
        model->setQuote(ZogQuote{1, std::nullopt, "q"});
        model->dragChanged(QPointF(1, 1), QPointF(1, 1));
        QVERIFY(!model->quote());
        model->setQuote(ZogQuote{1, std::nullopt, "q"});
        model->dragChanged(QPointF(1, 1), QPointF(2, 2));
        QVERIFY(model->quote()); // only the first call of a drag
        model->dragEnded(QPointF(2, 2));
        QCOMPARE(model->textEntry(), std::optional(QPointF(2, 2)));
    }

    void pressingSelectsTheTopmostLayerWithinTolerance()
    {
        auto model = Fixtures::model(400, 300, 2); // tolerance 12
        const QUuid lower = box(*model, QRectF(50, 50, 100, 100));
        const QUuid upper = box(*model, QRectF(100, 100, 100, 100));
        model->chooseTool(Tool::move);

        model->dragChanged(QPointF(120, 120), QPointF(120, 120));
        model->dragEnded(QPointF(120, 120));
        QCOMPARE(model->selectedID(), std::optional(upper));

        // Outside the box's bounds (grown by half of width 8) but within the tolerance.
        model->dragChanged(QPointF(60, 40), QPointF(60, 40));
        model->dragEnded(QPointF(60, 40));
        QCOMPARE(model->selectedID(), std::optional(lower));

        model->dragChanged(QPointF(350, 20), QPointF(350, 20));
        model->dragEnded(QPointF(350, 20));
        QVERIFY(!model->selectedID());
        QCOMPARE(model->tool(), Tool::move);
        QCOMPARE(model->undoStack().size(), 2); // presses without movement record nothing
    }

    void movingOffsetsFromTheDragStart()
    {
        auto model = Fixtures::model();
        box(*model, QRectF(50, 50, 100, 100));
        const Annotation original = model->annotations().first();
        model->chooseTool(Tool::move);
        model->dragChanged(QPointF(60, 60), QPointF(70, 65));
        model->dragChanged(QPointF(60, 60), QPointF(90, 100));
        QCOMPARE(model->undoStack().size(), 1); // nothing recorded while dragging
        QCOMPARE(model->annotations().first(), original.translated(30, 40));
        model->dragEnded(QPointF(90, 100));
        QCOMPARE(model->undoStack().size(), 2);
    }

    void resizeCornerFindsHandlesOfResizableLayersOnly()
    {
        auto model = Fixtures::model();
        placePicture(*model); // bounds (100, 100, 100, 50)
        model->setViewScale(2); // reach 5
        QCOMPARE(model->resizeCorner(QPointF(104, 96)),
                 std::optional(std::pair(QPointF(100, 100), QPointF(200, 150))));
        QCOMPARE(model->resizeCorner(QPointF(197, 153)),
                 std::optional(std::pair(QPointF(200, 150), QPointF(100, 100))));
        QCOMPARE(model->resizeCorner(QPointF(201, 101)),
                 std::optional(std::pair(QPointF(200, 100), QPointF(100, 150))));
        QVERIFY(!model->resizeCorner(QPointF(107, 100)));
        model->setViewScale(0.5); // reach 20
        QVERIFY(model->resizeCorner(QPointF(118, 118)));

        model->chooseTool(Tool::pen);
        QVERIFY(!model->resizeCorner(QPointF(100, 100)));

        const QUuid boxID = box(*model, QRectF(10, 10, 40, 40));
        model->select(boxID);
        QVERIFY(!model->resizeCorner(QPointF(8, 8)));
    }

    void cornerDragsResizePictures_data()
    {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QRectF>("rect");
        // 160 x 70 asks for more width: the ratio-2 box reaching the pointer is 160 x 80.
        QTest::newRow("proportional") << QPointF(200, 150) << QPointF(260, 170) << false
                                      << QRectF(100, 100, 160, 80);
        QTest::newRow("shift stretches") << QPointF(200, 150) << QPointF(300, 290) << true
                                         << QRectF(100, 100, 200, 190);
        QTest::newRow("past the anchor") << QPointF(200, 150) << QPointF(20, 10) << true
                                         << QRectF(100, 100, 8, 8);
        QTest::newRow("top-left corner") << QPointF(100, 100) << QPointF(150, 140) << false
                                         << QRectF(150, 125, 50, 25);
    }
    void cornerDragsResizePictures()
    {
        QFETCH(QPointF, press);
        QFETCH(QPointF, to);
        QFETCH(bool, shift);
        QFETCH(QRectF, rect);
        auto model = Fixtures::model();
        const QUuid picture = placePicture(*model);
        // A box on top of the bottom-right corner: the selected picture's handle still wins.
        box(*model, QRectF(180, 130, 60, 60));
        model->select(picture);
        drag(*model, press, to, shift);
        QCOMPARE(model->selectedID(), std::optional(picture));
        QCOMPARE(pictureRect(*model->selected()), rect);
    }

    void watermarksAlwaysKeepTheirProportions()
    {
        auto model = Fixtures::model(400, 300);
        model->addWatermark();
        const Annotation mark = model->annotations().last();
        QCOMPARE(model->tool(), Tool::move);
        QCOMPARE(model->selectedID(), std::optional(mark.id));
        const QRectF b = mark.bounds();
        QCOMPARE(b.width(), 120.0);
        QCOMPARE(b.center(), QPointF(200, 150));

        drag(*model, b.bottomRight(), b.bottomRight() + QPointF(120, 0), true);
        const QRectF grown = model->annotations().last().bounds();
        QCOMPARE(grown.width(), 240.0);
        QVERIFY(qAbs(grown.height() - 240 * Watermark::aspect()) < 1e-6);
        QCOMPARE(grown.topLeft(), b.topLeft());
    }

    void reorderingMovesWithinTheStack()
    {
        auto model = Fixtures::model();
        const QUuid a = box(*model, QRectF(0, 0, 20, 20));
        const QUuid b = box(*model, QRectF(30, 0, 20, 20));
        const QUuid c = box(*model, QRectF(60, 0, 20, 20));
        const auto order = [&] {
            QList<QUuid> ids;
            for (const Annotation &layer : model->annotations())
                ids.append(layer.id);
            return ids;
        };
        model->select(c);
        model->shiftSelected(-1);
        QCOMPARE(order(), (QList<QUuid>{a, c, b}));
        model->sendSelectedToBack();
        QCOMPARE(order(), (QList<QUuid>{c, a, b}));
        model->shiftSelected(std::numeric_limits<qsizetype>::max());
        QCOMPARE(order(), (QList<QUuid>{a, b, c}));
        QCOMPARE(model->selectedID(), std::optional(c));
    }

    void restylingFollowsTheActiveTool()
    {
        auto model = Fixtures::model();
        const QUuid id = box(*model, QRectF(0, 0, 20, 20));
        Style style = model->annotations().first().style;
        style.color = QColor(Qt::blue);
        model->setSelectedStyle(style);
        QCOMPARE(model->toolStyles().value(Tool::rect), style); // rect is still the tool

        model->select(id); // the move tool: the box's kind no longer matches
        style.width = 20;
        model->setSelectedStyle(style);
        QCOMPARE(model->annotations().first().style.width, 20.0);
        QVERIFY(model->toolStyles().value(Tool::rect).width != 20.0);
    }

    void resizingBySizeRefusesUnusableSizes()
    {
        auto model = Fixtures::model();
        placePicture(*model);
        const qsizetype steps = model->undoStack().size();
        for (const QSizeF size : {QSizeF(0.5, 40), QSizeF(40, 0), QSizeF(qQNaN(), 40),
                                  QSizeF(40, qInf())})
            model->setSelectedSize(size);
        QCOMPARE(model->undoStack().size(), steps);

        model->addWatermark();
        const QPointF topLeft = model->selected()->bounds().topLeft();
        model->setSelectedSize(QSizeF(50, 999));
        const QRectF b = model->selected()->bounds();
        QVERIFY(qAbs(b.left() - topLeft.x()) < 1e-9 && qAbs(b.top() - topLeft.y()) < 1e-9);
        QVERIFY(qAbs(b.height() - 50 * Watermark::aspect()) < 1e-9);
    }

    void textEntryKeepsSpacesAndRefusesBlankText()
    {
        auto model = Fixtures::model();
        model->chooseTool(Tool::text);
        model->dragEnded(QPointF(40, 50));
        model->commitText(" \t ");
        QVERIFY(!model->textEntry());
        QVERIFY(model->annotations().isEmpty());

        model->dragEnded(QPointF(40, 50));
        model->commitText("  hello  ");
        const auto text = [&] { return std::get<Shapes::Text>(model->annotations().first().shape); };
        QCOMPARE(text().string, QString("  hello  "));
        QCOMPARE(text().point, QPointF(40, 50));
        model->setSelectedText("\n"); // a line break is content
        QCOMPARE(text().string, QString("\n"));
    }

    void picturesFitWithinEightyPercentAndAreNeverEnlarged_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSizeF>("placed");
        QTest::newRow("small") << QSize(100, 50) << QSizeF(100, 50);
        QTest::newRow("too wide") << QSize(800, 100) << QSizeF(320, 40);
        QTest::newRow("too tall") << QSize(100, 600) << QSizeF(40, 240);
        QTest::newRow("exactly 80 %") << QSize(320, 240) << QSizeF(320, 240);
    }
    void picturesFitWithinEightyPercentAndAreNeverEnlarged()
    {
        QFETCH(QSize, picture);
        QFETCH(QSizeF, placed);
        auto model = Fixtures::model(400, 300);
        model->setQuote(ZogQuote{1, std::nullopt, "q"});
        model->addPicture(Fixtures::solid(Qt::red, picture.width(), picture.height()));
        QVERIFY(!model->quote());
        const Annotation &layer = model->annotations().last();
        QCOMPARE(pictureRect(layer).size(), placed);
        QCOMPARE(pictureRect(layer).center(), QPointF(200, 150));
        QCOMPARE(layer.style.opacity, 1.0);
        QCOMPARE(model->tool(), Tool::move);
    }

    void pastingNothing()
    {
        auto model = Fixtures::model();
        QGuiApplication::clipboard()->setText("just text");
        QVERIFY(!model->pasteImage());
        QCOMPARE(model->toast(), std::optional<QString>("Nothing to paste"));
        QVERIFY(model->annotations().isEmpty());
        QVERIFY(!model->canUndo());
    }
};

QTEST_MAIN(TestEditorInteraction)
#include "test_editorinteraction.moc"
