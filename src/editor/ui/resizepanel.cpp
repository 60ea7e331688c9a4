// SPDX-License-Identifier: MIT
#include "editor/ui/resizepanel.h"

ResizePanel::ResizePanel(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
}
