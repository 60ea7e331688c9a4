// SPDX-License-Identifier: MIT
// The canvas and the area around it, driven through real pointer and key events on shown widgets.
// Run at device pixel ratios 1, 1.5 and 2 (QT_SCALE_FACTOR) by the test registrations.
#include "annotation/renderer.h"
#include "editor/model/editormodel.h"
#include "editor/model/fixtures.h"
#include "editor/ui/canvas/cropcontrols.h"
#include "editor/ui/canvas/inlinetextfield.h"
#include "editor/ui/canvas/selectionmarks.h"
#include "editor/ui/canvasarea.h"
#include "editor/ui/canvasgeometry.h"
#include "editor/ui/imagecanvas.h"
#include "editor/ui/viewfixtures.h"
#include "look/widgets/kiwanobutton.h"
#include "support/widgets.h"

#include <QBackingStore>
#include <QMimeData>
#include <QPainter>
#include <QSignalSpy>
#include <QWheelEvent>

#include <cmath>
#include <memory>

namespace {

// A busy picture, so that a stale or shifted pixel shows.
QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256));
    return image;
}

Style styled(QColor color, qreal width)
{
    Style style;
    style.color = color, style.width = width;
    return style;
}

// The busy picture at half size, shown.
struct Scene
{
    Scene()
        : model(picture(400, 300), 1)
        , canvas(&model)
    {
        canvas.setScale(0.5);
        canvas.resize(200, 150);
        canvas.show();
        if (!QTest::qWaitForWindowExposed(&canvas))
            qWarning("canvas not exposed");
        canvas.activateWindow();
        // Offscreen windows may never count as active; the keys are sent to the widget anyway.
        (void)QTest::qWaitForWindowActive(&canvas);
    }

    QPoint view(QPointF imagePoint) const { return (imagePoint * canvas.scale()).toPoint(); }
    void press(QPoint at) { QTest::mousePress(&canvas, Qt::LeftButton, {}, at); }
    void move(QPoint at) { QTest::mouseMove(&canvas, at); }
    void release(QPoint at) { QTest::mouseRelease(&canvas, Qt::LeftButton, {}, at); }
    void drag(QPoint from, QPoint to) { press(from), move((from + to) / 2), move(to), release(to); }

    Fixtures::Sandbox sandbox;
    EditorModel model;
    ImageCanvas canvas;
};

std::unique_ptr<Scene> scene() { return std::make_unique<Scene>(); }

// What the window shows, read back from its backing store: partial repaints included. (A screen
// grab of the offscreen platform misses all but a corner of a scaled window.)
QImage shown(ImageCanvas &canvas)
{
    QCoreApplication::processEvents();
    QPaintDevice *device = canvas.backingStore()->paintDevice();
    if (!device || device->devType() != QInternal::Image)
        return {};
    return static_cast<QImage *>(device)->convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The same frame drawn in one go, without any cached picture.
QImage straightPaint(const EditorModel &model, qreal scale, QSize device, qreal ratio)
{
    const QSizeF frame = model.imageSize() * scale * ratio;
    QImage image = model.base()
                       .scaled(QSize(int(std::ceil(frame.width())), int(std::ceil(frame.height()))),
                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied)
                       .copy(QRect(QPoint(0, 0), device));
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.save();
    painter.scale(scale, scale);
    QList<Annotation> layers = model.annotations();
    if (model.draft())
        layers.append(*model.draft());
    Renderer::draw(layers, model.pixels(), model.base().size(), painter);
    painter.restore();
    if (const auto layer = model.selected()) {
        const QRectF b = layer->bounds();
        QList<QPointF> handles;
        if (model.tool() == Tool::move)
            for (const QPointF h : layer->handles())
                handles.append(h * scale);
        SelectionMarks::draw(painter, QRectF(b.topLeft() * scale, b.size() * scale), handles);
    }
    return image;
}

// The largest difference of one channel between two images of one size; 256 for other sizes.
int largestDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// An area whose space inside the margin is 800 by 600.
void sizeForSpace(CanvasArea &area)
{
    area.resize(840, 640);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
}

} // namespace

class TestImageCanvas : public QObject
{
    Q_OBJECT

private slots:
    // A new text ends by Return or Enter (kept), Escape (dropped) or a drag with another tool
    // (kept, and the drag draws nothing); the next entry starts empty at its own place.
    void newTextEnds_data()
    {
        QTest::addColumn<int>("key"); QTest::addColumn<qsizetype>("layers"); // key 0: a drag with the pen instead
        QTest::newRow("Return commits") << int(Qt::Key_Return) << qsizetype(1);
        QTest::newRow("Enter commits") << int(Qt::Key_Enter) << qsizetype(1);
        QTest::newRow("Escape drops the text") << int(Qt::Key_Escape) << qsizetype(0);
        QTest::newRow("a drag with another tool commits") << 0 << qsizetype(1);
    }
    void newTextEnds()
    {
        QFETCH(int, key); QFETCH(qsizetype, layers);
        auto s = scene();
        s->model.setTool(Tool::text);
        QTest::mouseClick(&s->canvas, Qt::LeftButton, {}, QPoint(40, 30));
        InlineTextField *field = s->canvas.textField();
        QVERIFY(field && field->isVisible());
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("Hi"));
        // A new zoom moves the field and keeps what was typed.
        s->canvas.setScale(0.25);
        QCOMPARE(field->text(), QStringLiteral("Hi"));
        QCOMPARE(field->pos(), QPoint(80 / 4 - 4, 60 / 4 - 4));
        if (key) {
            QTest::keyClick(field, Qt::Key(key));
        } else {
            s->model.setTool(Tool::pen); // the entry stays open across a tool change
            QSignalSpy drafts(&s->model, &EditorModel::draftChanged);
            s->drag(QPoint(30, 25), QPoint(45, 32));
            QCOMPARE(drafts.count(), 0);
            s->model.setTool(Tool::text);
        }
        QCOMPARE(s->model.annotations().size(), layers);
        if (layers)
            QCOMPARE(s->model.annotations().first().shape, Shape(Shapes::Text{QPointF(80, 60), QStringLiteral("Hi")}));
        QVERIFY(!s->model.textEntry() && !field->isVisible());
        QTest::mouseClick(&s->canvas, Qt::LeftButton, {}, QPoint(20, 24));
        QVERIFY(field->isVisible() && field->text().isEmpty());
        QCOMPARE(field->pos(), QPoint(20 - 4, 24 - 4));
    }
    void reeditingPlacedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("key");   // 0: a click on the canvas instead of a key
        QTest::addColumn<QString>("text"); QTest::addColumn<qsizetype>("undoSteps");
        QTest::newRow("Return keeps the edit") << "Kiwi!" << int(Qt::Key_Return) << "Kiwi!" << qsizetype(1);
        QTest::newRow("a click elsewhere keeps it") << "Kiwi!" << 0 << "Kiwi!" << qsizetype(1);
        QTest::newRow("Escape keeps the old text") << "Kiwi!" << int(Qt::Key_Escape) << "Hello" << qsizetype(0);
        QTest::newRow("blank text is refused") << "  " << int(Qt::Key_Return) << "Hello" << qsizetype(0);
    }
    void reeditingPlacedText()
    {
        QFETCH(QString, typed); QFETCH(int, key); QFETCH(QString, text); QFETCH(qsizetype, undoSteps);
        auto s = scene();
        Style words = styled(Qt::red, 4);
        words.fontSize = 40;
        const Annotation layer(Shapes::Text{{100, 100}, QStringLiteral("Hello")}, words);
        s->model.commit(layer);
        s->model.chooseTool(Tool::move);
        const qsizetype before = s->model.undoStack().size();
        // QTest sends the second click of the pair only.
        QTest::mouseClick(&s->canvas, Qt::LeftButton, {}, s->view(layer.bounds().center()));
        QTest::mouseDClick(&s->canvas, Qt::LeftButton, {}, s->view(layer.bounds().center()));
        InlineTextField *field = s->canvas.textField();
        QVERIFY(field && field->isVisible());
        QCOMPARE(field->text(), QStringLiteral("Hello"));
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, typed);
        if (key)
            QTest::keyClick(field, Qt::Key(key));
        else
            QTest::mouseClick(&s->canvas, Qt::LeftButton, {}, QPoint(190, 140));
        QVERIFY(!field->isVisible());
        QCOMPARE(s->model.annotations().size(), 1);
        QCOMPARE(std::get<Shapes::Text>(s->model.annotations().first().shape).string, text);
        QCOMPARE(s->model.undoStack().size(), before + undoSteps);
        // The click that closed the field moved nothing.
        QCOMPARE(s->model.annotations().first().bounds().topLeft(), layer.bounds().topLeft());
    }
    // Return and Escape act on the crop wherever the focus is in the window, its buttons included;
    // without a crop, Escape lets go of the selection.
    void keysEndCropsAndSelections_data()
    {
        QTest::addColumn<bool>("cropping"); QTest::addColumn<int>("key");
        QTest::addColumn<QSize>("imageSize"); QTest::addColumn<bool>("selected");
        QTest::newRow("Return applies the crop") << true << int(Qt::Key_Return) << QSize(200, 100) << true;
        QTest::newRow("Escape cancels the crop, keeps the selection") << true << int(Qt::Key_Escape) << QSize(400, 300) << true;
        QTest::newRow("Escape clears the selection") << false << int(Qt::Key_Escape) << QSize(400, 300) << false;
    }
    void keysEndCropsAndSelections()
    {
        QFETCH(bool, cropping); QFETCH(int, key);
        auto s = scene();
        const Annotation box(Shapes::Rect{{20, 20, 100, 80}}, styled(Qt::red, 4));
        s->model.commit(box); // and selects it
        CropBar *bar = nullptr;
        QWidget *focus = &s->canvas;
        if (cropping) {
            s->model.setTool(Tool::crop);
            bar = s->canvas.cropBar();
            QVERIFY(bar && bar->isVisible());
            // Drag the bottom-right corner in by 200 × 200 image pixels.
            s->drag(QPoint(200, 150), QPoint(100, 50));
            focus = bar->applyButton();
        }
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key(key));
        QVERIFY(!s->model.cropRect());
        QTEST(s->model.base().size(), "imageSize");
        QTEST(s->model.selectedID().has_value(), "selected");
        QVERIFY(!bar || !bar->isVisible());
        QVERIFY(!s->canvas.cropSizeLabel() || !s->canvas.cropSizeLabel()->isVisible());
    }
    void cachedFramesMatchStraightPaint_data()
    {
        QTest::addColumn<bool>("highlighterOnTop");
        QTest::newRow("layers over the moved one cached") << false;
        QTest::newRow("a highlighter over the moved one") << true;
    }
    void cachedFramesMatchStraightPaint()
    {
        QFETCH(bool, highlighterOnTop);
        auto s = scene();
        EditorModel &model = s->model;
        Style blur, coarse, focus, words = styled(Qt::yellow, 4);
        blur.blurBlock = 8, coarse.blurBlock = 14, focus.dim = 0.4, words.fontSize = 30;
        const Annotation moved(Shapes::Rect{{250, 180, 100, 80}}, styled(Qt::red, 6));
        model.commit(Annotation(Shapes::Pen{{{10, 10}, {120, 90}, {200, 40}}}, styled(Qt::blue, 5)));
        model.commit(Annotation(Shapes::Blur{{30, 150, 120, 100}}, blur));
        model.commit(Annotation(Shapes::Highlighter{{{20, 120}, {380, 130}}}, styled(Qt::cyan, 6)));
        model.commit(moved);
        model.commit(Annotation(Shapes::Text{{160, 200}, QStringLiteral("Kiwi")}, words));
        model.commit(Annotation(Shapes::Focus{{10, 10, 200, 120}}, focus));
        model.commit(Annotation(Shapes::Blur{{200, 220, 120, 60}}, coarse));
        if (highlighterOnTop)
            model.commit(Annotation(Shapes::Highlighter{{{20, 290}, {200, 250}}}, styled(Qt::magenta, 8)));
        model.commit(Annotation(Shapes::Picture{{300, 20, 60, 60}, Fixtures::solid(QColor(0, 200, 0, 160), 20, 20)}));

        const auto check = [&](const char *when) {
            const QImage frame = shown(s->canvas);
            const QImage expected = straightPaint(model, s->canvas.scale(),
                                                  frame.size(), frame.devicePixelRatio());
            // The layers over a moved one are composed on their own: one more rounding to 8 bits
            // at smoothed edges. A stale picture is off by far more.
            QVERIFY2(largestDifference(frame, expected) <= 2, when);
        };
        check("before");
        model.setTool(Tool::move);
        // Press on the box's right edge, then drag it up and left over the other layers.
        const QPoint press = s->view({350, 200});
        s->press(press);
        check("pressed");
        const int builds = s->canvas.layerCache().builds();
        for (const QPoint step : {QPoint(-10, -5), QPoint(-30, -20), QPoint(-60, -50), QPoint(-45, -70)}) {
            s->move(press + step);
            check("moving");
        }
        s->release(press + QPoint(-45, -70));
        check("released");
        QCOMPARE(model.annotations().value(model.index(moved.id).value_or(-1)).bounds(), moved.translated(-90, -140).bounds());
        // The whole drag painted from the pictures made at the press.
        QCOMPARE(s->canvas.layerCache().builds(), builds);
        model.undo();
        check("undone");
        // Drawing over everything: the cached picture under a growing stroke.
        model.chooseTool(Tool::pen);
        s->press(s->view({20, 280}));
        for (const QPoint to : {QPoint(60, 120), QPoint(140, 100), QPoint(190, 20), QPoint(30, 30)}) {
            s->move(to);
            check("drawing");
        }
        s->release(QPoint(30, 30));
        check("drawn");
        model.select(moved.id);
        check("selected");
        model.shiftSelected(2);
        check("raised");
        model.deleteSelected();
        check("deleted");
    }

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
        ViewFixtures::Document doc;
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
        ViewFixtures::Document doc(QSize(600, 500));
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
        ViewFixtures::Document doc;
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

KIWANO_TEST_MAIN(TestImageCanvas)
#include "test_imagecanvas.moc"
