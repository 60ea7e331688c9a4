// SPDX-License-Identifier: MIT
#pragma once

#include <QKeySequence>
#include <QPixmap>
#include <QWidget>

#include <functional>
#include <optional>

class EditorModel;
class ImageCanvas;
class QAction;

class QLabel;
class QScrollBar;
class QVariantAnimation;

// The space left of the sidebar: centres the canvas at the largest scale that fits (never above
// one image pixel per device pixel), frames it with a border and a hard shadow, grows it in when
// first shown, and takes image drops, which become picture layers where they land. It zooms
// (Ctrl+wheel about the pointer, Ctrl+= and Ctrl+- in steps, Ctrl+1 to one image pixel per device
// pixel, Ctrl+0 back to fit) and scrolls a canvas larger than itself with the wheel, the scroll
// bars or a drag with the middle button.
class CanvasArea : public QWidget
{
    Q_OBJECT

public:
    explicit CanvasArea(EditorModel *model, QWidget *parent = nullptr);

    ImageCanvas *canvas() const { return m_canvas; }
    // The canvas's frame in this widget's coordinates.
    QRect canvasFrame() const;
    bool isDropTargeted() const { return m_dropTargeted; }

    // Image pixels per device pixel as shown, and whether that is the fitted size.
    qreal zoom() const;
    bool isFitted() const { return !m_zoom; }
    // Zooms to zoom keeping the image point under anchor (in this widget's coordinates) still;
    // none goes back to fit.
    void zoomTo(std::optional<qreal> zoom, QPointF anchor);
    void zoomTo(std::optional<qreal> zoom);
    // How far the canvas is scrolled, in view points from its start.
    QPointF scrollOffset() const { return m_offset; }
    QLabel *zoomLabel() const { return m_zoomLabel; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    class Overlay;

    QSizeF space() const;
    void layoutCanvas();
    void setDropTargeted(bool targeted);
    void paintFramed(QPainter &painter, const QRectF &frame, const QPixmap *picture) const;
    QAction *addZoomAction(const QList<QKeySequence> &keys, std::function<void()> act);
    void scrollBy(QPointF delta);

    EditorModel *m_model;
    ImageCanvas *m_canvas;
    Overlay *m_overlay;
    qreal m_scale = 1;
    // None while fitted.
    std::optional<qreal> m_zoom;
    QPointF m_offset;
    int m_wheelZoom = 0;
    std::optional<QPointF> m_panFrom;
    QScrollBar *m_horizontal;
    QScrollBar *m_vertical;
    QLabel *m_zoomLabel;
    bool m_dropTargeted = false;
    // Entrance: 0 to 1 once, the canvas drawn from a still while it runs.
    QVariantAnimation *m_entrance = nullptr;
    qreal m_peel = 1;
    QPixmap m_still;
    bool m_peeled = false;
};
