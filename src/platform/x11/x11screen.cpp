// SPDX-License-Identifier: MIT
#include "platform/x11/x11screen.h"

#include <QByteArray>

#include "image/bitmap.h"

#include <xcb/composite.h>
#include <xcb/randr.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include <sys/ipc.h>
#include <sys/shm.h>

namespace {

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> reply(T *raw)
{
    return Reply<T>(raw, &std::free);
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    auto r = reply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, strlen(name), name), nullptr));
    return r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QList<xcb_window_t> windowList(xcb_connection_t *c, xcb_window_t root, xcb_atom_t property)
{
    QList<xcb_window_t> list;
    if (property == XCB_ATOM_NONE)
        return list;
    auto r = reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, property, XCB_ATOM_WINDOW, 0, 1 << 16), nullptr));
    if (!r || r->format != 32)
        return list;
    const auto *ids = static_cast<const xcb_window_t *>(xcb_get_property_value(r.get()));
    const int count = xcb_get_property_value_length(r.get()) / 4;
    list.reserve(count);
    for (int i = 0; i < count; ++i)
        list.append(ids[i]);
    return list;
}

} // namespace

std::unique_ptr<X11Screen> X11Screen::open(const char *display)
{
    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(display, &screenNumber);
    if (!connection || xcb_connection_has_error(connection)) {
        if (connection)
            xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11Screen>(new X11Screen(connection, screenNumber));
}

X11Screen::X11Screen(xcb_connection_t *connection, int screenNumber)
    : m_connection(connection)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    m_rootVisual = it.data->root_visual;
    m_rootGeometry = QRect(0, 0, it.data->width_in_pixels, it.data->height_in_pixels);
}

X11Screen::~X11Screen()
{
    xcb_disconnect(m_connection);
    if (m_shared)
        ::shmdt(m_shared);
}

QRect X11Screen::rootGeometry() const
{
    return m_rootGeometry;
}

QList<QRect> X11Screen::monitors() const
{
    QList<QRect> result;
    auto version = reply(xcb_randr_query_version_reply(
        m_connection, xcb_randr_query_version(m_connection, 1, 5), nullptr));
    if (version && (version->major_version > 1 || version->minor_version >= 5)) {
        auto r = reply(xcb_randr_get_monitors_reply(
            m_connection, xcb_randr_get_monitors(m_connection, m_root, 1), nullptr));
        if (r) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem;
                 xcb_randr_monitor_info_next(&it)) {
                const QRect rect(it.data->x, it.data->y, it.data->width, it.data->height);
                const QRect visible = rect.intersected(m_rootGeometry);
                if (visible.isEmpty())
                    continue;
                if (it.data->primary)
                    result.prepend(visible);
                else
                    result.append(visible);
            }
        }
    }
    if (result.isEmpty())
        result.append(m_rootGeometry);
    return result;
}

QList<QRect> X11Screen::windows() const
{
    xcb_connection_t *c = m_connection;
    QList<xcb_window_t> stack = windowList(c, m_root, atom(c, "_NET_CLIENT_LIST_STACKING"));
    const bool managed = !stack.isEmpty();
    if (!managed) {
        // Without a window manager that publishes its stacking, the root's mapped children
        // are the top-level windows, bottom to top.
        auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, m_root), nullptr));
        if (tree) {
            const xcb_window_t *children = xcb_query_tree_children(tree.get());
            stack = QList<xcb_window_t>(children, children + xcb_query_tree_children_length(tree.get()));
        }
    }
    const xcb_atom_t extentsAtom = managed ? atom(c, "_NET_FRAME_EXTENTS") : xcb_atom_t(XCB_ATOM_NONE);
    const xcb_atom_t stateAtom = managed ? atom(c, "_NET_WM_STATE") : xcb_atom_t(XCB_ATOM_NONE);
    const xcb_atom_t hiddenAtom = managed ? atom(c, "_NET_WM_STATE_HIDDEN") : xcb_atom_t(XCB_ATOM_NONE);

    // All requests go out before any reply is read: one round trip for the whole stack.
    struct Pending
    {
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_geometry_cookie_t geometry;
        xcb_translate_coordinates_cookie_t origin;
        xcb_get_property_cookie_t extents;
        xcb_get_property_cookie_t state;
    };
    QList<Pending> pending;
    pending.reserve(stack.size());
    for (xcb_window_t w : stack) {
        pending.append({xcb_get_window_attributes(c, w), xcb_get_geometry(c, w),
                         xcb_translate_coordinates(c, w, m_root, 0, 0),
                         xcb_get_property(c, 0, w, extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
                         xcb_get_property(c, 0, w, stateAtom, XCB_ATOM_ATOM, 0, 64)});
    }
    QList<QRect> result;
    for (const Pending &p : pending) {
        auto attributes = reply(xcb_get_window_attributes_reply(c, p.attributes, nullptr));
        auto geometry = reply(xcb_get_geometry_reply(c, p.geometry, nullptr));
        auto origin = reply(xcb_translate_coordinates_reply(c, p.origin, nullptr));
        auto extents = reply(xcb_get_property_reply(c, p.extents, nullptr));
        auto state = reply(xcb_get_property_reply(c, p.state, nullptr));
        if (!attributes || !geometry || !origin)
            continue;
        // A managed client sits unmapped inside its frame only while minimised or on another
        // desktop; unmanaged windows must be plainly visible and not override-redirect.
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        if (!managed && (attributes->override_redirect || attributes->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT))
            continue;
        if (state && state->format == 32) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(state.get()));
            const int count = xcb_get_property_value_length(state.get()) / 4;
            if (std::find(atoms, atoms + count, hiddenAtom) != atoms + count)
                continue;
        }
        QRect rect(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
        if (!managed)
            rect.adjust(0, 0, 2 * geometry->border_width, 2 * geometry->border_width);
        if (extents && extents->format == 32 && xcb_get_property_value_length(extents.get()) == 16) {
            const auto *e = static_cast<const quint32 *>(xcb_get_property_value(extents.get()));
            rect.adjust(-int(e[0]), -int(e[2]), int(e[1]), int(e[3])); // left, right, top, bottom
        }
        if (!rect.intersected(m_rootGeometry).isEmpty())
            result.prepend(rect);
    }
    return result;
}

bool X11Screen::hasBgrxPixels() const
{
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST)
        return false;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(setup);
    for (; screens.rem; xcb_screen_next(&screens)) {
        if (screens.data->root != m_root)
            continue;
        if (screens.data->root_depth != 24 && screens.data->root_depth != 32)
            return false;
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem;
             xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == m_rootVisual)
                    return visuals.data->red_mask == 0xff0000 && visuals.data->green_mask == 0xff00
                        && visuals.data->blue_mask == 0xff;
            }
        }
    }
    return false;
}

QImage X11Screen::grab(const QRect &rect) const
{
    const QRect area = rect.intersected(m_rootGeometry);
    if (area.isEmpty() || !hasBgrxPixels())
        return {};
    return grabDrawable(m_root, area);
}

bool X11Screen::prepareQuickGrab()
{
    xcb_connection_t *c = m_connection;
    if (m_shared || !hasBgrxPixels() || m_rootGeometry.isEmpty())
        return m_shared != nullptr;
    if (!reply(xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr)))
        return false;
    const size_t bytes = size_t(m_rootGeometry.width()) * size_t(m_rootGeometry.height()) * 4;
    const int id = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void *memory = ::shmat(id, nullptr, 0);
    const xcb_shm_seg_t segment = xcb_generate_id(c);
    const bool attached = memory != reinterpret_cast<void *>(-1)
        && !reply(xcb_request_check(c, xcb_shm_attach_checked(c, segment, id, 0)));
    // Marked for removal at once: it goes when both sides have let go, even if we crash.
    ::shmctl(id, IPC_RMID, nullptr);
    if (!attached) {
        if (memory != reinterpret_cast<void *>(-1))
            ::shmdt(memory);
        return false;
    }
    m_shared = memory;
    m_sharedSegment = segment;
    m_sharedSize = m_rootGeometry.size();
    if (quickGrab().isNull()) {
        xcb_shm_detach(c, segment);
        xcb_flush(c);
        ::shmdt(m_shared);
        m_shared = nullptr;
        return false;
    }
    return true;
}

QImage X11Screen::quickGrab()
{
    xcb_connection_t *c = m_connection;
    auto root = reply(xcb_get_geometry_reply(c, xcb_get_geometry(c, m_root), nullptr));
    if (root)
        m_rootGeometry = QRect(0, 0, root->width, root->height);
    if (!m_shared || m_rootGeometry.size() != m_sharedSize)
        return grab(m_rootGeometry);
    const int width = m_sharedSize.width(), height = m_sharedSize.height();
    if (!reply(xcb_shm_get_image_reply(c, xcb_shm_get_image(c, m_root, 0, 0, width, height, ~0u,
                                                             XCB_IMAGE_FORMAT_Z_PIXMAP, m_sharedSegment, 0),
                                       nullptr)))
        return {};
    return QImage(static_cast<const uchar *>(m_shared), width, height, width * 4, QImage::Format_RGB32);
}

QImage X11Screen::windowPixels(const QRect &frame) const
{
    xcb_connection_t *c = m_connection;
    if (frame.isEmpty() || !hasBgrxPixels())
        return {};
    // Windows keep pixels of their own only while a compositing manager redirects them.
    int screenNumber = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem && it.data->root != m_root;
         xcb_screen_next(&it))
        ++screenNumber;
    const QByteArray manager = "_NET_WM_CM_S" + QByteArray::number(screenNumber);
    auto owner = reply(xcb_get_selection_owner_reply(
        c, xcb_get_selection_owner(c, atom(c, manager.constData())), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return {};
    auto version = reply(xcb_composite_query_version_reply(
        c, xcb_composite_query_version(c, 0, 2), nullptr));
    if (!version || (version->major_version == 0 && version->minor_version < 2))
        return {};

    // The frame is one of the root's children: the topmost viewable one of that place and size.
    auto tree = reply(xcb_query_tree_reply(c, xcb_query_tree(c, m_root), nullptr));
    if (!tree)
        return {};
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    QList<xcb_get_window_attributes_cookie_t> attributes;
    QList<xcb_get_geometry_cookie_t> geometries;
    for (int i = 0; i < count; ++i) {
        attributes.append(xcb_get_window_attributes(c, children[i]));
        geometries.append(xcb_get_geometry(c, children[i]));
    }
    xcb_window_t found = XCB_WINDOW_NONE;
    QSize size;
    for (int i = count - 1; i >= 0; --i) {
        auto a = reply(xcb_get_window_attributes_reply(c, attributes[i], nullptr));
        auto g = reply(xcb_get_geometry_reply(c, geometries[i], nullptr));
        if (found != XCB_WINDOW_NONE || !a || !g || a->map_state != XCB_MAP_STATE_VIEWABLE
            || a->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT || (g->depth != 24 && g->depth != 32))
            continue;
        const QRect outer(g->x, g->y, g->width + 2 * g->border_width, g->height + 2 * g->border_width);
        if (outer == frame) {
            found = children[i];
            size = outer.size();
        }
    }
    if (found == XCB_WINDOW_NONE)
        return {};
    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    auto named = reply(xcb_request_check(c, xcb_composite_name_window_pixmap_checked(c, found, pixmap)));
    if (named)
        return {};
    QImage pixels = grabDrawable(pixmap, QRect(QPoint(0, 0), size));
    xcb_free_pixmap(c, pixmap);
    xcb_flush(c);
    return pixels;
}

QImage X11Screen::grabDrawable(unsigned int drawable, const QRect &area) const
{
    // Fresh memory is what a one-shot grab pays for most: every new page faults, in the server
    // and here. So the frame has huge pages, and the pixels come in small bands, all requested
    // at once, whose buffers both sides' allocators reuse warm. Measured under Xvfb at 1080p:
    // 256 KiB bands 10-50 ms, 4 MiB bands 70-80 ms, one whole reply 50-90 ms, and shared
    // memory (fresh pages faulted in by the server) slower than all of them.
    QImage result = Bitmap::allocate(area.size(), QImage::Format_RGB32);
    if (result.isNull())
        return {};
    const int rowBytes = area.width() * 4;
    const int band = std::max(1, (256 << 10) / rowBytes);
    QList<xcb_get_image_cookie_t> cookies;
    for (int y = 0; y < area.height(); y += band)
        cookies.append(xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, area.x(),
                                     area.y() + y, area.width(),
                                     std::min(band, area.height() - y), ~0u));
    bool ok = true;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        auto r = reply(xcb_get_image_reply(m_connection, cookies[i], nullptr));
        const int y = int(i) * band;
        const int rows = std::min(band, area.height() - y);
        if (!ok || !r || xcb_get_image_data_length(r.get()) < rowBytes * rows) {
            ok = false; // the remaining replies are still read, so none is left behind
            continue;
        }
        const uchar *data = xcb_get_image_data(r.get());
        for (int row = 0; row < rows; ++row)
            memcpy(result.scanLine(y + row), data + size_t(row) * rowBytes, rowBytes);
    }
    return ok ? result : QImage();
}
