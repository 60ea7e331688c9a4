// SPDX-License-Identifier: MIT
#include <QTest>

#include "editor/model/editormodel.h"
#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

Q_DECLARE_METATYPE(CropGrab)

namespace {

// Crop tool active on a 400 x 300 model with the crop rectangle (100, 100, 200, 100), made by
// dragging each edge in turn.
std::unique_ptr<EditorModel> croppingModel()
{
    auto model = Fixtures::model(400, 300);
    model->chooseTool(Tool::pen);
    model->chooseTool(Tool::crop);
    drag(*model, QPointF(0, 150), QPointF(100, 150));
    drag(*model, QPointF(400, 150), QPointF(300, 150));
    drag(*model, QPointF(200, 0), QPointF(200, 100));
    drag(*model, QPointF(200, 300), QPointF(200, 200));
    return model;
}

} // namespace

class TestEditorCrop : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
    void grabsDependOnTheZoom_data()
    {
        QTest::addColumn<qreal>("viewScale");
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<CropGrab>("grab");
        const CropGrab move = CropGrab::moving();
        const CropGrab fresh = CropGrab::drawing();
        const auto edges = [](CropEdges e) { return CropGrab::resizing(e); };
        QTest::newRow("zoom 2, on the left edge") << 2.0 << QPointF(104, 150) << edges(CropEdge::left);
        QTest::newRow("zoom 2, 6 inside") << 2.0 << QPointF(106, 150) << move;
        QTest::newRow("zoom 2, 5 outside") << 2.0 << QPointF(95, 150) << edges(CropEdge::left);
        QTest::newRow("zoom 2, 6 outside") << 2.0 << QPointF(94, 150) << fresh;
        QTest::newRow("zoom 2, corner") << 2.0 << QPointF(303, 197)
                                        << edges(CropEdge::right | CropEdge::bottom);
        QTest::newRow("zoom 2, beyond the span") << 2.0 << QPointF(100, 90) << fresh;
        QTest::newRow("zoom 0.5, 18 inside") << 0.5 << QPointF(118, 150) << edges(CropEdge::left);
        QTest::newRow("zoom 0.5, 21 inside") << 0.5 << QPointF(121, 150) << move;
        QTest::newRow("zoom 0.5, top from above") << 0.5 << QPointF(200, 81) << edges(CropEdge::top);
        QTest::newRow("zoom 1, below the reach") << 1.0 << QPointF(200, 211) << fresh;
    }
    void grabsDependOnTheZoom()
    {
        QFETCH(qreal, viewScale);
        QFETCH(QPointF, press);
        QFETCH(CropGrab, grab);
        auto model = croppingModel();
        model->setViewScale(viewScale);
        const CropGrab found = model->cropGrab(press);
        QCOMPARE(int(found.kind), int(grab.kind));
        QCOMPARE(found.edges.toInt(), grab.edges.toInt());
    }

    void aNarrowRectangleGrabsBothEdges()
    {
        auto model = croppingModel();
        drag(*model, QPointF(300, 150), QPointF(100, 150)); // right edge stops 16 from the left
        QCOMPARE(model->cropRect()->width(), 16.0);
        model->setViewScale(0.5);
        QCOMPARE(model->cropGrab(QPointF(108, 150)).edges.toInt(),
                 (CropEdge::left | CropEdge::right).toInt());
        QVERIFY(!model->cropGrab(QPointF(100, 150)).edges.testFlag(CropEdge::top));
    }

    void edgesStopAtTheMinimumAndAtTheImageBorders()
    {
        auto model = croppingModel();
        drag(*model, QPointF(100, 150), QPointF(500, 150));
        QCOMPARE(model->cropRect(), std::optional(QRectF(284, 100, 16, 100)));
        drag(*model, QPointF(284, 150), QPointF(-500, 150));
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 100, 300, 100)));
        drag(*model, QPointF(150, 200), QPointF(150, 900));
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 100, 300, 200)));
        // A corner moves two edges at once.
        drag(*model, QPointF(300, 100), QPointF(420, -20));
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 400, 300)));
    }

    void movingSlidesWithinTheImage()
    {
        auto model = croppingModel();
        drag(*model, QPointF(200, 150), QPointF(1200, 1150));
        QCOMPARE(model->cropRect(), std::optional(QRectF(200, 200, 200, 100)));
        drag(*model, QPointF(300, 250), QPointF(-900, -900));
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 200, 100)));
    }

    void newRectanglesAreClippedAndTinyOnesFallBack()
    {
        auto model = croppingModel();
        drag(*model, QPointF(20, 20), QPointF(-50, 500));
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 20, 20, 280)));

        const auto before = model->cropRect();
        model->dragChanged(QPointF(350, 10), QPointF(350, 10));
        QCOMPARE(model->cropRect()->size(), QSizeF(0, 0));
        model->dragEnded(QPointF(350, 10));
        QCOMPARE(model->cropRect(), before);

        drag(*model, QPointF(350, 10), QPointF(357, 100));
        QCOMPARE(model->cropRect(), before);
        drag(*model, QPointF(350, 10), QPointF(358, 18));
        QCOMPARE(model->cropRect(), std::optional(QRectF(350, 10, 8, 8)));
    }

    void applyingCutsWholePixelsAndMovesTheLayers()
    {
        auto model = Fixtures::model(400, 300);
        QImage base = model->base();
        base.setPixelColor(15, 25, Qt::blue);
        model = std::make_unique<EditorModel>(base, 1.0);
        model->chooseTool(Tool::arrow);
        drag(*model, QPointF(150, 40), QPointF(250, 60));
        const Annotation arrow = model->annotations().first();

        model->chooseTool(Tool::crop);
        drag(*model, QPointF(0, 150), QPointF(200, 150));
        drag(*model, QPointF(10.4, 20.6), QPointF(110.6, 70.7));
        model->applyCrop();

        QCOMPARE(model->tool(), Tool::arrow);
        QVERIFY(!model->cropRect());
        QCOMPARE(model->base().size(), QSize(101, 51));
        QCOMPARE(model->base().pixelColor(5, 5), QColor(Qt::blue));
        QCOMPARE(model->annotations().first(), arrow.translated(-10, -20));
        QCOMPARE(std::get<Shapes::Arrow>(model->annotations().first().shape).start,
                 QPointF(140, 20));

        model->chooseTool(Tool::crop);
        model->undo();
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 400, 300)));
        model->redo();
        QCOMPARE(model->cropRect(), std::optional(QRectF(0, 0, 101, 51)));
    }

    void applyingTheWholeImageReturnsToThePreviousTool()
    {
        auto model = Fixtures::model(400, 300);
        model->chooseTool(Tool::highlighter);
        model->chooseTool(Tool::crop);
        const qint64 key = model->base().cacheKey();
        model->applyCrop();
        QCOMPARE(model->tool(), Tool::highlighter);
        QVERIFY(!model->canUndo());
        QCOMPARE(model->base().cacheKey(), key);
    }

    void resizeRefusesUnusableSizes_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::newRow("zero width") << QSizeF(0, 100);
        QTest::newRow("negative") << QSizeF(-5, 10);
        QTest::newRow("rounds to zero") << QSizeF(0.4, 10);
        QTest::newRow("NaN") << QSizeF(qQNaN(), 100);
        QTest::newRow("infinite") << QSizeF(200, qInf());
        QTest::newRow("beyond a painter") << QSizeF(1e12, 10);
        QTest::newRow("same after rounding") << QSizeF(1000.4, 499.6);
    }
    void resizeRefusesUnusableSizes()
    {
        QFETCH(QSizeF, size);
        auto model = Fixtures::model(1000, 500);
        model->resize(size);
        QCOMPARE(model->base().size(), QSize(1000, 500));
        QVERIFY(!model->canUndo());
        QVERIFY(!model->toast());
    }

    void resizeScalesTheLayers_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QString>("toast");
        QTest::newRow("half") << QSizeF(500, 250) << QSize(500, 250) << "Resized to 500 \u00d7 250";
        QTest::newRow("squeezed") << QSizeF(500, 500) << QSize(500, 500)
                                  << "Resized to 500 \u00d7 500";
        QTest::newRow("halves round up") << QSizeF(250.5, 99.5) << QSize(251, 100)
                                         << "Resized to 251 \u00d7 100";
    }
    void resizeScalesTheLayers()
    {
        QFETCH(QSizeF, size);
        QFETCH(QSize, pixels);
        QFETCH(QString, toast);
        auto model = Fixtures::model(1000, 500);
        box(*model, QRectF(100, 100, 200, 100));
        const Annotation original = model->annotations().first();

        model->resize(size);
        QCOMPARE(model->base().size(), pixels);
        QCOMPARE(model->base().format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(model->toast(), std::optional(toast));
        const qreal sx = pixels.width() / 1000.0;
        const qreal sy = pixels.height() / 500.0;
        QCOMPARE(model->annotations().first(), original.scaled(sx, sy));
        QCOMPARE(model->annotations().first().style.width, original.style.width * std::sqrt(sx * sy));

    }

    void flattenLeavesTheDraftOut()
    {
        auto model = Fixtures::model(200, 100);
        box(*model, QRectF(10, 10, 50, 50));
        const QImage composite = model->flatten();
        QCOMPARE(composite.size(), QSize(200, 100));
        QCOMPARE(composite.pixelColor(150, 80), model->base().pixelColor(150, 80));
        QVERIFY(composite != model->base());

        model->chooseTool(Tool::rect);
        model->dragChanged(QPointF(100, 10), QPointF(190, 90));
        QVERIFY(model->draft());
        QCOMPARE(model->flatten(), composite);
        model->dragEnded(QPointF(190, 90));
    }

};

QTEST_MAIN(TestEditorCrop)
#include "test_editorcrop.moc"
