// SPDX-License-Identifier: MIT
#include "editor/ui/properties/propertiespanel.h"

PropertiesPanel::PropertiesPanel(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
}
