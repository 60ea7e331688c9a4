// SPDX-License-Identifier: MIT
#include "editor/ui/canvasarea.h"
#include "editor/ui/canvasgeometry.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/viewfixtures.h"
#include "support/widgets.h"

#include <QMimeData>
#include <QSignalSpy>

using ViewFixtures::Document;

class TestCanvasGeometry : public QObject
{
    Q_OBJECT

private:
    // An area whose space inside the margin is 800 by 600.
    static void sizeForSpace(CanvasArea &area)
    {
        area.resize(840, 640);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
    }

private slots:
    void scaleFitsButNeverEnlarges_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<qreal>("pixelScale");
        QTest::addColumn<qreal>("expected");
        QTest::newRow("huge shrinks to fit") << QSizeF(4000, 3000) << 2.0 << 0.2;
        QTest::newRow("small stays one pixel per device pixel") << QSizeF(100, 80) << 2.0 << 0.5;
        QTest::newRow("small at 1x") << QSizeF(100, 80) << 1.0 << 1.0;
        QTest::newRow("wide is limited by width") << QSizeF(1600, 300) << 1.0 << 0.5;
        QTest::newRow("tall is limited by height") << QSizeF(400, 1200) << 1.0 << 0.5;
        QTest::newRow("empty image") << QSizeF(0, 0) << 2.0 << 0.5;
    }
    void scaleFitsButNeverEnlarges()
    {
        QFETCH(QSizeF, image);
        QFETCH(qreal, pixelScale);
        QFETCH(qreal, expected);
        QCOMPARE(CanvasGeometry::scale(image, QSizeF(800, 600), pixelScale), expected);
    }

    void dropPointMapsIntoTheImage_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<QPointF>("expected");
        // A 400 x 300 image at scale 1 in 800 x 600 sits at (200, 150).
        QTest::newRow("top-left of frame") << QSizeF(400, 300) << 1.0 << QPointF(200, 150) << QPointF(0, 0);
        QTest::newRow("inside") << QSizeF(400, 300) << 1.0 << QPointF(250, 180) << QPointF(50, 30);
        QTest::newRow("area corner clamps") << QSizeF(400, 300) << 1.0 << QPointF(0, 0) << QPointF(0, 0);
        QTest::newRow("far corner clamps") << QSizeF(400, 300) << 1.0 << QPointF(800, 600) << QPointF(400, 300);
        QTest::newRow("beside, mid height") << QSizeF(400, 300) << 1.0 << QPointF(10, 300) << QPointF(0, 150);
        QTest::newRow("scaled down") << QSizeF(4000, 3000) << 0.2 << QPointF(500, 330) << QPointF(2500, 1650);
    }
    void dropPointMapsIntoTheImage()
    {
        QFETCH(QSizeF, image);
        QFETCH(qreal, scale);
        QFETCH(QPointF, point);
        QFETCH(QPointF, expected);
        const QPointF origin = CanvasGeometry::centredOrigin(QSizeF(800, 600), image, scale);
        QCOMPARE(CanvasGeometry::imagePoint(point, origin, image, scale), expected);
    }

    void canvasIsCentredAndFollowsTheImageSize()
    {
        Document doc(QSize(4000, 3000), 2);
        CanvasArea area(doc.model.get());
        sizeForSpace(area);
        QCOMPARE(area.canvasFrame(), QRect(20, 20, 800, 600));
        QCOMPARE(area.canvas()->scale(), 0.2);
        QCOMPARE(doc.model->viewScale(), 0.2);

        doc.model->resize(QSizeF(100, 80));
        QCOMPARE(area.canvas()->scale(), 0.5);
        QCOMPARE(area.canvasFrame(), QRect(20 + 375, 20 + 280, 50, 40));

        area.resize(80, 100);
        QCOMPARE(area.canvasFrame(), QRect(20, 20 + 14, 40, 32));
    }

    void dropAddsAPictureWhereItLands_data()
    {
        QTest::addColumn<QPointF>("at");
        QTest::addColumn<QPointF>("centre");
        // The 400 x 300 image at scale 1 starts at (220, 170) in the area.
        QTest::newRow("on the image") << QPointF(260, 200) << QPointF(40, 30);
        QTest::newRow("outside, clamped") << QPointF(5, 630) << QPointF(0, 300);
    }
    void dropAddsAPictureWhereItLands()
    {
        QFETCH(QPointF, at);
        QFETCH(QPointF, centre);
        Document doc;
        CanvasArea area(doc.model.get());
        sizeForSpace(area);
        QMimeData mime;
        mime.setData(QStringLiteral("image/png"), Fixtures::pngBytes(Fixtures::solid(Qt::red, 10, 10)));
        Widgets::dragEnter(&area, &mime, at.toPoint());
        Widgets::drop(&area, &mime, at.toPoint());
        QVERIFY(!area.isDropTargeted());
        QTRY_COMPARE(doc.model->annotations().size(), 1);
        const auto &picture = std::get<Shapes::Picture>(doc.model->annotations().first().shape);
        QCOMPARE(picture.rect.center(), centre);
    }

    void dragHoverShowsTheOutlineOnlyForImages()
    {
        Document doc;
        CanvasArea area(doc.model.get());
        sizeForSpace(area);
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!Widgets::dragEnter(&area, &text, QPoint(100, 100)));
        QVERIFY(!area.isDropTargeted());

        QMimeData image;
        image.setData(QStringLiteral("image/png"), Fixtures::pngBytes(Fixtures::solid(Qt::red)));
        QVERIFY(Widgets::dragEnter(&area, &image, QPoint(100, 100)));
        QVERIFY(area.isDropTargeted());
        QDragLeaveEvent leave;
        QApplication::sendEvent(&area, &leave);
        QVERIFY(!area.isDropTargeted());

        // A drop of something unreadable adds nothing.
        Widgets::drop(&area, &text, QPoint(300, 300));
        QTest::qWait(50);
        QVERIFY(doc.model->annotations().isEmpty());
    }
};

QTEST_MAIN(TestCanvasGeometry)
#include "test_canvasgeometry.moc"
