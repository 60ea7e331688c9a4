// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

class WaylandConnection;
struct wl_output;
struct wl_shm;
struct zxdg_output_manager_v1;
struct zwlr_screencopy_manager_v1;

// The compositor's outputs as the capture tool sees them, and their pixels through the wlroots
// screen copy protocol. Every wait has a deadline and every failure leaves a message in error().
class WaylandScreen
{
public:
    struct Output
    {
        QString name;        // "HEADLESS-1", "DP-2"
        QPoint position;     // in the layout, logical pixels
        QSize logicalSize;
        QSize deviceSize;    // the current mode, before the transform
        int scale = 1;
        int transform = 0;   // wl_output_transform: how the picture is turned on the output

        QRect logicalGeometry() const { return QRect(position, logicalSize); }
    };

    // Connects to WAYLAND_DISPLAY (or display) and reads the outputs; nothing when no compositor
    // answers within timeoutMs.
    static std::unique_ptr<WaylandScreen> open(const QByteArray &display = {}, int timeoutMs = 1000);
    ~WaylandScreen();
    WaylandScreen(const WaylandScreen &) = delete;
    WaylandScreen &operator=(const WaylandScreen &) = delete;

    // In the order the compositor announced them.
    QList<Output> outputs() const;
    bool hasScreencopy() const;
    // The index of the output with this name; -1 when there is none.
    int indexOf(const QString &name) const;

    // The device pixels of these outputs (indices into outputs()), in that order, as opaque
    // Format_RGB32 images, all copied at once. Empty when any of them fails: an output that goes
    // away, a compositor that refuses or stays silent past timeoutMs; error() says which.
    QList<QImage> grab(const QList<int> &which, int timeoutMs);
    QString error() const { return m_error; }

private:
    struct Screen;
    struct Frame;
    explicit WaylandScreen(std::unique_ptr<WaylandConnection> connection);
    bool readOutputs(int timeoutMs);
    static void bufferOffered(void *data, struct zwlr_screencopy_frame_v1 *frame, quint32 format,
                              quint32 width, quint32 height, quint32 stride);

    std::unique_ptr<WaylandConnection> m_connection;
    wl_shm *m_shm = nullptr;
    zxdg_output_manager_v1 *m_xdgOutputs = nullptr;
    zwlr_screencopy_manager_v1 *m_screencopy = nullptr;
    QList<std::shared_ptr<Screen>> m_screens;
    QString m_error;
};
