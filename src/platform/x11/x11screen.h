// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QRect>

#include <memory>

struct xcb_connection_t;

// The X server's screen as the capture tool sees it: monitors, top-level window frames and
// pixels, all in device pixels of the root window.
class X11Screen
{
public:
    // Connects to the display (DISPLAY when null); nothing when there is no X server.
    static std::unique_ptr<X11Screen> open(const char *display = nullptr);
    ~X11Screen();

    QRect rootGeometry() const;
    // The active monitors, the primary one first; the whole root when RandR knows none.
    QList<QRect> monitors() const;
    // The visible top-level windows including their frames, topmost first.
    QList<QRect> windows() const;
    // The pixels of rect (within the root) as Format_RGB32; a null image when they cannot be read.
    QImage grab(const QRect &rect) const;
    // Prepares a grab of the whole root that must be quick when it comes: shared memory the size
    // of the root, attached to the X server and grabbed into once, so that both sides have
    // touched every page. The grab is then one copy into warm memory (6 ms at 4K under Xvfb,
    // where a fresh grab over the connection takes some 45). False without MIT-SHM.
    bool prepareQuickGrab();
    // The whole root: through the prepared memory, which the picture shares and which lives as
    // long as this screen; as grab() does when nothing was prepared or the root changed size.
    QImage quickGrab();

    // The top-level window whose frame is frame, as it draws itself: its own pixels, without the
    // windows that cover it. Only a compositing manager keeps those; without one, a null image.
    QImage windowPixels(const QRect &frame) const;

private:
    X11Screen(xcb_connection_t *connection, int screenNumber);
    bool hasBgrxPixels() const;
    QImage grabDrawable(unsigned int drawable, const QRect &area) const;

    xcb_connection_t *m_connection;
    unsigned int m_root = 0;
    unsigned int m_rootVisual = 0;
    QRect m_rootGeometry;
    // The memory of prepareQuickGrab().
    void *m_shared = nullptr;
    unsigned int m_sharedSegment = 0;
    QSize m_sharedSize;
};
