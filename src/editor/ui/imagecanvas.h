// SPDX-License-Identifier: MIT
#pragma once

#include "editor/ui/canvas/layercache.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <optional>

class CanvasText;
class CropBar;
class CropSizeLabel;
class EditorModel;
class InlineTextField;

// The image with its layers at the editor's display scale; turns pointer drags into model calls
// in image pixels, draws the selection and the crop overlay, and hosts the inline text field.
class ImageCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit ImageCanvas(EditorModel *model, QWidget *parent = nullptr);
    ~ImageCanvas() override;

    // View points per image pixel; the canvas passes it on to the model's viewScale.
    qreal scale() const { return m_scale; }
    void setScale(qreal scale);

    // The two mappings between view points and image pixels; every pointer event goes through
    // toImage once.
    QPointF toImage(QPointF viewPoint) const { return viewPoint / m_scale; }
    QRectF toView(const QRectF &imageRect) const;
    QPointF toView(QPointF imagePoint) const;

    // The pointer shape for a pointer over an image point.
    Qt::CursorShape cursorAt(QPointF imagePoint) const;

    // The inline text field and the crop controls, while they are shown; for keyboard users'
    // tab order and for tests.
    InlineTextField *textField() const;
    CropBar *cropBar() const { return m_cropBar; }
    CropSizeLabel *cropSizeLabel() const { return m_cropLabel; }
    // The cached pictures of the committed layers.
    const LayerCache &layerCache() const { return m_cache; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void layersChanged();
    void draftChanged();
    void selectionChanged();
    void cropChanged();
    void chooseLive();
    // True while a text field takes the keys: pointer drags then go nowhere.
    bool typing() const;
    void placeCropControls();
    QRect dirtyRect(const QRectF &imageRect) const;
    QRectF selectionExtent() const;

    // Guarded: the editor may outlive its document when the grab is thrown away.
    QPointer<EditorModel> m_model;
    CanvasText *m_text;
    qreal m_scale = 1;
    LayerCache m_cache;
    std::optional<Annotation> m_shownDraft;
    std::optional<QRectF> m_shownSelection;
    std::optional<QPointF> m_dragStart;
    // Keyboard focus is outlined; focus taken by a click is not.
    bool m_focusShown = false;
    CropBar *m_cropBar = nullptr;
    CropSizeLabel *m_cropLabel = nullptr;
};
