// SPDX-License-Identifier: MIT
// What the editor's views add to each step of a layer drag on a document of many layers: the
// layers list, the command states and the sidebar follow every step. Measured against the same
// drag on a model that no view observes, and against remaking the layers list at every step.
#include "editor/model/editormodel.h"
#include "editor/ui/editoractions.h"
#include "editor/ui/editorview.h"
#include "editor/ui/layerspanel.h"
#include "timing.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int layerCount = 300;
constexpr int steps = 40;

std::unique_ptr<EditorModel> document()
{
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    auto model = std::make_unique<EditorModel>(image, 1.0);
    for (int i = 0; i < layerCount; ++i) {
        const qreal x = (i * 37) % 1500;
        const qreal y = (i * 53) % 900;
        if (i % 2)
            model->commit(Annotation(Shapes::Rect{QRectF(x, y, 60, 40)}));
        else
            model->commit(Annotation(Shapes::Pen{{QPointF(x, y), QPointF(x + 30, y + 10),
                                                  QPointF(x + 50, y + 40)}}));
    }
    return model;
}

// One drag of the selected layer in small steps, then its end.
void drag(EditorModel &model)
{
    const QRectF bounds = model.selected()->bounds();
    // On the outline, where every kind of layer is hit.
    const QPointF start = bounds.topLeft() + QPointF(1, 1);
    for (int i = 1; i <= steps; ++i)
        model.dragChanged(start, start + QPointF(i, i / 2.0));
    model.dragEnded(start + QPointF(steps, steps / 2.0));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir sandbox;
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, sandbox.filePath("config"));

    auto bare = document();
    auto viewed = document();
    EditorView view(viewed.get(), EditorDesktop{});
    view.resize(1200, 800);
    view.show();
    QCoreApplication::processEvents();

    for (EditorModel *model : {bare.get(), viewed.get()}) {
        model->select(model->annotations().at(layerCount / 2).id);
        model->setTool(Tool::move);
    }

    // The plain way: a fresh list for every change.
    auto remade = document();
    remade->select(remade->annotations().at(layerCount / 2).id);
    QWidget host;
    EditorActions actions(remade.get(), &host);
    std::unique_ptr<LayersPanel> list;
    QObject::connect(remade.get(), &EditorModel::annotationsChanged, &host, [&] {
        list.reset();
        list = std::make_unique<LayersPanel>(remade.get(), &actions);
    });

    int changes = 0;
    QObject::connect(viewed.get(), &EditorModel::annotationsChanged, [&] { ++changes; });
    const auto medians = interleavedMediansMs(15, {
        [&] { drag(*bare); },
        [&] { drag(*viewed); QCoreApplication::processEvents(); },
        [&] { drag(*remade); QCoreApplication::processEvents(); },
    });
    if (changes < 15 * steps) {
        std::printf("the drag did not move the layer (%d changes)\n", changes);
        return 1;
    }
    std::printf("Dragging one of %d layers, %d steps:\n", layerCount, steps);
    printRow("model alone (baseline)", medians[0]);
    printRow("model with the editor view", medians[1]);
    printRow("model with a layers list remade at every step", medians[2]);
    printRatio("view over model alone", medians[1] / medians[0], "informational");
    printRatio("remaking the list over the view", medians[2] / medians[1], "kept rows: well over 1 x");
    std::printf("  %-52s %9.3f ms\n", "view's share of one step", (medians[1] - medians[0]) / steps);
    return 0;
}
