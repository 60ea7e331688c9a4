// SPDX-License-Identifier: MIT
// kiwano-test-clipowner: owns the X11 CLIPBOARD with whatever the tests ask for, and misbehaves on
// request (stalls, dies mid-transfer, refuses a type), optionally as the active window of a
// chosen WM_CLASS. Written on plain xcb so that nothing offers more than the command line says.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <xcb/xcb.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct Offered
{
    xcb_atom_t atom;
    QByteArray data;
    bool refused;
};

struct Incremental
{
    xcb_window_t requestor = XCB_NONE;
    xcb_atom_t property = XCB_NONE;
    xcb_atom_t type = XCB_NONE;
    QByteArray data;
    qsizetype offset = 0;
};

xcb_connection_t *c = nullptr;

xcb_atom_t atom(const QByteArray &name)
{
    auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData()), nullptr);
    const xcb_atom_t a = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return a;
}

// TYPE=VALUE, where the type may carry parameters of its own ("text/plain;charset=utf-8=hi").
std::pair<QString, QString> splitSpec(const QString &spec)
{
    bool inParameter = false;
    for (qsizetype i = 0; i < spec.size(); ++i) {
        if (spec[i] == u';')
            inParameter = true;
        else if (spec[i] == u'=' && inParameter)
            inParameter = false;
        else if (spec[i] == u'=')
            return {spec.left(i), spec.mid(i + 1)};
    }
    return {spec, QString()};
}

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void setString(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QByteArray &value)
{
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, property, type, 8, uint32_t(value.size()),
                        value.constData());
}

xcb_window_t activeWindow(xcb_window_t root)
{
    auto *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1), nullptr);
    xcb_window_t window = XCB_NONE;
    if (reply && xcb_get_property_value_length(reply) == 4)
        std::memcpy(&window, xcb_get_property_value(reply), 4);
    std::free(reply);
    return window;
}

xcb_timestamp_t serverTime(xcb_window_t window)
{
    xcb_change_property(c, XCB_PROP_MODE_APPEND, window, atom("_TEST_TIME"), XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(c);
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
        const bool found = (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == window;
        const xcb_timestamp_t time = notify->time;
        std::free(event);
        if (found)
            return time;
    }
    return XCB_CURRENT_TIME;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Owns the X11 clipboard for tests. TARGETS lists the --type "
                                     "types first, then --type-file, then --no-data, each in order.");
    parser.addHelpOption();
    parser.addOptions({
        {"type", "Offers TYPE with TEXT.", "TYPE=TEXT"},
        {"type-file", "Offers TYPE with the bytes of PATH.", "TYPE=PATH"},
        {"no-data", "Lists TYPE but refuses to convert it.", "TYPE"},
        {"stall", "Never answers any request."},
        {"stall-data", "Answers TARGETS but never sends data."},
        {"die-mid-transfer", "Exits after the first piece of an incremental transfer."},
        {"chunk", "Sends data above BYTES in pieces of that size (default 262144).", "BYTES", "262144"},
        {"piece-delay", "Waits MS before sending each piece.", "MS", "0"},
        {"wm-class", "Sets the window's WM_CLASS.", "INSTANCE,CLASS"},
        {"activate", "Maps the window and makes it the active one."},
        {"retake", "Takes the clipboard again every MS.", "MS"},
        {QStringList{"junk-targets", "junk-types"}, "Lists COUNT made-up types after the others.", "COUNT", "0"},
        {"single-piece", "Never sends in pieces: large data goes in one property, written in chunks."},
        {"announce", "Announces BYTES as the size of an incremental transfer.", "BYTES"},
    });
    parser.process(app);

    int screenNumber = 0;
    c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server\n");
        return 2;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    xcb_screen_t *screen = it.data;

    QList<Offered> offered;
    for (const QString &spec : parser.values("type")) {
        const auto [type, text] = splitSpec(spec);
        offered.append({atom(type.toUtf8()), text.toUtf8(), false});
    }
    for (const QString &spec : parser.values("type-file")) {
        const auto [type, path] = splitSpec(spec);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return 2;
        }
        offered.append({atom(type.toUtf8()), file.readAll(), false});
    }
    for (const QString &type : parser.values("no-data"))
        offered.append({atom(type.toUtf8()), {}, true});
    // Interned all at once: one round trip per atom would take the owner itself minutes.
    QList<xcb_intern_atom_cookie_t> junk;
    for (int i = 0; i < parser.value("junk-targets").toInt(); ++i) {
        const QByteArray name = "x-junk-" + QByteArray::number(i);
        junk << xcb_intern_atom(c, 0, uint16_t(name.size()), name.constData());
    }
    for (const auto &cookie : junk) {
        auto *reply = xcb_intern_atom_reply(c, cookie, nullptr);
        offered.append({reply ? reply->atom : xcb_atom_t(XCB_NONE), {}, true});
        std::free(reply);
    }
    const bool singlePiece = parser.isSet("single-piece");
    const qsizetype chunk = std::max(1LL, parser.value("chunk").toLongLong());
    const int pieceDelay = parser.value("piece-delay").toInt();

    const xcb_window_t window = xcb_generate_id(c);
    const uint32_t values[] = {screen->white_pixel,
                               XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, 240, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    if (parser.isSet("wm-class")) {
        const QStringList parts = parser.value("wm-class").split(',');
        const QByteArray wmClass = parts.value(0).toUtf8() + '\0' + parts.value(1).toUtf8() + '\0';
        setString(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass);
    }
    const uint32_t pid = uint32_t(::getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    setString(window, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, host);

    if (parser.isSet("activate")) {
        xcb_map_window(c, window);
        xcb_flush(c);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (activeWindow(screen->root) != window && std::chrono::steady_clock::now() < deadline) {
            // Sent as from a pager (source 2): window managers obey those.
            xcb_client_message_event_t message{XCB_CLIENT_MESSAGE, 32, 0, window,
                                               atom("_NET_ACTIVE_WINDOW"), {}};
            message.data.data32[0] = 2;
            xcb_send_event(c, 0, screen->root,
                           XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                           reinterpret_cast<const char *>(&message));
            xcb_flush(c);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (activeWindow(screen->root) != window) {
            std::fprintf(stderr, "could not become the active window\n");
            return 3;
        }
    }

    const xcb_atom_t clipboard = atom("CLIPBOARD");
    const xcb_atom_t targets = atom("TARGETS");
    const xcb_atom_t incr = atom("INCR");
    const xcb_timestamp_t since = serverTime(window);
    xcb_set_selection_owner(c, window, clipboard, since);
    auto *owner = xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const bool owning = owner && owner->owner == window;
    std::free(owner);
    if (!owning) {
        std::fprintf(stderr, "could not take the clipboard\n");
        return 3;
    }
    say("ready 0x" + QByteArray::number(window, 16));

    QList<Incremental> transfers;
    const int retake = parser.value("retake").toInt();
    auto nextTake = std::chrono::steady_clock::now() + std::chrono::milliseconds(retake);
    for (;;) {
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event && retake > 0) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextTake) {
                xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
                xcb_flush(c);
                say("taken");
                nextTake = now + std::chrono::milliseconds(retake);
                continue;
            }
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            ::poll(&fd, 1, int(std::chrono::duration_cast<std::chrono::milliseconds>(nextTake - now).count()) + 1);
            continue;
        }
        if (!event)
            event = xcb_wait_for_event(c);
        if (!event)
            break;
        const uint8_t kind = event->response_type & 0x7f;
        if (kind == XCB_SELECTION_CLEAR) {
            say("cleared");
        } else if (kind == XCB_SELECTION_REQUEST) {
            const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            say("request " + QByteArray::number(request->target));
            const bool stall = parser.isSet("stall") || (parser.isSet("stall-data") && request->target != targets);
            if (!stall) {
                const xcb_atom_t property = request->property ? request->property : request->target;
                bool answered = false;
                if (request->target == targets) {
                    QList<xcb_atom_t> atoms{targets};
                    for (const Offered &o : std::as_const(offered))
                        atoms << o.atom;
                    xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                        XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.constData());
                    answered = true;
                }
                for (const Offered &o : std::as_const(offered)) {
                    if (o.atom != request->target || o.refused)
                        continue;
                    if (o.data.size() > chunk && singlePiece) {
                        // Larger than one request may be: appended piece by piece, announced once.
                        for (qsizetype at = 0; at < o.data.size(); at += chunk)
                            xcb_change_property(c, at ? XCB_PROP_MODE_APPEND : XCB_PROP_MODE_REPLACE,
                                                request->requestor, property, o.atom, 8,
                                                uint32_t(std::min(chunk, o.data.size() - at)),
                                                o.data.constData() + at);
                    } else if (o.data.size() > chunk) {
                        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                        xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &mask);
                        const uint32_t size = parser.isSet("announce") ? parser.value("announce").toUInt()
                                                                       : uint32_t(o.data.size());
                        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property, incr, 32, 1, &size);
                        transfers.append({request->requestor, property, o.atom, o.data, 0});
                    } else {
                        xcb_change_property(c, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                            o.atom, 8, uint32_t(o.data.size()), o.data.constData());
                    }
                    answered = true;
                }
                xcb_selection_notify_event_t notify{XCB_SELECTION_NOTIFY, 0, 0, request->time,
                                                    request->requestor, request->selection,
                                                    request->target, answered ? property : xcb_atom_t(XCB_NONE)};
                xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char *>(&notify));
            }
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            for (qsizetype i = 0; i < transfers.size(); ++i) {
                Incremental &t = transfers[i];
                if (notify->state != XCB_PROPERTY_DELETE || t.requestor != notify->window || t.property != notify->atom)
                    continue;
                std::this_thread::sleep_for(std::chrono::milliseconds(pieceDelay));
                const qsizetype length = std::min(chunk, t.data.size() - t.offset);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, t.requestor, t.property, t.type, 8,
                                    uint32_t(length), t.data.constData() + t.offset);
                t.offset += length;
                if (length > 0)
                    say("piece");
                if (parser.isSet("die-mid-transfer") && t.offset > 0) {
                    xcb_flush(c);
                    say("dying");
                    ::_exit(0);
                }
                if (length == 0) {
                    say("finished");
                    transfers.removeAt(i);
                }
                break;
            }
        }
        std::free(event);
        xcb_flush(c);
    }
    return 0;
}
