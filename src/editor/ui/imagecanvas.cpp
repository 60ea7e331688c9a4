// SPDX-License-Identifier: MIT
#include "editor/ui/imagecanvas.h"

#include "editor/model/editormodel.h"

ImageCanvas::ImageCanvas(EditorModel *model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
}

ImageCanvas::~ImageCanvas() = default;

void ImageCanvas::setScale(qreal scale)
{
    m_scale = scale;
    m_model->setViewScale(scale);
}
