// SPDX-License-Identifier: MIT
// The canvas driven through real pointer and key events on a shown widget. Run at device pixel
// ratios 1, 1.5 and 2 (QT_SCALE_FACTOR) by the test registrations.
#include "annotation/renderer.h"
#include "editor/model/editormodel.h"
#include "editor/model/fixtures.h"
#include "editor/ui/canvas/cropcontrols.h"
#include "editor/ui/canvas/inlinetextfield.h"
#include "editor/ui/canvas/selectionmarks.h"
#include "editor/ui/imagecanvas.h"
#include "look/widgets/kiwanobutton.h"

#include <QBackingStore>
#include <QPainter>
#include <QSignalSpy>

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
};

KIWANO_TEST_MAIN(TestImageCanvas)
#include "test_imagecanvas.moc"
