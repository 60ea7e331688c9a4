// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/colortext.h"
#include "editor/model/editormodel.h"
#include "editor/model/fixtures.h"
#include "editor/ui/properties/colorpanelbridge.h"
#include "editor/ui/properties/field.h"
#include "editor/ui/properties/fontpicker.h"
#include "editor/ui/properties/propertiespanel.h"
#include "editor/ui/properties/stepformat.h"
#include "editor/ui/properties/swatches.h"
#include "editor/ui/properties/toolcontrols.h"
#include "look/widgets/stepper.h"

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

// A shown panel over a model (a hidden panel defers its updates until it is shown).
struct Shown
{
    explicit Shown(qreal pixelScale = 2, int width = 400, int height = 300)
        : model(Fixtures::model(width, height, pixelScale))
        , panel(model.get(), &chooser)
    {
        panel.show();
    }
    // The control of the shown tool's field with that title.
    template<typename Control>
    Control *control(const QString &title) const
    {
        ToolControls *controls = panel.shownControls();
        for (Field *field : controls ? controls->findChildren<Field *>() : QList<Field *>())
            if (field->accessibleName() == title && field->isVisibleTo(&panel))
                return qobject_cast<Control *>(field->control());
        return nullptr;
    }
    Fixtures::Sandbox sandbox;
    std::unique_ptr<EditorModel> model;
    ColorPanelBridge chooser;
    PropertiesPanel panel;
};

} // namespace ViewFixtures
