// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QRasterWindow>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include "overlaychrome.h"

// One window over the whole root (X11) or one output (Wayland) showing the frozen screen, where
// the user drags a region or picks a window. Works in device pixels throughout: the tool runs
// without Qt's scaling, and a compositor's output scale is undone at the window's edges.
class SelectionOverlay : public QRasterWindow
{
    Q_OBJECT

public:
    enum class Mode { Region, Window };

    SelectionOverlay(const QImage &frozen, const QList<QRect> &monitors,
                     const QList<QRect> &windows, Mode mode, double uiScale);

    // Qt's own scaling would put logical pixels between the pointer and the picture; switched
    // off, every coordinate is a device pixel, and the chrome is scaled by hand instead. Call
    // before the application exists, with the platform plugin to use; gives the scale the user
    // asked for through QT_SCALE_FACTOR.
    static double prepareApplication(const QByteArray &platform);

    Mode mode() const { return m_mode; }
    // Between dragging a region and picking a window, as Space switches; the overlays of other
    // outputs follow the one the user switched.
    void setMode(Mode mode);
    // Where the desktop does not tell its windows, there is only the region drag.
    void setWindowsUnknown();

signals:
    // The user chose these pixels of the frozen screen.
    void chosen(const QRect &rect);
    void cancelled();
    // The frozen screen is on show: the first paint is done.
    void painted();
    void modeChanged(Mode mode);

protected:
    void exposeEvent(QExposeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;

private:
    QRect highlight() const;
    QRect monitor() const;
    QString hint() const;
    OverlayChrome::State chromeState() const;
    void pointerMoved(const QPoint &point);
    QPoint toDevice(const QPointF &point) const;
    void refresh();
    void retryGrabs();

    void moveBy(const QPoint &step);
    void clickWithoutDrag();

    QImage m_frozen;
    QList<QRect> m_monitors;
    QList<QRect> m_windows;
    Mode m_mode;
    OverlayChrome m_chrome;
    QPoint m_pointer;
    QPoint m_anchor;
    bool m_dragging = false;
    // A rectangle started with Return and sized with the arrow keys, ended by Return again.
    bool m_keyboardDrag = false;
    // A click that selected nothing: the hint says a drag is needed, for a while.
    QTimer m_clickHint;
    bool m_windowsKnown = true;
    QRect m_shownHighlight;
    QRegion m_shownDecorations;
    QTimer m_grabRetry;
    int m_grabAttempts = 0;
    bool m_grabbed = false;
    bool m_painted = false;
};
