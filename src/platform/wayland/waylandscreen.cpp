// SPDX-License-Identifier: MIT
#include "platform/wayland/waylandscreen.h"

#include "platform/wayland/shmimage.h"
#include "platform/wayland/waylandconnection.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <QDeadlineTimer>

#include <sys/mman.h>
#include <unistd.h>

struct WaylandScreen::Screen
{
    quint32 global = 0;
    wl_output *output = nullptr;
    zxdg_output_v1 *xdgOutput = nullptr;
    Output info;
    bool logicalKnown = false;

    ~Screen()
    {
        if (xdgOutput)
            zxdg_output_v1_destroy(xdgOutput);
        if (output) {
            if (wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
                wl_output_release(output);
            else
                wl_output_destroy(output);
        }
    }
};

struct WaylandScreen::Frame
{
    enum class State { offered, copying, ready, failed };

    WaylandScreen *owner = nullptr;
    Screen *screen = nullptr;
    zwlr_screencopy_frame_v1 *frame = nullptr;
    wl_buffer *buffer = nullptr;
    void *pixels = MAP_FAILED;
    size_t size = 0;
    quint32 format = 0;
    int width = 0, height = 0, stride = 0;
    bool yInvert = false;
    State state = State::offered;
    QString why;

    ~Frame()
    {
        if (buffer)
            wl_buffer_destroy(buffer);
        if (pixels != MAP_FAILED)
            munmap(pixels, size);
        if (frame)
            zwlr_screencopy_frame_v1_destroy(frame);
    }
    void fail(const QString &reason)
    {
        if (state == State::copying || state == State::offered) {
            state = State::failed;
            why = reason;
        }
    }
};

namespace {

const wl_output_listener outputListener = {
    [](void *data, wl_output *, int32_t, int32_t, int32_t, int32_t, int32_t, const char *, const char *,
       int32_t transform) { static_cast<WaylandScreen::Output *>(data)->transform = transform; },
    [](void *data, wl_output *, uint32_t flags, int32_t width, int32_t height, int32_t) {
        if (flags & WL_OUTPUT_MODE_CURRENT)
            static_cast<WaylandScreen::Output *>(data)->deviceSize = QSize(width, height);
    },
    [](void *, wl_output *) {},
    [](void *data, wl_output *, int32_t factor) { static_cast<WaylandScreen::Output *>(data)->scale = std::max(1, factor); },
    [](void *data, wl_output *, const char *name) {
        auto *output = static_cast<WaylandScreen::Output *>(data);
        if (output->name.isEmpty())
            output->name = QString::fromUtf8(name);
    },
    [](void *, wl_output *, const char *) {},
};

const zxdg_output_v1_listener xdgOutputListener = {
    [](void *data, zxdg_output_v1 *, int32_t x, int32_t y) { static_cast<WaylandScreen::Output *>(data)->position = QPoint(x, y); },
    [](void *data, zxdg_output_v1 *, int32_t width, int32_t height) {
        static_cast<WaylandScreen::Output *>(data)->logicalSize = QSize(width, height);
    },
    [](void *, zxdg_output_v1 *) {},
    // The xdg-output name is the one the compositor's own commands use.
    [](void *data, zxdg_output_v1 *, const char *name) { static_cast<WaylandScreen::Output *>(data)->name = QString::fromUtf8(name); },
    [](void *, zxdg_output_v1 *, const char *) {},
};

} // namespace

std::unique_ptr<WaylandScreen> WaylandScreen::open(const QByteArray &display, int timeoutMs)
{
    auto connection = WaylandConnection::open(display, timeoutMs);
    if (!connection)
        return nullptr;
    std::unique_ptr<WaylandScreen> screen(new WaylandScreen(std::move(connection)));
    if (!screen->readOutputs(timeoutMs))
        return nullptr;
    return screen;
}

WaylandScreen::WaylandScreen(std::unique_ptr<WaylandConnection> connection)
    : m_connection(std::move(connection))
{
}

WaylandScreen::~WaylandScreen()
{
    m_screens.clear();
    if (m_screencopy)
        zwlr_screencopy_manager_v1_destroy(m_screencopy);
    if (m_xdgOutputs)
        zxdg_output_manager_v1_destroy(m_xdgOutputs);
    if (m_shm)
        wl_shm_destroy(m_shm);
}

bool WaylandScreen::readOutputs(int timeoutMs)
{
    m_shm = static_cast<wl_shm *>(m_connection->bind(&wl_shm_interface, 1));
    m_xdgOutputs = static_cast<zxdg_output_manager_v1 *>(m_connection->bind(&zxdg_output_manager_v1_interface, 3));
    m_screencopy = static_cast<zwlr_screencopy_manager_v1 *>(
        m_connection->bind(&zwlr_screencopy_manager_v1_interface, 1));
    for (const WaylandConnection::Global &global : m_connection->globals()) {
        if (global.interface != wl_output_interface.name)
            continue;
        auto screen = std::make_shared<Screen>();
        screen->global = global.name;
        screen->output = static_cast<wl_output *>(wl_registry_bind(
            m_connection->registry(), global.name, &wl_output_interface, std::min(global.version, 4u)));
        wl_output_add_listener(screen->output, &outputListener, &screen->info);
        if (m_xdgOutputs) {
            screen->xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputs, screen->output);
            zxdg_output_v1_add_listener(screen->xdgOutput, &xdgOutputListener, &screen->info);
        }
        m_screens.append(screen);
    }
    if (!m_connection->roundtrip(timeoutMs))
        return false;
    int right = 0;
    for (const auto &screen : std::as_const(m_screens)) {
        Output &info = screen->info;
        // Older compositors name no output; messages still need to tell them apart.
        if (info.name.isEmpty())
            info.name = QStringLiteral("output %1").arg(m_screens.indexOf(screen) + 1);
        // Without xdg-output the layout is unknown: the outputs stand side by side.
        if (info.logicalSize.isEmpty()) {
            const bool turned = info.transform % 2 == 1;
            info.logicalSize = (turned ? info.deviceSize.transposed() : info.deviceSize) / info.scale;
            info.position = QPoint(right, 0);
        }
        right = std::max(right, info.position.x() + info.logicalSize.width());
    }
    return true;
}

QList<WaylandScreen::Output> WaylandScreen::outputs() const
{
    QList<Output> list;
    for (const auto &screen : m_screens)
        list.append(screen->info);
    return list;
}

bool WaylandScreen::hasScreencopy() const
{
    return m_screencopy && m_shm;
}

int WaylandScreen::indexOf(const QString &name) const
{
    for (int i = 0; i < m_screens.size(); ++i)
        if (m_screens.at(i)->info.name == name)
            return i;
    return -1;
}

void WaylandScreen::bufferOffered(void *data, zwlr_screencopy_frame_v1 *, quint32 format, quint32 width,
                                  quint32 height, quint32 stride)
{
    auto *frame = static_cast<Frame *>(data);
    if (frame->state != Frame::State::offered)
        return;
    const QString name = frame->screen->info.name;
    if (!ShmImage::isSupported(format)) {
        frame->fail(QStringLiteral("the compositor offers screen %1 in pixel format 0x%2, which we cannot read")
                        .arg(name).arg(format, 8, 16, QLatin1Char('0')));
        return;
    }
    if (width == 0 || height == 0 || width > 1 << 15 || height > 1 << 15 || stride < width * 4) {
        frame->fail(QStringLiteral("the compositor offers screen %1 at an impossible size").arg(name));
        return;
    }
    frame->format = format;
    frame->width = int(width);
    frame->height = int(height);
    frame->stride = int(stride);
    frame->size = size_t(stride) * height;
    const int fd = memfd_create("kiwano-capture", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(frame->size)) < 0) {
        if (fd >= 0)
            close(fd);
        frame->fail(QStringLiteral("there is no memory for the picture of screen %1").arg(name));
        return;
    }
    frame->pixels = mmap(nullptr, frame->size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (frame->pixels == MAP_FAILED) {
        close(fd);
        frame->fail(QStringLiteral("there is no memory for the picture of screen %1").arg(name));
        return;
    }
    wl_shm_pool *pool = wl_shm_create_pool(frame->owner->m_shm, fd, int32_t(frame->size));
    frame->buffer = wl_shm_pool_create_buffer(pool, 0, int32_t(width), int32_t(height), int32_t(stride), format);
    wl_shm_pool_destroy(pool);
    close(fd);
    zwlr_screencopy_frame_v1_copy(frame->frame, frame->buffer);
    frame->state = Frame::State::copying;
}

QList<QImage> WaylandScreen::grab(const QList<int> &which, int timeoutMs)
{
    m_error.clear();
    if (!hasScreencopy()) {
        m_error = QStringLiteral("the compositor offers no screen copy");
        return {};
    }
    static const zwlr_screencopy_frame_v1_listener listener = {
        &WaylandScreen::bufferOffered,
        [](void *data, zwlr_screencopy_frame_v1 *, uint32_t flags) {
            static_cast<Frame *>(data)->yInvert = flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT;
        },
        [](void *data, zwlr_screencopy_frame_v1 *, uint32_t, uint32_t, uint32_t) {
            auto *frame = static_cast<Frame *>(data);
            if (frame->state == Frame::State::copying)
                frame->state = Frame::State::ready;
        },
        [](void *data, zwlr_screencopy_frame_v1 *) {
            auto *frame = static_cast<Frame *>(data);
            frame->fail(QStringLiteral("the compositor could not copy screen %1").arg(frame->screen->info.name));
        },
    };

    // Every output is asked at once, so the pictures are of the same moment.
    std::vector<std::unique_ptr<Frame>> frames;
    for (int index : which) {
        if (index < 0 || index >= m_screens.size()) {
            m_error = QStringLiteral("there is no such screen");
            return {};
        }
        auto frame = std::make_unique<Frame>();
        frame->owner = this;
        frame->screen = m_screens.at(index).get();
        frame->frame = zwlr_screencopy_manager_v1_capture_output(m_screencopy, 0, frame->screen->output);
        zwlr_screencopy_frame_v1_add_listener(frame->frame, &listener, frame.get());
        frames.push_back(std::move(frame));
    }
    const auto present = [this](const Screen *screen) {
        for (const WaylandConnection::Global &global : m_connection->globals())
            if (global.name == screen->global)
                return true;
        return false;
    };
    const auto settled = [&] {
        for (const auto &frame : frames) {
            if (!present(frame->screen))
                frame->fail(QStringLiteral("screen %1 went away during the grab").arg(frame->screen->info.name));
            if (frame->state == Frame::State::failed)
                return true;
            if (frame->state != Frame::State::ready)
                return false;
        }
        return true;
    };
    m_connection->dispatchUntil(settled, timeoutMs);

    for (const auto &frame : frames) {
        if (frame->state == Frame::State::failed) {
            // A compositor fails the copy of an output it removes, before or after saying so.
            m_connection->roundtrip(std::min(timeoutMs, 200));
            m_error = present(frame->screen)
                ? frame->why
                : QStringLiteral("screen %1 went away during the grab").arg(frame->screen->info.name);
            return {};
        }
    }
    QList<QImage> images;
    for (const auto &frame : frames) {
        if (frame->state != Frame::State::ready) {
            m_error = m_connection->isAlive()
                ? QStringLiteral("the compositor did not deliver screen %1 within %2 ms")
                      .arg(frame->screen->info.name).arg(timeoutMs)
                : QStringLiteral("the connection to the compositor broke during the grab");
            return {};
        }
        const QImage image = ShmImage::fromPixels(static_cast<const uchar *>(frame->pixels), frame->format,
                                                  frame->width, frame->height, frame->stride, frame->yInvert);
        images.append(ShmImage::upright(image, frame->screen->info.transform));
    }
    return images;
}
