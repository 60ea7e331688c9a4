// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

// A picture pinned on the screen: a frameless window above the others that shows it at its own
// pixel size. Dragging moves it, the wheel zooms it about the pointer, Ctrl+wheel fades it,
// Ctrl+C copies the picture as PNG, Esc or a double click closes it. From the keyboard the arrows
// move it (Shift: by one pixel), + and - zoom and 0 shows it at its own size again. It deletes
// itself when closed.
class PinWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr qreal minimumZoom = 0.1;
    static constexpr qreal maximumZoom = 8.0;
    static constexpr qreal minimumOpacity = 0.2;

    // name tells the grab apart in the window's title and accessible name.
    PinWindow(const QImage &picture, const QString &name, QWidget *parent = nullptr);

    const QImage &picture() const { return m_picture; }
    qreal zoom() const { return m_zoom; }
    // Sets the zoom, clamped, keeping the point at anchor (in the window) where it is on screen.
    void setZoom(qreal zoom, QPointF anchor);
    // The zoom at which the picture fits within area, never above its own size.
    qreal zoomToFit(QSize area) const;
    // The zoom after steps notches of the wheel (negative: out), clamped.
    static qreal zoomedBy(qreal zoom, int steps);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The picture's size in the window's pixels at zoom 1: one grab pixel per device pixel.
    QSizeF naturalSize() const;
    void fade(int steps);
    void copy();
    // Shows text in the corner for a moment.
    void tell(const QString &text);

    QImage m_picture;
    // The picture at the window's size in device pixels, made once per zoom rather than at every
    // paint; none at the picture's own size.
    QImage m_shown;
    qreal m_zoom = 1.0;
    // Where the pointer took hold, in the window, while dragging.
    std::optional<QPoint> m_held;
    int m_wheelAngle = 0;
    QString m_badge;
    QTimer m_badgeTimer;
};
