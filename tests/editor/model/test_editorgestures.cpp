// SPDX-License-Identifier: MIT
#include <QTest>

#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

namespace {

// Crop tool on a 400 x 300 model with the crop rectangle (100, 100, 200, 100), made by dragging
// each edge in turn.
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

class TestEditorGestures : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
    void cropDragsDependOnTheZoomAndStayWithinTheImage_data()
    {
        QTest::addColumn<qreal>("viewScale");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QRectF>("rect");
        const auto row = [](const char *name, qreal zoom, QPointF from, QPointF to, QRectF rect) {
            QTest::newRow(name) << zoom << from << to << rect;
        };
        // Each press is dragged by (-20, 20): the outcome shows what the press took hold of.
        row("zoom 2, 4 inside: edge", 2, {104, 150}, {84, 170}, {80, 100, 220, 100});
        row("zoom 2, 6 inside: move", 2, {106, 150}, {86, 170}, {80, 120, 200, 100});
        row("zoom 2, 5 outside: edge", 2, {95, 150}, {75, 170}, {80, 100, 220, 100});
        row("zoom 2, 6 outside: new", 2, {94, 150}, {74, 170}, {74, 150, 20, 20});
        row("zoom 2, corner", 2, {303, 197}, {283, 217}, {100, 100, 180, 120});
        row("zoom 0.5, 18 inside: edge", 0.5, {118, 150}, {98, 170}, {80, 100, 220, 100});
        row("zoom 0.5, 21 inside: move", 0.5, {121, 150}, {101, 170}, {80, 120, 200, 100});

        row("edge to the minimum", 1, {100, 150}, {500, 150}, {284, 100, 16, 100});
        row("edge to the border", 1, {100, 150}, {-500, 150}, {0, 100, 300, 100});
        row("corner to two borders", 1, {300, 200}, {420, 900}, {100, 100, 300, 200});
        row("move past bottom-right", 1, {200, 150}, {1200, 1150}, {200, 200, 200, 100});
        row("move past top-left", 1, {200, 150}, {-900, -900}, {0, 0, 200, 100});
        row("new, clipped", 1, {20, 20}, {-50, 500}, {0, 20, 20, 280});
        row("new, too thin", 1, {350, 10}, {357, 100}, {100, 100, 200, 100});
        row("new, 8 x 8", 1, {350, 10}, {358, 18}, {350, 10, 8, 8});
    }
    void cropDragsDependOnTheZoomAndStayWithinTheImage()
    {
        QFETCH(qreal, viewScale);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QRectF, rect);
        auto model = croppingModel();
        model->setViewScale(viewScale);
        drag(*model, from, to);
        QCOMPARE(model->cropRect(), std::optional(rect));
    }

    void cropAndResizeCutWholePixelsAndCarryTheLayers()
    {
        QImage base = Fixtures::solid(Qt::gray, 400, 300);
        base.setPixelColor(15, 25, Qt::blue);
        EditorModel model(base, 1.0);
        drag(model, QPointF(150, 40), QPointF(250, 60)); // an arrow
        const Annotation arrow = model.annotations().first();
        model.chooseTool(Tool::crop);
        drag(model, QPointF(0, 150), QPointF(200, 150));
        drag(model, QPointF(10.4, 20.6), QPointF(110.6, 70.7));
        model.applyCrop();
        QCOMPARE(model.tool(), Tool::arrow);
        QCOMPARE(model.base().size(), QSize(101, 51));
        QCOMPARE(model.base().pixelColor(5, 5), QColor(Qt::blue));
        const Annotation cropped = model.annotations().first();
        QCOMPARE(cropped, arrow.translated(-10, -20));

        model.resize(QSizeF(50.5, 25.5)); // halves round up
        QCOMPARE(model.base().size(), QSize(51, 26));
        QCOMPARE(model.toast(), std::optional<QString>("Resized to 51 \u00d7 26"));
        const qreal sx = 51 / 101.0, sy = 26 / 51.0;
        QCOMPARE(model.annotations().first(), cropped.scaled(sx, sy));
        QCOMPARE(model.annotations().first().style.width, cropped.style.width * std::sqrt(sx * sy));
    }

    void cornerDragsResizePictures_data()
    {
        QTest::addColumn<qreal>("viewScale");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<QRectF>("rect");
        const auto row = [](const char *name, qreal zoom, QPointF press, QPointF to, bool shift,
                            QRectF rect) { QTest::newRow(name) << zoom << press << to << shift << rect; };
        // 160 x 70 asks for more width: the ratio-2 box reaching the pointer is 160 x 80.
        row("proportional", 1, {200, 150}, {260, 170}, false, {100, 100, 160, 80});
        row("shift stretches", 1, {200, 150}, {300, 290}, true, {100, 100, 200, 190});
        row("past the anchor", 1, {200, 150}, {20, 10}, true, {100, 100, 8, 8});
        row("top-left, zoom 2", 2, {104, 96}, {150, 140}, false, {150, 125, 50, 25});
        // Out of reach at zoom 2: the press moves the picture instead.
        row("7 away, zoom 2", 2, {107, 100}, {117, 110}, false, {110, 110, 100, 50});
    }
    void cornerDragsResizePictures()
    {
        QFETCH(qreal, viewScale);
        QFETCH(QPointF, press);
        QFETCH(QPointF, to);
        QFETCH(bool, shift);
        QFETCH(QRectF, rect);
        auto model = Fixtures::model();
        model->addPicture(Fixtures::solid(Qt::red, 100, 50), QPointF(150, 125));
        const QUuid picture = model->annotations().last().id;
        // A box on top of the bottom-right corner: the selected picture's handle still wins.
        box(*model, QRectF(180, 130, 60, 60));
        model->select(picture);
        model->setViewScale(viewScale);
        drag(*model, press, to, shift);
        QCOMPARE(model->selectedID(), std::optional(picture));
        QCOMPARE(pictureRect(*model->selected()), rect);
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
        model->addPicture(Fixtures::solid(Qt::red, picture.width(), picture.height()));
        const QRectF rect = pictureRect(model->annotations().last());
        QCOMPARE(rect.size(), placed);
        QCOMPARE(rect.center(), QPointF(200, 150));
    }

    void textKeepsItsSpacesAndBlankTextIsRefused()
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
};

QTEST_MAIN(TestEditorGestures)
#include "test_editorgestures.moc"
