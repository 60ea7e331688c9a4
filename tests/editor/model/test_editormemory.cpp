// SPDX-License-Identifier: MIT
#include <QPainter>
#include <QTest>

#include <algorithm>

#include "annotation/pixelcache.h"
#include "annotation/renderer.h"
#include "fixtures.h"

using Fixtures::box;
using Fixtures::drag;

// What a document holds on to: bitmaps shared between undo steps, pixellations its layers use,
// and nothing that no step can bring back.
class TestEditorMemory : public QObject
{
    Q_OBJECT
private:
    Fixtures::Sandbox m_sandbox;

private slots:
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
        const auto &older = model->undoStack().at(19).layers, &newer = model->undoStack().at(20).layers;
        QCOMPARE(older.first().get(), newer.first().get()); // an unchanged layer is shared
    }

    void everyBlurSizeOfTheDocumentStaysPixellated()
    {
        auto model = Fixtures::model(200, 100);
        model->chooseTool(Tool::blur);
        for (int block = 4; block < 16; block += 2) {
            Style style = model->toolStyle();
            style.blurBlock = block;
            model->setToolStyle(style);
            drag(*model, QPointF(block * 10, 10), QPointF(block * 10 + 20, 60));
        }
        QImage frame(200, 100, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&frame);
        Renderer::draw(model->annotations(), model->pixels(), QSize(200, 100), painter);
        // A size asked for once beside them is only a recent one.
        model->pixels().image(40);
        Renderer::draw(model->annotations(), model->pixels(), QSize(200, 100), painter);
        QList<int> keys = model->pixels().keys();
        std::sort(keys.begin(), keys.end());
        QCOMPARE(keys, QList<int>({4, 6, 8, 10, 12, 14, 40}));
    }

    void layersNoStepHoldsAnyMoreLetGoOfTheirPixels()
    {
        auto model = Fixtures::model();
        model->addPicture(Fixtures::solid(Qt::red, 100, 50));
        QImage held = std::get<Shapes::Picture>(model->annotations().last().shape).image;
        model->undo();
        QVERIFY(!held.isDetached()); // redo still brings it back
        box(*model, QRectF(10, 10, 30, 30));
        QVERIFY(held.isDetached());
    }

    // A grab let go, even in the middle of a drag, gives up the file's picture everywhere and
    // takes back what the file gives again, in every undo step and in the drag's own.
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
};

KIWANO_TEST_MAIN(TestEditorMemory)
#include "test_editormemory.moc"
