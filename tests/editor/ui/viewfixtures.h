// SPDX-License-Identifier: MIT
#pragma once

#include "editor/model/editormodel.h"
#include "editor/model/fixtures.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <memory>

namespace ViewFixtures {

// A model over a plain image, preferences sandboxed, at one device pixel per point.
struct Document
{
    explicit Document(QSize size = QSize(400, 300))
        : model(std::make_unique<EditorModel>(Fixtures::solid(Qt::white, size.width(), size.height()), 1)) {}
    // Adds a box layer on top and returns its id; the model selects it.
    QUuid addBox(qreal x)
    {
        model->commit(Annotation(Shapes::Rect{QRectF(x, 10, 20, 20)}));
        return model->annotations().last().id;
    }
    QList<QUuid> order() const
    {
        QList<QUuid> ids;
        for (const Annotation &layer : model->annotations())
            ids.append(layer.id);
        return ids;
    }

    Fixtures::Sandbox sandbox;
    std::unique_ptr<EditorModel> model;
};

// Shows window and makes it the active one, so that shortcuts and the focus widget work.
inline bool showActive(QWidget *window)
{
    window->resize(1000, 700);
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace ViewFixtures
