// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EditorModel;

// The image with its layers at the editor's display scale; turns pointer drags into model calls
// in image pixels, draws the selection, the crop overlay and the inline text field.
class ImageCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit ImageCanvas(EditorModel *model, QWidget *parent = nullptr);
    ~ImageCanvas() override;

    // View points per image pixel; the canvas passes it on to the model's viewScale.
    qreal scale() const { return m_scale; }
    void setScale(qreal scale);

private:
    EditorModel *m_model;
    qreal m_scale = 1;
};
