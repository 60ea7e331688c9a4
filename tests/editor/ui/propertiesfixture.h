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

inline const QStringList fieldNames{"width", "color", "outlineColor", "fillColor", "font", "fontSize",
                                    "outlineWidth", "cornerRadius", "blurBlock", "dim", "markSize", "opacity"};

// One style field as text, for tables.
inline QString field(const Style &style, const QString &name)
{
    if (name == "color" || name == "outlineColor")
        return hexString(name == "color" ? style.color : style.outlineColor);
    if (name == "fillColor")
        return style.fillColor ? hexString(*style.fillColor) : QStringLiteral("none");
    if (name == "font")
        return rawValue(style.font);
    const QList<std::pair<const char *, qreal>> numbers{
        {"width", style.width}, {"fontSize", style.fontSize}, {"outlineWidth", style.outlineWidth},
        {"dim", style.dim}, {"cornerRadius", style.cornerRadius}, {"blurBlock", style.blurBlock},
        {"markSize", style.markSize}, {"opacity", style.opacity}};
    for (const auto &[key, value] : numbers) {
        if (name == QLatin1String(key))
            return QString::number(value);
    }
    return QString();
}

} // namespace PropertiesFixture
