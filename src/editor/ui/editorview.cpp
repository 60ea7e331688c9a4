// SPDX-License-Identifier: MIT
#include "editor/ui/editorview.h"

EditorView::EditorView(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
}
