// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QWidget>

class EditorModel;
class ImageCanvas;
class QVariantAnimation;

// The space left of the sidebar: centres the canvas at the largest scale that fits (never above
// one image pixel per device pixel), frames it with a border and a hard shadow, grows it in when
// first shown, and takes image drops, which become picture layers where they land.
class CanvasArea : public QWidget
{
    Q_OBJECT

public:
    explicit CanvasArea(EditorModel *model, QWidget *parent = nullptr);

    ImageCanvas *canvas() const { return m_canvas; }
    // The canvas's frame in this widget's coordinates.
    QRect canvasFrame() const;
    bool isDropTargeted() const { return m_dropTargeted; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class Overlay;

    QSizeF space() const;
    void layoutCanvas();
    void setDropTargeted(bool targeted);
    void paintFramed(QPainter &painter, const QRectF &frame, const QPixmap *picture) const;

    EditorModel *m_model;
    ImageCanvas *m_canvas;
    Overlay *m_overlay;
    qreal m_scale = 1;
    bool m_dropTargeted = false;
    // Entrance: 0 to 1 once, the canvas drawn from a still while it runs.
    QVariantAnimation *m_entrance = nullptr;
    qreal m_peel = 1;
    QPixmap m_still;
    bool m_peeled = false;
};
