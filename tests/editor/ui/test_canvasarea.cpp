// SPDX-License-Identifier: MIT
// The area around the canvas: fitting, zooming, scrolling and drops. Run at device pixel ratios
// 1, 1.5 and 2 (QT_SCALE_FACTOR) by the test registrations.
#include "editor/ui/canvasarea.h"
#include "editor/ui/canvasgeometry.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/viewfixtures.h"
#include "support/widgets.h"

#include <QMimeData>
#include <QWheelEvent>

using ViewFixtures::Document;

namespace {

// An area whose space inside the margin is 800 by 600.
void sizeForSpace(CanvasArea &area)
{
    area.resize(840, 640);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
}

} // namespace

class TestCanvasArea : public QObject
{
    Q_OBJECT

private slots:
    // Fitting never enlarges past one image pixel per device pixel; a drop lands on the image
    // pixel under it, clamped to the image; zoom steps go by powers of two between 25 and 800 %.
    void fitDropAndZoomSteps()
    {
        using Fit = std::tuple<QSizeF, qreal, qreal>;
        for (const auto &[image, pixelScale, scale] : {Fit{{4000, 3000}, 2, 0.2}, Fit{{100, 80}, 2, 0.5},
                                                       Fit{{1600, 300}, 1, 0.5}, Fit{{0, 0}, 2, 0.5}})
            QCOMPARE(CanvasGeometry::scale(image, QSizeF(800, 600), pixelScale), scale);
        // A 400 x 300 image at scale 1 in 800 x 600 sits at (200, 150).
        using Drop = std::tuple<QSizeF, qreal, QPointF, QPointF>;
        for (const auto &[image, scale, point, expected] :
             {Drop{{400, 300}, 1, {250, 180}, {50, 30}}, Drop{{400, 300}, 1, {0, 0}, {0, 0}},
              Drop{{400, 300}, 1, {800, 600}, {400, 300}}, Drop{{4000, 3000}, 0.2, {500, 330}, {2500, 1650}}}) {
            const QPointF origin = CanvasGeometry::centredOrigin(QSizeF(800, 600), image, scale);
            QCOMPARE(CanvasGeometry::imagePoint(point, origin, image, scale), expected);
        }
        using Step = std::tuple<qreal, qreal, qreal>; // zoom, in, out
        for (const auto &[zoom, in, out] : {Step{1, 2, 0.5}, Step{0.3, 0.5, 0.25}, Step{0.999999, 1, 0.5},
                                            Step{8, 8, 4}, Step{0.1, 0.25, 0.1}}) {
            QCOMPARE(CanvasGeometry::zoomIn(zoom), in);
            QCOMPARE(CanvasGeometry::zoomOut(zoom), out);
        }
        // Zoom is counted in device pixels: at 2 device pixels per point, 100 % is half a point.
        QCOMPARE(CanvasGeometry::zoomScale(1, 2), 0.5);
    }

    // Ctrl+- steps down from the fitted size, Ctrl+1 goes to 100 %, Ctrl+0 back to fit; a canvas
    // larger than the area scrolls within its bounds. (The e2e tests zoom in to 400 % by keys and
    // fit again through the real window.)
    void zoomKeysAndScrolling()
    {
        Document doc;
        QWidget window;
        auto *area = new CanvasArea(doc.model.get(), &window);
        QVERIFY(ViewFixtures::showActive(&window));
        area->setGeometry(0, 0, 840, 640);
        const QRect fitted = area->canvasFrame();
        QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(area->zoom(), 0.5);
        QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier);
        QCOMPARE(area->zoom(), 1.0);
        area->zoomTo(4.0);
        QCOMPARE(doc.model->viewScale(), 4.0);
        // Scrolling stops where the canvas's edge meets the margin.
        const QRect big = area->canvasFrame();
        QWheelEvent down(QPointF(400, 300), area->mapToGlobal(QPointF(400, 300)), {}, QPoint(0, -120 * 100),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(area, &down);
        QCOMPARE(area->canvasFrame().bottom(), 640 - 20 - 1);
        QCOMPARE(area->canvasFrame().left(), big.left());
        QTest::keyClick(&window, Qt::Key_0, Qt::ControlModifier);
        QVERIFY(area->isFitted());
        QCOMPARE(area->canvasFrame(), fitted);
        QCOMPARE(area->scrollOffset(), QPointF());
    }

    // Ctrl+wheel zooms about the pointer: the image pixel under it stays under it (once the
    // canvas is larger than the area; a smaller one stays centred).
    void wheelZoomKeepsThePointStill()
    {
        Document doc(QSize(600, 500));
        CanvasArea area(doc.model.get());
        sizeForSpace(area);
        const QPointF pointer(300, 250);
        const QPointF before = area.canvas()->toImage(pointer - area.canvasFrame().topLeft());
        for (int i = 0; i < 3; ++i) {
            QWheelEvent up(pointer, area.mapToGlobal(pointer), {}, QPoint(0, 120), Qt::NoButton,
                           Qt::ControlModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&area, &up);
        }
        QCOMPARE(area.zoom(), 8.0);
        const QPointF after = area.canvas()->toImage(pointer - area.canvasFrame().topLeft());
        QVERIFY(QLineF(before, after).length() < 1.0 / 8);
    }

    // Above 100 % every image pixel is a block of whole device pixels of its own colour.
    void zoomedPixelsStayCrisp()
    {
        const qreal ratio = qApp->devicePixelRatio();
        QImage checks(8, 6, QImage::Format_ARGB32);
        for (int y = 0; y < checks.height(); ++y)
            for (int x = 0; x < checks.width(); ++x)
                checks.setPixelColor(x, y, (x + y) % 2 ? Qt::black : Qt::white);
        Fixtures::Sandbox sandbox;
        EditorModel model(checks, ratio);
        CanvasArea area(&model);
        sizeForSpace(area);
        area.zoomTo(4.0);
        const QImage shown = area.canvas()->grab().toImage();
        QCOMPARE(shown.size(), QSize(32, 24));
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                QCOMPARE(shown.pixelColor(x, y), checks.pixelColor(x / 4, y / 4));
    }

    void dragHoverShowsTheOutlineOnlyForImages()
    {
        Document doc;
        CanvasArea area(doc.model.get());
        sizeForSpace(area);
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!Widgets::dragEnter(&area, &text, QPoint(100, 100)) && !area.isDropTargeted());

        QMimeData image;
        image.setData(QStringLiteral("image/png"), Png::encode(Fixtures::solid(Qt::red)));
        QVERIFY(Widgets::dragEnter(&area, &image, QPoint(100, 100)) && area.isDropTargeted());
        QDragLeaveEvent leave;
        QApplication::sendEvent(&area, &leave);
        QVERIFY(!area.isDropTargeted());

        // A drop of something unreadable adds nothing: the picture dropped after it is the only
        // layer, once it is in (drops are read in turn).
        QMimeData broken;
        broken.setData(QStringLiteral("image/png"), "not a png");
        QVERIFY(Widgets::dragEnter(&area, &broken, QPoint(300, 300)));
        Widgets::drop(&area, &broken, QPoint(300, 300));
        QVERIFY(Widgets::dragEnter(&area, &image, QPoint(260, 200)));
        Widgets::drop(&area, &image, QPoint(260, 200));
        QTRY_COMPARE(doc.model->annotations().size(), 1);
        QCOMPARE(std::get<Shapes::Picture>(doc.model->annotations().first().shape).rect.center(), QPointF(40, 30));
    }
};

KIWANO_TEST_MAIN(TestCanvasArea)
#include "test_canvasarea.moc"
