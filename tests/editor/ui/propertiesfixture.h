// SPDX-License-Identifier: MIT
#pragma once

#include "annotation/colortext.h"
#include "editor/model/fixtures.h"
#include "editor/ui/properties/field.h"
#include "editor/ui/properties/colorpanelbridge.h"
#include "editor/ui/properties/fontpicker.h"
#include "editor/ui/properties/stepformat.h"
#include "look/widgets/stepper.h"
#include "editor/ui/properties/propertiespanel.h"
#include "editor/ui/properties/swatches.h"
#include "editor/ui/properties/toolcontrols.h"

#include <QTest>

namespace PropertiesFixture {

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
        if (!controls)
            return nullptr;
        for (Field *field : controls->findChildren<Field *>()) {
            if (field->accessibleName() == title && field->isVisibleTo(&panel))
                return qobject_cast<Control *>(field->control());
        }
        return nullptr;
    }
    Fixtures::Sandbox sandbox;
    std::unique_ptr<EditorModel> model;
    ColorPanelBridge chooser;
    PropertiesPanel panel;
};

} // namespace PropertiesFixture
