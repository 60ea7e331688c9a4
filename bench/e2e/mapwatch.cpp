// SPDX-License-Identifier: MIT
// kiwano-mapwatch: times what a person sees from outside the program, by X events alone. It
// selects structure events on the root (and on every new top-level window, so that a window
// manager's reparenting does not hide the client's own MapNotify), takes the time, starts the
// trigger (a command, a button release or a key combination sent through XTest) and prints, in
// milliseconds since that time, each awaited event as it arrives:
//
//   map MS       the first window matching the rule was mapped
//   gone MS      a window matching --gone, shown when we started, was unmapped or destroyed
//   owner MS     the CLIPBOARD selection changed owner (XFixes)
//   png MS BYTES a complete image/png transfer from the new owner (INCR followed)
//
// Times are CLOCK_MONOTONIC; `--print-t0` also prints the start time for a driver that wants to
// compare with its own clock. It exits 0 once every awaited event came, 1 at the deadline.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xfixes.h>
#include <xcb/xtest.h>

#include <X11/keysym.h>
#include <poll.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

template<typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template<typename T>
Reply<T> own(T *reply)
{
    return Reply<T>(reply, &std::free);
}

struct Options {
    std::string className; // WM_CLASS instance or class
    std::string title;     // WM_NAME or _NET_WM_NAME, exactly
    int minWidth = 0;
    int minHeight = 0;
    std::string goneClass;
    bool clipboard = false;
    int releaseButton = 0;
    std::string keys;                // e.g. "ctrl+c"
    std::vector<std::string> command; // after --
    int timeoutMs = 10000;
    bool printT0 = false;
    bool wantMap() const { return !className.empty() || !title.empty() || minWidth > 0 || minHeight > 0; }
};

void usage()
{
    std::fprintf(stderr,
                 "usage: kiwano-mapwatch [--class NAME] [--title TEXT] [--min-size WxH] [--gone CLASS]\n"
                 "                       [--clipboard] [--timeout MS] [--print-t0]\n"
                 "                       [--release BUTTON | --keys ctrl+c | -- COMMAND ARGS...]\n");
}

class Watch
{
public:
    Watch(xcb_connection_t *c, const Options &options)
        : m_c(c)
        , m_options(options)
    {
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        m_root = m_screen->root;
        m_wmClass = atom("WM_CLASS");
        m_wmName = atom("WM_NAME");
        m_netWmName = atom("_NET_WM_NAME");
        m_utf8 = atom("UTF8_STRING");
        m_clipboardAtom = atom("CLIPBOARD");
        m_png = atom("image/png");
        m_incr = atom("INCR");
        m_property = atom("KIWANO_MAPWATCH");
    }

    bool setUp()
    {
        const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &rootMask);
        // Top-level windows and the clients inside the window manager's frames.
        for (xcb_window_t top : children(m_root)) {
            follow(top);
            for (xcb_window_t child : children(top))
                follow(child);
        }
        if (m_options.clipboard) {
            const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(m_c, &xcb_xfixes_id);
            if (!fixes || !fixes->present) {
                std::fprintf(stderr, "kiwano-mapwatch: no XFixes\n");
                return false;
            }
            m_fixesEvent = fixes->first_event;
            own(xcb_xfixes_query_version_reply(m_c, xcb_xfixes_query_version(m_c, 5, 0), nullptr));
            m_window = xcb_generate_id(m_c);
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                              XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
            xcb_xfixes_select_selection_input(m_c, m_window, m_clipboardAtom,
                                              XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
        }
        if (!m_options.goneClass.empty() && m_gone.empty()) {
            std::fprintf(stderr, "kiwano-mapwatch: no window of class %s is shown\n", m_options.goneClass.c_str());
            return false;
        }
        // Everything above is in place at the server before the clock starts.
        own(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
        return true;
    }

    bool trigger()
    {
        m_t0 = nowMs();
        if (m_options.printT0)
            std::printf("t0 %.3f\n", m_t0);
        if (!m_options.command.empty()) {
            const pid_t pid = fork();
            if (pid == 0) {
                // What the command prints is not ours to print; it may outlive us (a clipboard
                // owner serves until someone else copies).
                if (FILE *null = std::fopen("/dev/null", "w"))
                    dup2(fileno(null), STDOUT_FILENO);
                std::vector<char *> argv;
                for (const std::string &arg : m_options.command)
                    argv.push_back(const_cast<char *>(arg.c_str()));
                argv.push_back(nullptr);
                execvp(argv[0], argv.data());
                _exit(127);
            }
            m_child = pid;
            return pid > 0;
        }
        if (m_options.releaseButton) {
            xcb_test_fake_input(m_c, XCB_BUTTON_RELEASE, uint8_t(m_options.releaseButton), XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
            xcb_flush(m_c);
            return true;
        }
        if (!m_options.keys.empty())
            return sendKeys(m_options.keys);
        return true;
    }

    // Waits for every awaited event; false at the deadline.
    bool run()
    {
        const double deadline = m_t0 + m_options.timeoutMs;
        xcb_flush(m_c);
        while (!done()) {
            xcb_generic_event_t *event;
            while ((event = xcb_poll_for_event(m_c))) {
                handle(event);
                std::free(event);
                if (done())
                    break;
            }
            if (done())
                break;
            if (xcb_connection_has_error(m_c))
                return false;
            xcb_flush(m_c);
            const double left = deadline - nowMs();
            if (left <= 0)
                return false;
            pollfd fd{xcb_get_file_descriptor(m_c), POLLIN, 0};
            poll(&fd, 1, int(left) + 1);
        }
        return true;
    }

    // A command that ended is reaped; one still serving is left running.
    void reapChild()
    {
        if (m_child > 0)
            waitpid(m_child, nullptr, WNOHANG);
    }

    std::string missing() const
    {
        std::string what;
        if (m_options.wantMap() && !m_mapped)
            what += " map";
        if (!m_options.goneClass.empty() && !m_wentAway)
            what += " gone";
        if (m_options.clipboard && !m_ownerChanged)
            what += " owner";
        if (m_options.clipboard && !m_transferred)
            what += " png";
        return what;
    }

private:
    xcb_atom_t atom(const char *name)
    {
        auto reply = own(xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : XCB_ATOM_NONE;
    }

    std::vector<xcb_window_t> children(xcb_window_t window)
    {
        std::vector<xcb_window_t> result;
        auto reply = own(xcb_query_tree_reply(m_c, xcb_query_tree(m_c, window), nullptr));
        if (!reply)
            return result;
        const xcb_window_t *list = xcb_query_tree_children(reply.get());
        result.assign(list, list + xcb_query_tree_children_length(reply.get()));
        return result;
    }

    // Selects the window's own structure events; windows shown now that match --gone are watched
    // until they go away.
    void follow(xcb_window_t window)
    {
        if (window == m_window)
            return; // our own, for the transfers
        const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, window, XCB_CW_EVENT_MASK, &mask);
        auto attributes = own(xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            return;
        if (m_t0 == 0) {
            if (!m_options.goneClass.empty() && classMatches(window, m_options.goneClass))
                m_gone.insert(window);
        } else if (m_options.wantMap() && !m_mapped && matches(window)) {
            // Mapped before its selection took hold: seen now, a little late.
            m_mapped = true;
            report("map", nowMs());
        }
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type)
    {
        auto reply = own(xcb_get_property_reply(m_c, xcb_get_property(m_c, 0, window, name, type, 0, 4096), nullptr));
        if (!reply)
            return {};
        const char *value = static_cast<const char *>(xcb_get_property_value(reply.get()));
        return std::string(value, size_t(xcb_get_property_value_length(reply.get())));
    }

    bool classMatches(xcb_window_t window, const std::string &name)
    {
        const std::string value = property(window, m_wmClass, XCB_ATOM_STRING);
        const size_t split = value.find('\0');
        if (split == std::string::npos)
            return false;
        const std::string instance = value.substr(0, split);
        std::string className = value.substr(split + 1);
        if (!className.empty() && className.back() == '\0')
            className.pop_back();
        return instance == name || className == name;
    }

    bool matches(xcb_window_t window)
    {
        if (!m_options.className.empty() && !classMatches(window, m_options.className))
            return false;
        if (!m_options.title.empty() && property(window, m_netWmName, m_utf8) != m_options.title
            && property(window, m_wmName, XCB_ATOM_STRING) != m_options.title)
            return false;
        if (m_options.minWidth > 0 || m_options.minHeight > 0) {
            auto geometry = own(xcb_get_geometry_reply(m_c, xcb_get_geometry(m_c, window), nullptr));
            if (!geometry || geometry->width < m_options.minWidth || geometry->height < m_options.minHeight)
                return false;
        }
        return true;
    }

    bool done() const { return missing().empty(); }

    void report(const char *what, double at, long bytes = -1)
    {
        if (bytes >= 0)
            std::printf("%s %.1f %ld\n", what, at - m_t0, bytes);
        else
            std::printf("%s %.1f\n", what, at - m_t0);
        std::fflush(stdout);
    }

    void handle(xcb_generic_event_t *event)
    {
        const double at = nowMs();
        const uint8_t type = event->response_type & 0x7f;
        switch (type) {
        case XCB_CREATE_NOTIFY: {
            auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            if (created->parent == m_root)
                follow(created->window);
            return;
        }
        case XCB_REPARENT_NOTIFY:
            follow(reinterpret_cast<xcb_reparent_notify_event_t *>(event)->window);
            return;
        case XCB_MAP_NOTIFY: {
            auto *mapped = reinterpret_cast<xcb_map_notify_event_t *>(event);
            // A top-level window's MapNotify comes twice (through the root and through its own
            // mask); the first to arrive counts.
            if (m_options.wantMap() && !m_mapped && matches(mapped->window)) {
                m_mapped = true;
                report("map", at);
            }
            return;
        }
        case XCB_UNMAP_NOTIFY:
        case XCB_DESTROY_NOTIFY: {
            const xcb_window_t window = type == XCB_UNMAP_NOTIFY
                ? reinterpret_cast<xcb_unmap_notify_event_t *>(event)->window
                : reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window;
            if (!m_wentAway && m_gone.count(window)) {
                m_wentAway = true;
                report("gone", at);
            }
            return;
        }
        case XCB_SELECTION_NOTIFY:
            selectionArrived(reinterpret_cast<xcb_selection_notify_event_t *>(event), at);
            return;
        case XCB_PROPERTY_NOTIFY:
            propertyChanged(reinterpret_cast<xcb_property_notify_event_t *>(event), at);
            return;
        default:
            break;
        }
        if (m_options.clipboard && type == m_fixesEvent + XCB_XFIXES_SELECTION_NOTIFY) {
            auto *notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t *>(event);
            if (notify->selection != m_clipboardAtom || m_ownerChanged || notify->owner == XCB_NONE)
                return;
            m_ownerChanged = true;
            report("owner", at);
            xcb_convert_selection(m_c, m_window, m_clipboardAtom, m_png, m_property, notify->timestamp);
            xcb_flush(m_c);
        }
    }

    void selectionArrived(xcb_selection_notify_event_t *event, double at)
    {
        if (event->requestor != m_window || m_transferred)
            return;
        if (event->property == XCB_NONE) {
            std::fprintf(stderr, "kiwano-mapwatch: the clipboard owner refused image/png\n");
            m_transferred = true; // nothing more will come; the missing figure says so
            m_bytes = -1;
            report("png-refused", at);
            return;
        }
        auto reply = own(xcb_get_property_reply(m_c, xcb_get_property(m_c, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff), nullptr));
        if (!reply)
            return;
        if (reply->type == m_incr) {
            m_incremental = true; // deleting the property above asked for the first chunk
            xcb_flush(m_c);
            return;
        }
        m_bytes = xcb_get_property_value_length(reply.get());
        m_head.assign(static_cast<const char *>(xcb_get_property_value(reply.get())), size_t(std::min<long>(m_bytes, 8)));
        finishTransfer(at);
    }

    void propertyChanged(xcb_property_notify_event_t *event, double at)
    {
        if (!m_incremental || event->window != m_window || event->atom != m_property
            || event->state != XCB_PROPERTY_NEW_VALUE)
            return;
        auto reply = own(xcb_get_property_reply(m_c, xcb_get_property(m_c, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1fffffff), nullptr));
        if (!reply)
            return;
        const int length = xcb_get_property_value_length(reply.get());
        xcb_flush(m_c);
        if (length == 0) {
            m_incremental = false;
            finishTransfer(at);
            return;
        }
        if (m_bytes == 0)
            m_head.assign(static_cast<const char *>(xcb_get_property_value(reply.get())), size_t(std::min(length, 8)));
        m_bytes += length;
    }

    void finishTransfer(double at)
    {
        m_transferred = true;
        if (m_head.compare(0, 8, "\x89PNG\r\n\x1a\n", 8) != 0)
            std::fprintf(stderr, "kiwano-mapwatch: the image/png data is no PNG\n");
        report("png", at, m_bytes);
    }

    bool sendKeys(const std::string &combination)
    {
        xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(m_c);
        std::vector<xcb_keycode_t> codes;
        size_t start = 0;
        while (start <= combination.size()) {
            size_t end = combination.find('+', start);
            if (end == std::string::npos)
                end = combination.size();
            const std::string name = combination.substr(start, end - start);
            start = end + 1;
            xcb_keysym_t sym = name == "ctrl" ? XK_Control_L
                : name == "shift"             ? XK_Shift_L
                : name == "alt"               ? XK_Alt_L
                : name == "super"             ? XK_Super_L
                : name.size() == 1            ? xcb_keysym_t(name[0])
                                              : XCB_NO_SYMBOL;
            if (sym == XCB_NO_SYMBOL && name == "Return")
                sym = XK_Return;
            xcb_keycode_t *found = xcb_key_symbols_get_keycode(symbols, sym);
            if (!found || !*found) {
                std::fprintf(stderr, "kiwano-mapwatch: no key for %s\n", name.c_str());
                std::free(found);
                xcb_key_symbols_free(symbols);
                return false;
            }
            codes.push_back(*found);
            std::free(found);
        }
        xcb_key_symbols_free(symbols);
        for (xcb_keycode_t code : codes)
            xcb_test_fake_input(m_c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        for (auto it = codes.rbegin(); it != codes.rend(); ++it)
            xcb_test_fake_input(m_c, XCB_KEY_RELEASE, *it, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(m_c);
        return true;
    }

    xcb_connection_t *m_c;
    const Options &m_options;
    xcb_screen_t *m_screen = nullptr;
    xcb_window_t m_root = XCB_NONE;
    xcb_window_t m_window = XCB_NONE;
    xcb_atom_t m_wmClass, m_wmName, m_netWmName, m_utf8, m_clipboardAtom, m_png, m_incr, m_property;
    uint8_t m_fixesEvent = 0;
    std::set<xcb_window_t> m_gone;
    double m_t0 = 0;
    pid_t m_child = -1;
    bool m_mapped = false;
    bool m_wentAway = false;
    bool m_ownerChanged = false;
    bool m_transferred = false;
    bool m_incremental = false;
    long m_bytes = 0;
    std::string m_head;
};

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--") {
            for (++i; i < argc; ++i)
                options.command.emplace_back(argv[i]);
        } else if (arg == "--class" && hasValue) {
            options.className = argv[++i];
        } else if (arg == "--title" && hasValue) {
            options.title = argv[++i];
        } else if (arg == "--min-size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &options.minWidth, &options.minHeight) != 2) {
                usage();
                return 2;
            }
        } else if (arg == "--gone" && hasValue) {
            options.goneClass = argv[++i];
        } else if (arg == "--clipboard") {
            options.clipboard = true;
        } else if (arg == "--release" && hasValue) {
            options.releaseButton = std::atoi(argv[++i]);
        } else if (arg == "--keys" && hasValue) {
            options.keys = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options.timeoutMs = std::atoi(argv[++i]);
        } else if (arg == "--print-t0") {
            options.printT0 = true;
        } else {
            usage();
            return 2;
        }
    }
    if (!options.wantMap() && options.goneClass.empty() && !options.clipboard) {
        usage();
        return 2;
    }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "kiwano-mapwatch: cannot open the display\n");
        return 2;
    }
    Watch watch(c, options);
    if (!watch.setUp() || !watch.trigger())
        return 2;
    const bool ok = watch.run();
    if (!ok)
        std::fprintf(stderr, "kiwano-mapwatch: timed out waiting for%s\n", watch.missing().c_str());
    watch.reapChild();
    xcb_disconnect(c);
    return ok ? 0 : 1;
}
